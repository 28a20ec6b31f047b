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

TUpDown::TUpDown(TComponent* owner) : TRangeControl(owner) {}

void TUpDown::CreateParams(TCreateParams& params) {
    EnsureCommonControls(ICC_UPDOWN_CLASS);
    TRangeControl::CreateParams(params);
    params.SystemClassName = UPDOWN_CLASSA;
    if (orientation_ == udHorizontal) params.Style |= UDS_HORZ;
}

void TUpDown::SendRange(HWND wnd, int min, int max, int position) const {
    SendMessageA(wnd, UDM_SETRANGE32, min, max);
    SendMessageA(wnd, UDM_SETPOS32, 0, position);
}

int TUpDown::ReadPosition(HWND wnd) const { return static_cast<int>(SendMessageA(wnd, UDM_GETPOS32, 0, 0)); }

void TUpDown::SetOrientation(TUDOrientation v) {
    if (orientation_ == v) return;
    orientation_ = v;
    RecreateIfMade();
}

}  // namespace forms
