// Both programs carry our skins as resources: each is the stream the build painted, byte for
// byte, and loads through the resource into a whole skin.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "forms/portable/exceptions.h"
#include "skin/portable/skin_parse.h"
#include "skin/resource_stream.h"
#include "skin/skin_data.h"

namespace skin {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ProgramSkins, VantrellCarriesTheStoreItemsAndItsOwnSkin) {
    HMODULE program = LoadLibraryExA(VANTRELL_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << VANTRELL_EXE;
    struct { const char* resource; int skin; } items[7];
    for (int i = 0; i < 6; ++i) items[i] = {kSkinStoreItems[i], i};
    items[6] = {kSkinDataResource, 0};
    for (const auto& item : items) {
        SCOPED_TRACE(item.resource);
        forms::TMemoryStream stream;
        ReadSkinResource(program, item.resource, stream);
        const std::string painted = ReadFile(std::string(SKIN_ARTIFACTS_WIN) + "/skin-" + std::to_string(item.skin) + ".skin");
        ASSERT_FALSE(painted.empty());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), stream.Size()), painted);
        LoadedSkin skin;
        ASSERT_TRUE(skin.Load(stream, nullptr, GetSystemMetrics(SM_CXHSCROLL)));
        EXPECT_NE(skin.elements.Part("Tabs"), nullptr);
        EXPECT_EQ(skin.elements.captionButtons.size(), 6u);
    }
    forms::TMemoryStream none;
    EXPECT_THROW(ReadSkinResource(program, "SkinItem2", none), forms::EInvalidOperation);
    HBITMAP glyphs = LoadBitmapA(program, "SKINMENUGLYPHS");
    ASSERT_NE(glyphs, nullptr);
    BITMAP info{};
    GetObject(glyphs, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 64);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(glyphs);

    TSkinData data(nullptr);
    EXPECT_EQ(data.MenuGlyphs().Width(), 0);  // the test program carries none
    data.LoadMenuGlyphs(reinterpret_cast<HINSTANCE>(program));
    ASSERT_EQ(data.MenuGlyphs().Width(), 64);
    // Close, the fourth glyph, is ink on white: its centre dark, its corner white.
    const std::uint8_t* centre = data.MenuGlyphs().ScanLine(7) + 3 * (48 + 8);
    const std::uint8_t* corner = data.MenuGlyphs().ScanLine(0) + 3 * 48;
    EXPECT_LT(centre[0] + centre[1] + centre[2], 100);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 3 * 255);
    FreeLibrary(program);
}

TEST(ProgramSkins, VantburnCarriesTheSecondStoreSkinAndTheGlyphs) {
    HMODULE program = LoadLibraryExA(VANTBURN_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << VANTBURN_EXE;
    forms::TMemoryStream stream;
    ReadSkinResource(program, kSkinDataResource, stream);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), stream.Size()),
              ReadFile(std::string(SKIN_ARTIFACTS_WIN) + "/skin-1.skin"));
    LoadedSkin skin;
    EXPECT_TRUE(skin.Load(stream, nullptr, GetSystemMetrics(SM_CXHSCROLL)));
    forms::TMemoryStream none;
    EXPECT_THROW(ReadSkinResource(program, kSkinStoreItems[0], none), forms::EInvalidOperation);
    TSkinData data(nullptr);
    data.LoadMenuGlyphs(reinterpret_cast<HINSTANCE>(program));
    EXPECT_EQ(data.MenuGlyphs().Width(), 64);
    FreeLibrary(program);
}

}  // namespace
}  // namespace skin
