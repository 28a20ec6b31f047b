#include "forms/portable/pixels.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace forms {
namespace {

void Paint(PixelBuffer& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            std::uint8_t* p = b.row(y) + x * b.bytesPerPixel();
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x + 10 * y);
            if (b.bytesPerPixel() == 4) p[3] = 0x77;
        }
}

TEST(PixelBuffer, RefusesOddPixelSizesAndNegativeSizes) {
    EXPECT_THROW(PixelBuffer(2, 2, 2), std::invalid_argument);
    EXPECT_THROW(PixelBuffer(-1, 2, 3), std::invalid_argument);
    const PixelBuffer empty(0, 5, 4);
    EXPECT_TRUE(empty.empty());
}

TEST(CopyPixels, ConvertsBetweenPixelSizesOverTheCommonArea) {
    const struct { int fromBpp, toBpp, toWidth, toHeight; } cases[] = {
        {3, 3, 5, 4}, {3, 4, 5, 4}, {4, 3, 5, 4}, {4, 4, 5, 4}, {3, 4, 3, 2}, {4, 3, 9, 9},
    };
    for (const auto& c : cases) {
        PixelBuffer from(5, 4, c.fromBpp);
        Paint(from);
        PixelBuffer to(c.toWidth, c.toHeight, c.toBpp);
        FillPixels(to.view(), 1, 2, 3);
        CopyPixels(from.view(), to.view());
        for (int y = 0; y < c.toHeight; ++y)
            for (int x = 0; x < c.toWidth; ++x) {
                const std::uint8_t* p = to.row(y) + x * c.toBpp;
                const bool inside = x < 5 && y < 4;
                EXPECT_EQ(p[0], inside ? x : 1) << x << "," << y;
                EXPECT_EQ(p[1], inside ? y : 2) << x << "," << y;
                EXPECT_EQ(p[2], inside ? x + 10 * y : 3) << x << "," << y;
                if (c.toBpp == 4 && c.fromBpp == 3) {
                    EXPECT_EQ(p[3], 0);
                }
            }
    }
}

TEST(CopyPixels, FollowsNegativeStrides) {
    PixelBuffer from(3, 3, 3);
    Paint(from);
    PixelBuffer to(3, 3, 4);
    PixelView flipped = to.view();
    flipped.data = to.row(2);
    flipped.stride = -flipped.stride;
    CopyPixels(from.view(), flipped);
    EXPECT_EQ(to.row(0)[4 * 1 + 1], 2);  // top row of the buffer holds source row 2
    EXPECT_EQ(to.row(2)[4 * 1 + 1], 0);
    EXPECT_EQ(flipped.pixel(2, 1)[2], 2 + 10);
}

}  // namespace
}  // namespace forms
