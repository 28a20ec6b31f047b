#include "forms/scroll_box.h"

#include <algorithm>

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TControlScrollBar::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TControlScrollBar>("TControlScrollBar", &TObject::StaticClass())
            .Int("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange)
            .Int("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition)
            .Int("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement)
            .Bool("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible)
            .Bool("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking)
            .Bool("Smooth", &TControlScrollBar::Smooth, &TControlScrollBar::SetSmooth)
            .Enum("Kind", {"sbHorizontal", "sbVertical"}, &TControlScrollBar::Kind, nullptr)
            .Done();
    return info;
}

int TControlScrollBar::VisibleSize() const {
    RECT r = control_->ClientRect();
    return kind_ == sbHorizontal ? r.right - r.left : r.bottom - r.top;
}

int TControlScrollBar::MaxPosition() const { return std::max(0, range_ - VisibleSize()); }

bool TControlScrollBar::IsScrollBarVisible() const { return visible_ && range_ > VisibleSize(); }

void TControlScrollBar::SetRange(int v) {
    v = std::max(0, v);
    calcRange_ = false;
    if (v == range_) return;
    range_ = v;
    control_->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int v) {
    v = std::clamp(v, 0, MaxPosition());
    if (v == position_) return;
    int delta = position_ - v;
    position_ = v;
    if (kind_ == sbHorizontal) control_->ScrollPositionChanged(delta, 0);
    else control_->ScrollPositionChanged(0, delta);
    Update();
}

void TControlScrollBar::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    control_->UpdateScrollBars();
}

void TControlScrollBar::Update() {
    HWND wnd = control_->WindowHandle();
    if (wnd == nullptr) return;
    int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    if (IsScrollBarVisible()) {
        si.nMax = range_ - 1;
        si.nPage = static_cast<UINT>(VisibleSize());
        si.nPos = position_;
    }
    SetScrollInfo(wnd, bar, &si, TRUE);
    ShowScrollBar(wnd, bar, IsScrollBarVisible() ? TRUE : FALSE);
}

void TControlScrollBar::ScrollMessage(int code, int thumbPos) {
    int page = std::max(1, VisibleSize() * 9 / 10);
    switch (code) {
        case SB_LINEUP: SetPosition(position_ - increment_); break;
        case SB_LINEDOWN: SetPosition(position_ + increment_); break;
        case SB_PAGEUP: SetPosition(position_ - page); break;
        case SB_PAGEDOWN: SetPosition(position_ + page); break;
        case SB_THUMBTRACK: if (tracking_) SetPosition(thumbPos); break;
        case SB_THUMBPOSITION: SetPosition(thumbPos); break;
        case SB_TOP: SetPosition(0); break;
        case SB_BOTTOM: SetPosition(MaxPosition()); break;
        default: break;
    }
}

const TClassInfo& TScrollingWinControl::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TScrollingWinControl>("TScrollingWinControl", &TWinControl::StaticClass())
            .Object("HorzScrollBar", &TScrollingWinControl::HorzScrollBar, nullptr)
            .Object("VertScrollBar", &TScrollingWinControl::VertScrollBar, nullptr)
            .Bool("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll)
            .Done();
    return info;
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner),
      horz_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(this, sbVertical)) {
    horz_->calcRange_ = vert_->calcRange_ = true;
    controlStyle_ |= csAcceptsControls;
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TScrollingWinControl::HandleCreated() {
    TWinControl::HandleCreated();
    UpdateScrollBars();
}

void TScrollingWinControl::SetAutoScroll(bool v) {
    if (v == autoScroll_) return;
    autoScroll_ = v;
    if (v) {
        horz_->calcRange_ = vert_->calcRange_ = true;
    } else {
        horz_->SetPosition(0);
        vert_->SetPosition(0);
        horz_->range_ = vert_->range_ = 0;
    }
    UpdateScrollBars();
}

void TScrollingWinControl::CalcAutoRange() {
    if (!autoScroll_) return;
    int right = 0, bottom = 0;
    for (TControl* c : ControlList()) {
        if (!c->Visible()) continue;
        // Content coordinates: children sit relative to the visible area.
        if (c->Align() != alClient && c->Align() != alTop && c->Align() != alBottom) {
            right = std::max(right, c->Left() + c->Width() + horz_->position_);
        }
        if (c->Align() != alClient && c->Align() != alLeft && c->Align() != alRight) {
            bottom = std::max(bottom, c->Top() + c->Height() + vert_->position_);
        }
    }
    if (horz_->calcRange_ || autoScroll_) horz_->range_ = right;
    if (vert_->calcRange_ || autoScroll_) vert_->range_ = bottom;
}

void TScrollingWinControl::UpdateScrollBars() {
    // A minimised window's empty client area would show bars that stay after restoring.
    if (updating_ || (WindowHandle() != nullptr && IsIconic(WindowHandle()))) return;
    updating_ = true;
    CalcAutoRange();
    // Clamp positions to the new ranges (moving the children back as needed).
    horz_->SetPosition(horz_->position_);
    vert_->SetPosition(vert_->position_);
    horz_->Update();
    vert_->Update();
    updating_ = false;
}

void TScrollingWinControl::ScrollPositionChanged(int dx, int dy) { ScrollBy(dx, dy); }

void TScrollingWinControl::ScrollInView(TControl* control) {
    if (control == nullptr || !ContainsControl(control)) return;
    RECT r = control->BoundsRect();
    RECT client = ClientRect();
    if (r.left < 0) horz_->SetPosition(horz_->position_ + r.left);
    else if (r.right > client.right && r.right - r.left <= client.right) horz_->SetPosition(horz_->position_ + r.right - client.right);
    if (r.top < 0) vert_->SetPosition(vert_->position_ + r.top);
    else if (r.bottom > client.bottom && r.bottom - r.top <= client.bottom) vert_->SetPosition(vert_->position_ + r.bottom - client.bottom);
}

void TScrollingWinControl::AlignControls(TControl* control, RECT& rect) {
    TWinControl::AlignControls(control, rect);
    UpdateScrollBars();
}

void TScrollingWinControl::BoundsChanged() {
    TWinControl::BoundsChanged();
    UpdateScrollBars();
}

void TScrollingWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (m.LParam == 0) {
                TControlScrollBar* bar = m.Msg == WM_HSCROLL ? horz_.get() : vert_.get();
                SCROLLINFO si{};
                si.cbSize = sizeof si;
                si.fMask = SIF_TRACKPOS;
                GetScrollInfo(WindowHandle(), m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si);
                bar->ScrollMessage(LOWORD(m.WParam), si.nTrackPos);
                m.Result = 0;
                return;
            }
            break;
        case WM_SIZE:
            TWinControl::WndProc(m);
            UpdateScrollBars();
            return;
        default: break;
    }
    TWinControl::WndProc(m);
}

const TClassInfo& TScrollBox::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TScrollBox>("TScrollBox", &TScrollingWinControl::StaticClass())
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle)
            .Enum("BevelInner", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &TScrollBox::BevelInner, &TScrollBox::SetBevelInner)
            .Enum("BevelOuter", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &TScrollBox::BevelOuter, &TScrollBox::SetBevelOuter)
            .Enum("BevelKind", {"bkNone", "bkTile", "bkSoft", "bkFlat"}, &TScrollBox::BevelKind, &TScrollBox::SetBevelKind)
            .Done();
    return info;
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    SetBounds(0, 0, 185, 41);
    SetTabStop(true);
}

void TScrollBox::CreateParams(TCreateParams& p) {
    TScrollingWinControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
}

void TScrollBox::SetBevelInner(TBevelCut v) { if (v != bevelInner_) { bevelInner_ = v; Invalidate(); } }
void TScrollBox::SetBevelOuter(TBevelCut v) { if (v != bevelOuter_) { bevelOuter_ = v; Invalidate(); } }
void TScrollBox::SetBevelKind(TBevelKind v) { if (v != bevelKind_) { bevelKind_ = v; RecreateWnd(); } }

}  // namespace forms
