#include "editor/settings_binding.h"

#include "forms/application.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/date_time_picker.h"
#include "forms/portable/ini_rules.h"

namespace editor {
namespace {

// The date separator of the user's short date format (the stored DOB uses it).
char DateSeparator() {
    char text[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, text, sizeof text) > 1) return text[0];
    return '/';
}

template <class T>
T& Bound(forms::TComponent& form, const SettingKey& key) {
    auto* control = dynamic_cast<T*>(form.FindComponent(std::string(key.control)));
    if (!control) throw forms::Exception("The window has no control " + std::string(key.control));
    return *control;
}

}  // namespace

SettingsBinding::SettingsBinding(forms::TComponent& form, EditorState& state) : form_(form), state_(state) {}

std::string* SettingsBinding::StateText(const SettingKey& key) {
    if (key.key == "Last Folder") return &state_.LastPictureFolder;
    if (key.key == "LastUsed") return &state_.LastTemplate;
    return nullptr;
}

void SettingsBinding::Load(forms::TIniFile& ini, SettingWrite group) {
    for (const auto& key : SettingsTable()) {
        if (key.written != group) continue;
        try {
            LoadKey(ini, key);
        } catch (const std::exception& e) {
            forms::Application->HandleException(e);
        }
    }
}

void SettingsBinding::LoadKey(forms::TIniFile& ini, const SettingKey& key) {
    const std::string section(key.section), name(key.key);
    switch (key.kind) {
    case SettingKind::Text: {
        const std::string value = ini.ReadString(section, name, std::string(key.defaultValue));
        if (std::string* text = StateText(key)) *text = value;
        else if (auto* control = dynamic_cast<forms::TControl*>(form_.FindComponent(std::string(key.control))))
            control->SetText(value);
        break;
    }
    case SettingKind::Boolean:
        Bound<forms::TCheckBox>(form_, key).SetChecked(BooleanValue(key, ini.ReadString(section, name, "")));
        break;
    case SettingKind::SkinNumber:
        state_.SkinNumber = SkinValue(ini.ReadString(section, name, ""));
        break;
    case SettingKind::Date: {
        auto& picker = Bound<forms::TDateTimePicker>(form_, key);
        picker.SetDateFormat(forms::dfLong);
        picker.SetDateTime(DateValue(ini.ReadString(section, name, ""), forms::Now(), DateSeparator()));
        break;
    }
    case SettingKind::ItemIndex: {
        auto& combo = Bound<forms::TComboBox>(form_, key);
        combo.SetItemIndex(ItemIndexValue(key, ini.ReadString(section, name, ""), combo.Items()->Count()));
        if (OnItemIndexLoaded) OnItemIndexLoaded(key);
        break;
    }
    }
}

void SettingsBinding::Save(forms::TIniFile& ini, SettingWrite group) {
    for (const auto& key : SettingsTable())
        if (key.written == group) ini.WriteString(std::string(key.section), std::string(key.key), ValueOf(key));
}

std::vector<std::string> SettingsBinding::Values(SettingWrite group) {
    std::vector<std::string> values;
    for (const auto& key : SettingsTable())
        if (key.written == group) values.push_back(ValueOf(key));
    return values;
}

std::string SettingsBinding::ValueOf(const SettingKey& key) {
    switch (key.kind) {
    case SettingKind::Text:
        if (std::string* text = StateText(key)) return *text;
        return Bound<forms::TControl>(form_, key).Text();
    case SettingKind::Boolean: return forms::IniFormatBool(Bound<forms::TCheckBox>(form_, key).Checked());
    case SettingKind::SkinNumber: return std::to_string(state_.SkinNumber);
    case SettingKind::Date:
        return FormatDateOfBirth(Bound<forms::TDateTimePicker>(form_, key).Date(), DateSeparator());
    case SettingKind::ItemIndex: return forms::IniFormatInteger(Bound<forms::TComboBox>(form_, key).ItemIndex());
    }
    return {};
}

}  // namespace editor
