#include "forms/menus.h"

#include <algorithm>
#include <map>

#include "forms/control.h"
#include "forms/guard.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {

// Live items by command id. Ids are taken from the low end again once freed; WM_COMMAND
// carries 16 bits.
std::map<UINT, TMenuItem*>& CommandTable() {
    static std::map<UINT, TMenuItem*> table;
    return table;
}

constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0xFFFF;

UINT AllocateCommand(TMenuItem* item) {
    auto& table = CommandTable();
    static UINT next = kFirstCommand;
    for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
        UINT id = next;
        next = next == kLastCommand ? kFirstCommand : next + 1;
        if (table.emplace(id, item).second) return id;
    }
    throw EOutOfResources("No menu command ids left");
}

// Removes every entry of a menu without destroying the sub-menus (their items own them).
void EmptyMenu(HMENU menu) {
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) RemoveMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
}

LRESULT CALLBACK PopupListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0) {
            TMenuItem* item = FindMenuItemByCommand(LOWORD(wParam));
            if (item != nullptr) {
                Guarded([&] { item->Click(); });
                return 0;
            }
        }
        break;
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mi->CtlType != ODT_MENU) break;
        auto* item = FindMenuItemByCommand(mi->itemID);
        if (item == nullptr) break;
        MeasureMenuItemMessage(*item, *mi);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (di->CtlType != ODT_MENU) break;
        auto* item = FindMenuItemByCommand(di->itemID);
        if (item == nullptr) break;
        DrawMenuItemMessage(*item, *di);
        return TRUE;
    }
    default:
        break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void ShowPopup(TComponent* menu, TControl* sender, int x, int y) {
    auto* popup = dynamic_cast<TPopupMenu*>(menu);
    if (popup == nullptr || !popup->AutoPopup()) return;
    popup->SetPopupComponent(sender);
    popup->Popup(x, y);
}

}  // namespace

HWND PopupListWindow() {
    static UniqueWindow window = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &PopupListProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TPopupList";
        RegisterClassExA(&wc);
        // A top-level window that is never shown: message-only windows cannot own menus.
        return UniqueWindow(CreateWindowExA(0, "TPopupList", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                            GetModuleHandleA(nullptr), nullptr));
    }();
    return window.get();
}

void MeasureMenuItemMessage(TMenuItem& item, MEASUREITEMSTRUCT& mi) {
    Guarded([&] {
        WindowDC screen(nullptr);
        TCanvas canvas;
        canvas.SetHandle(screen.get());
        int width = static_cast<int>(mi.itemWidth), height = static_cast<int>(mi.itemHeight);
        item.MeasureItem(canvas, width, height);
        canvas.SetHandle(nullptr);
        mi.itemWidth = static_cast<UINT>(width);
        mi.itemHeight = static_cast<UINT>(height);
    });
}

void DrawMenuItemMessage(TMenuItem& item, const DRAWITEMSTRUCT& di) {
    Guarded([&] {
        SavedDCState state(di.hDC);
        TCanvas canvas;
        canvas.SetHandle(di.hDC);
        item.DrawItem(canvas, di.rcItem, (di.itemState & ODS_SELECTED) != 0);
        canvas.SetHandle(nullptr);
    });
}

TMenuItem* FindMenuItemByCommand(UINT command) {
    auto& table = CommandTable();
    auto it = table.find(command);
    return it != table.end() ? it->second : nullptr;
}

const TClassInfo& TMenuItem::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TMenuItem>("TMenuItem", &TComponent::StaticClass())
                                       .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                       .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
                                       .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
                                       .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
                                       .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
                                       .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
                                       .Int("Command", &TMenuItem::Command)
                                       .Done();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
    Destroying();
    // Sub-items are freed with their parent item, whoever owns them.
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        items_.pop_back();
        child->parent_ = nullptr;
        delete child;
    }
    if (parent_ != nullptr) parent_->Remove(this);
    if (handle_) EmptyMenu(handle_.get());
    CommandTable().erase(command_);
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* item = this;
    while (item->parent_ != nullptr) item = item->parent_;
    return item->menu_;
}

bool TMenuItem::OwnerDraw() const {
    TMenu* menu = Menu();
    return menu != nullptr && menu->OwnerDraw();
}

void TMenuItem::SetCaption(const std::string& v) {
    if (caption_ == v) return;
    caption_ = v;
    Changed();
}

void TMenuItem::SetEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    Changed();
}

void TMenuItem::SetVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    Changed();
}

void TMenuItem::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    Changed();
}

void TMenuItem::SetDefault(bool v) {
    if (default_ == v) return;
    default_ = v;
    Changed();
}

void TMenuItem::Changed() {
    if (parent_ != nullptr) parent_->RebuildHandle();
    if (TMenu* menu = Menu()) menu->MenuChanged();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item == nullptr) return;
    if (item->parent_ != nullptr) throw EInvalidOperation("Menu item '" + item->caption_ + "' is already in a menu");
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    bool hadChildren = Count() > 1;
    RebuildHandle();
    // An item that just got its first child turns into a sub-menu in its own parent.
    if (!hadChildren) Changed();
    else if (TMenu* menu = Menu()) menu->MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    if (IsDestroying()) return;
    RebuildHandle();
    if (items_.empty()) Changed();
    else if (TMenu* menu = Menu()) menu->MenuChanged();
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = items_.at(static_cast<size_t>(index));
    Remove(item);
    delete item;
}

void TMenuItem::Clear() {
    while (!items_.empty()) Delete(Count() - 1);
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
    if (command_ == command) return this;
    for (TMenuItem* item : items_) {
        if (TMenuItem* found = item->FindByCommand(command)) return found;
    }
    return nullptr;
}

TMenuItem* TMenuItem::FindByHandle(HMENU menu) {
    if (handle_ && handle_.get() == menu) return this;
    for (TMenuItem* item : items_) {
        if (TMenuItem* found = item->FindByHandle(menu)) return found;
    }
    return nullptr;
}

HMENU TMenuItem::Handle() {
    if (items_.empty() && menu_ == nullptr) return nullptr;
    if (!handle_) {
        handle_.reset(menu_ != nullptr && menu_->IsMenuBar() ? CreateMenu() : CreatePopupMenu());
        RebuildHandle();
    }
    return handle_.get();
}

void TMenuItem::RebuildHandle() {
    if (!handle_) return;
    HMENU menu = handle_.get();
    EmptyMenu(menu);
    bool ownerDraw = OwnerDraw();
    for (TMenuItem* item : items_) {
        if (item->visible_) item->AppendTo(menu, ownerDraw);
    }
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
    info.wID = command_;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    info.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (ownerDraw) info.fType |= MFT_OWNERDRAW;
    info.fState = (enabled_ ? MFS_ENABLED : MFS_DISABLED) | (checked_ ? MFS_CHECKED : 0u) | (default_ ? MFS_DEFAULT : 0u);
    if (!IsLine()) {
        info.fMask |= MIIM_STRING;
        info.dwTypeData = caption_.data();
    }
    if (!items_.empty()) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = Handle();
    }
    InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

void TMenuItem::Click() {
    if (enabled_ && OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, &canvas, width, height);
        return;
    }
    if (IsLine()) {
        height = 8;
        width = 10;
        return;
    }
    SIZE size = canvas.TextExtent(caption_);
    width = size.cx + 32;
    height = std::max<int>(size.cy + 4, GetSystemMetrics(SM_CYMENUSIZE));
}

void TMenuItem::DrawItem(TCanvas& canvas, const RECT& rect, bool selected) {
    if (OnDrawItem) {
        OnDrawItem(this, &canvas, rect, selected);
        return;
    }
    canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
    canvas.FillRect(rect);
    if (IsLine()) {
        RECT line{rect.left, (rect.top + rect.bottom) / 2, rect.right, (rect.top + rect.bottom) / 2 + 1};
        canvas.Brush()->SetColor(clBtnShadow);
        canvas.FillRect(line);
        return;
    }
    canvas.Font()->SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextOut(rect.left + 20, rect.top + 2, caption_);
}

const TClassInfo& TMenu::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TMenu>("TMenu", &TComponent::StaticClass())
                                       .Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw)
                                       .Object("Items", &TMenu::Items, nullptr)
                                       .Done();
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) { items_->menu_ = this; }

TMenu::~TMenu() = default;  // the root item is owned (and freed) as a component

void TMenu::SetOwnerDraw(bool v) {
    if (ownerDraw_ == v) return;
    ownerDraw_ = v;
    // Every sub-menu below is rebuilt with the new item type.
    std::function<void(TMenuItem*)> rebuild = [&](TMenuItem* item) {
        item->RebuildHandle();
        for (TMenuItem* child : item->items_) rebuild(child);
    };
    rebuild(items_);
}

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FindItem(command);
    if (item == nullptr || item == items_) return false;
    item->Click();
    return true;
}

const TClassInfo& TMainMenu::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TMainMenu>("TMainMenu", &TMenu::StaticClass()).Done();
    return info;
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) { menuBar_ = true; }

void TMainMenu::MenuChanged() {
    if (window_ != nullptr && IsWindow(window_)) SendMessageA(window_, CM_MENUCHANGED, 0, 0);
}

const TClassInfo& TPopupMenu::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TPopupMenu>("TPopupMenu", &TMenu::StaticClass())
                                       .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
                                       .Done();
    return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {
    if (!PopupMenuHook) PopupMenuHook = &ShowPopup;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    HWND wnd = PopupListWindow();
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(wnd);
    TrackPopupMenu(Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, wnd, nullptr);
    PostMessageA(wnd, WM_NULL, 0, 0);
}

}  // namespace forms
