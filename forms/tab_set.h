// A tab set (TTabSet): a strip of tabs painted by the control itself, hanging below a page,
// each as wide as its caption and 9 pixels; a click selects a tab.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "forms/custom_control.h"
#include "forms/events.h"

namespace forms {

class TTabSet : public TCustomControl {
public:
    explicit TTabSet(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    const std::vector<std::string>& Tabs() const { return tabs_; }
    void SetTabs(std::vector<std::string> tabs);
    // -1: none selected.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int v);
    // The first tab shown.
    int FirstIndex() const { return firstIndex_; }
    void SetFirstIndex(int v);
    int StartMargin() const { return startMargin_; }
    void SetStartMargin(int v);
    int EndMargin() const { return endMargin_; }
    void SetEndMargin(int v);

    // Tab index's rectangle in client coordinates, laid out from FirstIndex; empty for a tab
    // before it or one that does not fit. room: the pixels kept free before the end margin.
    RECT TabRect(int index, int room = 9);

    TNotifyEvent OnChange;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int TextWidth(const std::string& text);

    std::vector<std::string> tabs_;
    int tabIndex_ = -1;
    int firstIndex_ = 0;
    int startMargin_ = 5;
    int endMargin_ = 5;
};

}  // namespace forms
