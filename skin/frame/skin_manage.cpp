#include "skin/frame/skin_manage.h"

#include <algorithm>

#include "skin/frame/skin_form.h"

namespace skin {

TSkinManage& SkinManage() {
    static TSkinManage* instance = new TSkinManage;
    return *instance;
}

void TSkinManage::SetMDIMaximized(bool value) {
    if (value == mdiMaximized) return;
    mdiMaximized = value;
    for (TSkinForm* f : formSkins_)
        if (f->WindowKind() == kKindMdiChild) f->SetMdiMaximizedLook(value);
}

void TSkinManage::AddFormSkin(TSkinForm* formSkin) {
    if (std::find(formSkins_.begin(), formSkins_.end(), formSkin) == formSkins_.end()) formSkins_.push_back(formSkin);
}

TSkinForm* TSkinManage::FindFormSkin(HWND wnd) const {
    for (TSkinForm* f : formSkins_)
        if (f->Window() == wnd) return f;
    return nullptr;
}

void TSkinManage::RemoveFormSkin(HWND wnd) {
    formSkins_.erase(std::remove_if(formSkins_.begin(), formSkins_.end(), [wnd](TSkinForm* f) { return f->Window() == wnd; }),
                     formSkins_.end());
}

void TSkinManage::RemoveFormSkin(const TSkinForm* formSkin) {
    formSkins_.erase(std::remove(formSkins_.begin(), formSkins_.end(), formSkin), formSkins_.end());
}

}  // namespace skin

namespace skin {

const forms::PixelBuffer* TSkinManage::PopupBackground(HMENU menu) const {
    for (const auto& popup : popupSkins)
        if (popup->Hooked() && popup->Menu() == menu && menu != nullptr) return &popup->Background();
    return nullptr;
}

TSkinPopMenu* TSkinManage::FindPopupSkin(HWND wnd) const {
    for (const auto& popup : popupSkins)
        if (popup->Window() == wnd) return popup.get();
    return nullptr;
}

}  // namespace skin
