#include "skin/controls/tab_skins.h"

#include <array>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/graphics.h"
#include "forms/tab_set.h"
#include "forms/up_down.h"
#include "skin/controls/box_skins.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/control_frames.h"
#include "skin/bitmap_transforms.h"
#include "skin/controls/updown_skins.h"
#include "skin/portable/bitmap_transforms.h"
#include "skin/portable/skin_slicing.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"

namespace skin {

namespace {

// The text of tab i, read into a buffer of a stated length and always terminated.
std::wstring TabText(HWND wnd, int i, int& image) {
    std::array<wchar_t, 260> buffer{};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size() - 1);
    image = -1;
    if (!SendMessageW(wnd, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) return {};
    buffer.back() = L'\0';
    image = item.iImage;
    return std::wstring(item.pszText != nullptr ? item.pszText : L"");
}

void BlitKeyed(HDC dc, const RECT& r, const forms::PixelBuffer& pixels, bool transparent) {
    forms::TBitmap bitmap(pixels.width(), pixels.height(), forms::pf24bit);
    forms::PixelBuffer copy = pixels;
    forms::CopyPixels(copy.view(), bitmap.Pixels());
    HDC source = bitmap.Canvas()->Handle();
    if (transparent) TransparentBlt(dc, r.left, r.top, pixels.width(), pixels.height(), source, 0, 0, pixels.width(), pixels.height(), RGB(255, 0, 255));
    else BitBlt(dc, r.left, r.top, pixels.width(), pixels.height(), source, 0, 0, SRCCOPY);
}

}  // namespace

void DrawIconText(HDC dc, const RECT& rect, int alignment, const std::wstring& text, int imageIndex, HIMAGELIST images,
                  bool enabled) {
    int iconW = 0, iconH = 0;
    if (images != nullptr) ImageList_GetIconSize(images, &iconW, &iconH);
    const int width = rect.right - rect.left;
    const bool icon = imageIndex != -1 && images != nullptr && iconW < width;
    if (!icon) iconW = iconH = 0;
    RECT measured = rect;
    if (icon) measured.right += iconW + 2;
    int textW = 0, textH = 0;
    if (!text.empty()) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, 0x8060 | DT_CALCRECT | DT_NOCLIP);
        textW = measured.right - measured.left;
        textH = measured.bottom - measured.top;
    }
    int x = 2;
    if (alignment == 1) x = (width - iconW - textW) / 2;
    else if (alignment == 2) x = width - iconW - textW - 2;
    if (x < 2) x = 2;
    x += rect.left;
    const int height = rect.bottom - rect.top;
    if (icon) {
        ImageList_Draw(images, imageIndex, dc, x, rect.top + (height - iconH) / 2, ILD_TRANSPARENT);
        x += iconW + 1;
    }
    if (text.empty()) return;
    SetBkMode(dc, TRANSPARENT);
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    RECT t{x, rect.top + (height - textH) / 2, rect.right, rect.top + (height - textH) / 2 + textH};
    if (t.left < rect.left) t.left = rect.left;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, 0x8060);
}

void TSkinTab::AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) {
    if (Attached()) return;
    TSkinControl::AttachHandle(wnd, data, list);
    focused_ = GetFocus() == wnd;
    enabled_ = IsWindowEnabled(wnd) != FALSE;
    text_ = WindowText();
    PrepareBitmaps();
    SkinArrows();
}

void TSkinTab::SkinArrows() {
    HWND upDown = FindWindowExA(Handle(), nullptr, "msctls_updown32", nullptr);
    if (upDown != nullptr && (List() == nullptr || List()->FindByHandle(upDown) == nullptr)) {
        auto* arrows = new TSkinUpDown(Owner());
        arrows->AttachHandle(upDown, data_, List());
    }
}

void TSkinTab::WindowMadeAgain() {
    PrepareBitmaps();
    SkinArrows();
    TSkinControl::WindowMadeAgain();
}

void TSkinTab::RefreshSkin() {
    TSkinControl::RefreshSkin();
    PrepareBitmaps();
}

void TSkinTab::PrepareBitmaps() {
    const LONG_PTR style = GetWindowLongAW(GWL_STYLE);
    if (style & TCS_VERTICAL) position_ = (style & TCS_RIGHT) ? 3 : 2;
    else position_ = (style & TCS_BOTTOM) ? 1 : 0;
    tabs_ = forms::PixelBuffer();
    border_ = forms::PixelBuffer();
    const SkinElements* e = Elements();
    const TDataSkinBorder* tabs = e != nullptr ? e->BorderPart("Tabs") : nullptr;
    if (tabs == nullptr || tabs->image.empty() || tabs->image2.empty()) return;
    tabs_ = tabs->image;
    border_ = tabs->image2;
    switch (position_) {
        case 1:
            FlipPixels(tabs_);
            FlipPixels(border_);
            break;
        case 2: RotatePixelsLeft(border_); break;
        case 3: RotatePixelsRight(border_); break;
        default: break;
    }
}

void TSkinTab::DrawSkin(HDC dc, const RECT& rect) {
    const SkinElements* e = Elements();
    const TDataSkinBorder* tabs = e != nullptr ? e->BorderPart("Tabs") : nullptr;
    if (tabs == nullptr || tabs_.empty()) return;
    HWND wnd = Handle();
    RECT page = rect;
    SendMessageW(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    InflateRect(&page, 4, 4);
    // The page's edge on the tab side moves one pixel in, under the tabs.
    RECT strip = rect;
    switch (position_) {
        case 0: page.top += 1; strip.bottom = page.top; break;
        case 1: page.bottom -= 1; strip.top = page.bottom; break;
        case 2: page.left += 1; strip.right = page.left; break;
        default: page.right -= 1; strip.left = page.right; break;
    }
    const bool side = position_ >= 2;
    // The strip is drawn as if its tabs stood on top, then turned into place for side tabs.
    const int length = side ? strip.bottom - strip.top : strip.right - strip.left;
    const int thickness = side ? strip.right - strip.left : strip.bottom - strip.top;
    if (length > 0 && thickness > 0) {
        forms::TBitmap bitmap(length, thickness, forms::pf24bit);
        HDC mem = bitmap.Canvas()->Handle();
        RECT all{0, 0, length, thickness};
        FillParentFace(mem, all);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font != nullptr ? SelectObject(mem, font) : nullptr;
        const int count = static_cast<int>(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0));
        const int focusTab = static_cast<int>(SendMessageW(wnd, TCM_GETCURFOCUS, 0, 0));
        HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd, TCM_GETIMAGELIST, 0, 0));
        TDataSkinObject element = *tabs;
        element.image = tabs_;
        for (int i = 0; i < count; ++i) {
            RECT r{};
            if (!SendMessageW(wnd, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
            RECT t;
            switch (position_) {
                case 0: t = RECT{r.left - strip.left, r.top - strip.top + 1, r.right - strip.left, r.bottom - strip.top + 1}; break;
                case 1: t = RECT{r.left - strip.left, r.top - strip.top, r.right - strip.left, r.bottom - strip.top}; break;
                case 2: t = RECT{strip.bottom - r.bottom, r.left - strip.left, strip.bottom - r.top, r.right - strip.left}; break;
                default: t = RECT{r.top - strip.top, strip.right - r.right, r.bottom - strip.top, strip.right - r.left}; break;
            }
            const bool current = i == focusTab;
            DrawElement(mem, t, element.FrameCount, current ? 2 : 1, element);
            SetTextColor(mem, forms::ColorToRGB(static_cast<forms::TColor>(current ? tabs->MouseOverColour2 : tabs->NormalColour2)));
            int image = -1;
            const std::wstring text = TabText(wnd, i, image);
            DrawIconText(mem, t, 1, text, image, images, IsWindowEnabled(wnd) != FALSE);
        }
        if (oldFont != nullptr) SelectObject(mem, oldFont);
        forms::PixelBuffer pixels(length, thickness, 3);
        forms::CopyPixels(bitmap.Pixels(), pixels.view());
        if (position_ == 2) RotatePixelsLeft(pixels);
        else if (position_ == 3) RotatePixelsRight(pixels);
        const int saved = SaveDC(dc);
        // The scroll arrows of an overflowing strip keep their own skin.
        if (HWND arrows = FindWindowExA(wnd, nullptr, "msctls_updown32", nullptr); arrows != nullptr && IsWindowVisible(arrows)) {
            RECT a{};
            GetWindowRect(arrows, &a);
            MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&a), 2);
            ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
        }
        BlitKeyed(dc, strip, pixels, false);
        RestoreDC(dc, saved);
    }
    // The page's frame: the border's edges and corners only, the page itself untouched.
    if (border_.empty() || page.right <= page.left || page.bottom <= page.top) return;
    DrawSlicedFrameDirect(dc, page, border_, false, 1, 1, SkinMargins{4, 5, 4, 4}, tabs->Trans == 1);
}

void TSkinTab31::AttachControl(TControlSkinList* list, TSkinData* data, bool) {
    if (Attached()) return;
    auto* control = dynamic_cast<forms::TWinControl*>(Owner());
    if (control == nullptr) return;
    SetControl(control);
    AttachHandle(control->Handle(), data, list);
    PrepareBitmap();
    // The set's scroller, the first component it owns, gets arrows lying side by side.
    const auto& owned = control->ComponentList();
    auto* scroller = owned.empty() ? nullptr : dynamic_cast<forms::TUpDown*>(owned.front());
    if (scroller == nullptr || (list != nullptr && list->FindByHandle(scroller->Handle()) != nullptr)) return;
    auto* arrows = new TSkinUpDown(Owner());
    arrows->SetHorizontal(true);
    arrows->AttachHandle(scroller->Handle(), data, list);
}

void TSkinTab31::RefreshSkin() {
    PrepareBitmap();
    TSkinControl::RefreshSkin();
}

void TSkinTab31::PrepareBitmap() {
    flipped_ = forms::PixelBuffer();
    const SkinElements* e = Elements();
    const TDataSkinBorder* tabs = e != nullptr ? e->BorderPart("Tabs") : nullptr;
    if (tabs == nullptr || tabs->image.empty()) return;
    flipped_ = tabs->image;
    FlipPixels(flipped_);
}

bool TSkinTab31::BeforeMessage(forms::TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            // Painted here; the set's own painting that follows finds nothing left to paint.
            PaintMessage(m);
            return true;
        case WM_ERASEBKGND: m.Result = 1; return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinTab31::DrawSkin(HDC dc, const RECT& rect) {
    auto* set = dynamic_cast<forms::TTabSet*>(Control());
    const SkinElements* e = Elements();
    const TDataSkinBorder* tabs = e != nullptr ? e->BorderPart("Tabs") : nullptr;
    if (set == nullptr || tabs == nullptr || flipped_.empty()) return;
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    if (r.right <= 0 || r.bottom <= 0) return;
    forms::TBitmap bitmap(r.right, r.bottom, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    FillFace(mem, r);
    HGDIOBJ oldFont = SelectObject(mem, set->Font()->Handle());
    TDataSkinObject element = *tabs;
    element.image = flipped_;
    const int frames = element.FrameCount > 0 ? element.FrameCount : 1;
    const auto& captions = set->Tabs();
    for (int i = set->FirstIndex(); i < static_cast<int>(captions.size()); ++i) {
        const RECT tab = set->TabRect(i);
        if (IsRectEmpty(&tab)) break;  // the rest does not fit
        const bool selected = i == set->TabIndex();
        DrawElement(mem, tab, frames, selected ? 2 : 1, element);
        SetTextColor(mem, forms::ColorToRGB(static_cast<forms::TColor>(selected ? tabs->MouseOverColour2 : tabs->NormalColour2)));
        DrawAlignedText(mem, tab, DT_CENTER, set->Enabled(), AnsiToWide(captions[static_cast<size_t>(i)]));
    }
    SelectObject(mem, oldFont);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
}

}  // namespace skin
