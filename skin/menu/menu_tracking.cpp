// Opening a menu-bar item's drop-down and tracking it: a message-filter hook lets the arrows
// and the mouse move along the bar; the next item opens after the open one has closed, on the
// tracking routine's own loop, so drop-downs never nest. Also the bar's life in the form skin
// (made, reloaded, given back) and the owner-drawing of its items.
#include "skin/menu/menu_tracking.h"

#include <vector>

#include "forms/form.h"
#include "forms/guard.h"
#include "forms/menus.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/menu/skin_menu.h"
#include "skin/skin_data.h"

namespace skin {

namespace {

// One drop-down is tracked at a time in the thread.
struct Tracking {
    forms::UniqueHook hook;
    TSkinForm* formSkin = nullptr;
    int barIndex = -1;
    // The item last selected in the open menus: the menu that holds it, and whether it opens
    // a sub-menu.
    bool haveCurrent = false;
    HMENU currentMenu = nullptr;
    bool currentHasSub = false;
    bool downKeySent = false;
    bool switching = false;
    POINT lastMouse{};
    // The bar item to open once the open drop-down has closed, by place: the bar may be
    // reloaded (its items freed) before then.
    int next = -1;
    int depth = 0;
    int nestings = 0;
};
Tracking tracking;

// Marks the bar item to open next and closes the open drop-down.
void SwitchTo(int index) {
    tracking.switching = true;
    tracking.next = index;
    EndMenu();
}

// Right to left, Left goes on along the bar and Right back, for the menu loop too.
void SwapArrowsRightToLeft(MSG& msg) {
    if (msg.message != WM_KEYDOWN || !tracking.haveCurrent || !IsRightToLeftMenu(tracking.currentMenu)) return;
    if (msg.wParam == VK_LEFT) msg.wParam = VK_RIGHT;
    else if (msg.wParam == VK_RIGHT) msg.wParam = VK_LEFT;
}

// The arrows and the mouse moving along the bar while a drop-down is open.
void FollowAlongTheBar(const MSG& msg) {
    TSkinForm& form = *tracking.formSkin;
    TSkinMenu* bar = form.MenuBar();
    if (bar == nullptr || tracking.next >= 0) return;
    if (!tracking.downKeySent) {
        // The first item of the new drop-down is selected.
        tracking.downKeySent = true;
        PostMessageA(msg.hwnd, WM_KEYDOWN, VK_DOWN, 0);
    }
    // A bar reloaded to no items has nowhere to move to.
    const int count = bar->Count();
    if (count == 0) return;
    TMenuBtn* chosen = nullptr;
    switch (msg.message) {
        case WM_KEYDOWN:
            switch (msg.wParam) {
                case VK_RETURN: case VK_ESCAPE: tracking.switching = false; break;
                case VK_LEFT:
                    // Only from the drop-down itself: in a sub-menu Left closes the sub-menu.
                    if (!tracking.haveCurrent || tracking.currentMenu == form.TrackedMenu())
                        chosen = bar->Item((tracking.barIndex + count - 1) % count);
                    break;
                case VK_RIGHT:
                    if (!tracking.currentHasSub) chosen = bar->Item((tracking.barIndex + 1) % count);
                    break;
                default: break;
            }
            break;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            // The message's own screen point: lParam's base differs between platforms here.
            if (msg.pt.x != tracking.lastMouse.x || msg.pt.y != tracking.lastMouse.y) {
                chosen = bar->ButtonAt(form.ScreenToFrame(msg.pt));
                tracking.lastMouse = msg.pt;
            }
            break;
        default: break;
    }
    if (chosen != nullptr && chosen->index != tracking.barIndex) SwitchTo(chosen->index);
}

LRESULT CALLBACK MenuMsgFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_MENU && msg != nullptr) forms::Guarded([&] { SwapArrowsRightToLeft(*msg); });
    const LRESULT result = CallNextHookEx(tracking.hook.get(), code, wParam, lParam);
    if (result == 0 && code == MSGF_MENU && msg != nullptr && tracking.formSkin != nullptr)
        forms::Guarded([&] { FollowAlongTheBar(*msg); });
    return result;
}

void InstallMenuHook() {
    tracking.switching = false;
    tracking.downKeySent = false;
    tracking.haveCurrent = false;
    tracking.currentHasSub = false;
    tracking.currentMenu = nullptr;
    GetCursorPos(&tracking.lastMouse);
    if (!tracking.hook) tracking.hook.reset(SetWindowsHookExA(WH_MSGFILTER, MenuMsgFilterProc, nullptr, GetCurrentThreadId()));
}

void RemoveMenuHook() {
    tracking.hook.reset();
    tracking.haveCurrent = false;
    tracking.currentMenu = nullptr;
    tracking.barIndex = -1;
    tracking.downKeySent = false;
}

// Separators of a drop-down: none before the first visible item, one of a run (the last),
// none after the last. Only a separator whose visibility changes is touched.
void TidySeparators(forms::TMenuItem& item) {
    std::vector<bool> shown(static_cast<size_t>(item.Count()), false);
    bool seenNormal = false;
    int pendingLine = -1;
    for (int i = 0; i < item.Count(); ++i) {
        const forms::TMenuItem* child = item.Items(i);
        if (child->IsLine()) {
            pendingLine = i;
            continue;
        }
        if (!child->Visible()) continue;
        if (pendingLine >= 0 && seenNormal) shown[static_cast<size_t>(pendingLine)] = true;
        pendingLine = -1;
        seenNormal = true;
    }
    for (int i = 0; i < item.Count(); ++i) {
        forms::TMenuItem* child = item.Items(i);
        if (child->IsLine() && child->Visible() != shown[static_cast<size_t>(i)]) child->SetVisible(shown[static_cast<size_t>(i)]);
    }
}

// The window hears nothing of a drop-down's separators being tidied: they are not the bar's,
// and each change heard would make the bar anew (freeing its items) as the drop-down opens.
class QuietMenu {
public:
    explicit QuietMenu(forms::TMenu* menu) : menu_(dynamic_cast<forms::TMainMenu*>(menu)) {
        if (menu_ == nullptr) return;
        wnd_ = menu_->WindowHandle();
        menu_->SetWindowHandle(nullptr);
    }
    ~QuietMenu() {
        if (menu_ != nullptr) menu_->SetWindowHandle(wnd_);
    }
    QuietMenu(const QuietMenu&) = delete;
    QuietMenu& operator=(const QuietMenu&) = delete;

private:
    forms::TMainMenu* menu_;
    HWND wnd_ = nullptr;
};

// What opening one drop-down sets, given back however its tracking ends, an exception too.
class TrackingScope {
public:
    TrackingScope(bool& menuTracking, HMENU& trackedMenu)
        : menuTracking_(menuTracking), trackedMenu_(trackedMenu), popupKind_(SkinManage().popupKind) {
        if (++tracking.depth > 1) ++tracking.nestings;
    }
    ~TrackingScope() {
        RemoveMenuHook();
        tracking.formSkin = nullptr;
        tracking.next = -1;
        tracking.switching = false;
        menuTracking_ = false;
        trackedMenu_ = nullptr;
        TSkinManage& manage = SkinManage();
        manage.popupKind = popupKind_;
        manage.menuBarTracking = false;
        --tracking.depth;
    }
    TrackingScope(const TrackingScope&) = delete;
    TrackingScope& operator=(const TrackingScope&) = delete;

    void Open(TSkinForm* form, int index, HMENU dropDown) {
        tracking.barIndex = index;
        tracking.formSkin = form;
        menuTracking_ = true;
        trackedMenu_ = dropDown;
        TSkinManage& manage = SkinManage();
        manage.popupKind = 1;
        manage.menuBarTracking = true;
        InstallMenuHook();
    }

private:
    bool& menuTracking_;
    HMENU& trackedMenu_;
    int popupKind_;
};

}  // namespace

int MenuTrackingNestings() { return tracking.nestings; }
int TrackedBarIndex() { return tracking.barIndex; }

void TSkinForm::CreateMenuBar() {
    forms::TMainMenu* component = form_ != nullptr ? form_->Menu() : nullptr;
    menuBar_ = new TSkinMenu(this, data_, component);
    menuHeight_ = GetSystemMetrics(SM_CYMENU);
    if (data_->MenuMerge) menuBar_->LoadMerged();
    else menuBar_->LoadFromMenu();
}

void TSkinForm::ReloadMenuBar() {
    if (menuBar_ == nullptr) return;
    if (data_->MenuMerge) menuBar_->LoadMerged();
    else menuBar_->LoadFromMenu();
}

void TSkinForm::FreeMenuBar() {
    if (menuBar_ == nullptr) return;
    HMENU menu = menuBar_->MenuHandle();
    forms::TMainMenu* component = menuBar_->Component();
    delete menuBar_;
    menuBar_ = nullptr;
    if (menu == nullptr) return;
    const bool windowGoing = wnd_ == nullptr || !IsWindow(wnd_) || phase_ == kPhaseDestroying || phase_ == kPhaseDestroyed;
    // A menu no component owns was the window's, which would have destroyed it with itself
    // had the bar not taken it away: it goes now.
    if (windowGoing && component == nullptr && (wnd_ == nullptr || !IsWindow(wnd_) || GetMenu(wnd_) != menu)) {
        DestroyMenu(menu);
        return;
    }
    if (wnd_ == nullptr || !IsWindow(wnd_)) return;
    // The drop-downs were marked owner-drawn for the frame; a menu that does not draw its
    // own items gets its plain items back.
    if (component == nullptr || !component->OwnerDraw()) SetMenuOwnerDrawFlags(menu, false);
    if (phase_ != kPhaseDestroying && phase_ != kPhaseDestroyed && GetMenu(wnd_) == nullptr) SetMenu(wnd_, menu);
}

TMenuBtn* TSkinForm::FindMenuButtonByAccel(wchar_t key) const {
    return menuBar_ != nullptr ? menuBar_->FindByAccel(key) : nullptr;
}

void TSkinForm::OpenMenuButton(TMenuBtn& item) {
    // A minimised window shows no bar and does not take the click posted to open an item.
    if (windowState_ == kStateMinimised) return;
    // One posted click at a time; one that came while the window was minimised (it was on
    // its way) was never taken and is not waited for.
    MSG queued{};
    if (openPosted_ && PeekMessageA(&queued, wnd_, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_NOREMOVE | PM_NOYIELD) != FALSE) return;
    openPosted_ = true;
    RECT window{};
    GetWindowRect(wnd_, &window);
    PostMessageA(wnd_, WM_NCLBUTTONDOWN, 1, MAKELPARAM(window.left + item.rect.left + 1, window.top + item.rect.top + 1));
}

void TSkinForm::TrackMenuButton(TMenuBtn* item) {
    if (item == nullptr) return;
    // Bar items are held by place and fetched again after anything that may reload the bar
    // (and free its items): a drop-down's tidying, its top item's click, its tracking.
    int index = item->index;
    while (menuBar_ != nullptr && index >= 0 && index < menuBar_->Count()) {
        int next = -1;
        {
            TrackingScope scope(menuTracking_, trackedMenu_);
            const TMenuBtn& top = *menuBar_->Item(index);
            PostMessageA(wnd_, WM_COMMAND, top.command, 0);
            HMENU dropDown = top.subMenu;
            if (dropDown == nullptr) return;
            forms::TMenuItem* menuItem = top.menuItem;
            scope.Open(this, index, dropDown);
            if (menuItem != nullptr) {
                QuietMenu quiet(menuItem->Menu());
                TidySeparators(*menuItem);
            }
            if (menuBar_ == nullptr || index >= menuBar_->Count()) return;
            const TMenuBtn& open = *menuBar_->Item(index);
            RECT window{};
            GetWindowRect(wnd_, &window);
            SetMenuOwnerDrawFlags(dropDown, true);
            if (open.enabled) {
                const int x = window.left + open.rect.left, y = window.top + open.rect.bottom;
                if (rightToLeft_) {
                    TPMPARAMS params{};
                    params.cbSize = sizeof params;
                    params.rcExclude = RECT{window.right - 5, window.top, GetSystemMetrics(SM_CXMAXIMIZED), window.bottom};
                    TrackPopupMenuEx(dropDown, TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, wnd_, &params);
                } else {
                    TrackPopupMenu(dropDown, TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, wnd_, nullptr);
                }
            }
            // The bar item the mouse or the arrows moved to opens now that this one is closed.
            next = tracking.next;
        }
        if (menuBar_ == nullptr || IsWindow(wnd_) == FALSE) return;
        if (index < menuBar_->Count() && hot_ == menuBar_->Item(index)) hot_->MouseLeave();
        if (next < 0 || next >= menuBar_->Count()) return;
        index = next;
        menuBar_->Item(index)->MouseDown();
    }
}

void TSkinForm::MenuSelected(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == 0xFFFF && lParam == 0) {
        // The menu closed: tracking ends unless another bar item opens next.
        if (!tracking.switching) menuTracking_ = false;
        return;
    }
    tracking.switching = false;
    tracking.haveCurrent = true;
    tracking.currentMenu = reinterpret_cast<HMENU>(lParam);
    tracking.currentHasSub = (HIWORD(wParam) & MF_POPUP) != 0;
}

bool TSkinForm::KeyMenu(WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFFF0) != SC_KEYMENU || menuTracking_ || lParam == ' ' || lParam == '-' || GetCapture() != nullptr) return false;
    // Alt or F10 alone: taken, nothing opens.
    if (lParam == 0) return true;
    TMenuBtn* item = FindMenuButtonByAccel(static_cast<wchar_t>(lParam));
    if (item == nullptr) return false;
    OpenMenuButton(*item);
    return true;
}

bool TSkinForm::DialogChar(forms::TMessage& m) {
    TMenuBtn* item = FindMenuButtonByAccel(static_cast<wchar_t>(m.WParam));
    const bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (item != nullptr && altOnly && !menuTracking_) {
        OpenMenuButton(*item);
        m.Result = 1;
        keyHandled_ = true;
        return true;
    }
    // An MDI child has no bar: its parent's bar takes the key first.
    forms::TForm* frame = SkinManage().mdiFrameForm;
    if (windowKind_ != kKindMdiChild || frame == nullptr || frame == form_) return false;
    const LRESULT answer = frame->Perform(forms::CM_DIALOGCHAR, m.WParam, m.LParam);
    if (answer == 0) return false;
    m.Result = answer;
    return true;
}

bool TSkinForm::MenuItemMessage(UINT msg, LPARAM lParam) {
    if (data_ == nullptr) return false;
    forms::TMainMenu* component = menuBar_ != nullptr ? menuBar_->Component() : nullptr;
    const bool hasElement = data_->Elements().Part("MenuItem") != nullptr;
    if (msg == WM_MEASUREITEM) {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mi->CtlType != ODT_MENU || menuAtAttach_ == nullptr) return false;
        forms::TMenuItem* item = form_ != nullptr && component != nullptr ? component->FindItem(mi->itemID) : nullptr;
        forms::WindowDC dc(wnd_, true);
        if (item != nullptr) {
            forms::UniqueFont font(MenuFont(false));
            forms::SelectedObject selectFont(dc.get(), font.get());
            forms::TCanvas canvas;
            canvas.SetHandle(dc.get());
            int width = static_cast<int>(mi->itemWidth), height = static_cast<int>(mi->itemHeight);
            MeasureMenuItem(*data_, *item, canvas, width, height);
            canvas.SetHandle(nullptr);
            mi->itemWidth = static_cast<UINT>(width);
            mi->itemHeight = static_cast<UINT>(height);
            return true;
        }
        if (form_ != nullptr && mi->itemID >= 1 && mi->itemID <= 4095) return false;
        int width = 0, height = 0;
        MeasureHandleMenuItem(*data_, trackedMenu_ != nullptr ? trackedMenu_ : menuAtAttach_, mi->itemID, dc.get(), width, height);
        mi->itemWidth = static_cast<UINT>(width);
        mi->itemHeight = static_cast<UINT>(height);
        return true;
    }
    auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (di->CtlType != ODT_MENU) return false;
    forms::TMenuItem* item = form_ != nullptr && component != nullptr ? component->FindItem(di->itemID) : nullptr;
    if (item == nullptr && form_ != nullptr && di->itemID >= 1 && di->itemID <= 4095) return false;
    forms::SavedDCState state(di->hDC);
    forms::TCanvas canvas;
    canvas.SetHandle(di->hDC);
    const bool selected = (di->itemState & ODS_SELECTED) != 0;
    if (item != nullptr) {
        if (hasElement) DrawMenuItem(*data_, *item, canvas, di->rcItem, selected);
        else DrawPlainMenuItem(*data_, *item, canvas, di->rcItem, selected);
    } else {
        DrawHandleMenuItem(*data_, reinterpret_cast<HMENU>(di->hwndItem), di->itemID, canvas, di->rcItem, selected);
    }
    canvas.SetHandle(nullptr);
    return true;
}

}  // namespace skin
