#include "forms/scroll_bar.h"

#include <algorithm>

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TScrollBar::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TScrollBar>("TScrollBar", &TWinControl::StaticClass())
                                       .Enum("Kind", {"sbHorizontal", "sbVertical"}, &TScrollBar::Kind, &TScrollBar::SetKind)
                                       .Int("Min", &TScrollBar::Min, &TScrollBar::SetMin)
                                       .Int("Max", &TScrollBar::Max, &TScrollBar::SetMax)
                                       .Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize)
                                       .Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition)
                                       .Done();
    return info;
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

void TScrollBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClassName = "SCROLLBAR";
    params.Style |= kind_ == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::HandleCreated() {
    TWinControl::HandleCreated();
    Apply();
}

void TScrollBar::Apply() {
    HWND wnd = WindowHandle();
    if (wnd == nullptr) return;
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, min_, max_, static_cast<UINT>(std::max(page_, 0)), position_, 0};
    SetScrollInfo(wnd, SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind v) {
    if (kind_ == v) return;
    kind_ = v;
    SetBounds(Left(), Top(), Height(), Width());
    if (HandleAllocated()) RecreateWnd();
}

void TScrollBar::SetMin(int v) {
    if (min_ == v) return;
    min_ = v;
    position_ = std::max(position_, min_);
    Apply();
}

void TScrollBar::SetMax(int v) {
    if (max_ == v) return;
    max_ = v;
    position_ = std::min(position_, max_);
    Apply();
}

void TScrollBar::SetPageSize(int v) {
    if (page_ == v) return;
    page_ = v;
    Apply();
}

void TScrollBar::SetPosition(int v) {
    // The last position a page can start at, as the system keeps it.
    const int last = page_ > 0 ? max_ - page_ + 1 : max_;
    v = std::clamp(v, min_, std::max(min_, last));
    if (position_ == v) return;
    position_ = v;
    Apply();
    if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(int code, int trackPosition) {
    switch (code) {
        case SB_LINEUP: SetPosition(position_ - smallChange_); break;
        case SB_LINEDOWN: SetPosition(position_ + smallChange_); break;
        case SB_PAGEUP: SetPosition(position_ - std::max(largeChange_, page_)); break;
        case SB_PAGEDOWN: SetPosition(position_ + std::max(largeChange_, page_)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetPosition(trackPosition); break;
        case SB_TOP: SetPosition(min_); break;
        case SB_BOTTOM: SetPosition(max_); break;
        default: break;
    }
}

void TScrollBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        const int code = LOWORD(m.WParam);
        int track = position_;
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
            // The 32-bit track position; the message carries only 16 bits.
            SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            if (GetScrollInfo(WindowHandle(), SB_CTL, &si)) track = si.nTrackPos;
        }
        Scroll(code, track);
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace forms
