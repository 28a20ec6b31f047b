#include "skin/controls/bar_skins.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "skin/bitmap_transforms.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/portable/skin_slicing.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

bool TSkinTrackBar::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_ERASEBKGND: m.Result = 1; return false;
        case WM_NOTIFY:
        case forms::CN_NOTIFY: {
            auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(m.LParam);
            // Only the bar's own drawing: its tooltip reports custom draw too.
            if (draw == nullptr || draw->hdr.code != NM_CUSTOMDRAW || draw->hdr.hwndFrom != Handle()) return true;
            if (draw->dwDrawStage == CDDS_PREPAINT) {
                m.Result = CDRF_NOTIFYITEMDRAW;
            } else if (draw->dwDrawStage == CDDS_ITEMPREPAINT && draw->dwItemSpec == TBCD_THUMB) {
                DrawThumb(draw->hdc);
                m.Result = CDRF_SKIPDEFAULT;
            } else {
                m.Result = CDRF_DODEFAULT;
            }
            return false;
        }
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinTrackBar::RefreshSkin() {
    TSkinControl::RefreshSkin();
    if (Control() != nullptr && IsWindowVisible(Handle()) && IsWindowEnabled(Handle())) SetFocus(Handle());
}

void TSkinTrackBar::DrawThumb(HDC dc) {
    RECT thumb{};
    SendMessageA(Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const SkinElements* e = Elements();
    const bool vertical = (GetWindowLongPtrA(Handle(), GWL_STYLE) & TBS_VERT) != 0;
    const TDataSkinObject* element = nullptr;
    if (e != nullptr) {
        if (vertical) element = e->Part("Trackbar.ThumbVert");
        if (element == nullptr) element = e->Part("Trackbar.ThumbHorz");
    }
    if (element != nullptr && !element->image.empty()) {
        DrawStrip(dc, thumb, element->image, 5, 2, true);
        return;
    }
    forms::UniqueBrush shadow(CreateSolidBrush(
        forms::ColorToRGB(static_cast<forms::TColor>(e != nullptr ? e->colours.ButtonShadow : kSystemColour | COLOR_BTNSHADOW))));
    FrameRect(dc, &thumb, shadow.get());
}

bool TSkinProgress::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT: {
            const SkinElements* e = Elements();
            const TDataSkinBorder* progress = e != nullptr ? e->BorderPart("Progress") : nullptr;
            if (progress == nullptr || progress->image.empty()) return true;  // the bar paints itself
            PaintMessage(m);
            m.Result = 0;
            return false;
        }
        case WM_ERASEBKGND: m.Result = 1; return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinProgress::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    const TDataSkinBorder* progress = e != nullptr ? e->BorderPart("Progress") : nullptr;
    if (progress == nullptr || progress->image.empty()) return;
    HWND wnd = Handle();
    const int position = static_cast<int>(SendMessageA(wnd, PBM_GETPOS, 0, 0));
    PBRANGE range{};
    SendMessageA(wnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    if (r.right <= 0 || r.bottom <= 0) return;
    const SkinMargins margins{progress->LeftWidth, progress->TopHeight, progress->RightWidth, progress->BottomHeight};

    if (progress->Style == 1) {
        forms::TBitmap work(r.right, r.bottom, forms::pf24bit);
        HDC mem = work.Canvas()->Handle();
        SetStretchBltMode(mem, HALFTONE);
        FillFace(mem, r);
        TDataSkinObject frame = *progress;
        frame.Trans = 1;
        DrawElement(mem, r, 1, 1, frame);
        // Chunks fill the inside of the frame only; a chunk of no width draws none.
        const forms::PixelBuffer& chunk = progress->image2;
        const int inside = std::max(0, static_cast<int>(r.right) - margins.left - margins.right);
        const int fill = ProgressFill(inside, position, range.iLow, range.iHigh);
        if (fill > 0 && chunk.width() > 0 && chunk.height() > 0) {
            const int top = (r.bottom - chunk.height()) / 2;
            const int saved = SaveDC(mem);
            IntersectClipRect(mem, margins.left, 0, margins.left + fill, r.bottom);
            for (int x = margins.left; x < margins.left + fill; x += chunk.width())
                DrawStrip(mem, RECT{x, top, x + chunk.width(), top + chunk.height()}, chunk, 1, 1, false);
            RestoreDC(mem, saved);
        }
        BitBlt(dc, rect.left, rect.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
        return;
    }

    // Drawn lying down; a vertical bar is turned upright afterwards, filling from the bottom.
    const bool vertical = (GetWindowLongPtrA(wnd, GWL_STYLE) & PBS_VERTICAL) != 0;
    const int length = vertical ? r.bottom : r.right;
    const int thickness = vertical ? r.right : r.bottom;
    forms::TBitmap work(length, thickness, forms::pf24bit);
    HDC mem = work.Canvas()->Handle();
    const RECT all{0, 0, length, thickness};
    FillFace(mem, all);
    TDataSkinObject frame = *progress;
    frame.Trans = 1;
    DrawElement(mem, all, 2, 1, frame);
    const int fill = ProgressFill(length, position, range.iLow, range.iHigh);
    if (fill > 0) DrawElement(mem, RECT{0, 0, fill, thickness}, 2, 2, frame);
    if (vertical) RotateBitmapLeft(work);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom - 1, work.Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace skin
