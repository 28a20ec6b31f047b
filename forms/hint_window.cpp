#include "forms/hint_window.h"

#include "forms/application.h"
#include "forms/graphics.h"
#include "forms/guard.h"
#include "forms/messages.h"
#include "forms/system_error.h"
#include "forms/win_control.h"

#include <algorithm>
#include <memory>

namespace forms {
namespace {

constexpr char kHintWindowClass[] = "THintWindow";
constexpr int kTextMargin = 2;
// How often a shown hint checks that the mouse is still on its control.
constexpr UINT kWatchMs = 100;

void RegisterHintClass(WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kHintWindowClass;
    RegisterClassExA(&wc);
}

// The font the system gives tool tips.
HFONT MakeHintFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    return CreateFontIndirectA(&metrics.lfStatusFont);
}

RECT WorkAreaAt(POINT p) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool IsOurWindowShowing(TControl* control) {
    if (!control->Showing()) return false;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    TWinControl* holder = windowed != nullptr ? windowed : control->Parent();
    return holder != nullptr && holder->HandleAllocated() && IsWindowVisible(holder->WindowHandle());
}

}  // namespace

THintWindow::THintWindow() : font_(MakeHintFont()) {
    RegisterHintClass(&Proc);
    wnd_.reset(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kHintWindowClass, "",
                               WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!wnd_) RaiseLastOSError();
    SetWindowLongPtrA(wnd_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void THintWindow::ActivateHint(const THintInfo& info) {
    text_ = info.HintStr;
    color_ = info.HintColor;
    SetWindowTextA(wnd_.get(), text_.c_str());
    // The text's size, wrapped at the widest a hint may be.
    RECT text{0, 0, info.HintMaxWidth > 0 ? info.HintMaxWidth : GetSystemMetrics(SM_CXSCREEN), 0};
    {
        WindowDC dc(wnd_.get());
        HGDIOBJ old = SelectObject(dc.get(), font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc.get(), text_.c_str(), static_cast<int>(text_.size()), &text,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc.get(), old);
    }
    RECT frame{0, 0, text.right + 2 * kTextMargin, text.bottom + 2 * kTextMargin};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Kept on the screen: pushed left at its right edge, put above the mouse at its bottom.
    const RECT work = WorkAreaAt(info.HintPos);
    int x = std::max(static_cast<int>(work.left), std::min(static_cast<int>(info.HintPos.x), static_cast<int>(work.right) - width));
    int y = info.HintPos.y;
    if (y + height > work.bottom) y = std::max(static_cast<int>(work.top), static_cast<int>(info.CursorPos.y) - height);
    SetWindowPos(wnd_.get(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(wnd_.get(), nullptr, TRUE);
    UpdateWindow(wnd_.get());
}

void THintWindow::ReleaseHint() {
    if (Showing()) ShowWindow(wnd_.get(), SW_HIDE);
}

bool THintWindow::Showing() const { return wnd_ && IsWindowVisible(wnd_.get()); }

void THintWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd_.get(), &ps);
    RECT r{};
    GetClientRect(wnd_.get(), &r);
    UniqueBrush back(CreateSolidBrush(ColorToRGB(color_)));
    FillRect(dc, &r, back.get());
    InflateRect(&r, -kTextMargin, -kTextMargin);
    HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(clInfoText));
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(wnd_.get(), &ps);
}

LRESULT CALLBACK THintWindow::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<THintWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self != nullptr) {
        switch (msg) {
            case WM_PAINT: self->Paint(); return 0;
            case WM_ERASEBKGND: return 1;  // the paint fills every pixel
            case WM_NCHITTEST: return HTTRANSPARENT;
            case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
            case WM_TIMER:
                if (self->OnTimer) Guarded([&] { self->OnTimer(wParam); });
                return 0;
            default: break;
        }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

TControl* HintControlOf(TControl* control) {
    while (control != nullptr && !control->ShowHint()) control = control->Parent();
    return control;
}

std::string HintTextOf(TControl* hintControl) {
    for (TControl* c = hintControl; c != nullptr; c = c->Parent())
        if (!c->Hint().empty()) return c->Hint();
    return {};
}

THintWindow& THintController::EnsureWindow() {
    if (!window_) {
        window_ = std::make_unique<THintWindow>();
        window_->OnTimer = [this](UINT_PTR id) { OnTimer(id); };
    }
    return *window_;
}

void THintController::MouseAt(TControl* control) {
    if (control == underMouse_) return;
    underMouse_ = control;
    cancelled_ = false;
    Hide();
    if (window_) KillTimer(window_->Handle(), kPauseTimer);
    if (Application == nullptr || !Application->ShowHint()) return;
    TControl* hintControl = HintControlOf(control);
    if (hintControl == nullptr || HintTextOf(hintControl).empty()) return;
    SetTimer(EnsureWindow().Handle(), kPauseTimer, static_cast<UINT>(std::max(1, Application->HintPause())), nullptr);
}

void THintController::Cancel() {
    cancelled_ = true;
    if (window_) KillTimer(window_->Handle(), kPauseTimer);
    Hide();
}

void THintController::ControlDestroyed(TControl* control) {
    if (control == nullptr) return;
    if (underMouse_ == control) {
        underMouse_ = nullptr;
        if (window_) KillTimer(window_->Handle(), kPauseTimer);
    }
    if (shownFor_ == control) Hide();
}

void THintController::OnTimer(UINT_PTR id) {
    if (id == kPauseTimer) PauseElapsed();
    else if (id == kWatchTimer) Watch();
}

void THintController::PauseElapsed() {
    KillTimer(window_->Handle(), kPauseTimer);
    if (cancelled_ || underMouse_ == nullptr || Application == nullptr) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    // Rested: still on the control the pause began on.
    if (Application->FindControlAtPos(cursor) != underMouse_) return;
    TControl* hintControl = HintControlOf(underMouse_);
    if (hintControl == nullptr || !IsOurWindowShowing(hintControl)) return;
    THintInfo info;
    info.HintControl = hintControl;
    info.CursorPos = cursor;
    info.HintPos = POINT{cursor.x, cursor.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3};
    info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    info.HintColor = Application->HintColor();
    info.CursorRect = hintControl->ClientRect();
    info.HintStr = HintTextOf(hintControl);
    if (hintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) return;
    const POINT topLeft = hintControl->ClientToScreen(POINT{info.CursorRect.left, info.CursorRect.top});
    const POINT bottomRight = hintControl->ClientToScreen(POINT{info.CursorRect.right, info.CursorRect.bottom});
    shownArea_ = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    shownFor_ = hintControl;
    window_->ActivateHint(info);
    SetTimer(window_->Handle(), kWatchTimer, kWatchMs, nullptr);
}

void THintController::Watch() {
    POINT cursor{};
    GetCursorPos(&cursor);
    // Mouse moves stop coming once the mouse is over another program: the watch sees it.
    if (shownFor_ == nullptr || !PtInRect(&shownArea_, cursor) || !IsOurWindowShowing(shownFor_)) {
        Hide();
        underMouse_ = nullptr;  // resting on the control again shows the hint again
    }
}

void THintController::Hide() {
    shownFor_ = nullptr;
    if (!window_) return;
    KillTimer(window_->Handle(), kWatchTimer);
    window_->ReleaseHint();
}

}  // namespace forms
