#include "skin/controls/portable/glyph_layout.h"

#include <algorithm>

namespace skin {

GlyphPlacement PlaceGlyph(const GlyphLayoutInput& in) {
    const bool across = in.side == GlyphSide::Left || in.side == GlyphSide::Right;
    // Along the layout axis and across it.
    const int s = across ? in.clientWidth : in.clientHeight;
    const int g = across ? in.glyphWidth : in.glyphHeight;
    const int t = across ? in.textWidth : in.textHeight;
    const bool noGlyph = in.glyphWidth == 0 || in.glyphHeight == 0;
    const bool noText = in.textWidth == 0 || in.textHeight == 0;
    int margin = in.margin;
    int spacing = noGlyph || noText ? 0 : in.spacing;
    if (margin == -1 || (in.centreAlignment && !in.speedButton)) {
        if (spacing == -1) {
            margin = spacing = (s - (g + t)) / 3;
        } else {
            margin = (s - (g + spacing + t)) / 2;
            if (in.speedButton) margin += 1;
        }
    } else if (spacing == -1) {
        spacing = ((s - (margin + g)) - t) / 2;
    }
    int glyphAt = 0, textAt = 0;
    switch (in.side) {
        case GlyphSide::Left:
        case GlyphSide::Top:
            glyphAt = margin;
            textAt = glyphAt + g + spacing;
            break;
        case GlyphSide::Right:
        case GlyphSide::Bottom:
            glyphAt = s - margin - g;
            textAt = glyphAt - spacing - t;
            break;
    }
    // Across the axis both are centred.
    const int cross = across ? in.clientHeight : in.clientWidth;
    const int glyphCross = (cross - (across ? in.glyphHeight : in.glyphWidth) + 1) / 2;
    const int textCross = (cross - (across ? in.textHeight : in.textWidth) + 1) / 2;
    GlyphPlacement p;
    if (across) {
        p = {glyphAt, glyphCross, textAt, textCross};
    } else {
        p = {glyphCross, glyphAt, textCross, textAt};
    }
    return p;
}

int GlyphFrames(int numGlyphs, int stripWidth) { return std::clamp(numGlyphs, 1, std::max(1, stripWidth)); }

int GlyphFrame(bool pressed, bool enabled, int frames) {
    const int frame = pressed ? 3 : !enabled ? 2 : 1;
    return frame > frames ? 1 : frame;
}

}  // namespace skin
