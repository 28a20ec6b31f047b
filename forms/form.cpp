#include "forms/form.h"

#include "forms/application.h"
#include "forms/guard.h"
#include "forms/menus.h"
#include "forms/portable/properties.h"

namespace forms {

TForm* GetParentForm(TControl* control) {
    TControl* top = control;
    while (top != nullptr && top->Parent() != nullptr) top = top->Parent();
    return dynamic_cast<TForm*>(top);
}

const TClassInfo& TForm::StaticClass() {
    static const TClassInfo info =
        TClassInfo::Define<TForm>("TForm", &TScrollingWinControl::StaticClass())
            .Enum("BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                  &TForm::BorderStyle, &TForm::SetBorderStyle)
            .Enum("Position", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                               "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                  &TForm::Position, &TForm::SetPosition)
            .Enum("FormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, &TForm::FormStyle, &TForm::SetFormStyle)
            .Enum("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, &TForm::WindowState, &TForm::SetWindowState)
            .Bool("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview)
            .Int("ModalResult", &TForm::ModalResult, &TForm::SetModalResult)
            .Done();
    return info;
}

TForm::TForm(TComponent* owner) : TScrollingWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    if (Screen != nullptr) Screen->AddForm(this);
}

TForm::~TForm() {
    Destroying();
    if (OnDestroy) {
        TNotifyEvent handler = OnDestroy;
        handler(this);
    }
    if (Screen != nullptr) Screen->RemoveForm(this);
    if (Application != nullptr && Application->MainForm() == this) Application->SetMainForm(nullptr);
    canvas_->FreeHandle();
}

void TForm::CreateParams(TCreateParams& p) {
    TScrollingWinControl::CreateParams(p);
    p.Style &= ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_DISABLED);
    p.ExStyle = 0;
    switch (borderStyle_) {
        case bsNone: p.Style |= WS_POPUP; break;
        case bsSingle: p.Style |= WS_CAPTION | WS_BORDER; break;
        case bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
        case bsDialog: p.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; p.ExStyle |= WS_EX_DLGMODALFRAME; break;
        case bsToolWindow: p.Style |= WS_CAPTION; p.ExStyle |= WS_EX_TOOLWINDOW; break;
        case bsSizeToolWin: p.Style |= WS_CAPTION | WS_THICKFRAME; p.ExStyle |= WS_EX_TOOLWINDOW; break;
    }
    if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
        p.Style |= WS_SYSMENU;
        if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
            if (borderIcons_ & biMinimize) p.Style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) p.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
    // Owned by the owner form's window, so it stays above it.
    if (auto* ownerForm = dynamic_cast<TForm*>(Owner())) p.WndParent = ownerForm->Handle();
    else p.WndParent = ParentWindow();
}

void TForm::HandleCreated() {
    TScrollingWinControl::HandleCreated();
    if (icon_ != nullptr || smallIcon_ != nullptr) SetIcons(icon_, smallIcon_);
    ApplyMenu();
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    if (menu_ != nullptr) menu_->SetWindowHandle(nullptr);
    menu_ = menu;
    ApplyMenu();
}

void TForm::ApplyMenu() {
    if (!HandleAllocated()) return;
    if (menu_ != nullptr) menu_->SetWindowHandle(WindowHandle());
    ::SetMenu(WindowHandle(), menu_ != nullptr ? menu_->Handle() : nullptr);
    DrawMenuBar(WindowHandle());
}

bool TForm::MenuMessage(TMessage& m) {
    if (menu_ == nullptr) return false;
    switch (m.Msg) {
        case WM_COMMAND:
            if (HIWORD(m.WParam) != 0 || m.LParam != 0) return false;
            if (menu_->FindItem(LOWORD(m.WParam)) == nullptr) return false;
            Guarded([&] { menu_->DispatchCommand(LOWORD(m.WParam)); });
            return true;
        case WM_MEASUREITEM: {
            auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            TMenuItem* item = mi->CtlType == ODT_MENU ? menu_->FindItem(mi->itemID) : nullptr;
            if (item == nullptr) return false;
            MeasureMenuItemMessage(*item, *mi);
            m.Result = TRUE;
            return true;
        }
        case WM_DRAWITEM: {
            auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            TMenuItem* item = di->CtlType == ODT_MENU ? menu_->FindItem(di->itemID) : nullptr;
            if (item == nullptr) return false;
            DrawMenuItemMessage(*item, *di);
            m.Result = TRUE;
            return true;
        }
        default:
            return false;
    }
}

void TForm::SetBorderStyle(TFormBorderStyle v) { if (v != borderStyle_) { borderStyle_ = v; RecreateForm(); } }
void TForm::SetBorderIcons(TBorderIcons v) { if (v != borderIcons_) { borderIcons_ = v; RecreateForm(); } }

void TForm::RecreateForm() {
    if (!HandleAllocated()) return;
    // The new window is made hidden like every form's; a form on screen stays there.
    const bool shown = IsWindowVisible(WindowHandle()) != FALSE;
    RecreateWnd();
    if (!shown) return;
    static constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    ShowWindow(WindowHandle(), kShow[windowState_]);
    if (formStyle_ == fsStayOnTop) SetWindowToTop();
}

void TForm::SetClientSize(int width, int height) {
    // The frame's size is known only from a window; before it, the whole size would be taken.
    HandleNeeded();
    TScrollingWinControl::SetClientSize(width, height);
}

void TForm::SetFormStyle(TFormStyle v) {
    if (v == formStyle_) return;
    formStyle_ = v;
    if (HandleAllocated()) SetWindowToTop();
}

void TForm::SetWindowToTop() {
    SetWindowPos(WindowHandle(), formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TForm::WindowState() const {
    if (WindowHandle() != nullptr) {
        if (IsIconic(WindowHandle())) return wsMinimized;
        if (IsZoomed(WindowHandle())) return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TForm::SetWindowState(TWindowState v) {
    windowState_ = v;
    if (WindowHandle() != nullptr && Visible()) {
        static constexpr int kShow[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ShowWindow(WindowHandle(), kShow[v]);
    }
}

void TForm::SetIcon(HICON icon) { SetIcons(icon, icon); }

void TForm::SetIcons(HICON big, HICON small) {
    icon_ = big;
    smallIcon_ = small;
    if (HandleAllocated()) {
        SendMessageA(WindowHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageA(WindowHandle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    activeControl_ = control;
    if (control != nullptr && Visible() && control->CanFocus()) control->SetFocus();
}

void TForm::FocusControl(TWinControl* control) {
    if (control == activeControl_) return;
    activeControl_ = control;
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

bool TForm::Active() const { return WindowHandle() != nullptr && GetActiveWindow() == WindowHandle(); }

void TForm::Notification(TComponent* component, TOperation operation) {
    TScrollingWinControl::Notification(component, operation);
    if (operation == opRemove && component == activeControl_) activeControl_ = nullptr;
    if (operation == opRemove && component == menu_) {
        menu_ = nullptr;
        if (HandleAllocated()) ::SetMenu(WindowHandle(), nullptr);
    }
}

bool TForm::Showing() const { return WindowHandle() != nullptr ? IsWindowVisible(WindowHandle()) != FALSE : Visible(); }

POINT TForm::ClientOrigin() const {
    if (WindowHandle() != nullptr) return TScrollingWinControl::ClientOrigin();
    return POINT{Left(), Top()};
}

void TForm::ApplyPosition() {
    if (positioned_) return;
    positioned_ = true;
    RECT area{};
    switch (position_) {
        case poScreenCenter: case poDesktopCenter:
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
            break;
        case poMainFormCenter: case poOwnerFormCenter: {
            TForm* ref = position_ == poOwnerFormCenter ? dynamic_cast<TForm*>(Owner()) : nullptr;
            if (ref == nullptr && Application != nullptr) ref = Application->MainForm();
            if (ref == nullptr || ref == this || !ref->HandleAllocated()) {
                SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
            } else {
                GetWindowRect(ref->WindowHandle(), &area);
            }
            break;
        }
        default: return;
    }
    SetBounds(area.left + ((area.right - area.left) - Width()) / 2, area.top + ((area.bottom - area.top) - Height()) / 2,
              Width(), Height());
}

void TForm::SetVisible(bool v) {
    if (v == Visible() && (!v || Showing())) return;
    if (v) {
        HandleNeeded();
        ApplyPosition();
        TControl::SetVisible(true);
        DoShow();
        static constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ShowWindow(WindowHandle(), kShow[windowState_]);
        if (formStyle_ == fsStayOnTop) SetWindowToTop();
        if (activeControl_ != nullptr && activeControl_->CanFocus()) ::SetFocus(activeControl_->Handle());
    } else {
        TControl::SetVisible(false);
        if (HandleAllocated()) ShowWindow(WindowHandle(), SW_HIDE);
        DoHide();
    }
}

void TForm::SetFocus() {
    if (!HandleAllocated() || !Visible()) return;
    SetActiveWindow(WindowHandle());
    ::SetFocus(WindowHandle());
}

void TForm::DoShow() { if (OnShow) OnShow(this); }
void TForm::DoHide() { if (OnHide) OnHide(this); }
void TForm::Paint() { if (OnPaint) OnPaint(this); }

void TForm::PaintWindow(HDC dc) {
    canvas_->FreeHandle();
    canvas_->SetHandle(dc);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
    }
    canvas_->SetHandle(nullptr);
}

void TForm::Resize() {
    if (WindowHandle() != nullptr && IsIconic(WindowHandle())) return;  // no resize event on minimise
    TScrollingWinControl::Resize();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (modal_) {
        // The modal loop asks OnCloseQuery and runs OnClose.
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case caHide: Hide(); break;
        case caMinimize: SetWindowState(wsMinimized); break;
        case caFree: Release(); break;
        default: break;
    }
}

TModalResult TForm::ShowModal() {
    if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    HandleNeeded();
    // Every other enabled top-level window of this thread waits; the one that was active
    // gets the activation back at the end.
    const HWND previouslyActive = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM lp) -> BOOL {
        return GuardedCall([&] {
            auto* list = reinterpret_cast<std::vector<HWND>*>(lp);
            if (IsWindowVisible(w) && IsWindowEnabled(w)) list->push_back(w);
            return TRUE;
        }, FALSE);
    }, reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, WindowHandle());
    for (HWND w : disabled) EnableWindow(w, FALSE);
    // Enabled again before the hide, so that the system hands the activation to one of them.
    auto enableOthers = [&] {
        modal_ = false;
        for (HWND w : disabled) if (IsWindow(w)) EnableWindow(w, TRUE);
    };
    auto reactivate = [&] {
        if (previouslyActive != nullptr && previouslyActive != WindowHandle() && IsWindow(previouslyActive) &&
            IsWindowVisible(previouslyActive)) {
            SetActiveWindow(previouslyActive);
        }
    };
    modal_ = true;
    modalResult_ = mrNone;
    TCloseAction action = caHide;
    try {
        Show();
        // A result set already in OnShow is asked about like any other.
        for (;;) {
            if (modalResult_ != mrNone) {
                action = caHide;
                if (CloseQuery()) {
                    if (OnClose) OnClose(this, action);
                    if (action != caNone) break;
                }
                modalResult_ = mrNone;
            }
            if (Application == nullptr || Application->Terminated()) break;
            Application->HandleMessage();
        }
    } catch (...) {
        // A handler of this form threw: it goes to the caller, the form does not stay modal.
        enableOthers();
        Guarded([this] { Hide(); });
        reactivate();
        throw;
    }
    enableOthers();
    Hide();
    reactivate();
    const TModalResult result = modalResult_;
    if (action == caFree) Release();
    return result;
}

void TForm::Release() {
    if (HandleAllocated()) PostMessageA(WindowHandle(), CM_RELEASE, 0, 0);
    else delete this;
}

bool TForm::DialogKey(WORD key, TShiftState shift) {
    switch (key) {
        case VK_TAB:
            if (shift & (ssCtrl | ssAlt)) return false;
            SelectNext(activeControl_, (shift & ssShift) == 0, true);
            return true;
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
            if (activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
                activeControl_->Parent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
                return true;
            }
            return false;
        default: {
            TMessage m{CM_DIALOGKEY, key, 0, 0};
            Broadcast(m);
            return m.Result != 0;
        }
    }
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGKEY:
            m.Result = DialogKey(static_cast<WORD>(m.WParam), KeyboardShiftState()) ? 1 : 0;
            return;
        case CM_RELEASE:
            delete this;
            return;
        case WM_CLOSE:
            Close();
            m.Result = 0;
            return;
        case WM_ACTIVATE:
            if (LOWORD(m.WParam) != WA_INACTIVE) {
                if (OnActivate) OnActivate(this);
                if (activeControl_ != nullptr && activeControl_->HandleAllocated() && activeControl_->CanFocus()) {
                    ::SetFocus(activeControl_->WindowHandle());
                    m.Result = 0;
                    return;
                }
            } else if (OnDeactivate) {
                OnDeactivate(this);
            }
            break;
        case WM_ERASEBKGND:
            break;
        case WM_COMMAND: case WM_MEASUREITEM: case WM_DRAWITEM:
            if (MenuMessage(m)) return;
            break;
        case CM_MENUCHANGED:
            ApplyMenu();
            return;
        case WM_DESTROY:
            // The menu's handle is the main menu's: the window must not destroy it.
            if (menu_ != nullptr) ::SetMenu(WindowHandle(), nullptr);
            break;
        default: break;
    }
    TScrollingWinControl::WndProc(m);
}

}  // namespace forms
