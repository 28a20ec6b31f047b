#include "forms/button_glyph.h"

#include <algorithm>

#include "forms/canvas.h"

namespace forms {

int GlyphFrameCount(const TBitmap& glyph, int numGlyphs) {
    return std::clamp(numGlyphs, 1, std::max(1, glyph.Width()));
}

void DrawGlyphFrame(HDC dc, TBitmap& glyph, int numGlyphs, int index, int x, int y) {
    if (glyph.Width() <= 0 || glyph.Height() <= 0) return;
    const int count = GlyphFrameCount(glyph, numGlyphs);
    if (index < 1 || index > count) index = 1;
    const int w = glyph.Width() / count;
    const TColor key = glyph.ResolvedTransparentColor();
    TransparentBlt(dc, x, y, w, glyph.Height(), glyph.Canvas()->Handle(), (index - 1) * w, 0, w, glyph.Height(),
                   ColorToRGB(key));
}

FaceGlyph StripGlyph(TBitmap& glyph, int numGlyphs, int index) {
    if (glyph.Width() <= 0 || glyph.Height() <= 0) return {};
    return {glyph.Width() / GlyphFrameCount(glyph, numGlyphs), glyph.Height(),
            [&glyph, numGlyphs, index](HDC dc, int x, int y) { DrawGlyphFrame(dc, glyph, numGlyphs, index, x, y); }};
}

void DrawGlyphAndCaption(HDC dc, const RECT& rect, const FaceGlyph& glyph, TButtonLayout layout, const std::string& caption,
                         bool enabled) {
    const int gw = glyph.draw ? glyph.width : 0;
    const int gh = glyph.draw ? glyph.height : 0;
    RECT measured{0, 0, 0, 0};
    if (!caption.empty()) DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
    const int tw = measured.right, th = measured.bottom;
    const int spacing = gw > 0 && tw > 0 ? 4 : 0;
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const int total = across ? gw + spacing + tw : gh + spacing + th;
    const int start = ((across ? w : h) - total) / 2;
    const bool glyphFirst = layout == blGlyphLeft || layout == blGlyphTop;
    const int glyphAt = glyphFirst ? start : start + total - (across ? gw : gh);
    const int textAt = glyphFirst ? start + (across ? gw : gh) + spacing : start;
    if (gw > 0) {
        const int x = across ? glyphAt : (w - gw) / 2;
        const int y = across ? (h - gh) / 2 : glyphAt;
        glyph.draw(dc, rect.left + x, rect.top + y);
    }
    if (tw > 0) {
        RECT t{rect.left + (across ? textAt : (w - tw) / 2), rect.top + (across ? (h - th) / 2 : textAt), 0, 0};
        t.right = t.left + tw;
        t.bottom = t.top + th;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_SINGLELINE | DT_NOCLIP);
    }
}

}  // namespace forms
