// Quarter turns and mirrors of 24- or 32-bit pixels.
#pragma once
#include "forms/portable/pixels.h"

namespace forms {

// A new picture of source height by source width, same pixel size.
forms::PixelBuffer RotateClockwise(const forms::PixelView& source);
forms::PixelBuffer RotateCounterClockwise(const forms::PixelView& source);

enum class MirrorKind { LeftRight = 0, TopBottom = 1, Both = 2 };
// In place.
void MirrorPixels(const forms::PixelView& pixels, MirrorKind kind);

}  // namespace forms
