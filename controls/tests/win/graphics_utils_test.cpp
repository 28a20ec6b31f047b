#include "controls/graphics_utils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "forms/jpeg_image.h"

namespace controls {
namespace {

using namespace forms;

void FillRamp(TBitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
        std::uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < b.Width(); ++x) {
            for (int c = 0; c < 3; ++c) row[x * b.BytesPerPixel() + c] = static_cast<std::uint8_t>((x * 7 + y * 13 + c * 50) & 0xFF);
        }
    }
}

std::vector<std::uint8_t> Bgr(TBitmap& b) {
    std::vector<std::uint8_t> v;
    for (int y = 0; y < b.Height(); ++y) {
        const std::uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < b.Width(); ++x) v.insert(v.end(), row + x * b.BytesPerPixel(), row + x * b.BytesPerPixel() + 3);
    }
    return v;
}

TEST(ResampleBitmap, KeepsTheTargetFormatAndMatchesThePixelResampler) {
    TBitmap source(40, 30, pf24bit);
    FillRamp(source);
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        TBitmap target(5, 5, format);
        ResampleBitmap(17, 11, TResamplingFilter::Triangle, 5.0f, source, target);
        EXPECT_EQ(target.PixelFormat(), format);
        ASSERT_EQ(target.Width(), 17);
        ASSERT_EQ(target.Height(), 11);
        PixelBuffer expected(17, 11, 3);
        ResamplePixelsReference(source.Pixels(), expected.view(), TResamplingFilter::Triangle, 5.0f);
        EXPECT_EQ(Bgr(target), std::vector<std::uint8_t>(expected.data(), expected.data() + 17 * 11 * 3));
    }
}

TEST(ResampleBitmap, EmptyOrRefusedRequests) {
    TBitmap source(8, 8, pf24bit);
    FillRamp(source);
    TBitmap empty;
    const struct {
        const char* name;
        TGraphic* from;
        int w, h;
        int width, height;  // of the target afterwards
    } cases[] = {
        {"empty source", &empty, 4, 4, 3, 3},
        {"negative width", &source, -4, 4, 3, 3},
        {"absurd height", &source, 4, 1 << 30, 3, 3},
        {"zero width", &source, 0, 4, 0, 0},
    };
    for (const auto& c : cases) {
        TBitmap target(3, 3, pf24bit);
        ResampleBitmap(c.w, c.h, TResamplingFilter::Box, 0.0f, *c.from, target);
        EXPECT_EQ(target.Width(), c.width) << c.name;
        EXPECT_EQ(target.Height(), c.height) << c.name;
    }
}

TEST(ResampleBitmap, TakesAJpegImageAndItsOwnTargetAsSource) {
    TBitmap picture(32, 24, pf24bit);
    FillRamp(picture);
    TJPEGImage jpeg;
    jpeg.Assign(picture);
    TBitmap target;
    ResampleBitmap(16, 12, TResamplingFilter::Lanczos3, 0.0f, jpeg, target);
    EXPECT_EQ(target.Width(), 16);
    EXPECT_EQ(target.Height(), 12);

    TBitmap self(20, 20, pf32bit);
    FillRamp(self);
    PixelBuffer expected(10, 10, 4);
    ResamplePixelsReference(self.Pixels(), expected.view(), TResamplingFilter::Mitchell, 0.0f);
    ResampleBitmap(10, 10, TResamplingFilter::Mitchell, 0.0f, self, self);
    ASSERT_EQ(self.Width(), 10);
    EXPECT_EQ(self.ScanLine(4)[4 * 4 + 1], expected.row(4)[4 * 4 + 1]);
}

}  // namespace
}  // namespace controls
