#include "forms/bit_btn.h"

#include "forms/portable/properties.h"

namespace forms {

const TClassInfo& TBitBtn::StaticClass() {
    static const TClassInfo info =
        WithGlyphProperties(TClassInfo::Define<TBitBtn>("TBitBtn", &TButton::StaticClass())).Done();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TGlyphButton(owner) {}

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
