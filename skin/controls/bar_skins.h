// Track bars (their thumb drawn from the skin through the bar's custom draw, tics and channel
// left to the bar) and progress bars (empty and full frames of the Progress element, or its
// chunks).
#pragma once
#include "skin/controls/skin_control.h"

namespace skin {

class TSkinTrackBar : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(forms::TMessage& m) override;
    // A new skin: repainted, and a visible bar takes the focus.
    void RefreshSkin() override;
    const char* SkinClassName() const override { return "TSkinTrackBar"; }

private:
    void DrawThumb(HDC dc);
};

class TSkinProgress : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinProgress"; }
};

}  // namespace skin
