#include "controls/transparent_draw.h"

#include <optional>

#include "forms/gdi_handle.h"
#include "forms/graphics.h"

namespace controls {
namespace {

using forms::SelectedObject;
using forms::TColor;
using forms::UniqueBitmap;
using forms::UniqueMemoryDC;

// COLORREF's palette-relative flag: on a palette device the nearest palette entry matches.
constexpr COLORREF kPaletteRelative = 0x02000000;

// A memory DC with a bitmap selected for the scope; every handle goes back on every path.
class ScratchDC {
public:
    ScratchDC(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)), bitmap_(bitmap), selected_(dc_.get(), bitmap) {}
    HDC get() const { return dc_.get(); }

private:
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    SelectedObject selected_;
};

// A palette selected and realised for the scope.
class RealisedPalette {
public:
    RealisedPalette(HDC dc, HPALETTE palette, bool background) : dc_(dc) {
        if (palette == nullptr) return;
        old_ = SelectPalette(dc, palette, background);
        RealizePalette(dc);
    }
    ~RealisedPalette() {
        if (old_ != nullptr) SelectPalette(dc_, old_, TRUE);
    }
    RealisedPalette(const RealisedPalette&) = delete;
    RealisedPalette& operator=(const RealisedPalette&) = delete;

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

struct SourceBitmap {
    HDC dc = nullptr;
    int width = 0, height = 0;
    bool monochrome = false;
    HPALETTE palette = nullptr;
};

void DrawMasked(forms::TCanvas& canvas, const SourceBitmap& source, TColor transparentColor, int dstX, int dstY, int dstW,
                int dstH, int srcX, int srcY, int srcW, int srcH) {
    // Nothing to copy, and no bottom-left pixel to read for clDefault.
    if (source.dc == nullptr || source.width <= 0 || source.height <= 0) return;
    if (dstW < 1) dstW = source.width;
    if (dstH < 1) dstH = source.height;
    if (srcW < 1 || srcH < 1) {
        srcX = srcY = 0;
        srcW = source.width;
        srcH = source.height;
    }
    HDC dst = canvas.Handle();
    std::optional<int> oldStretch;
    if (!source.monochrome) oldStretch = SetStretchBltMode(dst, COLORONCOLOR);
    struct RestoreStretch {
        HDC dc;
        std::optional<int>& mode;
        ~RestoreStretch() { if (mode && *mode != 0) SetStretchBltMode(dc, *mode); }
    } restore{dst, oldStretch};

    if (transparentColor == forms::clNone) {
        StretchBlt(dst, dstX, dstY, dstW, dstH, source.dc, srcX, srcY, srcW, srcH, canvas.CopyMode);
        return;
    }
    COLORREF rgb = 0xFFFFFF;
    if (!source.monochrome) {
        rgb = transparentColor == forms::clDefault ? GetPixel(source.dc, 0, source.height - 1)
                                                   : forms::ColorToRGB(transparentColor);
    }
    MaskedStretchCopy(dst, dstX, dstY, dstW, dstH, source.dc, srcX, srcY, srcW, srcH, source.palette, rgb);
}

}  // namespace

void MaskedStretchCopy(HDC dst, int dstX, int dstY, int dstW, int dstH, HDC src, int srcX, int srcY, int srcW, int srcH,
                       HPALETTE palette, COLORREF transparentColor) {
    if (dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0) return;
    ScratchDC mask(dst, CreateBitmap(srcW, srcH, 1, 1, nullptr));
    ScratchDC inverted(dst, CreateBitmap(srcW, srcH, 1, 1, nullptr));
    ScratchDC result(dst, CreateCompatibleBitmap(dst, dstW, dstH));
    ScratchDC image(dst, CreateCompatibleBitmap(dst, srcW, srcH));
    RealisedPalette dstPalette(dst, palette, true);
    RealisedPalette resultPalette(result.get(), palette, false);
    RealisedPalette imagePalette(image.get(), palette, false);
    SetMapMode(image.get(), GetMapMode(dst));

    BitBlt(image.get(), 0, 0, srcW, srcH, src, srcX, srcY, SRCCOPY);
    // Copying colour into monochrome: the background colour becomes 1, all else 0.
    const COLORREF oldBack = SetBkColor(image.get(), (transparentColor & 0xFFFFFF) | kPaletteRelative);
    BitBlt(mask.get(), 0, 0, srcW, srcH, image.get(), 0, 0, SRCCOPY);
    SetBkColor(image.get(), oldBack);
    BitBlt(inverted.get(), 0, 0, srcW, srcH, mask.get(), 0, 0, NOTSRCCOPY);

    // Monochrome into colour maps 1 to the background and 0 to the text colour: white and black.
    SetBkColor(result.get(), RGB(255, 255, 255));
    SetTextColor(result.get(), RGB(0, 0, 0));
    SetBkColor(image.get(), RGB(255, 255, 255));
    SetTextColor(image.get(), RGB(0, 0, 0));
    BitBlt(result.get(), 0, 0, dstW, dstH, dst, dstX, dstY, SRCCOPY);
    StretchBlt(result.get(), 0, 0, dstW, dstH, mask.get(), 0, 0, srcW, srcH, SRCAND);
    BitBlt(image.get(), 0, 0, srcW, srcH, inverted.get(), 0, 0, SRCAND);
    StretchBlt(result.get(), 0, 0, dstW, dstH, image.get(), 0, 0, srcW, srcH, SRCPAINT);
    BitBlt(dst, dstX, dstY, dstW, dstH, result.get(), 0, 0, SRCCOPY);
}

void DrawBitmapMasked(forms::TCanvas& canvas, forms::TBitmap& bitmap, TColor transparentColor, int dstX, int dstY,
                      int dstW, int dstH, int srcX, int srcY, int srcW, int srcH) {
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
    // Our bitmaps are 24 or 32 bits, never monochrome, and carry no palette.
    const SourceBitmap source{bitmap.Canvas()->Handle(), bitmap.Width(), bitmap.Height(), false, nullptr};
    DrawMasked(canvas, source, transparentColor, dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH);
}

void DrawBitmapMasked(forms::TCanvas& canvas, HBITMAP bitmap, TColor transparentColor, int dstX, int dstY, int dstW,
                      int dstH, int srcX, int srcY, int srcW, int srcH) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return;
    UniqueMemoryDC dc(CreateCompatibleDC(canvas.Handle()));
    SelectedObject selected(dc.get(), bitmap);
    const bool monochrome = info.bmBitsPixel == 1 && info.bmPlanes == 1;
    const SourceBitmap source{dc.get(), static_cast<int>(info.bmWidth), static_cast<int>(info.bmHeight), monochrome,
                              nullptr};
    DrawMasked(canvas, source, transparentColor, dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH);
}

void DrawBitmapPartMasked(forms::TCanvas& canvas, int dstX, int dstY, const RECT& sourceRect, forms::TBitmap& bitmap,
                          TColor transparentColor) {
    const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
    DrawBitmapMasked(canvas, bitmap, transparentColor, dstX, dstY, w, h, sourceRect.left, sourceRect.top, w, h);
}

void DrawWholeBitmapMasked(forms::TCanvas& canvas, int dstX, int dstY, forms::TBitmap& bitmap, TColor transparentColor) {
    DrawBitmapMasked(canvas, bitmap, transparentColor, dstX, dstY, bitmap.Width(), bitmap.Height(), 0, 0,
                     bitmap.Width(), bitmap.Height());
}

}  // namespace controls
