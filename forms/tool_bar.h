// A tool bar over ToolbarWindow32: flat or raised buttons with captions; a click runs the
// button's handler.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/events.h"
#include "forms/win_control.h"

namespace forms {

struct TToolButton {
    std::string Caption;
    TNotifyEvent OnClick;
};

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    const std::vector<TToolButton>& Buttons() const { return buttons_; }
    void SetButtons(std::vector<TToolButton> buttons);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void UpdateButtons();

    bool flat_ = false;
    std::vector<TToolButton> buttons_;
};

}  // namespace forms
