#include "skin/bitmap_transforms.h"

#include <gtest/gtest.h>

#include <vector>

namespace skin {
namespace {

// a b c / d e f as 0xRRGGBB.
constexpr std::uint32_t a = 0x010203, b = 0x040506, c = 0x070809, d = 0x0A0B0C, e = 0x0D0E0F, f = 0x102030;

void Fill(forms::TBitmap& bitmap, const std::vector<std::uint32_t>& rgb) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t v = rgb[y * bitmap.Width() + x];
            std::uint8_t* p = row + bitmap.BytesPerPixel() * x;
            p[0] = v & 0xFF;
            p[1] = (v >> 8) & 0xFF;
            p[2] = (v >> 16) & 0xFF;
        }
    }
}

std::vector<std::uint32_t> Read(forms::TBitmap& bitmap) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint8_t* p = row + bitmap.BytesPerPixel() * x;
            out.push_back(p[0] | (p[1] << 8) | (p[2] << 16));
        }
    }
    return out;
}

TEST(BitmapTransformsWin, TransformsOfAThreeByTwoBitmapLandAsTheySay) {
    const struct {
        const char* what;
        void (*transform)(forms::TBitmap&);
        int width, height;
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {"mirror", MirrorBitmap, 3, 2, {c, b, a, f, e, d}},
        {"flip", FlipBitmap, 3, 2, {d, e, f, a, b, c}},
        {"left through GetDIBits", RotateBitmapLeft, 2, 3, {c, f, b, e, a, d}},
        {"right through GetDIBits", RotateBitmapRight, 2, 3, {d, a, e, b, f, c}},
        {"grey", GrayBitmap, 3, 2, {0x020202, 0x050505, 0x080808, 0x0B0B0B, 0x0E0E0E, 0x202020}},
    };
    for (forms::TPixelFormat format : {forms::pf24bit, forms::pf32bit}) {
        for (const auto& t : cases) {
            forms::TBitmap bitmap(3, 2, format);
            Fill(bitmap, {a, b, c, d, e, f});
            t.transform(bitmap);
            EXPECT_EQ(bitmap.PixelFormat(), forms::pf24bit) << t.what;
            EXPECT_EQ(bitmap.Width(), t.width) << t.what;
            EXPECT_EQ(bitmap.Height(), t.height) << t.what;
            EXPECT_EQ(Read(bitmap), t.expected) << t.what << (format == forms::pf32bit ? " from 32 bits" : "");
        }
    }
}

TEST(BitmapTransformsWin, WideTextHelpers) {
    EXPECT_EQ(WideCopy(L"abc", -1), L"abc");
    EXPECT_EQ(WideCopy(L"abc", 2), L"ab");
    EXPECT_EQ(WideCopy(L"abc", 10), L"abc");
    EXPECT_EQ(AnsiToWide("Skin"), L"Skin");
    EXPECT_EQ(AnsiToWide(""), L"");
}

}  // namespace
}  // namespace skin
