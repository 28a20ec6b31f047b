// A text label over a STATIC window (so other programs and tests can read its text).
#pragma once
#include "forms/win_control.h"

namespace forms {

class TCustomLabel : public TWinControl {
public:
    explicit TCustomLabel(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    // Width and height follow the caption and font (not for word-wrapped labels' width).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // The parent's background shows through.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // '&' marks a mnemonic (false: shown as it is).
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    // The control that takes the focus when the mnemonic is pressed.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* v);

    void SetText(const std::string& v) override;
    bool CanFocus() const override { return false; }
    void WndProc(TMessage& message) override;

    // Sizes the label to its text now.
    void AdjustBounds();

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void StyleChanged();

    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

}  // namespace forms
