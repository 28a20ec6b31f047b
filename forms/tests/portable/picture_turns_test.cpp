#include "forms/portable/picture_turns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace forms {
namespace {


// Each pixel's blue byte holds its letter, so a picture reads as rows of text.
PixelBuffer FromRows(const std::vector<std::string>& rows, int bpp) {
    PixelBuffer p(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), bpp);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            std::uint8_t* px = p.row(y) + x * bpp;
            px[0] = static_cast<std::uint8_t>(rows[y][x]);
            px[1] = static_cast<std::uint8_t>(x);
            px[2] = static_cast<std::uint8_t>(y);
            if (bpp == 4) px[3] = 200;
        }
    return p;
}

std::vector<std::string> ToRows(const PixelBuffer& p) {
    std::vector<std::string> rows;
    for (int y = 0; y < p.height(); ++y) {
        std::string row;
        for (int x = 0; x < p.width(); ++x) row += static_cast<char>(p.row(y)[x * p.bytesPerPixel()]);
        rows.push_back(row);
    }
    return rows;
}

using Rows = std::vector<std::string>;
const Rows kPicture = {"abc", "def"};  // 3 wide, 2 high

TEST(PictureTurns, QuarterTurns) {
    for (int bpp : {3, 4}) {
        PixelBuffer src = FromRows(kPicture, bpp);
        PixelBuffer cw = RotateClockwise(src.view());
        EXPECT_EQ(cw.width(), 2);
        EXPECT_EQ(cw.height(), 3);
        EXPECT_EQ(ToRows(cw), (Rows{"da", "eb", "fc"})) << bpp;
        PixelBuffer ccw = RotateCounterClockwise(src.view());
        EXPECT_EQ(ToRows(ccw), (Rows{"cf", "be", "ad"})) << bpp;
        // Whole pixels move: the other bytes come along.
        EXPECT_EQ(cw.row(0)[1], 0);  // 'd' was at x 0, y 1
        EXPECT_EQ(cw.row(0)[2], 1);
        if (bpp == 4) {
            EXPECT_EQ(cw.row(2)[3], 200);
        }
        // Turning back restores the picture; four turns are the identity.
        EXPECT_EQ(ToRows(RotateCounterClockwise(cw.view())), kPicture);
        PixelBuffer p = src;
        for (int i = 0; i < 4; ++i) p = RotateClockwise(p.view());
        EXPECT_EQ(ToRows(p), kPicture);
    }
}

TEST(PictureTurns, Mirrors) {
    const struct {
        MirrorKind kind;
        Rows expected;
    } cases[] = {
        {MirrorKind::LeftRight, {"cba", "fed"}},
        {MirrorKind::TopBottom, {"def", "abc"}},
        {MirrorKind::Both, {"fed", "cba"}},
    };
    for (const auto& c : cases) {
        for (int bpp : {3, 4}) {
            PixelBuffer p = FromRows(kPicture, bpp);
            MirrorPixels(p.view(), c.kind);
            EXPECT_EQ(ToRows(p), c.expected) << static_cast<int>(c.kind) << " " << bpp;
        }
    }
    // Mirroring both ways is the half turn.
    PixelBuffer half = FromRows(kPicture, 3);
    MirrorPixels(half.view(), MirrorKind::Both);
    PixelBuffer twice = RotateClockwise(RotateClockwise(FromRows(kPicture, 3).view()).view());
    EXPECT_EQ(ToRows(half), ToRows(twice));
}

TEST(PictureTurns, PaddedAndEmptyViews) {
    // A bottom-up view with padding, as a DIB section holds it.
    PixelBuffer src = FromRows({"ab", "cd"}, 3);
    std::vector<std::uint8_t> dib(2 * 8, 0);
    for (int y = 0; y < 2; ++y) std::memcpy(dib.data() + (1 - y) * 8, src.row(y), 6);
    forms::PixelView view{dib.data() + 8, 2, 2, -8, 3};
    EXPECT_EQ(ToRows(RotateClockwise(view)), (Rows{"ca", "db"}));
    MirrorPixels(view, MirrorKind::TopBottom);
    EXPECT_EQ(dib[8], 'c');  // the top row, stored last
    EXPECT_TRUE(RotateClockwise(forms::PixelView{}).empty());
    MirrorPixels(forms::PixelView{}, MirrorKind::Both);
}

}  // namespace
}  // namespace forms
