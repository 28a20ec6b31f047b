// Push buttons over the BUTTON class: Default (Enter) and Cancel (Escape) buttons, a modal
// result handed to the form, mnemonics.
#pragma once
#include "forms/form.h"
#include "forms/win_control.h"

namespace forms {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Enter anywhere in the form presses it (unless the focus is on another button).
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // Escape anywhere in the form presses it.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    // Handed to the parent form on a click (ending a modal form's loop).
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }

    // The form's ModalResult first, then OnClick.
    void Click() override;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void UpdateDefaultStyle(bool focusOnOtherButton);

    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

}  // namespace forms
