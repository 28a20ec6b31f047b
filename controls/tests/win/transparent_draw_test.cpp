#include "controls/transparent_draw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/gdi_handle.h"

namespace controls {
namespace {

using namespace forms;

constexpr COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 160, 0), kMagenta = RGB(255, 0, 255);

COLORREF At(TBitmap& b, int x, int y) {
    const std::uint8_t* p = b.ScanLine(y) + b.BytesPerPixel() * x;
    return RGB(p[2], p[1], p[0]);
}

void Put(TBitmap& b, int x, int y, COLORREF c) {
    std::uint8_t* p = b.ScanLine(y) + b.BytesPerPixel() * x;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

// Rows of letters: M magenta, R red, G green, B blue.
COLORREF Letter(char c) {
    switch (c) {
        case 'M': return kMagenta;
        case 'R': return kRed;
        case 'G': return kGreen;
        default: return kBlue;
    }
}

void Paint(TBitmap& b, const std::vector<std::string>& rows) {
    b.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) Put(b, x, y, Letter(rows[y][x]));
}

std::vector<std::string> Read(TBitmap& b, int x0, int y0, int w, int h) {
    std::vector<std::string> rows;
    for (int y = y0; y < y0 + h; ++y) {
        std::string row;
        for (int x = x0; x < x0 + w; ++x) {
            const COLORREF c = At(b, x, y);
            row += c == kMagenta ? 'M' : c == kRed ? 'R' : c == kGreen ? 'G' : c == kBlue ? 'B' : c == 0 ? 'K' : c == 0xFFFFFF ? 'W' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

struct TransparentDraw : testing::Test {
    TBitmap target;
    TBitmap source;
    void SetUp() override {
        Paint(target, std::vector<std::string>(6, "BBBBBBBB"));
        Paint(source, {"RMRM", "MRRR", "GRMG"});
    }
};

TEST_F(TransparentDraw, EachKindOfTransparentColourPixelByPixel) {
    const struct {
        const char* name;
        TColor colour;
        std::vector<std::string> expected;
    } cases[] = {
        {"magenta", clFuchsia, {"RBRB", "BRRR", "GRBG"}},
        {"none", clNone, {"RMRM", "MRRR", "GRMG"}},
        {"bottom-left", clDefault, {"RMRM", "MRRR", "BRMB"}},
        {"a colour not there", clYellow, {"RMRM", "MRRR", "GRMG"}},
    };
    for (const auto& c : cases) {
        SetUp();
        DrawWholeBitmapMasked(*target.Canvas(), 2, 1, source, c.colour);
        EXPECT_EQ(Read(target, 2, 1, 4, 3), c.expected) << c.name;
        // Nothing outside the copied rectangle moves.
        EXPECT_EQ(Read(target, 0, 0, 8, 1), std::vector<std::string>{"BBBBBBBB"}) << c.name;
        EXPECT_EQ(Read(target, 0, 4, 8, 2), (std::vector<std::string>{"BBBBBBBB", "BBBBBBBB"})) << c.name;
        EXPECT_EQ(Read(target, 0, 1, 2, 3), (std::vector<std::string>{"BB", "BB", "BB"})) << c.name;
    }
}

TEST_F(TransparentDraw, APartAndAStretchedCopy) {
    DrawBitmapPartMasked(*target.Canvas(), 0, 0, RECT{1, 0, 3, 2}, source, clFuchsia);
    EXPECT_EQ(Read(target, 0, 0, 3, 3), (std::vector<std::string>{"BRB", "RRB", "BBB"}));

    Paint(target, std::vector<std::string>(6, "BBBBBBBB"));
    DrawBitmapMasked(*target.Canvas(), source, clFuchsia, 0, 0, 8, 6, 0, 0, 4, 3);
    EXPECT_EQ(Read(target, 0, 0, 8, 6), (std::vector<std::string>{"RRBBRRBB", "RRBBRRBB", "BBRRRRRR", "BBRRRRRR",
                                                                  "GGRRBBGG", "GGRRBBGG"}));

    // Sizes below 1 mean the bitmap's own.
    Paint(target, std::vector<std::string>(6, "BBBBBBBB"));
    DrawBitmapMasked(*target.Canvas(), source, clFuchsia, 1, 1, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(Read(target, 1, 1, 4, 3), (std::vector<std::string>{"RBRB", "BRRR", "GRBG"}));
}

TEST_F(TransparentDraw, AMonochromeBitmapLeavesWhiteOutWhateverColourIsPassed) {
    // 1 bits are white, the high bit first; rows are padded to 16 bits.
    const BYTE bits[6] = {0x50, 0, 0xF0, 0, 0x00, 0};  // black white black white / all white / all black
    UniqueBitmap mono(CreateBitmap(4, 3, 1, 1, bits));
    ASSERT_NE(mono.get(), nullptr);
    const std::vector<std::string> expected{"KBKB", "BBBB", "KKKK"};
    for (TColor colour : {clFuchsia, clRed, clDefault}) {
        Paint(target, std::vector<std::string>(6, "BBBBBBBB"));
        DrawBitmapMasked(*target.Canvas(), mono.get(), colour, 0, 0, 0, 0, 0, 0, 0, 0);
        EXPECT_EQ(Read(target, 0, 0, 4, 3), expected) << std::hex << colour;
    }
}

TEST_F(TransparentDraw, AnEmptyBitmapDrawsNothing) {
    TBitmap empty;
    for (TColor colour : {clDefault, clNone, clFuchsia}) {
        EXPECT_NO_THROW(DrawWholeBitmapMasked(*target.Canvas(), 0, 0, empty, colour));
        EXPECT_NO_THROW(DrawBitmapMasked(*target.Canvas(), empty, colour, 0, 0, 4, 4, 0, 0, 4, 4));
        EXPECT_NO_THROW(DrawBitmapMasked(*target.Canvas(), static_cast<HBITMAP>(nullptr), colour, 0, 0, 4, 4, 0, 0, 4, 4));
    }
    EXPECT_EQ(Read(target, 0, 0, 8, 6), std::vector<std::string>(6, "BBBBBBBB"));
}

}  // namespace
}  // namespace controls
