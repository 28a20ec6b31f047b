// vantrell.ini: every key the editor keeps, its kind, default and the control it binds to.
// The main window walks this table; the value rules live here so they can be tested alone.
#pragma once

#include "editor/portable/dates.h"

#include <span>
#include <string>
#include <string_view>

namespace editor {

enum class SettingKind {
    Boolean,     // "1"/"0", read as non-zero
    Text,
    SkinNumber,  // decimal 0..5, the skin slider
    Date,        // "dd/mm/yyyy", the date picker
    ItemIndex,   // an item index of a drop-down list (the sex: 0 Female, 1 Male)
};

// When a key is written: at exit, after a build, or by the biography's Save.
enum class SettingWrite { AtExit, AfterBuild, OnSave };

struct SettingKey {
    std::string_view section;
    std::string_view key;
    SettingKind kind;
    std::string_view defaultValue;  // a Date key's default is computed (DefaultDateOfBirth)
    std::string_view control;       // Name of the bound control; empty for editor state
    SettingWrite written;
};

// All keys in the order start-up reads them.
std::span<const SettingKey> SettingsTable();
const SettingKey& FindSetting(std::string_view section, std::string_view key);

inline constexpr int kSkinCount = 6;
inline constexpr int kSexItemCount = 2;

// Value rules of a stored text ("" when absent). A value that does not parse gives the key's
// default, so one bad line never stops the rest of start-up.
bool BooleanValue(const SettingKey& key, std::string_view stored);
int SkinValue(std::string_view stored);
int ItemIndexValue(const SettingKey& key, std::string_view stored, int itemCount);
SerialDate DateValue(std::string_view stored, SerialDate now, char separator);

}  // namespace editor
