#include "forms/panel.h"

#include "forms/portable/properties.h"

namespace forms {

void Frame3D(TCanvas& canvas, RECT& r, TColor topColor, TColor bottomColor, int width) {
    canvas.Pen()->SetWidth(1);
    for (int i = 0; i < width; ++i) {
        --r.bottom;
        --r.right;
        canvas.Pen()->SetColor(topColor);
        canvas.Polyline({{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}});
        canvas.Pen()->SetColor(bottomColor);
        canvas.Polyline({{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}});
        InflateRect(&r, -1, -1);
        ++r.bottom;
        ++r.right;
    }
}

const TClassInfo& TCustomPanel::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TCustomPanel>("TCustomPanel", &TCustomControl::StaticClass())
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TCustomPanel::Alignment, &TCustomPanel::SetAlignment)
            .Enum("BevelInner", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner)
            .Enum("BevelOuter", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter)
            .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth)
            .Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle)
            .Bool("ParentBackground", &TCustomPanel::ParentBackground, &TCustomPanel::SetParentBackground)
            .Done();
    return info;
}

const TClassInfo& TPanel::StaticClass() {
    static const TClassInfo info("TPanel", &TCustomPanel::StaticClass());
    return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ |= csAcceptsControls | csOpaque;
    SetColor(clBtnFace);
    SetParentColor(false);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    if (borderStyle_ == bsSingle) p.Style |= WS_BORDER;
    p.ClassStyle |= CS_HREDRAW | CS_VREDRAW;
}

void TCustomPanel::SetAlignment(TAlignment v) { if (v != alignment_) { alignment_ = v; Invalidate(); } }
void TCustomPanel::SetBevelInner(TBevelCut v) { if (v != bevelInner_) { bevelInner_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetBevelOuter(TBevelCut v) { if (v != bevelOuter_) { bevelOuter_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetBevelWidth(int v) { if (v != bevelWidth_ && v > 0) { bevelWidth_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetBorderWidth(int v) { if (v != borderWidth_ && v >= 0) { borderWidth_ = v; Realign(); Invalidate(); } }
void TCustomPanel::SetBorderStyle(TBorderStyle v) { if (v != borderStyle_) { borderStyle_ = v; RecreateWnd(); } }

void TCustomPanel::SetParentBackground(bool v) {
    if (v == ParentBackground()) return;
    SetControlStyle(v ? (ControlStyle() | csParentBackground) : (ControlStyle() & ~static_cast<unsigned>(csParentBackground)));
    Invalidate();
}

RECT TCustomPanel::AlignArea() {
    RECT r = ClientRect();
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&r, -inset, -inset);
    return r;
}

void TCustomPanel::WndProc(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED) Invalidate();
    TCustomControl::WndProc(m);
}

void TCustomPanel::Paint() {
    TCanvas& c = *Canvas();
    RECT r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == bvSpace) top = bottom = Color();
        Frame3D(c, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(c, r, Color(), Color(), borderWidth_);
    bevel(bevelInner_);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
    std::string caption = GetText();
    if (caption.empty()) return;
    c.Brush()->SetStyle(bsClear);
    c.Font()->Assign(*Font());
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    format |= alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
    c.TextRect(r, r.left, r.top, "");  // selects the font and clears nothing with a clear brush
    if (!IsEnabledInTree()) SetTextColor(c.Handle(), ColorToRGB(clGrayText));
    DrawTextA(c.Handle(), caption.c_str(), static_cast<int>(caption.size()), &r, format);
}

}  // namespace forms
