// A progress bar over msctls_progress32: range, position and orientation.
#pragma once
#include <windows.h>

#include "forms/range_control.h"

namespace forms {

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TRangeControl {
public:
    explicit TProgressBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation v);

protected:
    void CreateParams(TCreateParams& params) override;
    void SendRange(HWND wnd, int min, int max, int position) const override;
    int ReadPosition(HWND wnd) const override;

private:
    TProgressBarOrientation orientation_ = pbHorizontal;
};

}  // namespace forms
