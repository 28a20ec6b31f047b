#include "controls/portable/jpeg_scale_choice.h"

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

}  // namespace controls
