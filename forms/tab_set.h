// A tab set (TTabSet): a strip of tabs painted by the control itself, hanging below a page,
// each as wide as its caption and 9 pixels; a click selects a tab. When the tabs do not all
// fit, a pair of arrows (its scroller, the first component it owns) moves the first tab shown.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "forms/custom_control.h"
#include "forms/events.h"
#include "forms/up_down.h"

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
    RECT TabRect(int index, int room);
    // The same with the room the scroller needs while it shows (21) or 9.
    RECT TabRect(int index) { return TabRect(index, TabRoom()); }
    int TabRoom() const;
    TUpDown* Scroller() const { return scroller_; }

    TNotifyEvent OnChange;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Resize() override;

private:
    int TextWidth(const std::string& text);
    // Shows the scroller while some tab lies beyond the strip or before the first shown.
    void UpdateScroller();

    std::vector<std::string> tabs_;
    int tabIndex_ = -1;
    int firstIndex_ = 0;
    int startMargin_ = 5;
    int endMargin_ = 5;
    TUpDown* scroller_ = nullptr;  // owned as a component
};

}  // namespace forms
