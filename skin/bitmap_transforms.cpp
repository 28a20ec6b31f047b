#include "skin/bitmap_transforms.h"

#include <cstring>
#include <vector>

#include "forms/portable/exceptions.h"
#include "skin/portable/bitmap_transforms.h"

namespace skin {

namespace {

forms::PixelBuffer PixelsOf(forms::TBitmap& bitmap) {
    forms::PixelBuffer pixels(bitmap.Width(), bitmap.Height(), bitmap.BytesPerPixel());
    if (!pixels.empty()) forms::CopyPixels(bitmap.Pixels(), pixels.view());
    return pixels;
}

// What the screen's device context reads back: a bottom-up 32-bit picture, made top-down.
forms::PixelBuffer PixelsThroughDibits(forms::TBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    forms::PixelBuffer pixels(w, h, 4);
    if (pixels.empty()) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(w) * h * 4);
    bitmap.Pixels();  // flushes pending drawing
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap.Handle(), 0, static_cast<UINT>(h), buffer.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != h) throw forms::EInvalidGraphic("Cannot read the bitmap's pixels");
    for (int r = 0; r < h; ++r)
        std::memcpy(pixels.row(h - 1 - r), buffer.data() + static_cast<std::size_t>(r) * w * 4, static_cast<std::size_t>(w) * 4);
    return pixels;
}

void Apply(forms::TBitmap& bitmap, forms::PixelBuffer pixels, void (*transform)(forms::PixelBuffer&)) {
    transform(pixels);
    if (pixels.empty()) {
        bitmap.FreeImage();
        return;
    }
    bitmap.AssignPixels(pixels.view());
}

}  // namespace

void GrayBitmap(forms::TBitmap& bitmap) { Apply(bitmap, PixelsOf(bitmap), GrayPixels); }
void MirrorBitmap(forms::TBitmap& bitmap) { Apply(bitmap, PixelsOf(bitmap), MirrorPixels); }
void FlipBitmap(forms::TBitmap& bitmap) { Apply(bitmap, PixelsOf(bitmap), FlipPixels); }
void RotateBitmapLeft(forms::TBitmap& bitmap) { Apply(bitmap, PixelsThroughDibits(bitmap), RotatePixelsLeft); }
void RotateBitmapRight(forms::TBitmap& bitmap) { Apply(bitmap, PixelsThroughDibits(bitmap), RotatePixelsRight); }

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::wstring WideCopy(const std::wstring& text, int count) {
    if (count < 0 || static_cast<std::size_t>(count) >= text.size()) return text;
    return text.substr(0, static_cast<std::size_t>(count));
}

int DrawTextWide(HDC dc, const std::wstring& text, RECT& rect, UINT format) {
    return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace skin
