// Moves vantrell.ini values into the controls and editor state they bind to, and back.
#pragma once

#include "editor/editor_state.h"
#include "editor/portable/settings_schema.h"

#include "forms/ini_file.h"
#include "forms/portable/component.h"

#include <functional>
#include <string>
#include <vector>

namespace editor {

class SettingsBinding {
public:
    // Controls are found among form's components by the table's control names.
    SettingsBinding(forms::TComponent& form, EditorState& state);

    // Reads every key of the table, in its order, that is written at the given moment (so
    // Load(OnSave) reads the biography). A bad value takes its default; one key's failure
    // never stops the others.
    void Load(forms::TIniFile& ini, SettingWrite group);
    // Writes the keys of one group from their controls; raises on the first failed write.
    void Save(forms::TIniFile& ini, SettingWrite group);
    // The texts Save would write for the group, in table order: a change shows as a difference.
    std::vector<std::string> Values(SettingWrite group);

    // Called after an item index is set from the file (the sex handler must run).
    std::function<void(const SettingKey&)> OnItemIndexLoaded;

private:
    void LoadKey(forms::TIniFile& ini, const SettingKey& key);
    // The text a key is written with, from its control or the editor state.
    std::string ValueOf(const SettingKey& key);
    std::string* StateText(const SettingKey& key);

    forms::TComponent& form_;
    EditorState& state_;
};

}  // namespace editor
