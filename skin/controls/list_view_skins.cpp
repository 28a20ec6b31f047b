#include "skin/controls/list_view_skins.h"

#include <commctrl.h>

#include <array>

#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/tab_skins.h"
#include "skin/skin_data.h"

namespace skin {

using forms::TMessage;

namespace {

const TDataSkinObject* HeaderBar(const SkinElements* e) {
    const TDataSkinObject* bar = e != nullptr ? e->Part("Headerbar") : nullptr;
    return bar != nullptr && !bar->image.empty() ? bar : nullptr;
}

}  // namespace

bool TSkinHeader::BeforeMessage(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND && HeaderBar(Elements()) != nullptr) {
        m.Result = 1;
        return false;
    }
    return TSkinControl::BeforeMessage(m);
}

void TSkinHeader::DrawSkin(HDC dc, const RECT& rect) {
    const TDataSkinObject* bar = HeaderBar(Elements());
    if (bar == nullptr) return;
    RECT r = rect;
    OffsetRect(&r, -r.left, -r.top);
    if (r.right <= 0 || r.bottom <= 0) return;
    // Items are drawn opaque whatever the element's Trans says.
    TDataSkinObject opaque = *bar;
    opaque.Trans = 0;
    const int frames = bar->FrameCount > 0 ? bar->FrameCount : 1;
    forms::TBitmap bitmap(r.right, r.bottom, forms::pf24bit);
    HDC mem = bitmap.Canvas()->Handle();
    HWND wnd = Handle();
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? SelectObject(mem, font) : nullptr;
    SetBkMode(mem, TRANSPARENT);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd, HDM_GETIMAGELIST, 0, 0));
    const int count = static_cast<int>(SendMessageW(wnd, HDM_GETITEMCOUNT, 0, 0));
    enabled_ = IsWindowEnabled(wnd) != FALSE;
    int rightmost = 0;
    for (int i = 0; i < count; ++i) {
        RECT item{};
        if (!SendMessageW(wnd, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
        if (item.right > rightmost) rightmost = item.right;
        std::array<wchar_t, 101> text{};
        HDITEMW hd{};
        hd.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
        hd.pszText = text.data();
        hd.cchTextMax = static_cast<int>(text.size() - 1);
        if (!SendMessageW(wnd, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd))) continue;
        text.back() = L'\0';
        DrawElement(mem, item, frames, 1, opaque);
        const std::wstring caption(hd.pszText != nullptr ? hd.pszText : L"");
        if (caption.empty()) continue;
        const int image = (hd.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) != 0 ? hd.iImage : -1;
        const int alignment = (hd.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? 2 : (hd.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? 1 : 0;
        DrawIconText(mem, item, alignment, caption, image, images, enabled_);
    }
    if (rightmost < r.right) DrawElement(mem, RECT{rightmost, 0, r.right, r.bottom}, frames, 1, opaque);
    if (oldFont != nullptr) SelectObject(mem, oldFont);
    BitBlt(dc, rect.left, rect.top, r.right, r.bottom, mem, 0, 0, SRCCOPY);
}

void TSkinListView::AttachScrollControl(TControlSkinList* list, TSkinData* data) {
    if (LifeState() != kLifeCreated) return;
    TSkinScrollbar::AttachScrollControl(list, data);
    HWND header = reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
    if (header == nullptr || (list != nullptr && list->FindByHandle(header) != nullptr)) return;
    auto* skin = new TSkinHeader(Owner());
    skin->AttachHandle(header, data, list);
}

}  // namespace skin
