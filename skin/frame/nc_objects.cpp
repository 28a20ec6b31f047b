#include "skin/frame/nc_objects.h"

#include "skin/frame/skin_form.h"

namespace skin {

void TNCObject::MouseDown() {
    TNCObject* hot = formSkin_->HotObject();
    if (hot != nullptr && hot != this) hot->MouseLeave();
    if (!visible) return;
    formSkin_->SetHotObject(this);
    mouseState = 2;
    Paint();
}

void TNCObject::MouseUp() {
    if (!visible) return;
    mouseState = 3;
    Paint();
}

void TNCObject::MouseEnter() {
    TNCObject* hot = formSkin_->HotObject();
    if (hot == this) return;
    if (hot != nullptr) hot->MouseLeave();
    if (!visible) return;
    formSkin_->SetHotObject(this);
    mouseState = 3;
    Paint();
}

void TNCObject::MouseLeave() {
    if (!visible) return;
    if (formSkin_->HotObject() == this) formSkin_->SetHotObject(nullptr);
    mouseState = 1;
    Paint();
}

void TWinSysButton::Paint() { formSkin_->PaintSysButton(*this, mouseState); }

}  // namespace skin
