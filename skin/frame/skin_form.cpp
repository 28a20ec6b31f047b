#include "skin/frame/skin_form.h"

#include <algorithm>
#include <utility>

#include "forms/form.h"
#include "forms/frame_fit.h"
#include "forms/menus.h"
#include "forms/timer.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/skin_control.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/skin_manage.h"
#include "skin/menu/skin_menu.h"
#include "skin/menu/toolbar_draw.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"

namespace skin {
namespace {

// Switches the window's drawing off for the scope and repaints it once, whole, at its end:
// each step of a recolour would otherwise repaint the window on its own. Redraw switched
// back on shows a window, so a hidden one is left as it is.
class PaintOnceAfter {
public:
    explicit PaintOnceAfter(HWND wnd) : wnd_(wnd), visible_(IsWindowVisible(wnd) != FALSE) {
        if (visible_) SendMessageA(wnd_, WM_SETREDRAW, FALSE, 0);
    }
    ~PaintOnceAfter() {
        if (!visible_) return;
        SendMessageA(wnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    PaintOnceAfter(const PaintOnceAfter&) = delete;
    PaintOnceAfter& operator=(const PaintOnceAfter&) = delete;

private:
    HWND wnd_;
    bool visible_;
};

constexpr UINT kTimerInterval = 250;
constexpr std::uint32_t kStripOwned = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

bool Has(TSkinControlTypes set, TSkinControlType member) { return (set & (1u << member)) != 0; }

// The system-menu popup's items: caption (with its short-cut after a tab) and Tag.
struct SystemMenuRow {
    const char* caption;
    int tag;
    int needsFlag;  // a frame flag the row needs, 0 for none
};
constexpr SystemMenuRow kSystemMenuRows[] = {
    {" Restore ", 0, 0},
    {" Maximize ", 1, kHasMaximizeBox},
    {" Minimize ", 2, kHasMinimizeBox},
    {"-", 100, 0},
    {" Close \tAlt+F4", 3, 0},
};

// The skin's default icon, else the last one a whole-application skin data holds; empty
// when there is none.
forms::PixelBuffer DefaultIconOf(const TSkinData* data) {
    if (data != nullptr && !data->DefaultIcon.empty()) return data->DefaultIcon;
    forms::PixelBuffer found(0, 0, 3);
    for (const TSkinData* other : SkinManage().skinDataList)
        if (other != nullptr && other->SkinFormtype == sfMainform && !other->DefaultIcon.empty()) found = other->DefaultIcon;
    return found;
}

}  // namespace

TSkinForm::TSkinForm(forms::TComponent* owner) : forms::TComponent(owner) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        captionFont_.reset(CreateFontIndirectA(&metrics.lfCaptionFont));
    doubleClickTime_ = GetDoubleClickTime();
    form_ = dynamic_cast<forms::TForm*>(owner);
}

TSkinForm::~TSkinForm() {
    controls_.reset();  // skins whose windows are gone are freed without being unskinned
    ReleaseControlMenus();
    // Still attached: the window must not go on calling into this object.
    if (Attached()) {
        if (wnd_ != nullptr && IsWindow(wnd_) && phase_ != kPhaseDestroying && phase_ != kPhaseDestroyed) UnskinForm();
        else ReleaseSubclasses();
    }
    StopTimer();
    FreeMenuBar();
    FreeSysButtons();
    SkinManage().RemoveFormSkin(this);
}

bool TSkinForm::TimerEnabled() const { return timer_ != nullptr && timer_->Enabled(); }

void TSkinForm::StopTimer() {
    if (timer_ != nullptr) timer_->SetEnabled(false);
}

void TSkinForm::ReleaseSubclasses() {
    frameProc_.reset();
    formProc_.reset();
}

TControlSkinList& TSkinForm::ControlList() {
    if (controls_) return *controls_;
    controls_ = std::make_unique<TControlSkinList>(data_);
    controls_->OwnerDrawMenuItems = [this](forms::TMenuItem& items) { OwnerDrawControlMenu(items); };
    // By window: a tool bar may outlive this form skin, and then draws itself.
    controls_->CustomDrawToolButton = [wnd = wnd_](NMTBCUSTOMDRAW& draw) -> LRESULT {
        TSkinForm* formSkin = SkinManage().FindFormSkin(wnd);
        return formSkin != nullptr && !formSkin->Finished() ? ToolbarCustomDraw(*formSkin, draw) : CDRF_DODEFAULT;
    };
    return *controls_;
}

void TSkinForm::AttachControlSkins() {
    if (data_ == nullptr) return;
    ControlList();
    if (form_ != nullptr) {
        controls_->formName = form_->Name();
        SkinChildControls(*controls_, *form_);
    } else if (wnd_ != nullptr) {
        SkinChildWindows(*controls_, wnd_);
    }
}

void TSkinForm::AttachChildForm(forms::TForm& form) {
    if (data_ == nullptr) return;
    ControlList();
    SkinChildForm(*controls_, form);
    if (!Has(data_->SkinControls, xcPopupMenu)) return;
    SkinPopupMenus(form, *data_, true);
    if (std::find(childForms_.begin(), childForms_.end(), &form) != childForms_.end()) return;
    childForms_.push_back(&form);
    form.FreeNotification(this);
}

void TSkinForm::AddSizeGrip(HWND grip) {
    if (data_ == nullptr || Finished()) return;
    ControlList();
    SkinChildWindow(*controls_, grip);
}

void TSkinForm::DetachControlSkins() {
    if (controls_) controls_->UnskinAll();
    controls_.reset();
    ReleaseControlMenus();
}

void TSkinForm::OwnerDrawControlMenu(forms::TMenuItem& items) {
    if (data_ == nullptr) return;
    const forms::TMenu* menu = items.Menu();
    if (menu != nullptr && menu->Tag() % 100 == data_->DisableTag) return;
    SetMenuItemsOwnerDraw(*data_, items);
    if (std::find(controlMenus_.begin(), controlMenus_.end(), &items) != controlMenus_.end()) return;
    controlMenus_.push_back(&items);
    items.FreeNotification(this);
}

// The handlers hold the skin data, which may be freed after unskinning.
void TSkinForm::ReleaseControlMenus() {
    for (forms::TMenuItem* items : std::exchange(controlMenus_, {})) {
        ClearMenuItemsOwnerDraw(*items);
        items->RemoveFreeNotification(this);
    }
    for (forms::TForm* child : std::exchange(childForms_, {})) {
        if (data_ != nullptr) SkinPopupMenus(*child, *data_, false);
        child->RemoveFreeNotification(this);
    }
}

void TSkinForm::Notification(forms::TComponent* component, forms::TOperation operation) {
    forms::TComponent::Notification(component, operation);
    if (operation != forms::opRemove) return;
    std::erase(controlMenus_, component);
    std::erase(childForms_, component);
}

void TSkinForm::AttachForm(TSkinData* data, forms::TForm* form) {
    form_ = form;
    wnd_ = form->Handle();
    form->SetAutoScroll(false);
    frameSkinning_ = Has(data->SkinControls, xcMainMenu);
    if (frameSkinning_)
        formProc_ = std::make_unique<forms::WindowProcHook>(
            *form, [this](forms::TMessage& m, const forms::WindowProcHook::Next& next) {
                ++busy_;
                try {
                    FormWindowProc(m, next);
                } catch (...) {
                    --busy_;
                    throw;
                }
                --busy_;
            });
    InitSkin(data);
    savedColour_ = static_cast<std::uint32_t>(form->Color());
    formColourSaved_ = true;
    form->SetColor(static_cast<forms::TColor>(data->Elements().colours.ButtonFace));
    if (Has(data->SkinControls, xcPopupMenu)) SkinPopupMenus(*form, *data, true);
    if (Has(data->SkinControls, xcMenuItem)) SkinMainMenuItems(*form, *data, true);
}

void TSkinForm::InitSkin(TSkinData* data) {
    if (Attached() || wnd_ == nullptr) return;
    TSkinManage& manage = SkinManage();
    manage.activationState = 1;
    data_ = data;
    manage.AddFormSkin(this);
    if (timer_ == nullptr) {
        timer_ = new forms::TTimer(this);
        timer_->SetEnabled(false);
        timer_->SetInterval(kTimerInterval);
        timer_->OnTimer = [this](forms::TObject*) { TimerTick(); };
    }
    frameSkinning_ = Has(data->SkinControls, xcMainMenu);
    savedStyle_ = static_cast<std::uint32_t>(GetWindowLongPtrA(wnd_, GWL_STYLE));
    const auto exStyle = static_cast<std::uint32_t>(GetWindowLongPtrA(wnd_, GWL_EXSTYLE));
    rightToLeft_ = (exStyle & style_bits::kExLeftScrollBar) != 0;
    childWindow_ = (savedStyle_ & style_bits::kChild) != 0;
    systemMenu_ = GetSystemMenu(wnd_, FALSE);

    GrabIcon();
    char name[256] = {};
    GetClassNameA(wnd_, name, sizeof name);
    className_ = name;
    owner_ = GetWindow(wnd_, GW_OWNER);
    GetClientRect(wnd_, &clientRect_);
    RECT window{};
    GetWindowRect(wnd_, &window);
    standardFrame_ = RECT{0, 0, (window.right - window.left) - clientRect_.right, (window.bottom - window.top) - clientRect_.bottom};

    // A window whose style has no system menu has none to offer, whatever GetSystemMenu made.
    frameFlags_ = FrameFlagsOf(savedStyle_, false);
    BuildSystemMenu();

    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(wnd_, &placement);
    windowState_ = placement.showCmd == SW_SHOWMAXIMIZED ? kStateMaximised
                   : (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE ||
                      placement.showCmd == SW_SHOWMINNOACTIVE)
                       ? kStateMinimised
                       : kStateNormal;
    sizable_ = (savedStyle_ & style_bits::kThickFrame) != 0;
    const FrameClass frameClass = ClassifyFrame(savedStyle_, exStyle, className_);
    frameKind_ = frameClass.kind;
    systemDialog_ = frameClass.systemDialog;
    unicode_ = IsWindowUnicode(wnd_) != FALSE;
    mdiClient_ = FindWindowExA(wnd_, nullptr, "MDIClient", nullptr);
    windowKind_ = mdiClient_ != nullptr ? kKindMdiParent : (exStyle & WS_EX_MDICHILD) != 0 ? kKindMdiChild : kKindOrdinary;
    if (windowKind_ == kKindMdiParent) {
        manage.mdiClient = mdiClient_;
        manage.mdiFrameForm = form_;
    }

    if (frameSkinning_) {
        menuHeight_ = 0;
        menuAtAttach_ = GetMenu(wnd_);
        if (menuAtAttach_ != nullptr && windowKind_ != kKindMdiChild) CreateMenuBar();
        if (!(windowKind_ == kKindMdiChild && manage.mdiMaximized) && windowState_ != kStateMinimised) SetFrameStyles(false);
        LoadFrameMetrics();
    } else {
        phase_ = kPhaseReady;
    }
    if (windowKind_ == kKindMdiParent) HookMdiClient();
    frameProc_ = std::make_unique<forms::WindowSubclass>(
        wnd_, [this](HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
            ++busy_;
            try {
                const LRESULT r = FrameWndProc(wnd, msg, wParam, lParam, next);
                --busy_;
                return r;
            } catch (...) {
                --busy_;
                throw;
            }
        });
    if (windowKind_ == kKindMdiChild && windowState_ == kStateMaximised && !manage.mdiMaximized) manage.SetMDIMaximized(true);
    InvalidateRect(wnd_, nullptr, TRUE);
}

void TSkinForm::GrabIcon() {
    const int size = GetSystemMetrics(SM_CXSMICON), height = GetSystemMetrics(SM_CYSMICON);
    auto icon = reinterpret_cast<HICON>(SendMessageA(wnd_, WM_GETICON, ICON_SMALL, 0));
    if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessageA(wnd_, WM_GETICON, ICON_BIG, 0));
    // A window that never received WM_SETICON shows its class icons.
    if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd_, GCLP_HICONSM));
    if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrA(wnd_, GCLP_HICON));
    if (icon == nullptr) {
        iconImage_ = DefaultIconOf(data_);
        return;
    }
    forms::PixelBuffer back(size, height, 3);
    forms::FillPixels(back.view(), 0xFF, 0x00, 0xFF);
    SourceBitmap canvas(back);
    DrawIconEx(canvas.dc(), 0, 0, icon, size, height, 0, nullptr, DI_NORMAL);
    GdiFlush();
    iconImage_ = forms::PixelBuffer(size, height, 3);
    forms::CopyPixels(canvas.pixels(), iconImage_.view());
}

void TSkinForm::BuildSystemMenu() {
    delete systemMenuPopup_;
    systemMenuPopup_ = new forms::TPopupMenu(this);
    systemMenuPopup_->SetTag(kSystemMenuTag);
    systemMenuPopup_->SetOwnerDraw(true);
    for (const SystemMenuRow& row : kSystemMenuRows) {
        if (row.needsFlag != 0 && (frameFlags_ & row.needsFlag) == 0) continue;
        auto* item = new forms::TMenuItem(systemMenuPopup_);
        item->SetCaption(row.caption);
        item->SetTag(row.tag);
        item->SetImageIndex(row.tag);
        const int tag = row.tag;
        item->OnClick = [this, tag](forms::TObject*) { SystemMenuClick(tag); };
        item->OnDrawItem = [this](forms::TObject* sender, forms::TCanvas* canvas, RECT rect, bool selected) {
            if (data_ != nullptr) DrawMenuItem(*data_, *static_cast<forms::TMenuItem*>(sender), *canvas, rect, selected);
        };
        item->OnMeasureItem = [this](forms::TObject* sender, forms::TCanvas* canvas, int& width, int& height) {
            if (data_ != nullptr) MeasurePopupMenuItem(*data_, *static_cast<forms::TMenuItem*>(sender), *canvas, width, height);
        };
        systemMenuPopup_->Items()->Add(item);
    }
}

void TSkinForm::SetFrameStyles(bool restore) {
    const bool mdiChild = windowKind_ == kKindMdiChild;
    if (mdiChild && SkinManage().mdiMaximized && !restore) return;
    if (restore && !mdiChild && childWindow_) return;
    auto style = static_cast<std::uint32_t>(GetWindowLongPtrA(wnd_, GWL_STYLE));
    if (restore) {
        if (frameFlags_ & kHasSystemMenu) style |= WS_SYSMENU;
        if (frameFlags_ & kHasMinimizeBox) style |= WS_MINIMIZEBOX;
        if (frameFlags_ & kHasMaximizeBox) style |= WS_MAXIMIZEBOX;
        if (frameFlags_ & kCaptionRemoved) style |= WS_CAPTION;
    } else if (owner_ != nullptr || mdiChild) {
        style &= ~kStripOwned;
    } else {
        if ((style & WS_CAPTION) != 0) frameFlags_ |= kCaptionRemoved;
        style &= ~static_cast<std::uint32_t>(WS_CAPTION);
    }
    // Each write sends style-change messages: write only a change.
    if (style != static_cast<std::uint32_t>(GetWindowLongPtrA(wnd_, GWL_STYLE)))
        SetWindowLongPtrA(wnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
}

void TSkinForm::LoadFrameMetrics() {
    if (data_ == nullptr || data_->NoSkin()) return;
    const SkinElements& e = data_->Elements();
    if (frameKind_ == kFramePopup) {
        left_ = top_ = right_ = bottom_ = menuHeight_ = 0;
    } else {
        auto side = [&](int i) -> const TDataSkinBorder* { return e.borders[static_cast<size_t>(i)].get(); };
        left_ = side(0) ? side(0)->image.width() / std::max(side(0)->FrameCount, 1) : 0;
        right_ = side(1) ? side(1)->image.width() / std::max(side(1)->FrameCount, 1) : 0;
        top_ = side(2) ? side(2)->image.height() / std::max(side(2)->FrameCount, 1) : 0;
        bottom_ = side(3) ? side(3)->image.height() / std::max(side(3)->FrameCount, 1) : 0;
    }
    // The first window with an icon gives the skin the icon iconless windows show.
    if (data_->DefaultIcon.empty() && !iconImage_.empty()) data_->DefaultIcon = iconImage_;
    FreeSysButtons();
    for (size_t i = 0; i < e.captionButtons.size(); ++i) {
        TDataSkinSysButton* element = e.captionButtons[i].get();
        sysButtons_.push_back(std::make_unique<TWinSysButton>(this, element, static_cast<int>(i)));
    }
}

void TSkinForm::FreeSysButtons() {
    hot_ = nullptr;
    if (std::exchange(pressed_, nullptr) != nullptr && GetCapture() == wnd_) ReleaseCapture();
    sysButtons_.clear();
}

void TSkinForm::ApplyFrameChange() {
    forms::FrameFitScope fitting(wnd_);
    SetWindowPos(wnd_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void TSkinForm::FitWindow(bool keepClient) {
    if (windowState_ == kStateMaximised) {
        ApplyFrameChange();
        return;
    }
    // The client rectangle measured at attach: the standard frame's thickness differs between
    // sizable and fixed frames, so it cannot be derived from system metrics.
    if (keepClient) GetClientRect(wnd_, &clientRect_);
    int width = clientRect_.right + left_ + right_;
    const int height = clientRect_.bottom + top_ + bottom_ + menuHeight_;
    if (systemDialog_ && !keepClient) {
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, captionFont_ ? captionFont_.get() : GetStockObject(DEFAULT_GUI_FONT));
        const std::wstring text = captionPrefix_ + CaptionText() + captionSuffix_;
        SIZE extent{};
        GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        const TDataSkinTitle* title = data_->Elements().title.get();
        const int needed = (title ? title->LeftWidth + title->RightWidth : 0) + extent.cx;
        if (width < needed) {
            const int shift = (needed - width) / 2;
            for (HWND child = GetWindow(wnd_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r{};
                GetWindowRect(child, &r);
                MapWindowPoints(nullptr, wnd_, reinterpret_cast<POINT*>(&r), 2);
                SetWindowPos(child, nullptr, r.left + shift, r.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
            }
            width = needed;
            clientRect_.right = width - left_ - right_;
        }
    }
    forms::FrameFitScope fitting(wnd_);
    SetWindowPos(wnd_, nullptr, 0, 0, width, height, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

std::wstring TSkinForm::CaptionText() const {
    if (unicode_) {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(wnd_)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(wnd_, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    std::string narrow(static_cast<size_t>(GetWindowTextLengthA(wnd_)) + 1, '\0');
    narrow.resize(static_cast<size_t>(GetWindowTextA(wnd_, narrow.data(), static_cast<int>(narrow.size()))));
    std::wstring text(narrow.size() + 1, L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), text.data(), static_cast<int>(text.size()))));
    return text;
}

void TSkinForm::RefreshWindowState() {
    if (IsIconic(wnd_)) windowState_ = kStateMinimised;
    else if (IsZoomed(wnd_)) windowState_ = kStateMaximised;
    else windowState_ = kStateNormal;
}

void TSkinForm::RestoreWindow() {
    windowState_ = kStateNormal;
    PostMessageA(wnd_, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TSkinForm::ToggleMaximize() {
    if (windowState_ == kStateMaximised) {
        RestoreWindow();
        return;
    }
    if (windowKind_ == kKindMdiChild) SkinManage().SetMDIMaximized(true);
    windowState_ = kStateMaximised;
    PostMessageA(wnd_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    hot_ = nullptr;
}

void TSkinForm::ToggleMinimize() {
    if (windowState_ == kStateMinimised) {
        RestoreWindow();
        return;
    }
    windowState_ = kStateMinimised;
    PostMessageA(wnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

bool TSkinForm::RunSysButtonAction(int action, POINT screen) {
    switch (action) {
        case 0:
            StopTimer();
            PostMessageA(wnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        case 1: case 22: ToggleMaximize(); return true;
        case 2: case 23: ToggleMinimize(); return true;
        case 3: case 11: case 12: ShowSystemMenu(screen.x + 1, screen.y + 1); return true;
        case 7: case 60: MdiChildCommand(SC_MINIMIZE); return true;
        case 8: case 61: MdiChildCommand(SC_RESTORE); return true;
        case 9: case 62: MdiChildCommand(SC_CLOSE); return true;
        default: return false;
    }
}

void TSkinForm::ShowSystemMenu(int x, int y) {
    // A window without a system menu offers none: no Close on a window that must not close.
    if ((frameFlags_ & kHasSystemMenu) == 0 || systemMenuPopup_ == nullptr) return;
    forms::TMenuItem* items = systemMenuPopup_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        forms::TMenuItem* item = items->Items(i);
        switch (item->Tag()) {
            case 0: item->SetEnabled(windowState_ != kStateNormal); break;
            case 1: item->SetEnabled(windowState_ != kStateMaximised); break;
            case 2: item->SetEnabled(windowState_ != kStateMinimised); break;
            default: break;
        }
    }
    const DWORD now = GetTickCount();
    if (now - lastMenuOpen_ > doubleClickTime_) {
        TSkinManage& manage = SkinManage();
        manage.popupKind = 2;
        lastMenuOpen_ = now;
        // An MDI child's own system menu carries the MDI commands (next window and the like).
        if (windowKind_ == kKindMdiChild || (data_ != nullptr && !Has(data_->SkinControls, xcSystemMenu))) {
            // The real system menu: its choice comes back here, and is posted once.
            HMENU real = GetSystemMenu(wnd_, FALSE);
            SetForegroundWindow(wnd_);
            const UINT command = static_cast<UINT>(TrackPopupMenu(real, TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, wnd_, nullptr));
            if (command != 0) PostMessageA(wnd_, WM_SYSCOMMAND, command, 0);
        } else {
            systemMenuPopup_->Popup(x, y);
        }
    } else if (hot_ != nullptr) {
        StopTimer();
        PostMessageA(wnd_, WM_CLOSE, 0, 0);
    }
}

void TSkinForm::SystemMenuClick(int tag) {
    switch (tag) {
        case 0: RestoreWindow(); break;
        case 1: ToggleMaximize(); break;
        case 2: ToggleMinimize(); break;
        case 3:
            StopTimer();
            PostMessageA(wnd_, WM_CLOSE, 0, 0);
            break;
        default: break;
    }
}

POINT TSkinForm::ScreenToFrame(POINT p) const {
    ScreenToClient(wnd_, &p);
    if (windowState_ != kStateMinimised) {
        p.x += left_;
        p.y += top_ + menuHeight_;
    }
    return p;
}

void TSkinForm::TimerTick() {
    if (SkinManage().menuBarTracking || menuTracking_) return;
    // A held button shows what its press does, wherever the mouse is.
    if (hot_ != nullptr && hot_ != pressed_) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const POINT p = ScreenToFrame(cursor);
        const SkinRect& r = hot_->rect;
        if (!(p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)) hot_->MouseLeave();
    }
    // The form library tells its own controls when the mouse leaves them; a raw window's
    // (a message box's) buttons hear it only from here.
    if (form_ == nullptr) LeaveHotControl(true);
}

void TSkinForm::LeaveHotControl(bool onlyWhenAway) {
    TSkinControl* hot = controls_ ? controls_->HotButton() : nullptr;
    if (hot == nullptr) return;
    if (onlyWhenAway) {
        POINT cursor{};
        RECT r{};
        GetCursorPos(&cursor);
        if (GetWindowRect(hot->Handle(), &r) && PtInRect(&r, cursor)) return;
    }
    TSkinControl::SendMouseLeave(hot);
    if (controls_) controls_->SetHotButton(nullptr);
}

void TSkinForm::Recolour() {
    // Refreshing the control skins may move the focus: it goes back where it was.
    forms::TWinControl* focused = form_ != nullptr ? form_->ActiveControl() : nullptr;
    const bool hadFocus = focused != nullptr && focused->Focused();
    {
        // Recoloured, refreshed, fitted, cut to its region and laid out again, but painted
        // once, whole, at the end.
        PaintOnceAfter paintOnce(wnd_);
        if (form_ != nullptr && data_ != nullptr) {
            const auto face = static_cast<forms::TColor>(data_->Elements().colours.ButtonFace);
            form_->SetColor(face);
            for (int i = 0; i < form_->ComponentCount(); ++i)
                if (auto* owned = dynamic_cast<forms::TForm*>(form_->Components(i))) owned->SetColor(face);
        }
        if (controls_) controls_->RefreshAll();
        phase_ = kPhaseRecolouring;
        if (frameSkinning_) {
            if (form_ != nullptr && data_ != nullptr && Has(data_->SkinControls, xcPopupMenu)) SkinPopupMenus(*form_, *data_, true);
            FitWindow(true);
            BuildRegion();
            // The form lays its controls out again for the new frame, once and at the client
            // size they keep (a passing change of the window's size would lay them out twice).
            if (form_ != nullptr && windowState_ == kStateNormal) form_->Realign();
        }
    }
    if (hadFocus && focused->CanFocus()) focused->SetFocus();
    phase_ = kPhaseReady;
}

bool TSkinForm::IsMdiChildMaximized() const {
    if (mdiClient_ == nullptr || !IsWindow(mdiClient_)) return false;
    BOOL maximised = FALSE;
    const auto child = reinterpret_cast<HWND>(SendMessageA(mdiClient_, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
    // The client may still name a child it is destroying.
    return child != nullptr && maximised != FALSE && IsWindow(child) && IsZoomed(child);
}

void TSkinForm::RepaintWindow() {
    InvalidateRect(wnd_, nullptr, TRUE);
    UpdateWindow(wnd_);
}

void TSkinForm::UnskinForm() {
    if (phase_ != kPhaseDestroying) DetachControlSkins();
    if (!frameSkinning_) {
        UnskinPlain();
        return;
    }
    StopTimer();
    if (!Attached()) return;
    ForgetPress();
    ReleaseSubclasses();
    if (form_ != nullptr && phase_ != kPhaseDestroying) {
        if (data_ != nullptr) SkinPopupMenus(*form_, *data_, false);
        if (formColourSaved_) form_->SetColor(static_cast<forms::TColor>(savedColour_));
    }
    if (form_ != nullptr && phase_ != kPhaseDestroying && data_ != nullptr && Has(data_->SkinControls, xcMenuItem))
        SkinMainMenuItems(*form_, *data_, false);
    SetFrameStyles(true);
    FreeMenuBar();
    mdiClientProc_.reset();
    titleImage_ = forms::PixelBuffer(0, 0, 3);
    if (phase_ != kPhaseDestroying && (!childWindow_ || windowKind_ == kKindMdiChild)) {
        RECT window{};
        GetWindowRect(wnd_, &window);
        const int width = (window.right - window.left) + standardFrame_.right - left_ - right_;
        const int height = (window.bottom - window.top) + standardFrame_.bottom - top_ - menuHeight_ - bottom_;
        forms::FrameFitScope fitting(wnd_);
        SetWindowPos(wnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    SetWindowRgn(wnd_, nullptr, TRUE);
    region_.reset();
    regionWidth_ = regionHeight_ = -1;
    phase_ = kPhaseCreated;
}

void TSkinForm::UnskinOnDestroy() {
    if (!frameSkinning_) {
        UnskinPlain();
        return;
    }
    StopTimer();
    if (Attached()) {
        ReleaseSubclasses();
        // The children went first: their skins are freed without touching their windows.
        DetachControlSkins();
    }
    FreeMenuBar();  // a menu the window held goes with it
    titleImage_ = forms::PixelBuffer(0, 0, 3);
}

void TSkinForm::UnskinPlain() {
    StopTimer();
    if (phase_ != kPhaseDestroying) DetachControlSkins();
    if (form_ != nullptr && phase_ != kPhaseDestroying) {
        if (data_ != nullptr) SkinPopupMenus(*form_, *data_, false);
        if (data_ != nullptr && Has(data_->SkinControls, xcMenuItem)) SkinMainMenuItems(*form_, *data_, false);
        if (formColourSaved_) form_->SetColor(static_cast<forms::TColor>(savedColour_));
    }
    if (Attached()) ReleaseSubclasses();
    mdiClientProc_.reset();
    if (form_ != nullptr && phase_ != kPhaseDestroying) form_->Invalidate();
}

}  // namespace skin
