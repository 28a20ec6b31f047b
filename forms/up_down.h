// An up-down arrow pair over msctls_updown32: range, position and orientation; OnChange after a click.
#pragma once
#include <windows.h>

#include "forms/range_control.h"

namespace forms {

enum TUDOrientation { udVertical, udHorizontal };

class TUpDown : public TRangeControl {
public:
    explicit TUpDown(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation v);

protected:
    void CreateParams(TCreateParams& params) override;
    void SendRange(HWND wnd, int min, int max, int position) const override;
    int ReadPosition(HWND wnd) const override;

private:
    TUDOrientation orientation_ = udVertical;
};

}  // namespace forms
