// Scaling a picture into a bitmap with one of the resampling filters.
#pragma once
#include "controls/portable/resample.h"
#include "forms/bitmap.h"

namespace controls {

// Target becomes newWidth x newHeight at the pixel format it had, the source scaled into it.
// An empty source, or sizes that are negative or too large, leave Target untouched; a width
// or height of 0 leaves Target empty. A radius of 0 (or below) is the filter's default.
void ResampleBitmap(int newWidth, int newHeight, TResamplingFilter filter, float radius, const forms::TGraphic& source,
                    forms::TBitmap& target);

}  // namespace controls
