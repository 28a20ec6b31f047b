#include "forms/custom_control.h"

#include "forms/portable/properties.h"

namespace forms {

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
    if (control_ == nullptr || ownDc_ != nullptr) return;
    dcWindow_ = control_->Handle();
    ownDc_ = GetDC(dcWindow_);
    SetHandle(ownDc_);
}

void TControlCanvas::FreeHandle() {
    if (ownDc_ == nullptr) return;
    SetHandle(nullptr);
    ReleaseDC(dcWindow_, ownDc_);
    ownDc_ = nullptr;
}

const TClassInfo& TCustomControl::StaticClass() {
    static const TClassInfo info("TCustomControl", &TWinControl::StaticClass());
    return info;
}

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() { canvas_->FreeHandle(); }

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC dc) {
    canvas_->FreeHandle();
    canvas_->Font()->Assign(*Font());
    canvas_->Brush()->SetColor(Color());
    canvas_->SetHandle(dc);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
    }
    canvas_->SetHandle(nullptr);
}

void TCustomControl::ReleaseGdiHandles() {
    TWinControl::ReleaseGdiHandles();
    canvas_->FreeHandle();
    canvas_->ReleaseToolHandles();
}

}  // namespace forms
