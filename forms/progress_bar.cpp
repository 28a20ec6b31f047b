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

TProgressBar::TProgressBar(TComponent* owner) : TRangeControl(owner) {}

void TProgressBar::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_PROGRESS_CLASS);
    TRangeControl::CreateParams(params);
    params.SystemClassName = PROGRESS_CLASSA;
    if (orientation_ == pbVertical) params.Style |= PBS_VERTICAL;
}

void TProgressBar::SendRange(HWND wnd, int min, int max, int position) const {
    SendMessageA(wnd, PBM_SETRANGE32, min, max);
    SendMessageA(wnd, PBM_SETPOS, position, 0);
}

int TProgressBar::ReadPosition(HWND wnd) const { return static_cast<int>(SendMessageA(wnd, PBM_GETPOS, 0, 0)); }

void TProgressBar::SetOrientation(TProgressBarOrientation v) {
    if (orientation_ == v) return;
    orientation_ = v;
    RecreateIfMade();
}

}  // namespace forms
