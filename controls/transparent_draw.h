// Transparent bitmap drawing: a bitmap, or a rectangle of it, copied onto a canvas with the
// pixels of one colour leaving the destination as it was, optionally stretched. Masks and
// raster operations do the work, so palette displays behave the same.
//
// Colours: clNone copies every pixel; clDefault is the bitmap's bottom-left pixel; a
// monochrome bitmap always takes white as transparent.
#pragma once
#include <windows.h>

#include "forms/bitmap.h"
#include "forms/canvas.h"

namespace controls {

// The low-level copy between device contexts; palette may be nullptr.
void MaskedStretchCopy(HDC dst, int dstX, int dstY, int dstW, int dstH, HDC src, int srcX, int srcY, int srcW, int srcH,
                       HPALETTE palette, COLORREF transparentColor);

// A destination width or height below 1 is the bitmap's; a source width or height below 1
// is the whole bitmap. An empty bitmap draws nothing.
void DrawBitmapMasked(forms::TCanvas& canvas, forms::TBitmap& bitmap, forms::TColor transparentColor, int dstX,
                      int dstY, int dstW, int dstH, int srcX, int srcY, int srcW, int srcH);
// The same for any GDI bitmap, monochrome ones among them (it must not be selected anywhere).
void DrawBitmapMasked(forms::TCanvas& canvas, HBITMAP bitmap, forms::TColor transparentColor, int dstX, int dstY,
                      int dstW, int dstH, int srcX, int srcY, int srcW, int srcH);

// sourceRect of bitmap, unstretched, to (dstX, dstY).
void DrawBitmapPartMasked(forms::TCanvas& canvas, int dstX, int dstY, const RECT& sourceRect, forms::TBitmap& bitmap,
                          forms::TColor transparentColor);
void DrawWholeBitmapMasked(forms::TCanvas& canvas, int dstX, int dstY, forms::TBitmap& bitmap,
                           forms::TColor transparentColor);

}  // namespace controls
