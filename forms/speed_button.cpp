#include "forms/speed_button.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TSpeedButton::StaticClass() {
    static const TClassInfo info =
        WithGlyphProperties(TClassInfo::Define<TSpeedButton>("TSpeedButton", &TGraphicControl::StaticClass()))
            .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
            .Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
            .Done();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGlyphButton(owner) {
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    Invalidate();
}

void TSpeedButton::SetDown(bool v) {
    if (down_ == v) return;
    down_ = v;
    Invalidate();
}

void TSpeedButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (Enabled()) {
                pressed_ = true;
                Invalidate();
            }
            break;
        case WM_LBUTTONUP:
            if (pressed_) {
                pressed_ = false;
                Invalidate();
            }
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this)) {
                hot_ = m.Msg == CM_MOUSEENTER;
                if (!hot_) pressed_ = false;
                Invalidate();
            }
            break;
        default: break;
    }
    TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, Width(), Height()};
    const bool sunk = pressed_ || down_;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (sunk) DrawEdge(dc, &r, flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat_) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    else if (hot_ && Enabled()) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    if (sunk) OffsetRect(&r, 1, 1);
    DrawFace(dc, r, sunk ? 3 : Enabled() ? 1 : 2, Enabled());
    SelectObject(dc, old);
}

}  // namespace forms
