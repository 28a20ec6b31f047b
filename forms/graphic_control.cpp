#include "forms/graphic_control.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TGraphicControl::StaticClass() {
    static const TClassInfo info("TGraphicControl", &TControl::StaticClass());
    return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam != 0) {
        canvas_->Font()->Assign(*Font());
        canvas_->SetHandle(reinterpret_cast<HDC>(m.WParam));
        try {
            Paint();
        } catch (...) {
            canvas_->SetHandle(nullptr);
            throw;
        }
        canvas_->SetHandle(nullptr);
        return;
    }
    TControl::WndProc(m);
}

void TGraphicControl::ReleaseGdiHandles() {
    TControl::ReleaseGdiHandles();
    canvas_->ReleaseToolHandles();
}

}  // namespace forms
