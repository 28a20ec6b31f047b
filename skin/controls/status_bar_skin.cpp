#include "skin/controls/status_bar_skin.h"

#include <commctrl.h>

#include <memory>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/status_bar.h"
#include "skin/bitmap_transforms.h"
#include "skin/controls/box_skins.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/controls/property_access.h"
#include "skin/skin_data.h"

namespace skin {

namespace {

PanelBevel BevelOf(forms::TStatusPanelBevel bevel) {
    switch (bevel) {
        case forms::pbRaised: return PanelBevel::Raised;
        case forms::pbLowered: return PanelBevel::Lowered;
        default: return PanelBevel::None;
    }
}

UINT AlignFlag(const forms::TStatusPanel& panel) {
    switch (forms::ShownAlignment(panel)) {
        case forms::taCenter: return DT_CENTER;
        case forms::taRightJustify: return DT_RIGHT;
        default: return DT_LEFT;
    }
}

}  // namespace

void TSkinStatusBar::DrawSkin(HDC dc, const RECT& rect) {
    auto* bar = dynamic_cast<forms::TStatusBar*>(Control());
    if (bar == nullptr) return;
    const SkinElements* e = Elements();
    const TDataSkinObject* edges = e != nullptr ? e->Part("StatusBarEdges") : nullptr;
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    if (r.right <= 0 || r.bottom <= 0) return;
    forms::TBitmap work(r.right, r.bottom, forms::pf24bit);
    HDC mem = work.Canvas()->Handle();
    SetStretchBltMode(mem, HALFTONE);
    FillFace(mem, r);
    forms::UniqueFont font;
    {
        LOGFONTA plain{};
        GetObjectA(bar->Font()->Handle(), sizeof plain, &plain);
        plain.lfWeight = FW_NORMAL;
        plain.lfItalic = plain.lfUnderline = plain.lfStrikeOut = FALSE;
        font.reset(CreateFontIndirectA(&plain));
    }
    HGDIOBJ oldFont = SelectObject(mem, font.get());
    SetTextColor(mem, edges != nullptr ? forms::ColorToRGB(static_cast<forms::TColor>(edges->NormalColour2))
                                       : forms::ColorToRGB(bar->Font()->Color()));
    auto bevel = [&](const RECT& panel, PanelBevel kind) {
        if (edges != nullptr) {
            DrawElement(mem, panel, 3, StatusBevelFrame(kind), *edges);
            return;
        }
        if (kind == PanelBevel::None) return;
        const bool lowered = kind == PanelBevel::Lowered;
        forms::UniqueBrush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
        forms::UniqueBrush light(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
        HBRUSH topLeft = lowered ? shadow.get() : light.get();
        HBRUSH bottomRight = lowered ? light.get() : shadow.get();
        RECT t{panel.left, panel.top, panel.right, panel.top + 1}, l{panel.left, panel.top, panel.left + 1, panel.bottom};
        RECT b{panel.left, panel.bottom - 1, panel.right, panel.bottom}, rr{panel.right - 1, panel.top, panel.right, panel.bottom};
        FillRect(mem, &t, topLeft);
        FillRect(mem, &l, topLeft);
        FillRect(mem, &b, bottomRight);
        FillRect(mem, &rr, bottomRight);
    };
    const auto& panels = bar->Panels();
    HWND wnd = Handle();
    if (bar->SimplePanel() || panels.empty()) {
        bevel(r, PanelBevel::Lowered);
        std::wstring text = GetWidePropByName(bar, "SimpleText");
        if (text.empty()) text = L" ";
        RECT t{r.left + 2, r.top, r.right - 2, r.bottom};
        DrawAlignedText(mem, t, DT_LEFT, true, text);
    } else {
        for (size_t i = 0; i < panels.size(); ++i) {
            RECT p{};
            if (!SendMessageA(wnd, SB_GETRECT, i, reinterpret_cast<LPARAM>(&p))) continue;
            p.right += 2;
            if (i + 1 == panels.size()) p.right = r.right;
            bevel(p, BevelOf(panels[i].Bevel));
            if (panels[i].Style == forms::psText) {
                const std::string& narrow = panels[i].Text.empty() ? std::string(" ") : panels[i].Text;
                RECT t{p.left + 2, p.top, p.right - 2, p.bottom};
                DrawAlignedText(mem, t, AlignFlag(panels[i]), true, AnsiToWide(narrow));
            }
        }
    }
    if (GetWindowLongPtrA(wnd, GWL_STYLE) & SBARS_SIZEGRIP) {
        const TDataSkinObject* extra = e != nullptr ? e->Part("ExtraImages") : nullptr;
        if (extra != nullptr && !extra->image.empty()) {
            const int frames = extra->FrameCount > 0 ? extra->FrameCount : 5;
            const int w = extra->image.width() / frames;
            const int h = extra->image.height();
            const RECT grip{r.right - 1 - w, r.bottom - 1 - h, r.right - 1, r.bottom - 1};
            DrawStrip(mem, grip, extra->image, frames, 5, true);
        }
    }
    SelectObject(mem, oldFont);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
    if (bar->OnDrawPanel && !bar->SimplePanel()) {
        // Every panel, not only the owner-drawn ones: a handler may paint over any of them.
        // A handler may also free the bar, and this skin with it, or unskin it.
        const std::weak_ptr<void> alive = LifeToken();
        const auto handler = bar->OnDrawPanel;
        for (size_t i = 0; i < bar->Panels().size() && !bar->SimplePanel(); ++i) {
            RECT p{};
            if (!SendMessageA(wnd, SB_GETRECT, i, reinterpret_cast<LPARAM>(&p))) continue;
            InflateRect(&p, -1, -1);
            OffsetRect(&p, rect.left, rect.top);
            handler(bar, static_cast<int>(i), dc, p);
            if (alive.expired()) return;
        }
    }
}

}  // namespace skin
