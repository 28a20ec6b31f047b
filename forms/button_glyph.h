// The glyph strip of bitmap and speed buttons: NumGlyphs frames side by side (normal,
// disabled, pressed), each drawn with the colour of the strip's bottom-left pixel left out.
#pragma once
#include <windows.h>

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
// An unskinned button face's glyph and caption: the glyph before the caption along the
// layout, the pair centred, 4 pixels apart.
void DrawGlyphAndCaption(HDC dc, const RECT& rect, TBitmap& glyph, int numGlyphs, int frame, TButtonLayout layout,
                         const std::string& caption, bool enabled);

}  // namespace forms
