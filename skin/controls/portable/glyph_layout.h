// Where a bitmap or speed button puts its glyph and caption inside its client area, by its
// layout, margin and spacing (-1: automatic).
#pragma once

namespace skin {

enum class GlyphSide { Left, Right, Top, Bottom };

struct GlyphLayoutInput {
    int clientWidth = 0, clientHeight = 0;
    int glyphWidth = 0, glyphHeight = 0;  // 0 × 0: no glyph
    int textWidth = 0, textHeight = 0;    // 0 × 0: no caption
    GlyphSide side = GlyphSide::Left;
    int margin = -1;
    int spacing = -1;
    bool centreAlignment = false;  // a bit button aligned to the centre lays out as with margin -1
    bool speedButton = false;      // a given spacing with margin -1 sits one pixel further on
};

struct GlyphPlacement {
    int glyphX = 0, glyphY = 0;
    int textX = 0, textY = 0;  // the caption's top-left, textWidth × textHeight
};

GlyphPlacement PlaceGlyph(const GlyphLayoutInput& in);

// The glyph frames a strip holds: the NumGlyphs property (0 read as 1) kept between 1 and the
// strip's width, so a frame is never narrower than a pixel.
int GlyphFrames(int numGlyphs, int stripWidth);
// The glyph frame of a button's state (3 pressed, 2 disabled, 1 normal); a frame the strip
// lacks shows the first.
int GlyphFrame(bool pressed, bool enabled, int frames);

}  // namespace skin
