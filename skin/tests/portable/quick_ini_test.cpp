#include "skin/portable/quick_ini.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skin {
namespace {

TQuickIni Parse(std::string_view text) {
    TQuickIni ini;
    ini.LoadFromText(text);
    return ini;
}

TEST(QuickIni, LookupsFollowTheSectionAndKeyRules) {
    const TQuickIni ini = Parse(
        "  [Buttons]  \r\n"
        "; a comment does not end the section\r\n"
        "\r\n"
        "MenuBar = first \n"
        "menubar=second\r"
        "Empty=\r\n"
        "Empty=late\r\n"
        "no equals sign\r\n"
        "[ Spaced ]\r\n"
        "Key=spaced\r\n"
        "[buttons]\r\n"
        "Late=ignored\r\n"
        "[Tail]\r\n"
        "Cut=before\0[Hidden]\r\nKey=never\r\n");
    const struct { const char* section; const char* key; const char* expected; } cases[] = {
        {"Buttons", "menuBar", "first"},     // case of key and section ignored, first entry wins
        {"BUTTONS", "MENUBAR", "first"},
        {"Buttons", "Empty", "default"},     // an empty first entry gives the default
        {"Buttons", "Late", "default"},      // only the first [Buttons] is searched
        {"Buttons", "no equals sign", "default"},
        {"Buttons", "", "default"},
        {"Spaced", "Key", "default"},        // blanks inside the brackets stay part of the name
        {" Spaced ", "Key", "spaced"},
        {"Missing", "Key", "default"},
        {"Tail", "Cut", "before"},           // a zero byte ends the text
        {"Hidden", "Key", "default"},
    };
    for (const auto& c : cases) EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected) << c.section << '/' << c.key;

    std::vector<std::string> names;
    ini.ReadSections(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Buttons", "Spaced", "buttons", "Tail"}));
    EXPECT_EQ(ini.SectionIndex("buttons"), 0);
    EXPECT_EQ(ini.SectionIndex("Tail"), static_cast<int>(ini.lines.size()) - 2);
    EXPECT_EQ(ini.SectionIndex("None"), -1);
    EXPECT_EQ(Parse("").ReadString("A", "b", "d"), "d");
}

TEST(QuickIni, LoadingFromAStreamStartsAtItsPositionAndReplacesTheOldText) {
    forms::TMemoryStream stream;
    const std::string text = "skipped[A]\r\nk=1\r\n";
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(7);
    TQuickIni ini = Parse("[B]\r\nk=2\r\n");
    ini.LoadFromStream(stream);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("B", "k", ""), "");
}

TEST(QuickIni, IntegersAreDecimalOrShortHexadecimal) {
    constexpr int kDefault = -7;
    const struct { const char* text; int value; } cases[] = {
        {"12", 12}, {"-3", -3}, {"+4", 4}, {"$1F", 31}, {"0x1f", 31}, {"0X1F", 31},
        {"$FFFFFFFF", -1}, {"0x80000000", -2147483647 - 1}, {"0x00000001F", kDefault},  // nine digits
        {"$", kDefault}, {"0x", kDefault}, {"2147483647", 2147483647}, {"2147483648", kDefault},
        {"-2147483649", kDefault}, {"12a", kDefault}, {"", kDefault}, {"x1", kDefault},
    };
    for (const auto& c : cases) EXPECT_EQ(SkinIniInteger(c.text, kDefault), c.value) << c.text;
    EXPECT_EQ(Parse("[S]\r\nTile=$10\r\n").ReadInteger("s", "tile", 0), 16);
}

TEST(QuickIni, ColourTextsFillRedGreenBlueModulo256) {
    constexpr std::uint32_t kDefault = 0xFF00000F;
    const struct { const char* text; std::uint32_t colour; } cases[] = {
        {"255 0 128", 0x8000FF},
        {"255 0", 0x0000FF},           // a pending number fills only the third component
        {"10,20,30,", 0x1E140A},
        {"1 2 3 4 5", 0x030201},        // numbers past the third are ignored
        {"256 257 258", 0x020100},
        {"99999999999999999999 0 0", 0xFF},  // (10^20 - 1) mod 256: long digit runs never overflow
        {"abc", 0},
        {"", kDefault},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseColourText(c.text, kDefault), c.colour) << c.text;
    const TQuickIni ini = Parse("[Colours]\r\nButtonFace=1 2 3\r\nHilight=\r\n");
    EXPECT_EQ(ReadColour(ini, "colours", "buttonface", kDefault), 0x030201u);
    EXPECT_EQ(ReadColour(ini, "colours", "hilight", kDefault), kDefault);
    EXPECT_EQ(ReadColour(ini, "colours", "missing", kDefault), kDefault);
}

TEST(QuickIni, ColourTriplesNeedAllThreeKeys) {
    const struct { const char* text; std::optional<std::uint32_t> colour; } cases[] = {
        {"ActiveTextR=255\r\nActiveTextG=0\r\n", std::nullopt},
        {"ActiveTextR=255\r\nActiveTextG=0\r\nActiveTextB=16\r\n", 0x1000FF},
        {"ActiveTextR=1\r\nActiveTextG=-1\r\nActiveTextB=1\r\n", std::nullopt},
        {"activetextr=0\r\nACTIVETEXTG=0\r\nActiveTextB=0\r\n", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadColourTriple(Parse(std::string("[Personality]\r\n") + c.text), "Personality", "ActiveText"), c.colour)
            << c.text;
    }
}

TEST(QuickIni, ImageValuesNameTheFileWhenItEndsInLowerCaseBmp) {
    const struct { const char* value; const char* entry; } cases[] = {
        {"title.bmp", "title.bmp"},
        {"C:\\skins\\Ocean\\title.bmp", "title.bmp"},
        {"art/frame.bmp", "frame.bmp"},
        {"TITLE.BMP", ""},
        {"title.png", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ImageEntryName(c.value), c.entry) << c.value;
}

}  // namespace
}  // namespace skin
