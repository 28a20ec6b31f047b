#include "forms/button.h"

#include "forms/accel_char.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TButton::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TButton>("TButton", &TWinControl::StaticClass())
                                       .Bool("Default", &TButton::Default, &TButton::SetDefault)
                                       .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel)
                                       .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
                                       .Done();
    return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    // The class procedure reports clicks (BN_CLICKED); mouse-up must not click a second time.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "BUTTON";
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
    if (default_ == v) return;
    default_ = v;
    UpdateDefaultStyle(false);
}

void TButton::UpdateDefaultStyle(bool focusOnOtherButton) {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    // An owner-drawn face shows the default itself; the style must keep its owner-draw type.
    if ((GetWindowLongPtrA(wnd, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) {
        InvalidateRect(wnd, nullptr, TRUE);
        return;
    }
    bool asDefault = Focused() || (default_ && !focusOnOtherButton);
    SendMessageA(wnd, BM_SETSTYLE, asDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (modalResult_ != mrNone) {
        if (TForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    }
    TWinControl::Click();
}

void TButton::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY:
        if (((message.WParam == VK_RETURN && default_) || (message.WParam == VK_ESCAPE && cancel_)) &&
            IsEnabledInTree() && Showing()) {
            // Enter on another focused button belongs to that button.
            HWND focus = GetFocus();
            TWinControl* focused = FindControl(focus);
            if (message.WParam == VK_RETURN && focused != nullptr && focused != this && focused->Is<TButton>()) break;
            Click();
            message.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(message.WParam), GetText()) && CanFocus()) {
            SetFocus();
            Click();
            message.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TControl*>(message.LParam);
        bool otherButton = focused != nullptr && focused != this && focused->Is<TButton>();
        UpdateDefaultStyle(otherButton);
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

}  // namespace forms
