#include "controls/portable/jpeg_scale_choice.h"

#include <algorithm>

#include "forms/portable/jpeg_codec.h"

namespace controls {

namespace {

struct ScaleBand {
    std::uint64_t upTo;
    int denominator;
};

constexpr ScaleBand kBands[] = {{1'000'000, 1}, {4'000'000, 2}, {7'000'000, 4}};

}  // namespace

int JpegScaleForFileSize(std::uint64_t fileSize) {
    for (const ScaleBand& band : kBands)
        if (fileSize <= band.upTo) return band.denominator;
    return 8;
}

int JpegScaleForBox(int width, int height, int boxWidth, int boxHeight) {
    for (int denom : {8, 4, 2})
        if (forms::ScaledJpegDimension(width, denom) >= 2 * std::int64_t{boxWidth} &&
            forms::ScaledJpegDimension(height, denom) >= 2 * std::int64_t{boxHeight})
            return denom;
    return 1;
}

int JpegScaleForCell(std::uint64_t fileSize, int width, int height, int boxWidth, int boxHeight) {
    return std::max(JpegScaleForFileSize(fileSize), JpegScaleForBox(width, height, boxWidth, boxHeight));
}

}  // namespace controls
