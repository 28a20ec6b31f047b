// A progress bar over msctls_progress32: range, position and orientation.
#pragma once
#include <windows.h>

#include "forms/win_control.h"

namespace forms {

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const;
    void SetPosition(int v);
    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation v);


protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    void Apply();

    int min_ = 0, max_ = 100, position_ = 0;
    TProgressBarOrientation orientation_ = static_cast<TProgressBarOrientation>(0);
};

}  // namespace forms
