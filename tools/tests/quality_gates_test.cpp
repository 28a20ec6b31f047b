// The skin maker's gates catch the faults they are there for: a skin that breaks one is
// reported, a sound one passes.
#include "tools/skinmaker/quality_gates.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/portable/skin_bitmap.h"
#include "tools/skin_pack/bmp_writer.h"

namespace skinmaker {
namespace {

SkinParams Sound() {
    return {"Sound", {236, 233, 228}, {33, 33, 36}, {250, 249, 247}, {222, 219, 213}, {28, 28, 30}, {150, 146, 140},
            {46, 110, 190}, {255, 255, 255}, {250, 250, 249}, {30, 30, 32}, 6, false, true};
}

std::vector<std::string> Check(const SkinParams& p, const std::function<void(SkinArt&)>& spoil = {}) {
    SkinArt art = PaintSkin(p);
    if (spoil) spoil(art);
    GateFailures().clear();
    Built b{p, skin_pack::WriteSkinStream(art.entries), {}};
    b.elements = SelfCheck(p, art, b.stream);
    QualityGates(b, art);
    return GateFailures();
}

bool Mentions(const std::vector<std::string>& failures, const std::string& part) {
    for (const auto& f : failures)
        if (f.find(part) != std::string::npos) return true;
    return false;
}

void Replace(SkinArt& art, const std::string& name, const skin_pack::Rgb24Picture& picture) {
    for (auto& e : art.entries)
        if (e.name == name) e.bytes = skin_pack::Bmp24Bytes(picture);
}

// The [Colours] entry key given a new value, in the text and in its archive entry.
void SetColour(SkinArt& art, const std::string& key, const std::string& value) {
    const std::size_t at = art.ini.find("\r\n" + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    const std::size_t start = at + 3 + key.size(), end = art.ini.find("\r\n", start);
    art.ini.replace(start, end - start, value);
    art.entries.front().bytes.assign(art.ini.begin(), art.ini.end());
}

// The scroll arrows' strip with its left/right frames (1 to 8) and up/down frames (9 to 16)
// changed places, the order the skins were once painted in.
void SwapArrowPairs(SkinArt& art) {
    for (auto& e : art.entries) {
        if (e.name != "scrollarrows.bmp") continue;
        const forms::PixelBuffer p = skin::DecodeSkinBitmap(e.bytes.data(), e.bytes.size());
        const int w = p.width() / kScrollArrowFrames;
        skin_pack::Rgb24Picture swapped{p.width(), p.height(), {}};
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const int frame = x / w;
                const int from = frame < 8 ? x + 8 * w : frame < 16 ? x - 8 * w : x;
                swapped.pixels.push_back(PixelAt(p, from, y).Ref());
            }
        e.bytes = skin_pack::Bmp24Bytes(swapped);
    }
}

TEST(QualityGates, ASoundSkinPassesAndEachFaultIsReported) {
    EXPECT_EQ(Check(Sound()), std::vector<std::string>{});

    SkinParams greyCaption = Sound();
    greyCaption.titleText = {200, 200, 200};
    SkinParams pinkAccent = Sound();
    pinkAccent.accent = {250, 20, 240};  // a pink the region cut would leave as a fringe
    SkinParams faintMenu = Sound();
    faintMenu.menuText = {220, 220, 220};
    SkinParams greyOnHighlight = Sound();
    greyOnHighlight.accentText = {120, 120, 120};
    const struct {
        const char* what;
        SkinParams params;
        std::function<void(SkinArt&)> spoil;
        const char* reported;
    } cases[] = {
        {"caption text on its title", greyCaption, {}, "caption text contrast"},
        {"near-magenta pixels", pinkAccent, {}, "near magenta"},
        {"menu text on its background", faintMenu, {}, "menu text contrast"},
        {"hovered menu text on its highlight", greyOnHighlight, {}, "hovered menu text contrast"},
        {"a hovered item drawn without its highlight", Sound(), [](SkinArt& a) { Replace(a, "menuitem.bmp", {100, 20, std::vector<std::uint32_t>(100 * 20, 0xF9FAFA)}); },
         "hovered menu text contrast"},
        {"disabled text on the disabled face", Sound(), [](SkinArt& a) { SetColour(a, "ButtonShadow", "215 215 215"); },
         "disabled button text contrast"},
        {"a 16-pixel scroll track", Sound(), [](SkinArt& a) { Replace(a, "hscroll.bmp", {80, 16, std::vector<std::uint32_t>(80 * 16, 0xC0C0C0)}); },
         "HorzScroll is not 17 pixels thick"},
        {"an image key naming nothing", Sound(), [](SkinArt& a) { std::erase_if(a.entries, [](const auto& e) { return e.name == "tabs.bmp"; }); },
         "Image=tabs.bmp names no valid 24-bit bitmap"},
        {"a missing element", Sound(), [](SkinArt& a) { std::erase_if(a.entries, [](const auto& e) { return e.name == "tabs.bmp"; }); },
         "element Tabs is missing"},
        {"horizontal arrows where the vertical bar reads its own", Sound(), SwapArrowPairs, "scroll arrow frame 9 does not point up"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> failures = Check(c.params, c.spoil);
        EXPECT_TRUE(Mentions(failures, c.reported)) << c.what << ": got " << ::testing::PrintToString(failures);
    }
}

}  // namespace
}  // namespace skinmaker
