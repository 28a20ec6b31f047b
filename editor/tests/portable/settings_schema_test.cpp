#include "editor/portable/settings_schema.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace editor {
namespace {

TEST(SettingsTable, BindsEachControlOnceAndKeepsTheStoredKeyNames) {
    std::set<std::string> controls, keys;
    for (const auto& k : SettingsTable()) {
        if (!k.control.empty()) {
            EXPECT_TRUE(controls.insert(std::string(k.control)).second) << k.control;
        }
        std::string id = std::string(k.section) + "/" + std::string(k.key);
        for (auto& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(keys.insert(id).second) << id;
    }
    // Stored files rely on these spellings.
    for (auto [section, key] : {std::pair{"VitalStats", "Complection"}, {"VitalStats", "Peircings"},
                                {"VitalStats", "Tatoos"}, {"biography", "Sex"}, {"Config", "Last Folder"}})
        EXPECT_EQ(FindSetting(section, key).key, key);
    EXPECT_EQ(FindSetting("BIOGRAPHY", "sex").section, "biography");
}

TEST(SettingsTable, DefaultsOfAFirstStart) {
    const struct { const char* section; const char* key; bool checked; } flags[] = {
        {"Medium", "Catwalk", true}, {"Medium", "Photographic", true}, {"Medium", "Promotions", true},
        {"Medium", "FilmVideo", false}, {"Medium", "Television", false}, {"Config", "UseSkins", false},
        {"Config", "MultipleColumns", false}, {"Styles", "Glamour", false}, {"Styles", "Other", false},
    };
    for (const auto& f : flags) EXPECT_EQ(BooleanValue(FindSetting(f.section, f.key), ""), f.checked) << f.key;
    int styles = 0;
    for (const auto& k : SettingsTable())
        if (k.section == "Styles") { ++styles; EXPECT_FALSE(BooleanValue(k, "")) << k.key; }
    EXPECT_EQ(styles, 11);
    EXPECT_EQ(FindSetting("VitalStats", "Build").defaultValue, "Slim To Medium");
    EXPECT_EQ(FindSetting("VitalStats", "HairLength").defaultValue, "Medium And Curly");
    EXPECT_EQ(FindSetting("HTML", "LastUsed").defaultValue, "Default");
}

TEST(SettingValues, BooleansReadNonZeroAndFallBackWhenUnparsable) {
    const SettingKey& catwalk = FindSetting("Medium", "Catwalk");  // default true
    const SettingKey& sheer = FindSetting("Styles", "Sheer");      // default false
    const struct { const char* stored; bool catwalk, sheer; } cases[] = {
        {"1", true, true}, {"0", false, false}, {"2", true, true}, {"0x0", false, false},
        {"0x10", true, true}, {"yes", true, false}, {"", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BooleanValue(catwalk, c.stored), c.catwalk) << c.stored;
        EXPECT_EQ(BooleanValue(sheer, c.stored), c.sheer) << c.stored;
    }
}

TEST(SettingValues, SkinIsAnIniIntegerClampedToTheSliderElseZero) {
    const struct { const char* stored; int skin; } cases[] = {
        {"0", 0}, {"3", 3}, {"5", 5}, {"6", 5}, {"9", 5}, {"-1", 0}, {"", 0}, {"abc", 0}, {"2x", 0}, {"0x3", 3},
        {"$4", 4}, {"0x10", 5}, {"99999999999999", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SkinValue(c.stored), c.skin) << c.stored;
}

TEST(SettingValues, SexIndexOutsideTheListIsFemale) {
    const SettingKey& sex = FindSetting("biography", "Sex");
    const struct { const char* stored; int index; } cases[] = {{"0", 0}, {"1", 1}, {"2", 0}, {"-1", 0}, {"male", 0}, {"0x1", 1}};
    for (const auto& c : cases) EXPECT_EQ(ItemIndexValue(sex, c.stored, kSexItemCount), c.index) << c.stored;
}

TEST(SettingValues, DateOfBirthFallsBackToTwentyOneYearsAgo) {
    const SerialDate now = forms::EncodeDate(2026, 12, 10) + 0.25;
    EXPECT_EQ(DateValue("07/03/1998", now, '/'), forms::EncodeDate(1998, 3, 7));
    for (const char* bad : {"", "31/31/1999", "yesterday"}) EXPECT_EQ(DateValue(bad, now, '/'), now - 7665) << bad;
}

}  // namespace
}  // namespace editor
