// A windowless shape drawn with its pen and brush.
#pragma once
#include "forms/graphic_control.h"

namespace forms {

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType v);
    TPen* Pen() const { return pen_.get(); }
    TBrush* Brush() const { return brush_.get(); }
    void SetPen(TPen* p) { if (p) pen_->Assign(*p); }
    void SetBrush(TBrush* b) { if (b) brush_->Assign(*b); }
    void ReleaseGdiHandles() override;

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
};

}  // namespace forms
