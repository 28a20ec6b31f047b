// A captioned frame over the BUTTON class (BS_GROUPBOX) that holds other controls.
#pragma once
#include "forms/win_control.h"

namespace forms {

class TCustomGroupBox : public TWinControl {
public:
    explicit TCustomGroupBox(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Children align below the caption, inside the frame.
    RECT AlignArea() override;
    bool CanFocus() const override { return false; }
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void EraseBackground(TMessage& message) override;
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

}  // namespace forms
