#include "skin/portable/bitmap_transforms.h"

#include <gtest/gtest.h>

#include <vector>

namespace skin {
namespace {

// Pixels as 0xRRGGBB, rows top to bottom.
forms::PixelBuffer Picture(int width, int height, const std::vector<std::uint32_t>& rgb, int bytesPerPixel = 3) {
    forms::PixelBuffer p(width, height, bytesPerPixel);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb[y * width + x];
            std::uint8_t* px = p.row(y) + bytesPerPixel * x;
            px[0] = c & 0xFF;
            px[1] = (c >> 8) & 0xFF;
            px[2] = (c >> 16) & 0xFF;
            if (bytesPerPixel == 4) px[3] = 0x77;
        }
    return p;
}

std::vector<std::uint32_t> Rgb(const forms::PixelBuffer& p) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const std::uint8_t* px = p.row(y) + p.bytesPerPixel() * x;
            out.push_back(px[0] | (px[1] << 8) | (px[2] << 16));
        }
    return out;
}

TEST(BitmapTransforms, ThreeByTwoPicturesLandWhereEachTransformSays) {
    // a b c
    // d e f
    constexpr std::uint32_t a = 0x010203, b = 0x040506, c = 0x070809, d = 0x0A0B0C, e = 0x0D0E0F, f = 0x102030;
    const struct {
        const char* what;
        void (*transform)(forms::PixelBuffer&);
        int width, height;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {"mirror", MirrorPixels, 3, 2, {c, b, a, f, e, d}},
        {"flip", FlipPixels, 3, 2, {d, e, f, a, b, c}},
        {"left", RotatePixelsLeft, 2, 3, {c, f, b, e, a, d}},
        {"right", RotatePixelsRight, 2, 3, {d, a, e, b, f, c}},
        {"grey", GrayPixels, 3, 2, {0x020202, 0x050505, 0x080808, 0x0B0B0B, 0x0E0E0E, 0x202020}},
    };
    for (int bpp : {3, 4}) {  // a 32-bit picture is made 24-bit first
        for (const auto& t : cases) {
            forms::PixelBuffer p = Picture(3, 2, {a, b, c, d, e, f}, bpp);
            t.transform(p);
            EXPECT_EQ(p.bytesPerPixel(), 3) << t.what;
            EXPECT_EQ(p.width(), t.width) << t.what;
            EXPECT_EQ(p.height(), t.height) << t.what;
            EXPECT_EQ(Rgb(p), t.expected) << t.what << " at " << bpp * 8 << " bits";
        }
    }
}

TEST(BitmapTransforms, GreyTruncatesTheAverageAndTurnsUndoEachOther) {
    forms::PixelBuffer one = Picture(1, 1, {0x020101});  // red 2, green 1, blue 1
    GrayPixels(one);
    EXPECT_EQ(Rgb(one), std::vector<std::uint32_t>{0x010101});

    const std::vector<std::uint32_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    forms::PixelBuffer p = Picture(4, 3, pixels);
    RotatePixelsLeft(p);
    RotatePixelsRight(p);
    MirrorPixels(p);
    MirrorPixels(p);
    EXPECT_EQ(Rgb(p), pixels);
    forms::PixelBuffer empty(0, 0, 3);
    RotatePixelsLeft(empty);
    EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace skin
