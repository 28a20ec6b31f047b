// A windowed control that paints itself on a canvas.
#pragma once
#include "forms/canvas.h"
#include "forms/win_control.h"

namespace forms {

// A canvas over a control's window: outside painting it takes a DC of the window on demand.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TWinControl* control) : control_(control) {}
    ~TControlCanvas() override;
    void CreateHandle() override;
    // Gives back a DC taken on demand (painting hands its own DC in and out).
    void FreeHandle();

private:
    TWinControl* control_;
    HWND dcWindow_ = nullptr;
    HDC ownDc_ = nullptr;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TCanvas* Canvas() const { return canvas_.get(); }
    // The canvas's tools too (made again at the next paint).
    void ReleaseGdiHandles() override;

protected:
    // Draws the client area on Canvas (whose handle is the paint DC).
    virtual void Paint();
    void PaintWindow(HDC dc) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

}  // namespace forms
