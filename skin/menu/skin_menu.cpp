#include "skin/menu/skin_menu.h"

#include <algorithm>
#include <cwctype>

#include "forms/form.h"
#include "forms/gdi_handle.h"
#include "forms/menus.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/skin_form.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"

namespace skin {

namespace {

constexpr int kMenuTextLength = 80;

std::wstring Wide(const std::string& narrow) {
    if (narrow.empty()) return {};
    std::wstring text(narrow.size() + 1, L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), text.data(),
                                                        static_cast<int>(text.size()))));
    return text;
}

// Caption, state and drop-down of a component's item.
void TakeItem(TMenuBtn& b, forms::TMenuItem& item) {
    b.menuItem = &item;
    b.caption = Wide(item.Caption());
    b.enabled = item.Enabled();
    b.visible = item.Visible();
    b.command = item.Command();
    b.subMenu = item.Count() > 0 ? item.Handle() : nullptr;
}

void DrawCaption(HDC dc, const std::wstring& caption, RECT box, bool enabled, const SkinColours& colours) {
    forms::UniqueFont font(MenuFont(false));
    forms::SelectedObject selectFont(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? SkinColourRef(colours.MenuBarText) : GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_EXPANDTABS);
}

}  // namespace

wchar_t MenuAccelChar(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;  // a literal ampersand
            continue;
        }
        return static_cast<wchar_t>(std::towlower(caption[i + 1]));
    }
    return 0;
}

void TMenuBtn::Paint() {
    TSkinForm* form = formSkin_;
    const RECT bar = bar_->BarRect();
    const forms::PixelBuffer& back = bar_->BarImage();
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (!visible || w <= 0 || h <= 0 || back.empty() || form->SkinData() == nullptr) return;
    const int x = rect.left - bar.left, y = rect.top - bar.top;
    if (x < 0 || y < 0 || x + w > back.width() || y + h > back.height()) return;
    // Composed off-screen from the bar as painted, then one copy to the window.
    forms::PixelBuffer part(w, h, 3);
    StretchCopy(back, {x, y, x + w, y + h}, part, {0, 0, w, h});
    SourceBitmap work(part);
    const SkinColours& colours = form->SkinData()->Elements().colours;
    if (mouseState == 2 || mouseState == 3) {
        forms::UniqueBrush brush(CreateSolidBrush(SkinColourRef(colours.Hilight)));
        RECT frame{0, 0, w, h};
        FrameRect(work.dc(), &frame, brush.get());
    }
    DrawCaption(work.dc(), caption, RECT{0, 0, w, h - 1}, enabled, colours);
    forms::WindowDC dc(form->Window(), true);
    BitBlt(dc.get(), rect.left, rect.top, w, h, work.dc(), 0, 0, SRCCOPY);
}

TSkinMenu::TSkinMenu(TSkinForm* formSkin, TSkinData* data, forms::TMainMenu* component)
    : forms::TComponent(formSkin), formSkin_(formSkin), data_(data), component_(component) {}

TSkinMenu::~TSkinMenu() {
    Destroying();
    if (formSkin_->HotObject() != nullptr)
        for (const auto& b : items_)
            if (formSkin_->HotObject() == b.get()) formSkin_->SetHotObject(nullptr);
}

void TSkinMenu::HideWindowMenu() {
    // The system draws no bar of its own; the frame shows this one.
    if (GetMenu(formSkin_->Window()) != nullptr) SetMenu(formSkin_->Window(), nullptr);
}

void TSkinMenu::LoadFromMenu() {
    HMENU shown = GetMenu(formSkin_->Window());
    if (shown != nullptr) menu_ = shown;
    if (menu_ == nullptr) return;
    forms::TForm* form = formSkin_->Form();
    if (form == nullptr || component_ == nullptr) {
        // No component: the items are what the handle holds.
        if (form == nullptr) ReadHandle(menu_, false);
        HideWindowMenu();
        return;
    }
    if (formSkin_->HotObject() != nullptr) formSkin_->SetHotObject(nullptr);
    items_.clear();
    ++loads_;
    forms::TMenuItem* root = component_->Items();
    for (int i = 0; i < root->Count(); ++i) {
        auto b = std::make_unique<TMenuBtn>(formSkin_, this, i);
        TakeItem(*b, *root->Items(i));
        items_.push_back(std::move(b));
    }
    HideWindowMenu();
}

void TSkinMenu::LoadMerged() {
    HMENU shown = GetMenu(formSkin_->Window());
    if (shown != nullptr) menu_ = shown;
    if (menu_ == nullptr) return;
    ReadHandle(menu_, true);
    HideWindowMenu();
}

void TSkinMenu::LoadFromHandle(HMENU menu) {
    if (menu == nullptr) return;
    menu_ = menu;
    ReadHandle(menu, false);
    HideWindowMenu();
}

void TSkinMenu::ReadHandle(HMENU menu, bool matchByPosition) {
    if (formSkin_->HotObject() != nullptr) formSkin_->SetHotObject(nullptr);
    items_.clear();
    ++loads_;
    const int count = GetMenuItemCount(menu);
    forms::TMenuItem* root = component_ != nullptr ? component_->Items() : nullptr;
    for (int i = 0; i < count; ++i) {
        wchar_t text[kMenuTextLength + 1] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = kMenuTextLength;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        auto b = std::make_unique<TMenuBtn>(formSkin_, this, static_cast<int>(items_.size()));
        b->subMenu = info.hSubMenu;
        b->enabled = (info.fState & 3) == 0;
        b->visible = true;
        b->command = info.wID;
        b->caption = text;
        if (b->caption.empty() && root != nullptr) {
            if (matchByPosition && i < root->Count()) {
                forms::TMenuItem* item = root->Items(i);
                TakeItem(*b, *item);
                b->visible = true;
                b->command = GetMenuItemID(menu, i);
            } else if (!matchByPosition) {
                for (int k = 0; k < root->Count(); ++k)
                    if (root->Items(k)->Command() == b->command) TakeItem(*b, *root->Items(k));
                b->visible = true;
            }
        }
        items_.push_back(std::move(b));
    }
}

void TSkinMenu::PaintMenuBar(HDC dc, const RECT& rect) {
    WorkBitmap* work = SharedWorkBitmap();
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (work == nullptr || w <= 0 || h <= 0 || data_ == nullptr) return;
    work->Size(w, h);
    HDC wdc = work->dc();
    const SkinElements& e = data_->Elements();
    const TDataSkinObject* element = e.menuBar.get();
    const bool rightToLeft = (GetWindowLongPtrA(formSkin_->Window(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    int start = 6;
    if (element != nullptr && !element->image.empty()) {
        const int frame = formSkin_->Active() ? 1 : 2;
        const SkinMargins margins{element->LeftWidth, 0, element->RightWidth, 0};
        // Two frames stacked: active above inactive.
        if (element->Tile == 1) DrawSlicedFrame(wdc, RECT{0, 0, w, h}, element->image, true, false, false, 2, frame, margins);
        else DrawThreePart(wdc, RECT{0, 0, w, h}, element->image, true, false, 2, frame, margins);
        start = rightToLeft ? element->RightWidth + 8 : element->LeftWidth + 4;
        if (w < start) start = 12;
    } else {
        forms::UniqueBrush brush(CreateSolidBrush(SkinColourRef(e.colours.Menubar)));
        RECT all{0, 0, w, h};
        FillRect(wdc, &all, brush.get());
    }
    bar_ = rect;
    barImage_ = work->Pixels();
    forms::UniqueFont font(MenuFont(false));
    int x = rightToLeft ? w - start : start;
    for (const auto& owned : items_) {
        TMenuBtn& b = *owned;
        if (!b.visible) {
            b.rect = SkinRect{};
            continue;
        }
        int width = 0;
        if (!b.caption.empty()) {
            forms::SelectedObject selectFont(wdc, font.get());
            RECT measure{0, 0, 0, 0};
            DrawTextW(wdc, b.caption.c_str(), static_cast<int>(b.caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
            width = (measure.right - measure.left) + 10;
        }
        const int left = rightToLeft ? x - width : x;
        if (width > 0) DrawCaption(wdc, b.caption, RECT{left, 0, left + width, h - 1}, b.enabled, e.colours);
        b.rect = SkinRect{rect.left + left, rect.top, rect.left + left + width, rect.bottom};
        x = rightToLeft ? x - width : x + width;
    }
    formSkin_->PaintMdiBarButtons(wdc, rect);
    GdiFlush();
    BitBlt(dc, rect.left, rect.top, w, h, wdc, 0, 0, SRCCOPY);
}

TMenuBtn* TSkinMenu::ButtonAt(POINT p) const {
    for (const auto& b : items_) {
        const SkinRect& r = b->rect;
        if (!b->caption.empty() && p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return b.get();
    }
    return nullptr;
}

TMenuBtn* TSkinMenu::FindByAccel(wchar_t key) const {
    const wchar_t lower = static_cast<wchar_t>(std::towlower(key));
    for (const auto& b : items_)
        if (b->enabled && b->visible && lower != 0 && MenuAccelChar(b->caption) == lower) return b.get();
    return nullptr;
}

}  // namespace skin
