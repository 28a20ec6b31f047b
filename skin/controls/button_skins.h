// Push buttons painted whole from the Buttons element (hot, pressed, focused, default and
// disabled frames, the click made at button-up when the press began on the button); check
// boxes and radio buttons keep their own painting and get their mark drawn over it.
#pragma once
#include "skin/controls/skin_control.h"

namespace skin {

// Draws a push button's caption: the first "||" breaks the line; centred vertically, and
// horizontally for alignment 1.
void DrawCaption(HDC dc, const RECT& rect, std::wstring text, int alignment);

class TSkinButton : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(forms::TMessage& m) override;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinButton"; }
};

class TSkinCheckBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) override;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinCheckBox"; }

private:
    // The last BM_SETCHECK's wParam + 1 (0: none since attach). A data-aware box (one with a
    // DataField) shows it: its data link sets the window's check, not the control's State.
    int rememberedCheck_ = 0;
};

class TSkinRadioButton : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinRadioButton"; }
};

}  // namespace skin
