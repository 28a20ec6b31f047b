#include "forms/track_bar.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TTrackBar::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TTrackBar>("TTrackBar", &TWinControl::StaticClass())
                                       .Int("Min", &TTrackBar::Min, &TTrackBar::SetMin)
                                       .Int("Max", &TTrackBar::Max, &TTrackBar::SetMax)
                                       .Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition)
                                       .Enum("Orientation", {"trHorizontal", "trVertical"}, &TTrackBar::Orientation, &TTrackBar::SetOrientation)
                                       .Done();
    return info;
}

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 24); }

void TTrackBar::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_BAR_CLASSES);
    TWinControl::CreateParams(params);
    params.SystemClassName = TRACKBAR_CLASSA;
    if (orientation_ == trVertical) params.Style |= TBS_VERT;
}

void TTrackBar::HandleCreated() {
    TWinControl::HandleCreated();
    Apply();
}

void TTrackBar::Apply() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    SendMessageA(wnd, TBM_SETRANGEMIN, FALSE, min_); SendMessageA(wnd, TBM_SETRANGEMAX, TRUE, max_);
    SendMessageA(wnd, TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int v) {
    if (min_ == v) return;
    min_ = v;
    Apply();
}

void TTrackBar::SetMax(int v) {
    if (max_ == v) return;
    max_ = v;
    Apply();
}

int TTrackBar::Position() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr ? static_cast<int>(SendMessageA(wnd, TBM_GETPOS, 0, 0)) : position_;
}

void TTrackBar::SetPosition(int v) {
    position_ = v;
    Apply();
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
    if (orientation_ == v) return;
    orientation_ = v;
    if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        position_ = Position();
        if (OnChange) OnChange(this);
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace forms
