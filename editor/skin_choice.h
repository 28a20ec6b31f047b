// The main window's skin choice: the skin data and the store of six skins, the slider that
// picks one and "Enable Skins" that switches skinning on and off.
#pragma once

#include "controls/slider.h"
#include "forms/check_box.h"
#include "forms/form.h"
#include "skin/portable/skin_store.h"
#include "skin/skin_data.h"

namespace editor {

class SkinChoice {
public:
    // Creates SkinData1 (inactive, every form) and SkinStore1 on form, both holding the skins
    // the program carries, and binds the slider and the check box.
    SkinChoice(forms::TForm& form, controls::TSlider& slider, forms::TCheckBox& enable);

    // At start, before the settings: skin 0.
    void LoadFirstSkin();
    // At start, after the settings: the saved skin through the slider, and once more by hand
    // (the slider reports only a change).
    void ApplySavedSkin(int skinNumber);
    void Slider1Change();
    void CheckBox7Click();
    // A dialog made at run time takes the main window's skin.
    void AddChildForm(forms::TForm& dialog);

    // The skin number the settings keep.
    int SkinNumber() const { return Slider1->Value(); }

    skin::TSkinData* SkinData1;
    skin::TSkinStore* SkinStore1;
    controls::TSlider* Slider1;
    forms::TCheckBox* CheckBox7;

private:
    forms::TForm* form_;
};

}  // namespace editor
