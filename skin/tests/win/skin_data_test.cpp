#include "skin/skin_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/win_recorders.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Skin(const std::string& ini, int version = 20000) {
    std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())},
                                                 {"tab.bmp", skin_pack::Bmp24Bytes({4, 2, std::vector<std::uint32_t>(8, 0x123456)})}};
    return skin_pack::PackSkinStream(skin_pack::ArchiveBytes(entries, version));
}

void Hold(TSkinData& data, const Bytes& stream) {
    data.SkinStream().Clear();
    data.SkinStream().WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
}

TEST(SkinData, StartsWithTheStoredDefaultsAndNoSkin) {
    TSkinData data(nullptr);
    EXPECT_FALSE(data.Active());
    EXPECT_TRUE(data.NoSkin());
    EXPECT_EQ(data.DisableTag, 99);
    EXPECT_EQ(data.SkinControls, 0x7FFFBu);
    EXPECT_EQ(data.Version(), "3.03.03.17");
    data.SetVersion("1.0");
    EXPECT_EQ(data.Version(), "3.03.03.17");
    EXPECT_TRUE(data.MenuUpdate);
    EXPECT_EQ(data.SkinFormtype, sfMainform);
    ASSERT_EQ(data.Skin3rd.size(), 111u);
    EXPECT_EQ(data.Skin3rd.front(), "TAdvPanelGroup=scrollbar");
    EXPECT_EQ(data.Skin3rd[7], "TAdvPageControl=nil");
    EXPECT_EQ(data.Skin3rd.back(), "TOVCDBNUMERICFIELD=Edit");
    EXPECT_EQ(data.SkinStore(), "(none)");
}

TEST(SkinData, AnOlderSkinIsReportedThroughTheMessageBoxCallAndLoadsNothing) {
    testsupport::ResetRecorders();
    TSkinData data(nullptr);
    Hold(data, Skin("[TitlebarSkin]\r\nSkinName=Good\r\n"));
    ASSERT_TRUE(data.LoadSkin());
    EXPECT_FALSE(data.NoSkin());
    Hold(data, Skin("[TitlebarSkin]\r\nSkinName=Old\r\n", 19999));
    EXPECT_FALSE(data.LoadSkin());
    EXPECT_FALSE(data.NoSkin()) << "the last good skin stays in place";
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "This is Older Skin File\rPlease update to new version !");
    EXPECT_EQ(data.Elements().skinName, "Good");  // the last good skin stays whole
}

TEST(SkinData, EveryParseReplacesTheFaceBrushAndDeletesTheOldOne) {
    TSkinData data(nullptr);
    Hold(data, Skin("[Colours]\r\nButtonFace=10 20 30\r\n"));
    ASSERT_TRUE(data.LoadSkin());
    HBRUSH first = data.FaceBrush();
    LOGBRUSH brush{};
    ASSERT_EQ(GetObject(first, sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbColor, RGB(10, 20, 30));
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(data.LoadSkin());
    EXPECT_EQ(GetObjectType(first), 0u) << "the first brush leaked";
    ASSERT_EQ(GetObject(data.FaceBrush(), sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbColor, RGB(10, 20, 30));
}

TEST(SkinData, StoreIndexesOutsideTheItemsAreIgnored) {
    TSkinStore store(nullptr);
    for (const char* name : {"One", "Two"}) {
        const Bytes s = Skin(std::string("[TitlebarSkin]\r\nSkinName=") + name + "\r\n");
        store.Store().Add().ReadDataStream(s.data(), static_cast<std::int64_t>(s.size()));
    }
    TSkinData data(nullptr);
    for (int index : {-1, 2, -1000}) {
        data.LoadFromSkinStore(store, index);
        EXPECT_EQ(data.SkinStream().Size(), 0) << index;
        EXPECT_TRUE(data.NoSkin()) << index;
    }
    data.LoadFromSkinStore(store, 1);
    EXPECT_FALSE(data.NoSkin());
    EXPECT_EQ(data.Elements().skinName, "Two");
    data.LoadFromSkinStore(store, -1);
    EXPECT_EQ(data.Elements().skinName, "Two");
}

TEST(SkinData, TheStoredStreamRoundTripsAndLoadsWhenRead) {
    TSkinData source(nullptr);
    Hold(source, Skin("[TitlebarSkin]\r\nSkinName=Kept\r\n[Tabs]\r\nImage=tab.bmp\r\n"));
    forms::TMemoryStream form;
    source.WriteSkinStream(form);
    form.SetPosition(0);
    TSkinData copy(nullptr);
    copy.ReadSkinStream(form);
    EXPECT_FALSE(copy.NoSkin());
    EXPECT_EQ(copy.Elements().skinName, "Kept");
    EXPECT_NE(copy.Elements().Part("Tabs"), nullptr);

    forms::TMemoryStream empty;
    const std::int32_t zero = 0;
    empty.WriteBuffer(&zero, 4);
    empty.SetPosition(0);
    TSkinData none(nullptr);
    none.ReadSkinStream(empty);
    EXPECT_TRUE(none.NoSkin());
}

TEST(SkinData, FormSkinRefusesTheMonthCalendarUnlessTheHandlerDecides) {
    TSkinData data(nullptr);
    const struct { const char* cls; bool expected; } cases[] = {{"SysMonthCal32", false}, {"TfrPreview", true}, {"TForm", true}};
    for (const auto& c : cases) {
        bool doSkin = true;
        data.DoFormSkin(c.cls, doSkin);
        EXPECT_EQ(doSkin, c.expected) << c.cls;
    }
    data.SkinControls |= 1u << xcFastReport;
    bool doSkin = true;
    data.DoFormSkin("TfrPreview", doSkin);
    EXPECT_FALSE(doSkin);
    data.OnFormSkin = [](TSkinData&, const std::string&, bool& skin) { skin = true; };
    doSkin = true;
    data.DoFormSkin("SysMonthCal32", doSkin);
    EXPECT_TRUE(doSkin);
}

}  // namespace
}  // namespace skin
