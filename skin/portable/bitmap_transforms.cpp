#include "skin/portable/bitmap_transforms.h"

#include <cstring>

namespace skin {

namespace {

void MakeRgb24(forms::PixelBuffer& picture) {
    if (picture.bytesPerPixel() == 3) return;
    forms::PixelBuffer converted(picture.width(), picture.height(), 3);
    forms::CopyPixels(picture.view(), converted.view());
    picture = std::move(converted);
}

// A new 24-bit picture of width × height whose pixel (x, y) comes from source at where(x, y).
template <class Where> void Remap(forms::PixelBuffer& picture, int width, int height, Where where) {
    MakeRgb24(picture);
    forms::PixelBuffer result(width, height, 3);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = result.row(y);
        for (int x = 0; x < width; ++x) {
            const auto [sx, sy] = where(x, y);
            std::memcpy(out + 3 * x, picture.row(sy) + 3 * sx, 3);
        }
    }
    picture = std::move(result);
}

}  // namespace

void GrayPixels(forms::PixelBuffer& picture) {
    MakeRgb24(picture);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* p = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, p += 3) {
            const std::uint8_t grey = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
            p[0] = p[1] = p[2] = grey;
        }
    }
}

void MirrorPixels(forms::PixelBuffer& picture) {
    const int w = picture.width();
    Remap(picture, w, picture.height(), [w](int x, int y) { return std::pair{w - 1 - x, y}; });
}

void FlipPixels(forms::PixelBuffer& picture) {
    const int h = picture.height();
    Remap(picture, picture.width(), h, [h](int x, int y) { return std::pair{x, h - 1 - y}; });
}

void RotatePixelsLeft(forms::PixelBuffer& picture) {
    // Destination (y, W-1-x) holds source (x, y): destination (dx, dy) reads source (W-1-dy, dx).
    const int w = picture.width(), h = picture.height();
    Remap(picture, h, w, [w](int dx, int dy) { return std::pair{w - 1 - dy, dx}; });
}

void RotatePixelsRight(forms::PixelBuffer& picture) {
    // Destination (H-1-y, x) holds source (x, y): destination (dx, dy) reads source (dy, H-1-dx).
    const int h = picture.height();
    Remap(picture, h, picture.width(), [h](int dx, int dy) { return std::pair{dy, h - 1 - dx}; });
}

}  // namespace skin
