#include "skin/controls/portable/glyph_layout.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

GlyphLayoutInput Across(GlyphSide side, int margin, int spacing) {
    GlyphLayoutInput in;
    in.clientWidth = 100;
    in.clientHeight = 30;
    in.glyphWidth = in.glyphHeight = 16;
    in.textWidth = 40;
    in.textHeight = 13;
    in.side = side;
    in.margin = margin;
    in.spacing = spacing;
    return in;
}

GlyphLayoutInput Upright(GlyphSide side, int margin, int spacing) {
    GlyphLayoutInput in = Across(side, margin, spacing);
    in.clientWidth = in.clientHeight = 60;
    return in;
}

// A 100 × 30 button with a 16 × 16 glyph and a 40 × 13 caption (60 × 60 for top and bottom).
TEST(GlyphLayout, EachSideWithAutomaticAndFixedMarginAndSpacing) {
    const struct {
        const char* name;
        GlyphLayoutInput in;
        GlyphPlacement at;
    } cases[] = {
        {"left, both automatic", Across(GlyphSide::Left, -1, -1), {14, 7, 44, 9}},
        {"left, margin automatic", Across(GlyphSide::Left, -1, 4), {20, 7, 40, 9}},
        {"left, spacing automatic", Across(GlyphSide::Left, 5, -1), {5, 7, 40, 9}},
        {"left, both fixed", Across(GlyphSide::Left, 5, 4), {5, 7, 25, 9}},
        {"right, both automatic", Across(GlyphSide::Right, -1, -1), {70, 7, 16, 9}},
        {"right, both fixed", Across(GlyphSide::Right, 5, 4), {79, 7, 35, 9}},
        {"top, both automatic", Upright(GlyphSide::Top, -1, -1), {22, 10, 10, 36}},
        {"top, both fixed", Upright(GlyphSide::Top, 5, 4), {22, 5, 10, 25}},
        {"bottom, both automatic", Upright(GlyphSide::Bottom, -1, -1), {22, 34, 10, 11}},
        {"bottom, both fixed", Upright(GlyphSide::Bottom, 5, 4), {22, 39, 10, 22}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const GlyphPlacement at = PlaceGlyph(c.in);
        EXPECT_EQ(at.glyphX, c.at.glyphX);
        EXPECT_EQ(at.glyphY, c.at.glyphY);
        EXPECT_EQ(at.textX, c.at.textX);
        EXPECT_EQ(at.textY, c.at.textY);
    }
}

TEST(GlyphLayout, CentredBitButtonsSpeedButtonsAndLoneGlyphs) {
    GlyphLayoutInput centred = Across(GlyphSide::Left, 5, 4);
    centred.centreAlignment = true;
    EXPECT_EQ(PlaceGlyph(centred).glyphX, 20) << "a centred bit button ignores its margin";
    centred.speedButton = true;
    EXPECT_EQ(PlaceGlyph(centred).glyphX, 5) << "a speed button has no alignment";
    GlyphLayoutInput speed = Across(GlyphSide::Left, -1, 4);
    speed.speedButton = true;
    EXPECT_EQ(PlaceGlyph(speed).glyphX, 21);
    GlyphLayoutInput lone = Across(GlyphSide::Left, -1, 4);
    lone.textWidth = lone.textHeight = 0;
    EXPECT_EQ(PlaceGlyph(lone).glyphX, 42) << "no caption: no spacing, the glyph centred";
}

// NumGlyphs is only a claim about the strip: a frame is never cut narrower than a pixel, and
// a state whose frame the strip lacks shows the first.
TEST(GlyphLayout, GlyphFramesStayInsideTheStrip) {
    const struct {
        int numGlyphs, width, frames;
    } counts[] = {{0, 64, 1}, {4, 64, 4}, {100, 3, 3}, {-2, 10, 1}, {2, 0, 1}};
    for (const auto& c : counts) EXPECT_EQ(GlyphFrames(c.numGlyphs, c.width), c.frames) << c.numGlyphs << " of " << c.width;
    const struct {
        bool pressed, enabled;
        int frames, frame;
    } states[] = {{false, true, 4, 1}, {false, false, 4, 2}, {true, true, 4, 3}, {true, true, 2, 1}, {false, false, 1, 1}};
    for (const auto& s : states) EXPECT_EQ(GlyphFrame(s.pressed, s.enabled, s.frames), s.frame);
}

}  // namespace
}  // namespace skin
