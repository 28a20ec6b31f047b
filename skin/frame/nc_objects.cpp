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

// A button the layout hid is no longer hot either: a hot object decides what a second
// right-click on the caption does.
void TNCObject::MouseLeave() {
    if (formSkin_->HotObject() == this) formSkin_->SetHotObject(nullptr);
    mouseState = 1;
    if (visible) Paint();
}

void TWinSysButton::Paint() { formSkin_->PaintSysButton(*this, mouseState); }

}  // namespace skin
