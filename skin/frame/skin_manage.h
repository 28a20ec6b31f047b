// The first piece of the skin coordinator: the process-wide instance and the state the form
// skins read and write (activation, popup kind, menu-bar tracking, MDI fields, the form-skin
// list). Its hook, requests and window rules come later.
#pragma once
#include <windows.h>

#include <vector>

namespace forms {
class TForm;
}

namespace skin {

class TSkinForm;
class TSkinData;

class TSkinManage {
public:
    int activationState = 0;
    // What the next popup menu window belongs to: 0 a popup menu, 1 a menu-bar drop-down,
    // 2 the system menu.
    int popupKind = 0;
    bool menuBarTracking = false;
    bool mdiMaximized = false;
    HWND mdiClient = nullptr;
    forms::TForm* mdiFrameForm = nullptr;
    std::vector<TSkinData*> skinDataList;

    // Every skinned MDI child takes the maximised look, or gives it up (unless itself maximised).
    void SetMDIMaximized(bool value);
    void AddFormSkin(TSkinForm* formSkin);
    TSkinForm* FindFormSkin(HWND wnd) const;
    // Takes the form skin out of the list without freeing it.
    void RemoveFormSkin(HWND wnd);
    void RemoveFormSkin(const TSkinForm* formSkin);
    const std::vector<TSkinForm*>& FormSkins() const { return formSkins_; }
    // The background bitmap of the popup skin showing menu: none until popup skins exist.
    const void* PopupBackground(HMENU) const { return nullptr; }

private:
    std::vector<TSkinForm*> formSkins_;
};

// The process-wide coordinator (made on first use).
TSkinManage& SkinManage();

}  // namespace skin
