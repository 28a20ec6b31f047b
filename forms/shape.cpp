#include "forms/shape.h"

#include <algorithm>

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TShape::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TShape>("TShape", &TGraphicControl::StaticClass())
            .Enum("Shape", {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"},
                  &TShape::Shape, &TShape::SetShape)
            .Object("Pen", &TShape::Pen, &TShape::SetPen)
            .Object("Brush", &TShape::Brush, &TShape::SetBrush)
            .Done();
    return info;
}

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
    SetBounds(0, 0, 65, 65);
    pen_->OnChange = [this](TObject*) { Invalidate(); };
    brush_->OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType v) {
    if (v == shape_) return;
    shape_ = v;
    Invalidate();
}

void TShape::Paint() {
    TCanvas& c = *Canvas();
    c.SetPen(pen_.get());
    c.SetBrush(brush_.get());
    int pw = pen_->Width();
    int x = pw / 2, y = pw / 2;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) { --w; --h; }
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        int s = std::min(w, h);
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (shape_) {
        case stRectangle: case stSquare: c.Rectangle(x, y, x + w, y + h); break;
        case stRoundRect: case stRoundSquare: c.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
        case stEllipse: case stCircle: c.Ellipse(x, y, x + w, y + h); break;
    }
}

void TShape::ReleaseGdiHandles() {
    TGraphicControl::ReleaseGdiHandles();
    pen_->ReleaseHandle();
    brush_->ReleaseHandle();
}

}  // namespace forms
