// The skin coordinator's state, which the form skins read and write (active flag, activation,
// popup kind, menu-bar tracking, MDI fields, the form-skin and popup-skin lists). The hook,
// the requests and the window rules that act on it live in skin/manage.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "forms/portable/pixels.h"
#include "skin/popup/skin_pop_menu.h"

namespace forms {
class TForm;
}

namespace skin {

class TSkinForm;
class TSkinData;

class TSkinManage {
public:
    // Windows are skinned only while set.
    bool active = false;
    // Set while request 1 walks the forms: MDI children are let through.
    bool skinAll = false;
    // 0 until the first activation is seen (or a main data is switched on), then 1; each data
    // for one form or for dialogs adds 1 when loaded; 4 while the coordinator goes.
    int activationState = 0;
    // What the next popup menu window belongs to: 0 a popup menu, 1 a menu-bar drop-down,
    // 2 the system menu.
    int popupKind = 0;
    bool menuBarTracking = false;
    bool mdiMaximized = false;
    HWND mdiClient = nullptr;
    forms::TForm* mdiFrameForm = nullptr;
    std::vector<TSkinData*> skinDataList;
    // One per open popup menu window that was dressed.
    std::vector<std::unique_ptr<TSkinPopMenu>> popupSkins;

    // Every skinned MDI child takes the maximised look, or gives it up (unless itself maximised).
    void SetMDIMaximized(bool value);
    void AddFormSkin(TSkinForm* formSkin);
    TSkinForm* FindFormSkin(HWND wnd) const;
    // Takes the form skin out of the list without freeing it.
    void RemoveFormSkin(HWND wnd);
    void RemoveFormSkin(const TSkinForm* formSkin);
    const std::vector<TSkinForm*>& FormSkins() const { return formSkins_; }
    // The background of the first popup skin showing menu; nullptr when none does.
    const forms::PixelBuffer* PopupBackground(HMENU menu) const;
    TSkinPopMenu* FindPopupSkin(HWND wnd) const;

private:
    std::vector<TSkinForm*> formSkins_;
};

// The process-wide state (made on first use, never freed: the coordinator reads it until the
// very end of the program).
TSkinManage& SkinManage();

}  // namespace skin
