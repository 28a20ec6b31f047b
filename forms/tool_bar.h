// A tool bar over ToolbarWindow32: flat or raised buttons with captions; a click runs the
// button's handler.
#pragma once
#include <windows.h>

#include <commctrl.h>

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

class TMainMenu;
class TToolBar;

// Asked for each button's drawing stage (CDDS_ITEMPREPAINT); answers the custom-draw flags.
using TToolBarCustomDrawEvent = std::function<LRESULT(TToolBar* Sender, NMTBCUSTOMDRAW& Draw)>;

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    const std::vector<TToolButton>& Buttons() const { return buttons_; }
    void SetButtons(std::vector<TToolButton> buttons);

    // A menu whose items the bar stands for (not owned); nullptr when none.
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu) { menu_ = menu; }

    TToolBarCustomDrawEvent OnCustomDrawButton;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void UpdateButtons();

    bool flat_ = false;
    TMainMenu* menu_ = nullptr;
    std::vector<TToolButton> buttons_;
};

}  // namespace forms
