#include "forms/bitmap.h"

#include <cstring>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "forms/portable/exceptions.h"
#include "forms/portable/streams.h"

namespace forms {
namespace {

struct Bgr {
    std::uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

Bgr PixelAt(TBitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.ScanLine(y) + x * bitmap.BytesPerPixel();
    return {p[0], p[1], p[2]};
}

void PutPixel(TBitmap& bitmap, int x, int y, Bgr c) {
    std::uint8_t* p = bitmap.ScanLine(y) + x * bitmap.BytesPerPixel();
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

// Every pixel different, so that shifted rows, swapped channels or flipped images show.
void PaintPattern(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            PutPixel(bitmap, x, y, {static_cast<std::uint8_t>(x * 9), static_cast<std::uint8_t>(y * 13),
                                    static_cast<std::uint8_t>(x + y * 31)});
}

void ExpectSamePixels(TBitmap& a, TBitmap& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_TRUE(PixelAt(a, x, y) == PixelAt(b, x, y)) << x << "," << y;
}

void FillSolid(TCanvas* canvas, TColor color, const RECT& r) {
    canvas->Brush()->SetColor(color);
    canvas->FillRect(r);
}

constexpr Bgr kRed{0, 0, 255}, kBlue{255, 0, 0}, kBlack{0, 0, 0};

TEST(Bitmap, ScanLinesAreTopDownAndShowWhatTheCanvasDrew) {
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        TBitmap bitmap(21, 10, format);
        EXPECT_EQ(bitmap.BytesPerPixel(), format == pf32bit ? 4 : 3);
        FillSolid(bitmap.Canvas(), clRed, Rect(0, 0, 21, 10));
        FillSolid(bitmap.Canvas(), clBlue, Rect(5, 1, 8, 3));  // rows 1 and 2 from the top
        EXPECT_EQ(PixelAt(bitmap, 0, 0), kRed);
        EXPECT_EQ(PixelAt(bitmap, 5, 1), kBlue);
        EXPECT_EQ(PixelAt(bitmap, 7, 2), kBlue);
        EXPECT_EQ(PixelAt(bitmap, 8, 2), kRed);
        EXPECT_EQ(PixelAt(bitmap, 5, 8), kRed);  // the mirror row of a bottom-up reading
        EXPECT_EQ(PixelAt(bitmap, 20, 9), kRed);
        const PixelView view = bitmap.Pixels();
        EXPECT_EQ(view.row(2), bitmap.ScanLine(2));
        EXPECT_EQ(view.stride, bitmap.RowPitch());
        EXPECT_EQ(view.stride % 4, 0);
    }
}

TEST(Bitmap, PixelsWrittenToScanLinesReachGdi) {
    TBitmap bitmap(4, 3);
    FillSolid(bitmap.Canvas(), clWhite, Rect(0, 0, 4, 3));
    PutPixel(bitmap, 3, 2, {0x10, 0x20, 0x30});
    EXPECT_EQ(bitmap.Canvas()->Pixel(3, 2), MakeColor(0x30, 0x20, 0x10));
    EXPECT_EQ(bitmap.Canvas()->Pixel(0, 0), clWhite);
}

TEST(Bitmap, ResizingAndReformattingKeepThePixelsThatRemain) {
    TBitmap bitmap(6, 5);
    PaintPattern(bitmap);
    TBitmap original;
    original.Assign(bitmap);

    bitmap.SetPixelFormat(pf32bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    ExpectSamePixels(bitmap, original);

    bitmap.SetSize(8, 3);
    EXPECT_EQ(PixelAt(bitmap, 5, 2), PixelAt(original, 5, 2));
    EXPECT_EQ(PixelAt(bitmap, 7, 0), kBlack);
    bitmap.SetPixelFormat(pfDevice);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelAt(bitmap, 4, 1), PixelAt(original, 4, 1));

    EXPECT_THROW(bitmap.SetPixelFormat(pf8bit), EInvalidGraphic);
    EXPECT_THROW(bitmap.SetSize(-1, 4), EInvalidGraphic);
    EXPECT_THROW(bitmap.ScanLine(3), EInvalidGraphic);
    bitmap.SetSize(0, 3);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_TRUE(bitmap.Pixels().empty());
}

TEST(Bitmap, TheCanvasSurvivesANewSize) {
    TBitmap bitmap(2, 2);
    TCanvas* canvas = bitmap.Canvas();
    bitmap.SetSize(30, 20);
    FillSolid(canvas, clBlue, Rect(0, 0, 30, 20));
    EXPECT_EQ(PixelAt(bitmap, 29, 19), kBlue);
    EXPECT_EQ(bitmap.Canvas(), canvas);
}

TEST(Bitmap, BmpStreamsRoundTrip) {
    const struct { int width, height; TPixelFormat format; } cases[] = {
        {7, 5, pf24bit}, {7, 5, pf32bit}, {1, 1, pf24bit}, {64, 3, pf24bit}, {3, 64, pf32bit},
    };
    for (const auto& c : cases) {
        TBitmap bitmap(c.width, c.height, c.format);
        PaintPattern(bitmap);
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        ASSERT_EQ(stream.Memory()[0], 'B');
        ASSERT_EQ(stream.Memory()[1], 'M');
        stream.SetPosition(0);
        TBitmap loaded;
        loaded.LoadFromStream(stream);
        EXPECT_EQ(loaded.PixelFormat(), c.format);
        ExpectSamePixels(loaded, bitmap);
        EXPECT_EQ(stream.Position(), stream.Size());
    }
}

TEST(Bitmap, BitmapsFollowEachOtherInOneStream) {
    TBitmap first(5, 4), second(3, 9);
    PaintPattern(first);
    FillSolid(second.Canvas(), clRed, Rect(0, 0, 3, 9));
    TMemoryStream stream;
    first.SaveToStream(stream);
    second.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap a, b;
    a.LoadFromStream(stream);
    b.LoadFromStream(stream);
    ExpectSamePixels(a, first);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(PixelAt(b, 2, 8), kRed);
}

// A BMP file built by hand: header, palette and rows exactly as given.
std::vector<std::uint8_t> BmpFile(int width, int height, int bitCount, const std::vector<RGBQUAD>& palette,
                                  const std::vector<std::uint8_t>& rows) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bitCount);
    info.biClrUsed = static_cast<DWORD>(palette.size());
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = static_cast<DWORD>(sizeof header + sizeof info + palette.size() * sizeof(RGBQUAD));
    header.bfSize = static_cast<DWORD>(header.bfOffBits + rows.size());
    std::vector<std::uint8_t> file(header.bfSize);
    std::memcpy(file.data(), &header, sizeof header);
    std::memcpy(file.data() + sizeof header, &info, sizeof info);
    if (!palette.empty()) std::memcpy(file.data() + sizeof header + sizeof info, palette.data(), palette.size() * sizeof(RGBQUAD));
    std::memcpy(file.data() + header.bfOffBits, rows.data(), rows.size());
    return file;
}

void LoadBytes(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
}

TEST(Bitmap, OtherDepthsAndRowOrdersComeInAsTrueColour) {
    const std::vector<RGBQUAD> palette = {{0, 0, 255, 0}, {255, 0, 0, 0}};  // red, blue
    // 8 bits, 3 x 2, bottom-up: the file's first row is the bottom one. Rows pad to 4 bytes.
    TBitmap indexed;
    LoadBytes(indexed, BmpFile(3, 2, 8, palette, {1, 0, 0, 0, /*top:*/ 0, 0, 1, 0}));
    EXPECT_EQ(indexed.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelAt(indexed, 0, 1), kBlue);
    EXPECT_EQ(PixelAt(indexed, 2, 0), kBlue);
    EXPECT_EQ(PixelAt(indexed, 1, 0), kRed);

    // 1 bit, 9 x 1: the ninth pixel sits in the second byte's high bit.
    TBitmap mono;
    LoadBytes(mono, BmpFile(9, 1, 1, palette, {0x80, 0x80, 0, 0}));
    EXPECT_EQ(PixelAt(mono, 0, 0), kBlue);
    EXPECT_EQ(PixelAt(mono, 1, 0), kRed);
    EXPECT_EQ(PixelAt(mono, 8, 0), kBlue);

    // 24 bits, top-down (negative height).
    TBitmap topDown;
    LoadBytes(topDown, BmpFile(1, -2, 24, {}, {255, 0, 0, 0, /*second row:*/ 0, 0, 255, 0}));
    EXPECT_EQ(PixelAt(topDown, 0, 0), kBlue);
    EXPECT_EQ(PixelAt(topDown, 0, 1), kRed);
}

TEST(Bitmap, BrokenFilesRaiseInvalidGraphicAndKeepThePicture) {
    const std::vector<std::uint8_t> good = BmpFile(2, 2, 24, {}, std::vector<std::uint8_t>(16, 0x55));
    auto patched = [&](std::size_t offset, std::vector<std::uint8_t> bytes) {
        auto file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
        return file;
    };
    constexpr std::size_t kInfo = sizeof(BITMAPFILEHEADER);
    const struct { const char* name; std::vector<std::uint8_t> bytes; } cases[] = {
        {"empty", {}},
        {"not BM", patched(0, {'P', 'K'})},
        {"cut in the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)},
        {"rows missing", std::vector<std::uint8_t>(good.begin(), good.end() - 4)},
        {"seven bits per pixel", patched(kInfo + 14, {7, 0})},
        {"unknown compression", patched(kInfo + 16, {9, 0, 0, 0})},
        {"odd header size", patched(kInfo, {20, 0, 0, 0})},
        {"65000 square", patched(kInfo + 4, {0xE8, 0xFD, 0, 0, 0xE8, 0xFD, 0, 0})},
        {"negative width", patched(kInfo + 4, {0xFE, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& c : cases) {
        TBitmap bitmap(1, 1);
        PutPixel(bitmap, 0, 0, kBlue);
        EXPECT_THROW(LoadBytes(bitmap, c.bytes), EInvalidGraphic) << c.name;
        EXPECT_EQ(bitmap.Width(), 1) << c.name;
        EXPECT_EQ(PixelAt(bitmap, 0, 0), kBlue) << c.name;
    }
    TBitmap bitmap;
    LoadBytes(bitmap, good);
    EXPECT_EQ(PixelAt(bitmap, 1, 1), (Bgr{0x55, 0x55, 0x55}));
}

TEST(Bitmap, FilesRoundTrip) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "bitmap_test.bmp";
    TBitmap bitmap(9, 4);
    PaintPattern(bitmap);
    bitmap.SaveToFile(path);
    TBitmap loaded;
    loaded.LoadFromFile(path);
    ExpectSamePixels(loaded, bitmap);
    DeleteFileA(path.c_str());
    EXPECT_THROW(loaded.LoadFromFile(path), EStreamError);
}

TEST(Bitmap, LoadsBitmapResources) {
    // The system's own frame glyphs are RT_BITMAP resources of user32 (OBM_CLOSE).
    constexpr int kCloseGlyph = 32754;
    HINSTANCE user32 = GetModuleHandleA("user32.dll");
    ASSERT_NE(user32, nullptr);
    TBitmap bitmap;
    bitmap.LoadFromResourceID(user32, kCloseGlyph);
    EXPECT_GT(bitmap.Width(), 0);
    EXPECT_GT(bitmap.Height(), 0);
    EXPECT_THROW(bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP"), EInvalidGraphic);
    EXPECT_GT(bitmap.Width(), 0);
}

TEST(Bitmap, AssignCopiesPixelsFormatAndTransparency) {
    TBitmap source(4, 4, pf32bit);
    PaintPattern(source);
    source.SetTransparent(true);
    source.TransparentColor = clFuchsia;
    TBitmap copy;
    copy.Assign(source);
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor, clFuchsia);
    ExpectSamePixels(copy, source);
    PutPixel(source, 0, 0, kRed);
    EXPECT_NE(PixelAt(copy, 0, 0), kRed);  // the copy has pixels of its own
    EXPECT_NE(copy.Handle(), source.Handle());
}

TEST(Bitmap, ChangesAreAnnounced) {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &bitmap);
        ++changes;
    };
    const struct { const char* name; std::function<void()> act; int expected; } steps[] = {
        {"new size", [&] { bitmap.SetSize(3, 3); }, 1},
        {"same size", [&] { bitmap.SetSize(3, 3); }, 0},
        {"canvas drawing", [&] { FillSolid(bitmap.Canvas(), clRed, Rect(0, 0, 3, 3)); }, 1},
        {"same format", [&] { bitmap.SetPixelFormat(pf24bit); }, 0},
        {"new format", [&] { bitmap.SetPixelFormat(pf32bit); }, 1},
        {"free", [&] { bitmap.FreeImage(); }, 1},
    };
    for (const auto& step : steps) {
        changes = 0;
        step.act();
        EXPECT_GE(changes, step.expected) << step.name;
        if (step.expected == 0) {
            EXPECT_EQ(changes, 0) << step.name;
        }
    }
}

TEST(Bitmap, DrawsStretchedAndLeavesTheTransparentColourOut) {
    TBitmap small(2, 2);
    FillSolid(small.Canvas(), clFuchsia, Rect(0, 0, 2, 2));
    FillSolid(small.Canvas(), clBlue, Rect(0, 0, 1, 1));
    TBitmap target(8, 8);
    FillSolid(target.Canvas(), clRed, Rect(0, 0, 8, 8));

    small.Draw(*target.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(PixelAt(target, 1, 1), kBlue);
    EXPECT_EQ(PixelAt(target, 3, 3), (Bgr{255, 0, 255}));
    EXPECT_EQ(PixelAt(target, 5, 5), kRed);

    small.SetTransparent(true);  // automatic colour: the bottom-left pixel, fuchsia
    EXPECT_EQ(small.ResolvedTransparentColor(), clFuchsia);
    small.Draw(*target.Canvas(), Rect(4, 4, 8, 8));
    EXPECT_EQ(PixelAt(target, 5, 5), kBlue);
    EXPECT_EQ(PixelAt(target, 7, 7), kRed);
}

}  // namespace
}  // namespace forms
