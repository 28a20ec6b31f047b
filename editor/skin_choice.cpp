#include "editor/skin_choice.h"

#include <windows.h>

#include "skin/resource_stream.h"

namespace editor {

SkinChoice::SkinChoice(forms::TForm& form, controls::TSlider& slider, forms::TCheckBox& enable)
    : Slider1(&slider), CheckBox7(&enable), form_(&form) {
    const HMODULE program = GetModuleHandleA(nullptr);
    SkinStore1 = new skin::TSkinStore(&form);
    SkinStore1->SetName("SkinStore1");
    for (const char* name : skin::kSkinStoreItems) {
        skin::TSkinCollectionItem& item = SkinStore1->Store().Add();
        item.SetName(name);
        skin::ReadSkinResource(program, name, item.DataStream());
    }
    SkinData1 = new skin::TSkinData(&form);
    {
        // As form data is read: the coordinator comes with the data's loaded notification.
        forms::TLoadingScope reading(*SkinData1);
        SkinData1->SetName("SkinData1");
        SkinData1->SkinFormtype = skin::sfMainform;
        skin::LoadSkinDataResource(program, *SkinData1);
    }
    Slider1->OnChange = [this](forms::TObject*) { Slider1Change(); };
    CheckBox7->OnClick = [this](forms::TObject*) { CheckBox7Click(); };
}

void SkinChoice::LoadFirstSkin() { SkinData1->LoadFromSkinStore(*SkinStore1, 0); }

void SkinChoice::ApplySavedSkin(int skinNumber) {
    Slider1->SetValue(skinNumber);
    Slider1Change();
}

void SkinChoice::Slider1Change() { SkinData1->LoadFromSkinStore(*SkinStore1, Slider1->Value()); }

void SkinChoice::CheckBox7Click() { SkinData1->SetActive(CheckBox7->Checked()); }

void SkinChoice::AddChildForm(forms::TForm& dialog) { SkinData1->AddChildForm(form_, &dialog); }

}  // namespace editor
