#include "forms/bit_btn.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TBitBtn::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TBitBtn>("TBitBtn", &TButton::StaticClass())
            .Object("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph)
            .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
            .Enum("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, &TBitBtn::Layout, &TBitBtn::SetLayout)
            .Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin)
            .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing)
            .Done();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(TBitmap* v) {
    if (v == nullptr) glyph_->FreeImage();
    else glyph_->Assign(*v);
    Changed();
}

void TBitBtn::SetNumGlyphs(int v) {
    if (numGlyphs_ == v) return;
    numGlyphs_ = v;
    Changed();
}

void TBitBtn::SetLayout(TButtonLayout v) {
    if (layout_ == v) return;
    layout_ = v;
    Changed();
}

void TBitBtn::SetMargin(int v) {
    if (margin_ == v) return;
    margin_ = v;
    Changed();
}

void TBitBtn::SetSpacing(int v) {
    if (spacing_ == v) return;
    spacing_ = v;
    Changed();
}

void TBitBtn::Changed() {
    if (HandleAllocated()) InvalidateRect(WindowHandle(), nullptr, TRUE);
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
        DrawGlyphAndCaption(d->hDC, r, *glyph_, numGlyphs_, pressed ? 3 : enabled ? 1 : 2, layout_, Caption(), enabled);
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
