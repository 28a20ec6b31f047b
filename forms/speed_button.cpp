#include "forms/speed_button.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TSpeedButton::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TSpeedButton>("TSpeedButton", &TGraphicControl::StaticClass())
            .Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph)
            .Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
            .Enum("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, &TSpeedButton::Layout,
                  &TSpeedButton::SetLayout)
            .Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin)
            .Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing)
            .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
            .Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
            .Done();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(TBitmap* v) {
    if (v == nullptr) glyph_->FreeImage();
    else glyph_->Assign(*v);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int v) {
    if (numGlyphs_ == v) return;
    numGlyphs_ = v;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
    if (layout_ == v) return;
    layout_ = v;
    Invalidate();
}

void TSpeedButton::SetMargin(int v) {
    if (margin_ == v) return;
    margin_ = v;
    Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
    if (spacing_ == v) return;
    spacing_ = v;
    Invalidate();
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
    DrawGlyphAndCaption(dc, r, *glyph_, numGlyphs_, sunk ? 3 : Enabled() ? 1 : 2, layout_, Caption(), Enabled());
    SelectObject(dc, old);
}

}  // namespace forms
