#include "forms/portable/picture_turns.h"

#include <algorithm>
#include <cstring>

namespace forms {

namespace {

// dest(x, y) := source(map(x, y)) for every destination pixel.
template <class Map> PixelBuffer Turn(const PixelView& source, Map map) {
    if (source.empty()) return PixelBuffer();
    auto dest = PixelBuffer::Uninitialised(source.height, source.width, source.bytesPerPixel);
    const int bpp = source.bytesPerPixel;
    for (int y = 0; y < dest.height(); ++y) {
        std::uint8_t* out = dest.row(y);
        for (int x = 0; x < dest.width(); ++x, out += bpp) {
            const auto [sx, sy] = map(x, y);
            std::memcpy(out, source.pixel(sx, sy), static_cast<std::size_t>(bpp));
        }
    }
    return dest;
}

struct XY {
    int x, y;
};

}  // namespace

PixelBuffer RotateClockwise(const PixelView& source) {
    // Destination row r, column i comes from source row (height - 1 - i), column r.
    return Turn(source, [&](int x, int y) { return XY{y, source.height - 1 - x}; });
}

PixelBuffer RotateCounterClockwise(const PixelView& source) {
    // Destination row i, column j comes from source row j, column (width - 1 - i).
    return Turn(source, [&](int x, int y) { return XY{source.width - 1 - y, x}; });
}

void MirrorPixels(const PixelView& pixels, MirrorKind kind) {
    if (pixels.empty()) return;
    const int bpp = pixels.bytesPerPixel;
    if (kind == MirrorKind::LeftRight || kind == MirrorKind::Both) {
        std::uint8_t tmp[4];
        for (int y = 0; y < pixels.height; ++y) {
            for (int a = 0, b = pixels.width - 1; a < b; ++a, --b) {
                std::memcpy(tmp, pixels.pixel(a, y), bpp);
                std::memcpy(pixels.pixel(a, y), pixels.pixel(b, y), bpp);
                std::memcpy(pixels.pixel(b, y), tmp, bpp);
            }
        }
    }
    if (kind == MirrorKind::TopBottom || kind == MirrorKind::Both) {
        for (int a = 0, b = pixels.height - 1; a < b; ++a, --b)
            std::swap_ranges(pixels.row(a), pixels.row(a) + pixels.rowBytes(), pixels.row(b));
    }
}

}  // namespace forms
