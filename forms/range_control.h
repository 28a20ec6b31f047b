// What the progress bar, the track bar and the up-down share: a position in a range, kept while
// the control has no window and handed to the window when it has one, and an orientation that
// takes a new window to change.
#pragma once
#include <windows.h>

#include "forms/events.h"
#include "forms/win_control.h"

namespace forms {

class TRangeControl : public TWinControl {
public:
    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    // The window's own position when it has one: the user may have moved it.
    int Position() const;
    void SetPosition(int v);

    // After the user moved the position (the controls that let her).
    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    explicit TRangeControl(TComponent* owner);
    void HandleCreated() override;
    // For a change of orientation: a style the system reads only when the window is made.
    void RecreateIfMade();

    virtual void SendRange(HWND wnd, int min, int max, int position) const = 0;
    virtual int ReadPosition(HWND wnd) const = 0;

private:
    void Apply();

    int min_ = 0, max_ = 100, position_ = 0;
};

}  // namespace forms
