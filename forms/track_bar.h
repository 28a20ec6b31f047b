// A track bar over msctls_trackbar32: range, thumb position and orientation; OnChange after the user moves the thumb.
#pragma once
#include <windows.h>

#include "forms/range_control.h"

namespace forms {

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TRangeControl {
public:
    explicit TTrackBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation v);

protected:
    void CreateParams(TCreateParams& params) override;
    void SendRange(HWND wnd, int min, int max, int position) const override;
    int ReadPosition(HWND wnd) const override;

private:
    TTrackBarOrientation orientation_ = trHorizontal;
};

}  // namespace forms
