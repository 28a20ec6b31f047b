// How every message of a skinned window is routed: the window's replacement procedure and the
// form's replacement WindowProc.
#include <utility>

#include "forms/form.h"
#include "forms/guard.h"
#include "forms/timer.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/menu/skin_menu.h"
#include "skin/skin_data.h"

namespace skin {

namespace {

// Commands of the real system menu that may arrive as WM_COMMAND.
bool IsSystemCommand(UINT command) {
    switch (command & 0xFFF0) {
        case SC_SIZE: case SC_MOVE: case SC_MINIMIZE: case SC_MAXIMIZE: case SC_NEXTWINDOW: case SC_PREVWINDOW:
        case SC_CLOSE: case SC_RESTORE:
            return true;
        default: return false;
    }
}

POINT PointOf(LPARAM l) { return POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))}; }

}  // namespace

LRESULT TSkinForm::FrameWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
    // Stage 1: every message.
    switch (msg) {
        case WM_ERASEBKGND: {
            const LRESULT r = next(msg, wParam, lParam);
            if (form_ != nullptr || data_ == nullptr) return r;
            RECT client{};
            GetClientRect(wnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, data_->FaceBrush());
            return 1;
        }
        case WM_NCDESTROY: {
            phase_ = kPhaseDestroying;
            UnskinOnDestroy();
            const LRESULT r = next(msg, wParam, lParam);
            phase_ = kPhaseDestroyed;
            return r;
        }
        case WM_INITMENUPOPUP:
            SkinManage().popupKind = reinterpret_cast<HMENU>(wParam) == systemMenu_ ? 2 : 1;
            return next(msg, wParam, lParam);
        case WM_CTLCOLORBTN: {
            const LRESULT r = next(msg, wParam, lParam);
            if (form_ == nullptr) SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return r;
        }
        case WM_CTLCOLORSTATIC: {
            const LRESULT r = next(msg, wParam, lParam);
            if (form_ != nullptr || data_ == nullptr) return r;
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(data_->FaceBrush());
        }
        case kMsgAttachControls:
            controlsAttached_ = true;
            AttachControlSkins();
            if (phase_ == kPhaseCreated) {
                if (windowKind_ == kKindMdiChild && SkinManage().mdiMaximized) {
                    // A child inside a maximised one shows the system's maximised look.
                    SetFrameStyles(true);
                    ApplyFrameChange();
                } else if (windowState_ != kStateMinimised && frameKind_ != kFramePopup &&
                           (!childWindow_ || windowKind_ == kKindMdiChild)) {
                    phase_ = kPhaseFitting;
                    FitWindow(false);
                    phase_ = kPhaseReady;
                    BuildRegion();
                }
                phase_ = kPhaseReady;
                if (timer_ != nullptr) timer_->SetEnabled(active_);
                PostMessageA(wnd, kMsgRepaintFrame, 0, 0);
            }
            return 0;
        case kMsgSkinnedQuery:
            return 1;
        default:
            break;
    }
    if (!frameSkinning_) return next(msg, wParam, lParam);

    // Stage 2.
    if (childWindow_ && windowKind_ != kKindMdiChild) return next(msg, wParam, lParam);
    if (pressed_ != nullptr && PressMessage(msg, lParam)) return 0;
    switch (msg) {
        case kMsgSysButtonAction:
            if (RunSysButtonAction(static_cast<int>(wParam), PointOf(lParam))) return 0;
            return next(msg, wParam, lParam);
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0 && IsSystemCommand(LOWORD(wParam))) {
                PostMessageA(wnd, WM_SYSCOMMAND, LOWORD(wParam), 0);
                return 0;
            }
            return next(msg, wParam, lParam);
        case WM_SYSCOMMAND:
            if (KeyMenu(wParam, lParam)) return 1;
            switch (wParam & 0xFFF0) {
                case SC_MINIMIZE:
                    windowState_ = kStateMinimised;
                    if (windowKind_ == kKindMdiChild) SetFrameStyles(true);
                    break;
                case SC_MAXIMIZE: windowState_ = kStateMaximised; break;
                case SC_RESTORE:
                    windowState_ = kStateNormal;
                    if (windowKind_ == kKindMdiChild) SetFrameStyles(false);
                    break;
                default: break;
            }
            return next(msg, wParam, lParam);
        case WM_GETMINMAXINFO: {
            const LRESULT r = next(msg, wParam, lParam);
            RefreshWindowState();
            if (windowState_ == kStateMinimised) SetFrameStyles(true);
            else if (windowKind_ != kKindMdiChild || windowState_ == kStateNormal) SetFrameStyles(false);
            else SetFrameStyles(true);
            if (frameKind_ == kFrameSizable) {
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
            }
            return r;
        }
        case WM_SIZE: {
            const LRESULT r = next(msg, wParam, lParam);
            windowState_ = wParam == SIZE_MINIMIZED ? kStateMinimised : wParam == SIZE_MAXIMIZED ? kStateMaximised : kStateNormal;
            if (windowState_ == kStateMinimised) return r;
            if (windowKind_ == kKindMdiChild && (SkinManage().mdiMaximized || windowState_ != kStateNormal)) return r;
            if (phase_ == kPhaseReady || phase_ == kPhaseRecolouring) BuildRegion();
            return r;
        }
        case WM_ACTIVATE:
        case WM_NCACTIVATE:
            active_ = LOBYTE(wParam) != 0;
            break;
        case WM_WINDOWPOSCHANGED:
            RefreshWindowState();
            return next(msg, wParam, lParam);
        case WM_MENUSELECT:
            // Sent to the owner, never through the menu's message filter.
            if (menuTracking_ || menuBar_ != nullptr) MenuSelected(wParam, lParam);
            return next(msg, wParam, lParam);
        case forms::CM_MENUCHANGED: {
            // The form library puts the window's menu back; no frame is painted meanwhile.
            framePaintAllowed_ = false;
            const LRESULT r = next(msg, wParam, lParam);
            framePaintAllowed_ = true;
            if (menuBar_ != nullptr && data_->MenuUpdate && GetMenu(wnd) != nullptr) {
                ReloadMenuBar();
                if (phase_ == kPhaseReady) PaintNonClient(nullptr);
            }
            return r;
        }
        default:
            break;
    }

    LRESULT result = 0;
    const bool mdiChildNotNormal = windowKind_ == kKindMdiChild && windowState_ != kStateNormal;
    if (phase_ != kPhaseCreated && windowState_ != kStateMinimised && !mdiChildNotNormal && Stage3(msg, wParam, lParam, next, result)) return result;
    return next(msg, wParam, lParam);
}

// Stage 3: the frame's own messages; false passes the message on.
bool TSkinForm::Stage3(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_NCACTIVATE:
            active_ = wParam != 0;
            if (timer_ != nullptr) timer_->SetEnabled(active_);
            if (!active_) LeaveHotControl(false);
            if (windowKind_ == kKindMdiParent && mdiClient_ != nullptr) SendMessageA(mdiClient_, WM_NCACTIVATE, wParam, lParam);
            PaintNonClient(nullptr);
            result = 1;
            return true;
        case WM_NCPAINT:
            if (!framePaintAllowed_) return true;
            if (frameKind_ == kFramePopup) return false;
            PaintNonClient(nullptr);
            return true;
        case WM_NCCALCSIZE: {
            if (frameKind_ == kFramePopup) return false;
            // The window rectangle as it comes in: the client sits inside the skin's borders.
            RECT* rect = wParam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
            const RECT window = *rect;
            next(msg, wParam, lParam);
            *rect = RECT{window.left + left_, window.top + top_ + menuHeight_, window.right - right_, window.bottom - bottom_};
            if (rect->right < rect->left) rect->right = rect->left;
            if (rect->bottom < rect->top) rect->bottom = rect->top;
            return true;
        }
        case WM_NCHITTEST: {
            result = next(msg, wParam, lParam);
            if (result != HTNOWHERE && result != HTCAPTION) return true;
            const POINT p = ScreenToFrame(PointOf(lParam));
            if (p.y > top_) {
                // Below the title: the menu bar is the only place a menu is hit.
                result = p.y <= top_ + menuHeight_ ? HTMENU : HTBORDER;
            } else if (p.y > 3) {
                result = HTCAPTION;
            }
            return true;
        }
        case WM_NCMOUSEMOVE: {
            if (!active_) return false;
            TNCObject* b = ObjectAt(ScreenToFrame(PointOf(lParam)));
            if (b != nullptr) {
                b->MouseEnter();
                return true;
            }
            if (hot_ != nullptr) hot_->MouseLeave();
            return false;
        }
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: {
            if (msg == WM_NCLBUTTONDOWN) openPosted_ = false;
            const POINT frame = ScreenToFrame(PointOf(lParam));
            TWinSysButton* b = ButtonAt(frame);
            if (b == nullptr && menuBar_ != nullptr) {
                if (TMenuBtn* item = menuBar_->ButtonAt(frame)) {
                    if (!active_) SetForegroundWindow(wnd_);
                    item->MouseDown();
                    TrackMenuButton(item);
                    return true;
                }
            }
            if (b != nullptr) {
                // A second click on a button is a click on it, not a maximise toggle.
                if (!active_) SetForegroundWindow(wnd_);
                b->MouseDown();
                pressed_ = b;
                // The release comes here wherever it happens: a press is never left behind.
                SetCapture(wnd_);
                return true;
            }
            if (msg == WM_NCLBUTTONDBLCLK) {
                if (windowState_ != kStateNormal) RestoreWindow();
                else if (wParam == HTCAPTION && (frameFlags_ & kHasMaximizeBox) != 0) ToggleMaximize();
                return true;
            }
            // A maximised window cannot be dragged by its caption.
            if (windowState_ == kStateMaximised && active_ && wParam == HTCAPTION) return true;
            return false;
        }
        case WM_NCLBUTTONUP: {
            // A release with no press of ours (the press went down elsewhere): nothing acts.
            const POINT frame = ScreenToFrame(PointOf(lParam));
            if (ButtonAt(frame) != nullptr) return true;
            return menuBar_ != nullptr && menuBar_->ButtonAt(frame) != nullptr;
        }
        case WM_NCRBUTTONDOWN:
            if (wParam != HTCAPTION || windowKind_ == kKindMdiChild) return false;
            ShowSystemMenu(PointOf(lParam).x, PointOf(lParam).y);
            return true;
        case WM_NCRBUTTONUP:
            // The caption's menu is ours: no second, unskinned one through WM_CONTEXTMENU.
            return wParam == HTCAPTION;
        case WM_CONTEXTMENU: {
            if (reinterpret_cast<HWND>(wParam) != wnd_ || lParam == -1) return false;
            const LRESULT hit = SendMessageA(wnd_, WM_NCHITTEST, 0, lParam);
            return hit == HTCAPTION;
        }
        case kMsgRepaintFrame:
            PaintNonClient(nullptr);
            return true;
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            if (!MenuItemMessage(msg, lParam)) return false;
            result = TRUE;
            return true;
        case WM_SETTEXT:
            // The default handler paints a standard caption straight onto a captioned frame.
            result = next(msg, wParam, lParam);
            PaintNonClient(nullptr);
            return true;
        default:
            return false;
    }
}

bool TSkinForm::InFrame(POINT screen) const {
    RECT window{}, client{};
    if (!GetWindowRect(wnd_, &window) || !PtInRect(&window, screen)) return false;
    GetClientRect(wnd_, &client);
    MapWindowPoints(wnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return !PtInRect(&client, screen);
}

void TSkinForm::ForgetPress() {
    TWinSysButton* pressed = std::exchange(pressed_, nullptr);
    if (pressed == nullptr) return;
    if (GetCapture() == wnd_) ReleaseCapture();
    if (hot_ == pressed) hot_ = nullptr;
    pressed->mouseState = 1;
    pressed->Paint();
}

// The mouse while a system button is held (captured): the press shows only over its button,
// is forgotten once the mouse leaves the frame or the capture goes elsewhere, and a release
// over its button posts the button's action. The action runs from its own message, when no
// button of this press is on the stack: it may rebuild the buttons and the window's hooks.
bool TSkinForm::PressMessage(UINT msg, LPARAM lParam) {
    switch (msg) {
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != wnd_) ForgetPress();
            return false;
        case WM_MOUSEMOVE: case WM_NCMOUSEMOVE: case WM_LBUTTONUP: case WM_NCLBUTTONUP:
            break;
        default:
            return false;
    }
    POINT screen = PointOf(lParam);
    if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP) ClientToScreen(wnd_, &screen);
    TWinSysButton* pressed = pressed_;
    const bool inFrame = InFrame(screen);
    const bool over = inFrame && ButtonAt(ScreenToFrame(screen)) == pressed;
    if (msg == WM_MOUSEMOVE || msg == WM_NCMOUSEMOVE) {
        if (!inFrame) {
            ForgetPress();
            return true;
        }
        const int state = over ? 2 : 1;
        if (pressed->mouseState != state) {
            pressed->mouseState = state;
            pressed->Paint();
        }
        return true;
    }
    if (!over) {
        ForgetPress();
        return true;
    }
    pressed_ = nullptr;
    if (GetCapture() == wnd_) ReleaseCapture();
    pressed->MouseUp();
    PostMessageA(wnd_, kMsgSysButtonAction, static_cast<WPARAM>(pressed->element->Action), MAKELPARAM(screen.x, screen.y));
    return true;
}

void TSkinForm::FormWindowProc(forms::TMessage& m, const forms::WindowProcHook::Next& next) {
    keyHandled_ = false;
    switch (m.Msg) {
        case WM_SETTEXT:
            next(m);
            if (Attached()) ApplyFrameChange();
            return;
        case kMsgRecolour:
            Recolour();
            m.Result = 0;
            return;
        case forms::CM_DIALOGCHAR:
            if (Attached() && DialogChar(m)) return;
            next(m);
            return;
        default:
            next(m);
            return;
    }
}

}  // namespace skin
