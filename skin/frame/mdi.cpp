// The MDI rows of the form skin: the parent's client window hooked (menus that change as
// children come and go, the maximised flag), the parent's commands to its active child, and
// a child's look while one child is maximised.
#include "forms/form.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/menu/skin_menu.h"
#include "skin/skin_coordinator.h"
#include "skin/skin_data.h"

namespace skin {

void TSkinForm::HookMdiClient() {
    if (mdiClient_ == nullptr || mdiClientProc_) return;
    savedMenuUpdate_ = data_->MenuUpdate;
    mdiClientProc_ = std::make_unique<forms::WindowSubclass>(
        mdiClient_, [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
            return MdiClientWndProc(msg, wParam, lParam, next);
        });
}

LRESULT TSkinForm::MdiClientWndProc(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) {
    TSkinManage& manage = SkinManage();
    switch (msg) {
        case WM_NCCALCSIZE:
            if (frameSkinning_ && (data_->Options & (1u << xoMDIScrollbar)) == 0) {
                const auto style = static_cast<std::uint32_t>(GetWindowLongPtrA(mdiClient_, GWL_STYLE));
                if ((style & (WS_HSCROLL | WS_VSCROLL)) != 0)
                    SetWindowLongPtrA(mdiClient_, GWL_STYLE, static_cast<LONG_PTR>(style & 0xFFCFFFFFu));
            }
            return next(msg, wParam, lParam);
        case WM_MDICREATE: {
            data_->MenuUpdate = false;
            const LRESULT r = next(msg, wParam, lParam);
            newMdiChild_ = reinterpret_cast<HWND>(r);
            return r;
        }
        case WM_MDIDESTROY: {
            const LRESULT r = next(msg, wParam, lParam);
            manage.SetMDIMaximized(IsMdiChildMaximized());
            if (SendMessageA(mdiClient_, WM_MDIGETACTIVE, 0, 0) == 0 && menuBar_ != nullptr) {
                data_->MenuUpdate = savedMenuUpdate_;
                menuBar_->LoadFromMenu();
                PostMessageA(wnd_, kMsgRepaintFrame, 0, 0);
            }
            return r;
        }
        case WM_MDITILE:
        case WM_MDICASCADE:
            manage.SetMDIMaximized(false);
            return next(msg, wParam, lParam);
        case WM_MDISETMENU: {
            const LRESULT r = next(msg, wParam, lParam);
            auto frameMenu = reinterpret_cast<HMENU>(wParam);
            if (menuBar_ != nullptr && frameMenu != nullptr && (frameMenu != menuBar_->MenuHandle() || newMdiChild_ != nullptr)) {
                HMENU shown = GetMenu(wnd_);
                menuBar_->LoadFromHandle(shown != nullptr ? shown : frameMenu);
            }
            if (GetMenu(wnd_) != nullptr) SetMenu(wnd_, nullptr);
            return r;
        }
        case WM_MDIREFRESHMENU: {
            const LRESULT r = next(msg, wParam, lParam);
            if (newMdiChild_ != nullptr) {
                if (SkinCoordinator* coordinator = CurrentSkinCoordinator()) coordinator->SkinMdiChild(newMdiChild_);
                PostMessageA(wnd_, kMsgRepaintFrame, 0, 0);
                newMdiChild_ = nullptr;
            }
            return r;
        }
        case WM_NCDESTROY: {
            const LRESULT r = next(msg, wParam, lParam);
            mdiClientProc_.reset();
            return r;
        }
        default:
            return next(msg, wParam, lParam);
    }
}

void TSkinForm::MdiChildCommand(UINT command) {
    if (windowKind_ != kKindMdiParent || mdiClient_ == nullptr) return;
    auto child = reinterpret_cast<HWND>(SendMessageA(mdiClient_, WM_MDIGETACTIVE, 0, 0));
    if (child != nullptr) SendMessageA(child, WM_SYSCOMMAND, command, 0);
    TSkinManage& manage = SkinManage();
    if (manage.mdiMaximized && !IsMdiChildMaximized()) manage.SetMDIMaximized(false);
    PostMessageA(wnd_, kMsgRepaintFrame, 0, 0);
}

void TSkinForm::SetMdiMaximizedLook(bool on) {
    if (windowKind_ != kKindMdiChild || !Attached()) return;
    if (on) {
        if (region_) DropRegion();
        SetFrameStyles(true);
        ApplyFrameChange();
        return;
    }
    if (windowState_ == kStateMaximised && IsZoomed(wnd_)) return;
    windowState_ = IsIconic(wnd_) ? kStateMinimised : kStateNormal;
    SetFrameStyles(false);
    BuildRegion();
    if (!region_) ApplyFrameChange();
}

}  // namespace skin
