#include "editor/portable/settings_schema.h"

#include "forms/portable/ini_rules.h"
#include "forms/portable/text_case.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>

namespace editor {
namespace {

using K = SettingKind;
using W = SettingWrite;

constexpr SettingKey kSettings[] = {
    {"Config", "UseSkins", K::Boolean, "0", "CheckBox7", W::AtExit},
    {"Config", "Skin", K::SkinNumber, "0", "Slider1", W::AtExit},
    {"Config", "Last Folder", K::Text, "", "", W::AtExit},
    {"Config", "MultipleColumns", K::Boolean, "0", "CheckBox6", W::AtExit},
    {"HTML", "LastUsed", K::Text, "Default", "", W::AfterBuild},
    {"Biography", "Name", K::Text, "", "Edit1", W::OnSave},
    {"Biography", "DOB", K::Date, "", "DateTimePicker1", W::OnSave},
    {"Biography", "Town", K::Text, "", "Edit3", W::OnSave},
    {"Biography", "State", K::Text, "", "Edit4", W::OnSave},
    {"Biography", "E-Mail", K::Text, "", "Edit5", W::OnSave},
    {"Biography", "Website", K::Text, "", "Edit6", W::OnSave},
    // Written under the lower-case name; sections match without regard to case.
    {"biography", "Sex", K::ItemIndex, "0", "ComboBox14", W::OnSave},
    {"Styles", "Glamour", K::Boolean, "0", "CheckBox18", W::OnSave},
    {"Styles", "Fashion", K::Boolean, "0", "CheckBox19", W::OnSave},
    {"Styles", "Swimwear", K::Boolean, "0", "CheckBox20", W::OnSave},
    {"Styles", "Underwear", K::Boolean, "0", "CheckBox21", W::OnSave},
    {"Styles", "Lingerie", K::Boolean, "0", "CheckBox22", W::OnSave},
    {"Styles", "Sheer", K::Boolean, "0", "CheckBox23", W::OnSave},
    {"Styles", "Implied", K::Boolean, "0", "CheckBox24", W::OnSave},
    {"Styles", "ArtNude", K::Boolean, "0", "CheckBox25", W::OnSave},
    {"Styles", "Topless", K::Boolean, "0", "CheckBox26", W::OnSave},
    {"Styles", "Plus", K::Boolean, "0", "CheckBox27", W::OnSave},
    {"Styles", "Other", K::Boolean, "0", "CheckBox28", W::OnSave},
    {"VitalStats", "Build", K::Text, "Slim To Medium", "ComboBox1", W::OnSave},
    {"VitalStats", "Height", K::Text, "", "Edit7", W::OnSave},
    {"VitalStats", "HairColour", K::Text, "", "Edit8", W::OnSave},
    {"VitalStats", "Complection", K::Text, "", "Edit2", W::OnSave},
    {"VitalStats", "HairLength", K::Text, "Medium And Curly", "ComboBox2", W::OnSave},
    {"VitalStats", "EyeColour", K::Text, "", "Edit9", W::OnSave},
    {"VitalStats", "Chest", K::Text, "", "Edit10", W::OnSave},
    {"VitalStats", "Hips", K::Text, "", "Edit11", W::OnSave},
    {"VitalStats", "Waist", K::Text, "", "Edit12", W::OnSave},
    {"VitalStats", "Bra", K::Text, "", "Edit13", W::OnSave},
    {"VitalStats", "ShoeSize", K::Text, "", "Edit14", W::OnSave},
    {"VitalStats", "Peircings", K::Text, "", "Edit15", W::OnSave},
    {"VitalStats", "Tatoos", K::Text, "", "Edit16", W::OnSave},
    {"Medium", "Catwalk", K::Boolean, "1", "CheckBox1", W::OnSave},
    {"Medium", "Photographic", K::Boolean, "1", "CheckBox2", W::OnSave},
    {"Medium", "FilmVideo", K::Boolean, "0", "CheckBox3", W::OnSave},
    {"Medium", "Television", K::Boolean, "0", "CheckBox4", W::OnSave},
    {"Medium", "Promotions", K::Boolean, "1", "CheckBox5", W::OnSave},
};

}  // namespace

std::span<const SettingKey> SettingsTable() { return kSettings; }

const SettingKey& FindSetting(std::string_view section, std::string_view key) {
    for (const auto& k : kSettings)
        if (forms::SameTextAscii(k.section, section) && forms::SameTextAscii(k.key, key)) return k;
    throw std::out_of_range("no setting [" + std::string(section) + "] " + std::string(key));
}

bool BooleanValue(const SettingKey& key, std::string_view stored) {
    return forms::IniReadBool(stored, key.defaultValue == "1");
}

int SkinValue(std::string_view stored) {
    // Read as every INI integer is ("0x3" is 3); what the slider cannot show it clamps.
    return std::clamp(forms::IniReadInteger(stored, 0), 0, kSkinCount - 1);
}

int ItemIndexValue(const SettingKey& key, std::string_view stored, int itemCount) {
    const int fallback = std::stoi(std::string(key.defaultValue));
    const int value = forms::IniReadInteger(stored, fallback);
    return value >= 0 && value < itemCount ? value : fallback;
}

SerialDate DateValue(std::string_view stored, SerialDate now, char separator) {
    if (auto date = ParseDateOfBirth(stored, separator)) return *date;
    return DefaultDateOfBirth(now);
}

}  // namespace editor
