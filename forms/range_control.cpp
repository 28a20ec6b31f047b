#include "forms/range_control.h"

#include "forms/messages.h"

namespace forms {

TRangeControl::TRangeControl(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 24); }

void TRangeControl::HandleCreated() {
    TWinControl::HandleCreated();
    Apply();
}

void TRangeControl::Apply() {
    if (HWND wnd = WindowHandle()) SendRange(wnd, min_, max_, position_);
}

void TRangeControl::SetMin(int v) {
    if (min_ == v) return;
    min_ = v;
    Apply();
}

void TRangeControl::SetMax(int v) {
    if (max_ == v) return;
    max_ = v;
    Apply();
}

int TRangeControl::Position() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr ? ReadPosition(wnd) : position_;
}

void TRangeControl::SetPosition(int v) {
    position_ = v;
    Apply();
}

void TRangeControl::RecreateIfMade() {
    if (HandleAllocated()) RecreateWnd();
}

void TRangeControl::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        position_ = Position();
        if (OnChange) OnChange(this);
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace forms
