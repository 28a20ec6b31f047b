// Containers: panels only recoloured (TSkinBox), raw container windows with a face-coloured
// background (TSkinBoxH), group boxes with their frame and caption redrawn, size grips filled.
#pragma once
#include "skin/controls/skin_control.h"

namespace skin {

// Draws text in rect: alignment 0 left, 1 right, 2 centre (DT_* flags otherwise), measured
// and centred vertically; greyed for a disabled caller.
void DrawAlignedText(HDC dc, const RECT& rect, UINT alignment, bool enabled, const std::wstring& text);
// Single-line text centred both ways in rect; alignment 0 left, 1 right, 2 centre.
void DrawCentredText(HDC dc, const RECT& rect, const std::wstring& text, int alignment, bool enabled);

// Recolours a panel; its messages pass untouched (it only answers the skinned query).
class TSkinBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) override;
    void Unskin() override;
    void AfterMessage(forms::TMessage&) override {}
    const char* SkinClassName() const override { return "TSkinBox"; }
};

// A raw container (a dialog): erased with the face colour, and its static texts and buttons
// coloured on the face colour.
class TSkinBoxH : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(forms::TMessage& m) override;
    const char* SkinClassName() const override { return "TSkinBoxH"; }
};

class TSkinGroupBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinGroupBox"; }
};

class TSkinSizer : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override { FillFace(dc, rect); }
    const char* SkinClassName() const override { return "TSkinSizer"; }
};

// Edits: a two-tone border when the edit has one.
class TSkinEdit : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinEdit"; }

protected:
    void WindowMadeAgain() override;

private:
    void DrawBorder(HDC dc, const RECT& rect) const;

    bool buddySought_ = false;  // an up-down child found once gets its own skin
};

}  // namespace skin
