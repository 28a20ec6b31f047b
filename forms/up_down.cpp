#include "forms/up_down.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TUpDown::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TUpDown>("TUpDown", &TWinControl::StaticClass())
                                       .Int("Min", &TUpDown::Min, &TUpDown::SetMin)
                                       .Int("Max", &TUpDown::Max, &TUpDown::SetMax)
                                       .Int("Position", &TUpDown::Position, &TUpDown::SetPosition)
                                       .Enum("Orientation", {"udVertical", "udHorizontal"}, &TUpDown::Orientation, &TUpDown::SetOrientation)
                                       .Done();
    return info;
}

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 24); }

void TUpDown::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_UPDOWN_CLASS);
    TWinControl::CreateParams(params);
    params.SystemClassName = UPDOWN_CLASSA;
    if (orientation_ == udHorizontal) params.Style |= UDS_HORZ;
}

void TUpDown::HandleCreated() {
    TWinControl::HandleCreated();
    Apply();
}

void TUpDown::Apply() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    SendMessageA(wnd, UDM_SETRANGE32, min_, max_);
    SendMessageA(wnd, UDM_SETPOS32, 0, position_);
}

void TUpDown::SetMin(int v) {
    if (min_ == v) return;
    min_ = v;
    Apply();
}

void TUpDown::SetMax(int v) {
    if (max_ == v) return;
    max_ = v;
    Apply();
}

int TUpDown::Position() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr ? static_cast<int>(SendMessageA(wnd, UDM_GETPOS32, 0, 0)) : position_;
}

void TUpDown::SetPosition(int v) {
    position_ = v;
    Apply();
}

void TUpDown::SetOrientation(TUDOrientation v) {
    if (orientation_ == v) return;
    orientation_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TUpDown::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        position_ = Position();
        if (OnChange) OnChange(this);
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace forms
