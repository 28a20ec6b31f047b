#include "forms/check_box.h"

#include "forms/accel_char.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TButtonControl::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TButtonControl>("TButtonControl", &TWinControl::StaticClass())
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TButtonControl::Alignment,
                  &TButtonControl::SetAlignment)
            .Done();
    return info;
}

const TClassInfo& TCustomCheckBox::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomCheckBox>("TCustomCheckBox", &TButtonControl::StaticClass())
            .Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked)
            .Enum("State", {"cbUnchecked", "cbChecked", "cbGrayed"}, &TCustomCheckBox::State, &TCustomCheckBox::SetState)
            .Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed)
            .Done();
    return info;
}

const TClassInfo& TCheckBox::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TCheckBox>("TCheckBox", &TCustomCheckBox::StaticClass()).Done();
    return info;
}

const TClassInfo& TRadioButton::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TRadioButton>("TRadioButton", &TButtonControl::StaticClass())
                                       .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked)
                                       .Done();
    return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    // BN_CLICKED is the click; the mouse-up must not make a second one.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetParentColor(true);
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "BUTTON";
    if (alignment_ == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TButtonControl::SetAlignment(TLeftRight v) {
    if (alignment_ == v) return;
    alignment_ = v;
    RecreateWnd();
}

void TButtonControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) {
            Toggle();
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(message.WParam), GetText()) && CanFocus()) {
            SetFocus();
            Toggle();
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {}

void TCustomCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_3STATE;
}

void TCustomCheckBox::HandleCreated() {
    TButtonControl::HandleCreated();
    SendMessageA(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (state_ == v) return;
    state_ = v;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, BM_SETCHECK, static_cast<WPARAM>(v), 0);
    if (!IsLoading()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {}

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::HandleCreated() {
    TButtonControl::HandleCreated();
    SendMessageA(WindowHandle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    if (HWND wnd = WindowHandle()) SendMessageA(wnd, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!v) return;
    if (TWinControl* parent = Parent()) {
        for (TControl* c : parent->ControlList()) {
            if (auto* other = c->As<TRadioButton>(); other != nullptr && other != this) other->SetChecked(false);
        }
    }
    if (!IsLoading()) Click();
}

}  // namespace forms
