// An up-down arrow pair over msctls_updown32: range, position and orientation; OnChange after a click.
#pragma once
#include <windows.h>

#include "forms/events.h"
#include "forms/win_control.h"

namespace forms {

enum TUDOrientation { udVertical, udHorizontal };

class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation v);

    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void Apply();

    int min_ = 0, max_ = 100, position_ = 0;
    TUDOrientation orientation_ = static_cast<TUDOrientation>(0);
};

}  // namespace forms
