#include "skin/skin_drawing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <vector>

namespace skin {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kBack = 0x336699;

// Pixels from 0xRRGGBB values, row by row.
forms::PixelBuffer Image(int width, int height, const std::vector<std::uint32_t>& rgb) {
    forms::PixelBuffer image(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = rgb[static_cast<size_t>(y * width + x)];
            std::uint8_t* p = image.row(y) + 3 * x;
            p[0] = v & 0xFF;
            p[1] = (v >> 8) & 0xFF;
            p[2] = (v >> 16) & 0xFF;
        }
    return image;
}

// A picture where every pixel differs: the colour says where it came from.
forms::PixelBuffer Numbered(int width, int height) {
    std::vector<std::uint32_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rgb.push_back(0x100000u + static_cast<std::uint32_t>(y * 256 + x));
    return Image(width, height, rgb);
}

std::uint32_t At(const forms::PixelView& v, int x, int y) {
    const std::uint8_t* p = v.pixel(x, y);
    return p[0] | (p[1] << 8) | (p[2] << 16);
}
std::uint32_t At(const forms::PixelBuffer& b, int x, int y) {
    const std::uint8_t* p = b.row(y) + b.bytesPerPixel() * x;
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

// A DC to draw on, filled with kBack.
struct Surface {
    Surface(int width, int height) : bitmap(Image(width, height, std::vector<std::uint32_t>(size_t(width * height), kBack))) {}
    std::uint32_t operator()(int x, int y) {
        GdiFlush();
        return At(bitmap.pixels(), x, y);
    }
    HDC dc() const { return bitmap.dc(); }
    SourceBitmap bitmap;
};

TEST(SkinDrawing, TransparentBlitLeavesTheDestinationUnderMagenta) {
    const forms::PixelBuffer image = Image(3, 2, {0x010203, kMagenta, 0x040506, kMagenta, 0x070809, 0xFF01FF});
    Surface s(5, 4);
    TransparentBlit(s.dc(), RECT{1, 1, 4, 3}, image);
    EXPECT_EQ(s(1, 1), 0x010203u);
    EXPECT_EQ(s(2, 1), kBack);
    EXPECT_EQ(s(3, 1), 0x040506u);
    EXPECT_EQ(s(1, 2), kBack);
    EXPECT_EQ(s(2, 2), 0x070809u);
    EXPECT_EQ(s(3, 2), 0xFF01FFu) << "only the exact key colour is left out";
    EXPECT_EQ(s(0, 0), kBack);
    EXPECT_EQ(s(4, 3), kBack);
}

TEST(SkinDrawing, SlicedFramesMatchThePortableSlicingPixelForPixel) {
    const forms::PixelBuffer image = Numbered(24, 10);  // two frames side by side, 12 × 10
    const SkinMargins margins{3, 2, 4, 3};
    for (bool tile : {false, true}) {
        for (int frame : {1, 2}) {
            Surface s(40, 30);
            DrawSlicedFrame(s.dc(), RECT{5, 4, 35, 25}, image, false, tile, false, 2, frame, margins);
            const forms::PixelBuffer expected = SliceFrame(30, 21, image, margins, false, tile, 2, frame);
            for (int y = 0; y < 21; ++y)
                for (int x = 0; x < 30; ++x)
                    ASSERT_EQ(s(5 + x, 4 + y), At(expected, x, y)) << "tile " << tile << " frame " << frame << " at " << x << "," << y;
            EXPECT_EQ(s(4, 4), kBack);
            EXPECT_EQ(s(35, 25), kBack);
        }
    }
}

TEST(SkinDrawing, TheDirectFrameLeavesTheCentreAlone) {
    const forms::PixelBuffer image = Numbered(10, 10);
    Surface s(20, 20);
    DrawSlicedFrameDirect(s.dc(), RECT{2, 2, 18, 18}, image, false, 1, 1, SkinMargins{3, 3, 3, 3});
    const forms::PixelBuffer expected = SliceFrame(16, 16, image, SkinMargins{3, 3, 3, 3}, false, false, 1, 1);
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}, {1, 8}, {14, 8}, {8, 1}, {8, 14}})
        EXPECT_EQ(s(2 + x, 2 + y), At(expected, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{3, 3}, {12, 12}, {8, 8}}) EXPECT_EQ(s(2 + x, 2 + y), kBack) << x << "," << y;
}

TEST(SkinDrawing, TheTransparentDirectFrameLeavesMagentaAndTheCentreAlone) {
    forms::PixelBuffer image = Numbered(10, 10);
    for (auto [x, y] : {std::pair{0, 0}, {9, 9}, {5, 0}, {0, 5}}) {
        std::uint8_t* p = image.row(y) + 3 * x;
        p[0] = 0xFF, p[1] = 0x00, p[2] = 0xFF;
    }
    Surface s(20, 20);
    DrawSlicedFrameDirect(s.dc(), RECT{2, 2, 18, 18}, image, false, 1, 1, SkinMargins{3, 3, 3, 3}, true);
    const forms::PixelBuffer expected = SliceFrame(16, 16, image, SkinMargins{3, 3, 3, 3}, false, false, 1, 1);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool centre = x >= 3 && x < 13 && y >= 3 && y < 13;
            const std::uint32_t want = centre || At(expected, x, y) == kMagenta ? kBack : At(expected, x, y);
            ASSERT_EQ(s(2 + x, 2 + y), want) << x << "," << y;
        }
}

TEST(SkinDrawing, ThreePartWithNoMiddleDrawsTheCapsAndReturns) {
    const forms::PixelBuffer image = Image(4, 1, {0x0000AA, 0x0000BB, 0x0000CC, 0x0000DD});
    Surface s(12, 3);
    auto done = std::async(std::launch::async, [&] {
        DrawThreePart(s.dc(), RECT{0, 0, 12, 3}, image, false, false, 1, 1, SkinMargins{2, 0, 2, 0});
    });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the strip never finished";
    EXPECT_EQ(s(0, 1), 0x0000AAu);
    EXPECT_EQ(s(1, 1), 0x0000BBu);
    EXPECT_EQ(s(10, 1), 0x0000CCu);
    EXPECT_EQ(s(11, 1), 0x0000DDu);
}

TEST(SkinDrawing, ThreePartRepeatsItsMiddleAndKeysMagentaWhenAsked) {
    // Two frames stacked: the second row is the inactive strip.
    const forms::PixelBuffer image = Image(4, 2, {0x11, 0x22, 0x33, 0x44, 0x55, kMagenta, 0x66, 0x77});
    Surface s(8, 2);
    DrawThreePart(s.dc(), RECT{0, 0, 8, 2}, image, true, true, 2, 2, SkinMargins{1, 0, 1, 0});
    const std::uint32_t row[] = {0x55, kBack, 0x66, kBack, 0x66, kBack, 0x66, 0x77};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(s(x, 1), row[x]) << x;
}

TEST(SkinDrawing, StretchedAndCentredFramesLandWhereTheySay) {
    const forms::PixelBuffer image = Image(4, 2, {0xA1, 0xA2, 0xB1, 0xB2, 0xA3, 0xA4, 0xB3, kMagenta});
    Surface s(10, 10);
    DrawFrameStretched(s.dc(), RECT{0, 0, 4, 4}, image, false, 2, 2);
    EXPECT_EQ(s(0, 0), 0xB1u);
    EXPECT_EQ(s(3, 0), 0xB2u);
    EXPECT_EQ(s(0, 3), 0xB3u);
    EXPECT_EQ(s(3, 3), kMagenta);
    DrawFrameCentred(s.dc(), RECT{4, 4, 10, 10}, image, true, 2, 2);
    EXPECT_EQ(s(6, 6), 0xB1u);
    EXPECT_EQ(s(7, 6), 0xB2u);
    EXPECT_EQ(s(6, 7), 0xB3u);
    EXPECT_EQ(s(7, 7), kBack) << "magenta left out";
    EXPECT_EQ(s(5, 5), kBack);
}

TEST(SkinDrawing, TilesRunPastTheTargetAndInvertedRectanglesDrawNothing) {
    const forms::PixelBuffer image = Image(3, 1, {0x01, 0x02, 0x03});
    Surface s(8, 2);
    TileBitmap(s.dc(), RECT{0, 0, 5, 1}, image, RECT{1, 0, 3, 1});
    const std::uint32_t row[] = {0x02, 0x03, 0x02, 0x03, 0x02, 0x03, kBack, kBack};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(s(x, 0), row[x]) << x;

    Surface t(4, 4);
    const RECT inverted{3, 3, 1, 1};
    DrawSlicedFrame(t.dc(), inverted, image, false, false, false, 1, 1, {});
    DrawThreePart(t.dc(), inverted, image, false, false, 1, 1, {});
    DrawFrameStretched(t.dc(), inverted, image, false, 1, 1);
    DrawFrameCentred(t.dc(), inverted, image, false, 1, 1);
    TransparentBlit(t.dc(), inverted, image);
    TileBitmap(t.dc(), inverted, image, RECT{0, 0, 3, 1});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(t(x, y), kBack);
}

std::vector<RECT> RegionRects(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<std::uint8_t> block(size);
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    GetRegionData(region, size, data);
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(r, r + data->rdh.nCount);
}

TEST(SkinDrawing, RegionsCoverTheOpaquePixelsOnlyAcrossManyBatches) {
    // Every other pixel of a 60 × 100 picture is magenta: 3000 runs, more than one batch.
    std::vector<std::uint32_t> rgb;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 60; ++x) rgb.push_back((x + y) % 2 == 0 ? 0x123456 : kMagenta);
    const forms::PixelBuffer image = Image(60, 100, rgb);
    forms::UniqueRegion region = CreateRegionFromBitmap(image, 7, 9, 1, 1, 1);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(PtInRegion(region.get(), 7 + x, 9 + y) != 0, (x + y) % 2 == 0) << x << "," << y;
    EXPECT_FALSE(PtInRegion(region.get(), 6, 9));
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, 7);
    EXPECT_EQ(box.top, 9);
    EXPECT_EQ(box.right, 67);
    EXPECT_EQ(box.bottom, 109);
}

TEST(SkinDrawing, RegionToleranceAndTheTwoExtremes) {
    const forms::PixelBuffer mixed = Image(3, 1, {0xFF00FF, 0xFF01FF, 0xFE00FF});
    forms::UniqueRegion region = CreateRegionFromBitmap(mixed, 0, 0, 1, 1, 1);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_FALSE(PtInRegion(region.get(), 1, 0)) << "green 1 lies within the tolerance";
    EXPECT_TRUE(PtInRegion(region.get(), 2, 0)) << "red 254 lies below the key";

    const forms::PixelBuffer opaque = Image(4, 3, std::vector<std::uint32_t>(12, 0x101010));
    forms::UniqueRegion full = CreateRegionFromBitmap(opaque, 2, 1, 1, 1, 1);
    const std::vector<RECT> rects = RegionRects(full.get());
    ASSERT_EQ(rects.size(), 1u) << "rows of the same run merge into one rectangle";
    EXPECT_EQ(rects[0].left, 2);
    EXPECT_EQ(rects[0].top, 1);
    EXPECT_EQ(rects[0].right, 6);
    EXPECT_EQ(rects[0].bottom, 4);

    const forms::PixelBuffer clear = Image(2, 2, std::vector<std::uint32_t>(4, kMagenta));
    forms::UniqueRegion none = CreateRegionFromBitmap(clear, 0, 0, 1, 1, 1);
    RECT box{};
    EXPECT_EQ(GetRgnBox(none.get(), &box), NULLREGION);
}

}  // namespace
}  // namespace skin
