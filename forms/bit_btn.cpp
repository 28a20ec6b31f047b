#include "forms/bit_btn.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TBitBtn::StaticClass() {
    static const TClassInfo info = WithGlyphProperties(TClassInfo::Define<TBitBtn>("TBitBtn", &TButton::StaticClass()))
                                       .Object("Images", &TBitBtn::Images, &TBitBtn::SetImages)
                                       .Int("ImageIndex", &TBitBtn::ImageIndex, &TBitBtn::SetImageIndex)
                                       .Int("DisabledIndex", &TBitBtn::DisabledIndex, &TBitBtn::SetDisabledIndex)
                                       .Done();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TGlyphButton(owner) {}

void TBitBtn::SetImages(TImageList* v) {
    if (images_ == v) return;
    if (images_ != nullptr) images_->RemoveFreeNotification(this);
    images_ = v;
    if (v != nullptr) v->FreeNotification(this);
    Invalidate();
}

void TBitBtn::SetImageIndex(int v) {
    if (imageIndex_ == v) return;
    imageIndex_ = v;
    Invalidate();
}

void TBitBtn::SetDisabledIndex(int v) {
    if (disabledIndex_ == v) return;
    disabledIndex_ = v;
    Invalidate();
}

void TBitBtn::Notification(TComponent* component, TOperation operation) {
    TGlyphButton::Notification(component, operation);
    if (operation == opRemove && component == images_) {
        images_ = nullptr;
        if (!IsDestroying()) Invalidate();
    }
}

FaceGlyph TBitBtn::FaceImage(int frame, bool enabled) {
    if (Glyph()->Width() > 0 || images_ == nullptr) return TGlyphButton::FaceImage(frame, enabled);
    // Disabled: its own disabled image, else the normal one greyed by the system.
    const bool ownDisabled = !enabled && disabledIndex_ != -1;
    const int index = ownDisabled ? disabledIndex_ : imageIndex_;
    if (!images_->Valid(index)) return {};
    TImageList* list = images_;
    const bool drawEnabled = enabled || ownDisabled;
    return {list->Width(), list->Height(),
            [list, index, drawEnabled](HDC dc, int x, int y) { list->Draw(dc, x, y, index, drawEnabled); }};
}

void TBitBtn::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        const bool pressed = (d->itemState & ODS_SELECTED) != 0;
        const bool enabled = (d->itemState & ODS_DISABLED) == 0;
        RECT r = d->rcItem;
        if (Default() || (d->itemState & ODS_FOCUS)) {
            FrameRect(d->hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            InflateRect(&r, -1, -1);
        }
        DrawFrameControl(d->hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        HGDIOBJ old = SelectObject(d->hDC, Font()->Handle());
        DrawFace(d->hDC, r, pressed ? 3 : enabled ? 1 : 2, enabled);
        SelectObject(d->hDC, old);
        if (d->itemState & ODS_FOCUS) {
            InflateRect(&r, -3, -3);
            DrawFocusRect(d->hDC, &r);
        }
        m.Result = TRUE;
        return;
    }
    TButton::WndProc(m);
}

}  // namespace forms
