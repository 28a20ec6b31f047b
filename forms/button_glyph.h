// The glyph strip of bitmap and speed buttons: NumGlyphs frames side by side (normal,
// disabled, pressed), each drawn with the colour of the strip's bottom-left pixel left out.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "forms/bitmap.h"
#include "forms/control.h"

namespace forms {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The frames a strip really holds: NumGlyphs kept between 1 and the strip's width.
int GlyphFrameCount(const TBitmap& glyph, int numGlyphs);
// Frame index (from 1) of the strip, at its own size, with its top-left at (x, y). A frame the
// strip lacks draws the first.
void DrawGlyphFrame(HDC dc, TBitmap& glyph, int numGlyphs, int index, int x, int y);

// The picture a button face shows beside its caption: its size (0 × 0: none) and how to draw
// it with its top-left at (x, y).
struct FaceGlyph {
    int width = 0, height = 0;
    std::function<void(HDC dc, int x, int y)> draw;
};
// Frame index (from 1) of a glyph strip; an empty strip gives no glyph.
FaceGlyph StripGlyph(TBitmap& glyph, int numGlyphs, int index);

// An unskinned button face's glyph and caption: the glyph before the caption along the
// layout, the pair centred, 4 pixels apart.
void DrawGlyphAndCaption(HDC dc, const RECT& rect, const FaceGlyph& glyph, TButtonLayout layout, const std::string& caption,
                         bool enabled);

}  // namespace forms
