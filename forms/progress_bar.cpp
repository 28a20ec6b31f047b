#include "forms/progress_bar.h"

#include <commctrl.h>

#include "forms/common_controls.h"
#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TProgressBar::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TProgressBar>("TProgressBar", &TWinControl::StaticClass())
                                       .Int("Min", &TProgressBar::Min, &TProgressBar::SetMin)
                                       .Int("Max", &TProgressBar::Max, &TProgressBar::SetMax)
                                       .Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition)
                                       .Enum("Orientation", {"pbHorizontal", "pbVertical"}, &TProgressBar::Orientation, &TProgressBar::SetOrientation)
                                       .Done();
    return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 24); }

void TProgressBar::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_PROGRESS_CLASS);
    TWinControl::CreateParams(params);
    params.SystemClassName = PROGRESS_CLASSA;
    if (orientation_ == pbVertical) params.Style |= PBS_VERTICAL;
}

void TProgressBar::HandleCreated() {
    TWinControl::HandleCreated();
    Apply();
}

void TProgressBar::Apply() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    SendMessageA(wnd, PBM_SETRANGE32, min_, max_);
    SendMessageA(wnd, PBM_SETPOS, position_, 0);
}

void TProgressBar::SetMin(int v) {
    if (min_ == v) return;
    min_ = v;
    Apply();
}

void TProgressBar::SetMax(int v) {
    if (max_ == v) return;
    max_ = v;
    Apply();
}

int TProgressBar::Position() const {
    HWND wnd = WindowHandle();
    return wnd != nullptr ? static_cast<int>(SendMessageA(wnd, PBM_GETPOS, 0, 0)) : position_;
}

void TProgressBar::SetPosition(int v) {
    position_ = v;
    Apply();
}

void TProgressBar::SetOrientation(TProgressBarOrientation v) {
    if (orientation_ == v) return;
    orientation_ = v;
    if (HandleAllocated()) RecreateWnd();
}

}  // namespace forms
