// TSpecialProgress: a windowless progress bar that paints itself, solid or in blocks, its
// colour running from StartColor to EndColor across the filled part, with an optional
// centred text. The picture is composed in an off-screen image, rebuilt only when something
// visible changed; painting copies it.
#pragma once
#include <string>

#include "controls/ex_controls.h"
#include "controls/portable/progress_layout.h"
#include "forms/bitmap.h"

namespace controls {

class TSpecialProgress : public TExGraphicControl {
public:
    explicit TSpecialProgress(forms::TComponent* owner);
    ~TSpecialProgress() override;
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    forms::TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(forms::TBorderStyle v);
    TColor StartColor() const { return startColor_; }
    void SetStartColor(TColor v);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor v);
    bool GradientBlocks() const { return gradientBlocks_; }
    void SetGradientBlocks(bool v);
    bool Solid() const { return solid_; }
    void SetSolid(bool v);
    bool TextCentered() const { return textCentered_; }
    void SetTextCentered(bool v);
    TTextOption TextOption() const { return textOption_; }
    void SetTextOption(TTextOption v);
    // Position stays within Minimum..Maximum whichever of the three is set last.
    int Minimum() const { return minimum_; }
    void SetMinimum(int v);
    int Maximum() const { return maximum_; }
    void SetMaximum(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    // Kept and streamed only.
    int Step() const { return step_; }
    void SetStep(int v) { step_ = v; }

    int PercentDone() const;

    // The layout of the last computation (filled width from x = 1, blocks).
    const TBarLayout& Layout() const { return layout_; }
    // How many times the image has been composed (it is only when something visible changed).
    int ImageBuilds() const { return imageBuilds_; }

protected:
    void Paint() override;
    void Loaded() override;
    void ColorChanged() override;
    void FontChanged() override;
    void TextChanged() override;

private:
    bool ShowsPercent() const { return textOption_ == toFormat || textOption_ == toPercent; }
    void AfterRangeChange(int oldPercent);
    void UpdateBarWidth();
    void RebuildImage();
    void DrawBar();
    void DrawText();
    void DrawFrame();
    void Fill(const RECT& r, COLORREF rgb);

    forms::TBitmap buffer_;
    TProgressArithmetic arithmetic_;
    forms::TBorderStyle borderStyle_ = forms::bsNone;
    TColor startColor_ = forms::clWhite;
    TColor endColor_ = forms::clBlack;
    std::uint32_t startRgb_ = 0xFFFFFF;
    std::uint32_t endRgb_ = 0x000000;
    bool gradientBlocks_ = false;
    bool solid_ = false;
    bool textCentered_ = false;
    TTextOption textOption_ = toNoText;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    int step_ = 10;
    TBarLayout layout_;
    bool imageDirty_ = true;
    bool painting_ = false;
    int imageBuilds_ = 0;
};

}  // namespace controls
