// A windowless control: painted by its parent (in z-order, after the parent's own paint)
// through WM_PAINT with the device context in WParam, and given the mouse by its parent when
// its hit test (CM_HITTEST) says yes.
#pragma once
#include "forms/canvas.h"
#include "forms/control.h"

namespace forms {

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Valid while painting: drawing goes to the parent's DC, origin at this control.
    TCanvas* Canvas() const { return canvas_.get(); }
    void WndProc(TMessage& message) override;
    void ReleaseGdiHandles() override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace forms
