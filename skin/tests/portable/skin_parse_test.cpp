#include "skin/portable/skin_parse.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/portable/skin_slicing.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kScrollBar = 17;

skin_pack::Rgb24Picture Flat(int w, int h, std::uint32_t bgr) {
    return {w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, bgr)};
}

// A skin stream made with the tool's own writer from INI text and named pictures.
Bytes SkinStream(const std::string& ini, const std::map<std::string, skin_pack::Rgb24Picture>& pictures,
                 const std::map<std::string, Bytes>& raw = {}) {
    std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())}};
    for (const auto& [name, picture] : pictures) entries.push_back({name, skin_pack::Bmp24Bytes(picture)});
    for (const auto& [name, bytes] : raw) entries.push_back({name, bytes});
    return skin_pack::WriteSkinStream(entries);
}

SkinElements Parse(const Bytes& stream) {
    forms::TMemoryStream s;
    s.WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    std::optional<SkinElements> e = LoadSkinElements(s, nullptr, kScrollBar);
    EXPECT_TRUE(e.has_value());
    return e ? std::move(*e) : SkinElements{};
}

std::uint32_t PixelRgb(const forms::PixelBuffer& p, int x, int y) {
    const std::uint8_t* px = p.row(y) + 3 * x;
    return (px[2] << 16) | (px[1] << 8) | px[0];
}

TEST(SkinParse, CaptionButtonsFollowTheFrameRuleAndEndWithThreeMdiButtons) {
    const std::string ini =
        "[Button.Close]\r\nAction=0\r\nButtonImage=wide.bmp\r\n"    // 60 × 10: 6 frames
        "[Button.Max]\r\nAction=1\r\nButtonImage=narrow.bmp\r\n"    // 30 × 10: 3 frames
        "[Button.Back]\r\nAction=-2\r\nButtonImage=narrow.bmp\r\n"  // negative action: 6
        "[Button.Plain]\r\nAction=2\r\n"                            // no image: 6
        "[Button.Set]\r\nAction=2\r\nframe=2\r\nButtonImage=wide.bmp\r\n"
        "[Button.Sys]\r\nAction=3\r\nButtonImage=narrow.bmp\r\n"    // image emptied
        "[Button.Gone]\r\nAction=-1\r\n"                           // dropped: Visibility not 0
        "[Button.Kept]\r\nAction=-1\r\nVisibility=0\r\n"
        "[Buttons]\r\n[BUTTON.RADIO]\r\n[Button.Checkbox]\r\n[Button]\r\n";
    const std::map<std::string, skin_pack::Rgb24Picture> pictures = {{"wide.bmp", Flat(60, 10, 1)},
                                                                     {"narrow.bmp", Flat(30, 10, 2)}};
    const struct { const char* name; int frames; bool image; int visibility1; } expected[] = {
        {"BUTTON.CLOSE", 6, true, 0}, {"BUTTON.MAX", 3, true, 0}, {"BUTTON.BACK", 6, true, 0},
        {"BUTTON.PLAIN", 6, false, 0}, {"BUTTON.SET", 2, true, 0}, {"BUTTON.SYS", 3, false, 0},
        {"BUTTON.KEPT", 6, false, -1},
    };
    for (bool withMdi : {false, true}) {
        std::map<std::string, skin_pack::Rgb24Picture> all = pictures;
        std::string text = ini;
        if (withMdi) {
            all["mdi.bmp"] = Flat(120, 9, 3);
            text += "[MDICONTROLS]\r\nImage=mdi.bmp\r\n";
        }
        const SkinElements e = Parse(SkinStream(text, all));
        const std::size_t n = std::size(expected);
        ASSERT_EQ(e.captionButtons.size(), n + 3);
        for (std::size_t i = 0; i < n; ++i) {
            const auto& b = *e.captionButtons[i];
            EXPECT_EQ(b.name, expected[i].name);
            EXPECT_EQ(b.FrameCount, expected[i].frames) << b.name;
            EXPECT_EQ(!b.image.empty(), expected[i].image) << b.name;
            EXPECT_EQ(b.Visibility1, expected[i].visibility1) << b.name;
        }
        for (int i = 0; i < 3; ++i) {
            const auto& m = *e.captionButtons[n + i];
            EXPECT_EQ(m.Action, 7 + i);
            EXPECT_EQ(m.Align, 100);
            EXPECT_EQ(m.Visibility, 100);
            EXPECT_EQ(m.Visibility1, 100);
            EXPECT_EQ(m.FrameCount, 4);
            EXPECT_EQ(m.image.width(), withMdi ? 40 : 0);
            EXPECT_EQ(m.Xcoord, withMdi ? 14 * (3 - i) : 0);
        }
    }
}

TEST(SkinParse, CheckAndRadioFramesAreComputedFromTheirImages) {
    const struct { int w, h, written, frames; } cases[] = {
        {52, 13, 0, 4}, {130, 13, 0, 10}, {160, 16, 0, 10}, {26, 13, 0, 4}, {0, 0, 0, 4},
        {64, 16, 7, 7}, {64, 16, -3, 1}, {20, 16, 500, 20},  // written counts kept within 1 .. width
    };
    for (const auto& c : cases) {
        std::map<std::string, skin_pack::Rgb24Picture> pictures = {{"b.bmp", Flat(10, 5, 7)}};
        std::string ini = "[Buttons]\r\nBitmap=b.bmp\r\nCheckButtonFrame=" + std::to_string(c.written) +
                          "\r\nRadioButtonFrame=" + std::to_string(c.written) + "\r\n";
        if (c.w > 0) {
            pictures["mark.bmp"] = Flat(c.w, c.h, 8);
            ini += "CheckButton=mark.bmp\r\nRadioButton=mark.bmp\r\n";
        }
        const SkinElements e = Parse(SkinStream(ini, pictures));
        EXPECT_EQ(e.buttons->CheckButtonFrame, c.frames) << c.w << 'x' << c.h << " written " << c.written;
        EXPECT_EQ(e.buttons->RadioButtonFrame, c.frames) << c.w << 'x' << c.h << " written " << c.written;
        EXPECT_EQ(e.buttons->FrameCount, 5);
    }
}

TEST(SkinParse, TheComboStripJoinsSunkEdgeAndComboButton) {
    const std::string ini =
        "[SunkEdge]\r\nImage=sunk.bmp\r\nLeftWidth=2\r\nTopHeight=3\r\nRightWidth=2\r\nBottomHeight=4\r\n"
        "[ComboButton]\r\nImage=combo.bmp\r\n";
    const std::map<std::string, skin_pack::Rgb24Picture> pictures = {{"sunk.bmp", Flat(40, 21, 0x404040)},
                                                                     {"combo.bmp", Flat(76, 21, 0x00FF00)}};
    const SkinElements e = Parse(SkinStream(ini, pictures));
    const TDataSkinBorder* combo = e.BorderPart("ComboButton");
    const TDataSkinObject* sunk = e.Part("SunkEdge");
    ASSERT_TRUE(combo && sunk);
    EXPECT_EQ(combo->image.width(), 50 * 4);
    EXPECT_EQ(combo->image.height(), 21);
    EXPECT_EQ(combo->Style, 2);
    EXPECT_EQ((SkinMargins{combo->LeftWidth, combo->TopHeight, combo->RightWidth, combo->BottomHeight}),
              (SkinMargins{2, 3, kScrollBar + 4, 4}));
    EXPECT_EQ((SkinMargins{sunk->LeftWidth, sunk->TopHeight, sunk->RightWidth, sunk->BottomHeight}),
              (SkinMargins{kScrollBar + 4, 3, 2, 4}));
    // Frame 2: the edge around, the button on the right 19 pixels, magenta inside.
    const int x0 = 50;
    EXPECT_EQ(PixelRgb(combo->image, x0 + 0, 0), 0x404040u);
    EXPECT_EQ(PixelRgb(combo->image, x0 + 49, 10), 0x00FF00u);
    EXPECT_EQ(PixelRgb(combo->image, x0 + 50 - 19, 10), 0x00FF00u);
    EXPECT_EQ(PixelRgb(combo->image, x0 + 2, 2), 0xFF00FFu);
    EXPECT_EQ(PixelRgb(combo->image, x0 + 30, 17), 0xFF00FFu);
    EXPECT_EQ(PixelRgb(combo->image, x0 + 30, 18), 0x404040u);
    EXPECT_EQ(PixelRgb(combo->image, x0 + 1, 10), 0x404040u);
    // SunkEdge holds the whole strip mirrored.
    for (int x : {0, 1, 2, 30, 60, 199})
        for (int y : {0, 10, 20}) EXPECT_EQ(PixelRgb(sunk->image, x, y), PixelRgb(combo->image, 199 - x, y)) << x << ',' << y;

    // Without SunkEdge the combo button keeps its own image and only gains the mirrored copy.
    const SkinElements alone = Parse(SkinStream("[ComboButton]\r\nImage=combo.bmp\r\n", pictures));
    EXPECT_EQ(alone.BorderPart("ComboButton")->image.width(), 76);
    EXPECT_EQ(alone.BorderPart("ComboButton")->image2.width(), 76);
}

TEST(SkinParse, ColoursFallBackToSystemColoursAndTheMenuBarToTheFace) {
    const SkinElements plain = Parse(SkinStream("[Personality]\r\n", {}));
    EXPECT_EQ(plain.colours.ButtonFace, 0xFF00000Fu);
    EXPECT_EQ(plain.colours.Menubar, 0xFF00000Fu);
    EXPECT_EQ(plain.colours.TitleTextNoActive, 0xFF000013u);
    EXPECT_EQ(plain.customColours[9], 0xFFFFFFu);
    EXPECT_EQ(plain.title->activeText, kClNone);
    EXPECT_EQ(plain.title->FontHeight, 14);

    const SkinElements set = Parse(SkinStream(
        "[Colours]\r\nButtonFace=10 20 30\r\n[Colour1]\r\ncolor=1 2 3\r\n[COLOURx]\r\n[Customcolors]\r\nColor9=0 0 1\r\n"
        "[Personality]\r\nActiveTextR=255\r\nActiveTextG=0\r\nActiveTextB=128\r\n[Fonts]\r\nFontHeight=11\r\n",
        {}));
    EXPECT_EQ(set.colours.ButtonFace, 0x1E140Au);
    EXPECT_EQ(set.colours.Menubar, 0x1E140Au);
    EXPECT_EQ(set.palette, (std::vector<std::uint32_t>{0x030201, 0xFF000008}));
    EXPECT_EQ(set.customColours[9], 0x010000u);
    EXPECT_EQ(set.title->activeText, 0x8000FFu);
    EXPECT_EQ(set.title->FontHeight, 11);
}

TEST(SkinParse, CountsAndMarginsFromTheTextStayWithinTheImage) {
    const struct { const char* keys; int frames; SkinMargins margins; int tile; } cases[] = {
        {"FrameCount=0\r\n", 1, {}, 0},
        {"FrameCount=-4\r\n", 1, {}, 0},
        {"FrameCount=1000\r\n", 30, {}, 0},
        {"FrameCount=3\r\nLeftWidth=-5\r\nRightWidth=999\r\nTopHeight=99\r\nBottomHeight=2\r\nTile=2\r\n", 3, {0, 6, 10, 2}, 0},
        {"Tile=1\r\n", 3, {}, 1},
    };
    for (const auto& c : cases) {
        const SkinElements e = Parse(SkinStream(std::string("[HorzScrollThumb]\r\nImage=t.bmp\r\n") + c.keys,
                                                {{"t.bmp", Flat(30, 6, 5)}}));
        const TDataSkinObject* t = e.Part("HorzScrollThumb");
        ASSERT_TRUE(t) << c.keys;
        EXPECT_EQ(t->FrameCount, c.frames) << c.keys;
        EXPECT_EQ((SkinMargins{t->LeftWidth, t->TopHeight, t->RightWidth, t->BottomHeight}), c.margins) << c.keys;
        EXPECT_EQ(t->Tile, c.tile) << c.keys;
    }
}

TEST(SkinParse, MalformedBitmapsLeaveTheElementAbsent) {
    Bytes good = skin_pack::Bmp24Bytes(Flat(8, 4, 9));
    auto patched = [&](std::size_t at, std::uint32_t value, int bytes) {
        Bytes b = good;
        for (int k = 0; k < bytes; ++k) b[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
        return b;
    };
    const struct { const char* what; Bytes bytes; bool present; } cases[] = {
        {"good", good, true},
        {"top-down", patched(22, static_cast<std::uint32_t>(-4), 4), true},
        {"truncated rows", Bytes(good.begin(), good.end() - 10), false},
        {"no signature", patched(0, 'X', 1), false},
        {"8 bits", patched(28, 8, 2), false},
        {"compressed", patched(30, 1, 4), false},
        {"offset past the end", patched(10, 100000, 4), false},
        {"zero width", patched(18, 0, 4), false},
        {"too wide", patched(18, 8193, 4), false},
        {"negative width", patched(18, static_cast<std::uint32_t>(-8), 4), false},
        {"header only", Bytes(good.begin(), good.begin() + 20), false},
    };
    for (const auto& c : cases) {
        const SkinElements e = Parse(SkinStream("[Tabs]\r\nImage=tab.bmp\r\n", {}, {{"tab.bmp", c.bytes}}));
        EXPECT_EQ(e.Part("Tabs") != nullptr, c.present) << c.what;
    }
}

TEST(SkinParse, ALoadReplacesEveryElementOrNone) {
    const Bytes withTabs = SkinStream("[TitlebarSkin]\r\nSkinName=One\r\n[Tabs]\r\nImage=tab.bmp\r\n", {{"tab.bmp", Flat(10, 4, 1)}});
    const Bytes withoutTabs = SkinStream("[TitlebarSkin]\r\nSkinName=Two\r\n", {});
    auto load = [](LoadedSkin& skin, const Bytes& stream) {
        forms::TMemoryStream s;
        if (!stream.empty()) s.WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
        return skin.Load(s, nullptr, kScrollBar);
    };
    LoadedSkin skin;
    EXPECT_TRUE(skin.noSkin);
    ASSERT_TRUE(load(skin, withTabs));
    EXPECT_FALSE(skin.noSkin);
    EXPECT_NE(skin.elements.Part("Tabs"), nullptr);
    ASSERT_TRUE(load(skin, withoutTabs));
    EXPECT_EQ(skin.elements.Part("Tabs"), nullptr);
    EXPECT_EQ(skin.elements.skinName, "Two");
    EXPECT_FALSE(load(skin, {1, 2}));
    EXPECT_FALSE(skin.noSkin) << "the last skin stays in place, still drawn";
    EXPECT_EQ(skin.elements.skinName, "Two");  // the refused stream left the last skin whole

    LoadedSkin never;
    EXPECT_FALSE(load(never, {1, 2}));
    EXPECT_TRUE(never.noSkin) << "nothing parsed yet: nothing to draw";
}

// The parse of a text over an archive indexed as it stands (no packing, which would take
// longer than the parse for pictures of megabytes).
std::optional<SkinElements> ParseArchive(const std::string& ini, const std::map<std::string, skin_pack::Rgb24Picture>& pictures,
                                         std::vector<std::string>* messages = nullptr) {
    std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())}};
    for (const auto& [name, picture] : pictures) entries.push_back({name, skin_pack::Bmp24Bytes(picture)});
    const Bytes archive = skin_pack::ArchiveBytes(entries);
    TSkinReader reader;
    EXPECT_TRUE(reader.IndexArchive(archive.data(), static_cast<std::int64_t>(archive.size())));
    TQuickIni text;
    text.LoadFromText(ini);
    return ParseSkin(text, reader, kScrollBar, [&](const std::string& m) { if (messages) messages->push_back(m); });
}

TEST(SkinParse, SectionsNamingOneBitmapShareOneDecodedCopy) {
    std::string ini = "[Tabs]\r\nImage=one.bmp\r\n[ComboButton]\r\nImage=ONE.bmp\r\n[Progress]\r\nBitmap=dir\\one.bmp\r\n";
    for (int i = 0; i < 64; ++i) ini += "[Button" + std::to_string(i) + "]\r\nAction=1\r\nButtonImage=one.bmp\r\n";
    skin_pack::Rgb24Picture one = Flat(30, 10, 0x102030);
    one.pixels[0] = 0x0000FF;  // the top-left pixel tells a mirrored copy
    const std::optional<SkinElements> e = ParseArchive(ini, {{"one.bmp", one}});
    ASSERT_TRUE(e.has_value());
    ASSERT_EQ(e->captionButtons.size(), 67u);
    const SkinImage& first = e->captionButtons[0]->image;
    ASSERT_FALSE(first.empty());
    for (int i = 1; i < 64; ++i) EXPECT_TRUE(e->captionButtons[i]->image.SharesPixelsWith(first)) << i;
    EXPECT_TRUE(e->Part("Tabs")->image.SharesPixelsWith(first));
    EXPECT_TRUE(e->Part("Progress")->image.SharesPixelsWith(first));
    // The mirrored combo picture is the button's own; the shared one stays as decoded.
    const TDataSkinBorder* combo = e->BorderPart("ComboButton");
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->image2.SharesPixelsWith(first));
    const std::uint32_t mark = PixelRgb(first, 0, 0);
    EXPECT_NE(mark, PixelRgb(first, 29, 0));
    EXPECT_EQ(PixelRgb(combo->image2, 29, 0), mark);
}

TEST(SkinParse, MoreCaptionButtonsThanTheBoundRefuseTheSkinWithAMessage) {
    std::string ini;
    for (int i = 0; i < 64; ++i) ini += "[Button" + std::to_string(i) + "]\r\nAction=1\r\n";
    ini += "[ButtonGone]\r\nAction=-1\r\n";  // dropped sections do not count
    std::vector<std::string> messages;
    EXPECT_TRUE(ParseArchive(ini, {}, &messages).has_value());
    EXPECT_FALSE(ParseArchive(ini + "[Button64]\r\n", {}, &messages).has_value());
    EXPECT_EQ(messages, std::vector<std::string>{kTooManyCaptionButtonsMessage});
}

TEST(SkinParse, PicturesPastTheBoundRefuseTheSkinWithAMessage) {
    // Decoded, cut into the three MDI buttons and mirrored for the combo button, a 9 MB picture
    // takes 27 MB; a second one of 6 MB goes past the bound.
    const skin_pack::Rgb24Picture big = Flat(2048, 1536, 0x203040), more = Flat(2048, 1000, 0x405060);
    const std::string within = "[MDICONTROLS]\r\nImage=big.bmp\r\n[ComboButton]\r\nImage=big.bmp\r\n";
    std::vector<std::string> messages;
    EXPECT_TRUE(ParseArchive(within, {{"big.bmp", big}}, &messages).has_value());
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(ParseArchive(within + "[Tabs]\r\nImage=more.bmp\r\n", {{"big.bmp", big}, {"more.bmp", more}}, &messages));
    EXPECT_EQ(messages, std::vector<std::string>{kSkinTooLargeMessage});
}

}  // namespace
}  // namespace skin
