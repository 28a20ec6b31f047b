#include "forms/portable/colors.h"
#include "forms/portable/exceptions.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(Colors, RedIsTheLowByte) {
    const struct { TColor color; int r, g, b; } cases[] = {
        {clRed, 255, 0, 0}, {clLime, 0, 255, 0}, {clBlue, 0, 0, 255},
        {clNavy, 0, 0, 128}, {clFuchsia, 255, 0, 255}, {MakeColor(1, 2, 3), 1, 2, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorRed(c.color), c.r) << std::hex << c.color;
        EXPECT_EQ(ColorGreen(c.color), c.g) << std::hex << c.color;
        EXPECT_EQ(ColorBlue(c.color), c.b) << std::hex << c.color;
    }
    EXPECT_EQ(clRed, 0x0000FF);
    EXPECT_EQ(clFuchsia, 0xFF00FF);
}

TEST(Colors, SystemColoursCarryTheirIndex) {
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_TRUE(IsSystemColor(clBtnFace));
    EXPECT_EQ(SystemColorIndex(clBtnFace), 15);
    EXPECT_EQ(SystemColorIndex(clInfoBk), 24);
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clDefault));
}

TEST(Exceptions, MessageIsWhatAndFormatted) {
    try {
        throw EIniFileException(Format("Unable to write to %s", "C:\\x.ini"));
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Unable to write to C:\\x.ini");
        EXPECT_EQ(e.Message, "Unable to write to C:\\x.ini");
    }
    EXPECT_THROW(throw EFOpenError("x"), EStreamError);
    EXPECT_EQ(Format("%s", ""), "");
    EXPECT_EQ(Format("%d-%s", 42, std::string(500, 'a').c_str()).size(), 503u);
}

}  // namespace
}  // namespace forms
