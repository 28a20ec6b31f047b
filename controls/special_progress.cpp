#include "controls/special_progress.h"

#include <algorithm>

#include "controls/portable/flavour.h"
#include "forms/panel.h"
#include "forms/portable/properties.h"

namespace controls {

using forms::TClassInfo;

const TClassInfo& TSpecialProgress::StaticClass() {
    using P = TSpecialProgress;
    static const TClassInfo info =
        TClassInfo::Define<P>("TSpecialProgress", &TExGraphicControl::StaticClass())
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &P::BorderStyle, &P::SetBorderStyle)
            .Int("EndColor", &P::EndColor, &P::SetEndColor)
            .Bool("GradientBlocks", &P::GradientBlocks, &P::SetGradientBlocks)
            .Int("Maximum", &P::Maximum, &P::SetMaximum)
            .Int("Minimum", &P::Minimum, &P::SetMinimum)
            .Int("Position", &P::Position, &P::SetPosition)
            .Bool("Solid", &P::Solid, &P::SetSolid)
            .Int("StartColor", &P::StartColor, &P::SetStartColor)
            .Int("Step", &P::Step, &P::SetStep)
            .Bool("TextCentered", &P::TextCentered, &P::SetTextCentered)
            .Enum("TextOption", {"toCaption", "toFormat", "toNoText", "toPercent"}, &P::TextOption, &P::SetTextOption)
            .Done();
    return info;
}

TSpecialProgress::TSpecialProgress(forms::TComponent* owner)
    : TExGraphicControl(owner),
      arithmetic_(LibraryFlavour() == TLibraryFlavour::Burner ? TProgressArithmetic::Truncating
                                                              : TProgressArithmetic::Rounding) {
    controlStyle_ |= forms::csOpaque;
    SetBounds(Left(), Top(), 150, 15);
    buffer_.Canvas()->Font()->Assign(*Font());
}

TSpecialProgress::~TSpecialProgress() = default;

void TSpecialProgress::SetBorderStyle(forms::TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    imageDirty_ = true;
    RebuildImage();
}

void TSpecialProgress::SetStartColor(TColor v) {
    if (v == startColor_) return;
    startColor_ = v;
    startRgb_ = forms::ColorToRGB(v);
    imageDirty_ = true;
    RebuildImage();
}

void TSpecialProgress::SetEndColor(TColor v) {
    if (v == endColor_) return;
    endColor_ = v;
    endRgb_ = forms::ColorToRGB(v);
    imageDirty_ = true;
    RebuildImage();
}

void TSpecialProgress::SetGradientBlocks(bool v) {
    if (v == gradientBlocks_) return;
    gradientBlocks_ = v;
    if (solid_) return;
    imageDirty_ = true;
    RebuildImage();
}

void TSpecialProgress::SetSolid(bool v) {
    if (v == solid_) return;
    solid_ = v;
    imageDirty_ = true;
    UpdateBarWidth();
    RebuildImage();
}

void TSpecialProgress::SetTextCentered(bool v) {
    if (v == textCentered_) return;
    textCentered_ = v;
    if (textOption_ == toNoText) return;
    imageDirty_ = true;
    RebuildImage();
}

void TSpecialProgress::SetTextOption(TTextOption v) {
    if (v == textOption_) return;
    textOption_ = v;
    imageDirty_ = true;
    RebuildImage();
}

int TSpecialProgress::PercentDone() const { return controls::PercentDone(position_, minimum_, maximum_, arithmetic_); }

void TSpecialProgress::AfterRangeChange(int oldPercent) {
    // Or-ed in: a change still waiting (during loading) must not be forgotten.
    if (ShowsPercent() && PercentDone() != oldPercent) imageDirty_ = true;
    UpdateBarWidth();
    RebuildImage();
}

void TSpecialProgress::SetPosition(int v) {
    if (v == position_) return;
    const int old = PercentDone();
    position_ = std::clamp(v, minimum_, maximum_);
    AfterRangeChange(old);
}

void TSpecialProgress::SetMaximum(int v) {
    if (v == maximum_) return;
    const int old = PercentDone();
    maximum_ = std::max(v, minimum_);
    position_ = std::min(position_, maximum_);
    AfterRangeChange(old);
}

void TSpecialProgress::SetMinimum(int v) {
    if (v == minimum_) return;
    const int old = PercentDone();
    minimum_ = std::min(v, maximum_);
    position_ = std::max(position_, minimum_);
    AfterRangeChange(old);
}

void TSpecialProgress::UpdateBarWidth() {
    if (IsLoading()) return;
    const auto layout = ComputeBarLayout(layout_, position_, minimum_, maximum_, ClientWidth(), ClientHeight(), solid_, arithmetic_);
    if (!layout) return;
    const int oldWidth = layout_.BarWidth;
    layout_ = *layout;
    if (layout_.BarWidth != oldWidth) {
        imageDirty_ = true;
        RebuildImage();
    }
}

void TSpecialProgress::Fill(const RECT& r, COLORREF rgb) {
    forms::TCanvas* c = buffer_.Canvas();
    c->Brush()->SetStyle(forms::bsSolid);
    c->Brush()->SetColor(static_cast<TColor>(rgb));
    c->FillRect(r);
}

void TSpecialProgress::DrawBar() {
    const int h = ClientHeight();
    const COLORREF background = forms::ColorToRGB(Color());
    for (const TBarFill& f : PlanBarFills(layout_, ClientWidth(), h, solid_, gradientBlocks_, startRgb_, endRgb_)) {
        Fill(RECT{f.Left, 1, f.Left + f.Width, h - 1}, f.Background ? background : f.Rgb);
    }
}

void TSpecialProgress::DrawText() {
    const auto text = BarText(textOption_, Caption(), PercentDone());
    if (!text) return;
    forms::TCanvas* c = buffer_.Canvas();
    const SIZE extent = c->TextExtent(*text);
    const int area = textCentered_ ? ClientWidth() : layout_.BarWidth;
    const TTextPosition p = BarTextPosition(area, ClientHeight(), extent.cx, extent.cy);
    c->Brush()->SetStyle(forms::bsClear);
    c->TextOut(p.X, p.Y, *text);
    c->Brush()->SetStyle(forms::bsSolid);
}

void TSpecialProgress::DrawFrame() {
    forms::TCanvas* c = buffer_.Canvas();
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    if (borderStyle_ == forms::bsSingle) {
        forms::Frame3D(*c, r, forms::clBtnFace, forms::clBtnFace, 1);
        forms::Frame3D(*c, r, forms::clBtnShadow, forms::clBtnHighlight, 1);
        forms::Frame3D(*c, r, forms::cl3DDkShadow, forms::clBtnFace, 1);
        return;
    }
    c->Brush()->SetColor(Color());
    c->FrameRect(r);
}

void TSpecialProgress::RebuildImage() {
    if (!imageDirty_ || IsLoading()) return;
    imageDirty_ = false;
    const int w = ClientWidth(), h = ClientHeight();
    if (w <= 0 || h <= 0) return;
    buffer_.SetSize(w, h);
    DrawBar();
    DrawText();
    DrawFrame();
    ++imageBuilds_;
    // While painting, the paint in progress shows the new image.
    if (!painting_ && Parent() != nullptr && Parent()->HandleAllocated()) Repaint();
}

void TSpecialProgress::Paint() {
    painting_ = true;
    try {
        if (buffer_.Width() != ClientWidth() || buffer_.Height() != ClientHeight()) {
            imageDirty_ = true;
            UpdateBarWidth();
            RebuildImage();
        }
    } catch (...) {
        painting_ = false;
        throw;
    }
    painting_ = false;
    if (ClientWidth() < 3 || ClientHeight() < 3) return;
    BitBlt(Canvas()->Handle(), 0, 0, buffer_.Width(), buffer_.Height(), buffer_.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSpecialProgress::Loaded() {
    TExGraphicControl::Loaded();
    UpdateBarWidth();
    RebuildImage();
}

void TSpecialProgress::ColorChanged() {
    imageDirty_ = true;
    RebuildImage();
    TExGraphicControl::ColorChanged();
}

void TSpecialProgress::FontChanged() {
    buffer_.Canvas()->Font()->Assign(*Font());
    if (textOption_ != toNoText) {
        imageDirty_ = true;
        RebuildImage();
    }
    TExGraphicControl::FontChanged();
}

void TSpecialProgress::TextChanged() {
    if (textOption_ == toCaption || textOption_ == toFormat) {
        imageDirty_ = true;
        RebuildImage();
    }
    TExGraphicControl::TextChanged();
}

}  // namespace controls
