#include "skin/portable/bitmap_transforms.h"

#include "forms/portable/picture_turns.h"

namespace skin {

namespace {

void MakeRgb24(forms::PixelBuffer& picture) {
    if (picture.bytesPerPixel() == 3) return;
    forms::PixelBuffer converted(picture.width(), picture.height(), 3);
    forms::CopyPixels(picture.view(), converted.view());
    picture = std::move(converted);
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
    MakeRgb24(picture);
    forms::MirrorPixels(picture.view(), forms::MirrorKind::LeftRight);
}

void FlipPixels(forms::PixelBuffer& picture) {
    MakeRgb24(picture);
    forms::MirrorPixels(picture.view(), forms::MirrorKind::TopBottom);
}

void RotatePixelsLeft(forms::PixelBuffer& picture) {
    MakeRgb24(picture);
    picture = forms::RotateCounterClockwise(picture.view());
}

void RotatePixelsRight(forms::PixelBuffer& picture) {
    MakeRgb24(picture);
    picture = forms::RotateClockwise(picture.view());
}

}  // namespace skin
