// TSkinData: the component a window carries to be skinned. It holds the skin stream, parses it
// into elements through the portable core, keeps the face brush, carries the settings that say
// which windows and controls are skinned, and switches skinning through the skin coordinator.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/bitmap.h"
#include "forms/gdi_handle.h"
#include "forms/portable/component.h"
#include "forms/portable/streams.h"
#include "skin/portable/skin_control_types.h"
#include "skin/portable/skin_parse.h"
#include "skin/portable/skin_store.h"

namespace forms {
class TControl;
}

namespace skin {

class TControlSkinList;
class TSkinControl;

enum TSkinOption { xoMDIScrollbar, xoMenuMerge, xoNCPaint };
using TSkinOptions = unsigned;

enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog };

class TSkinData : public forms::TComponent {
public:
    explicit TSkinData(forms::TComponent* owner);
    ~TSkinData() override;

    bool Active() const { return active_; }
    // Asks the coordinator to skin (on) or unskin (off) on its timer; on is ignored while no
    // skin is parsed.
    void SetActive(bool value);

    int DisableTag = 99;
    TSkinControlTypes SkinControls = kDefaultSkinControls;
    TSkinOptions Options = 0;
    std::vector<std::string> Skin3rd;
    TSkinFormType SkinFormtype = sfMainform;
    bool MenuUpdate = true;
    bool MenuMerge = false;
    // What the icon buttons of a window without an icon show: the first skinned window's icon,
    // unless set before.
    forms::PixelBuffer DefaultIcon;
    const std::string& Version() const { return version_; }
    void SetVersion(const std::string&) {}
    // "(Good)" while designing when a skin stream is held, else "(none)"; setting does nothing.
    std::string SkinStore();

    const std::string& SkinFile() const { return skinFile_; }
    // At run time a file that exists replaces the skin stream and is loaded; a missing one
    // leaves the no-skin flag set and nothing else changed.
    void SetSkinFile(const std::string& value);

    forms::TMemoryStream& SkinStream() { return skinStream_; }
    // The form-stored property: int32 count, then count bytes; a positive count loads at run time.
    void ReadSkinStream(forms::TStream& stream);
    void WriteSkinStream(forms::TStream& stream);

    // A copy of item index's stream, loaded; an index outside the items is ignored.
    void LoadFromSkinStore(TSkinStore& store, int index);
    // True when the archive was accepted. A refused one keeps the previous elements.
    bool LoadSkin();
    // Form skins using this data re-read it; a refresh is requested once windows are skinned.
    void RefreshForms();
    // The run-time form takes its controls' skins through the parent form's skin.
    void AddChildForm(forms::TComponent* parentForm, forms::TComponent* newForm);
    void DoFormSkin(const std::string& className, bool& doSkin);

    std::function<void(TSkinData& sender, const std::string& name, bool& doSkin)> OnFormSkin;
    std::function<void(TSkinData& sender)> OnSkinChanged;
    // Asked first for every control of the form library a form skin walks: a skin returned in
    // skinned (owned by the control) is attached with its own colour flag, unless sender lists
    // it already, and no other rule runs. controlClass is upper case; form is the owner walked.
    std::function<void(TControlSkinList& sender, TSkinData& data, forms::TComponent& form, forms::TControl& control,
                       const std::string& controlClass, TSkinControl*& skinned)>
        OnSkinControl;
    // Fired by the coordinator's hook for every new top-level window (not published).
    std::function<void(TSkinData& sender, HWND wnd, const std::string& className)> OnNewWindow;
    void DoSkinChanged();

    bool NoSkin() const { return loaded_.noSkin; }
    const SkinElements& Elements() const { return loaded_.elements; }
    // A solid brush of the ButtonFace colour, replaced at every parse.
    HBRUSH FaceBrush() const { return faceBrush_.get(); }

    // The menu bar's restore, maximise, minimise and close glyphs: a 64 × 16 strip of 16 × 16
    // glyphs on white (the mask colour), from the bitmap resource "SKINMENUGLYPHS" of module;
    // empty when the module has none. The constructor reads the program's own.
    void LoadMenuGlyphs(HINSTANCE module);
    forms::TBitmap& MenuGlyphs() { return menuGlyphs_; }

    // After the owner form was built: registers with the coordinator (making it), installs the
    // hook for the main data and asks for the windows to be skinned when Active.
    void Loaded() override;

private:
    bool Designing() const { return (ComponentState() & forms::csDesigning) != 0; }

    bool active_ = false;
    std::string version_ = "3.03.03.17";
    std::string skinFile_;
    forms::TMemoryStream skinStream_;
    LoadedSkin loaded_;
    forms::UniqueBrush faceBrush_;
    forms::TBitmap menuGlyphs_;
};

}  // namespace skin
