// Check boxes and radio buttons over the BUTTON class. The state is ours (BS_3STATE and
// BS_RADIOBUTTON, not the automatic styles), so that a change from code and a click by the
// user take the same road: the state is set, then OnClick fires.
#pragma once
#include "forms/win_control.h"

namespace forms {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
// Which side of the box the caption is on (taLeftJustify: caption left of the box).
using TLeftRight = TAlignment;

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // taRightJustify (default): the caption is right of the box.
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight v);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // A user click or the mnemonic.
    virtual void Toggle() = 0;

private:
    TLeftRight alignment_ = taRightJustify;
};

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    // OnClick fires when the state really changes (not while loading).
    void SetState(TCheckBoxState v);
    // Clicks cycle unchecked, checked, grayed when allowed.
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void Toggle() override;

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
};

class TCheckBox : public TCustomCheckBox {
public:
    explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

// Checking one unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    bool Checked() const { return checked_; }
    // OnClick fires when it becomes checked.
    void SetChecked(bool v);

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void Toggle() override { SetChecked(true); }

private:
    bool checked_ = false;
};

}  // namespace forms
