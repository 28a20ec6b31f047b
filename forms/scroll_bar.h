// A scroll-bar control over the SCROLLBAR class: kind, range, page and position; the arrows,
// track and thumb move the position, and OnChange follows.
#pragma once
#include <windows.h>

#include "forms/events.h"
#include "forms/scroll_box.h"
#include "forms/win_control.h"

namespace forms {

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind v);
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int PageSize() const { return page_; }
    void SetPageSize(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int v) { smallChange_ = v; }
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int v) { largeChange_ = v; }

    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void Apply();
    void Scroll(int code, int trackPosition);

    TScrollBarKind kind_ = sbHorizontal;
    int min_ = 0, max_ = 100, page_ = 0, position_ = 0;
    int smallChange_ = 1, largeChange_ = 1;
};

}  // namespace forms
