// A track bar over msctls_trackbar32: range, thumb position and orientation; OnChange after the user moves the thumb.
#pragma once
#include <windows.h>

#include "forms/events.h"
#include "forms/win_control.h"

namespace forms {

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation v);

    TNotifyEvent OnChange;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void Apply();

    int min_ = 0, max_ = 100, position_ = 0;
    TTrackBarOrientation orientation_ = static_cast<TTrackBarOrientation>(0);
};

}  // namespace forms
