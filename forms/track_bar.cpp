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

TTrackBar::TTrackBar(TComponent* owner) : TRangeControl(owner) {}

void TTrackBar::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_BAR_CLASSES);
    TRangeControl::CreateParams(params);
    params.SystemClassName = TRACKBAR_CLASSA;
    if (orientation_ == trVertical) params.Style |= TBS_VERT;
}

void TTrackBar::SendRange(HWND wnd, int min, int max, int position) const {
    SendMessageA(wnd, TBM_SETRANGEMIN, FALSE, min);
    SendMessageA(wnd, TBM_SETRANGEMAX, TRUE, max);
    SendMessageA(wnd, TBM_SETPOS, TRUE, position);
}

int TTrackBar::ReadPosition(HWND wnd) const { return static_cast<int>(SendMessageA(wnd, TBM_GETPOS, 0, 0)); }

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
    if (orientation_ == v) return;
    orientation_ = v;
    RecreateIfMade();
}

}  // namespace forms
