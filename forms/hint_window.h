// Hints: a control's Hint shown in a small pop-up once the mouse has rested on the control
// for the application's HintPause. The control shown is the first, from the one under the
// mouse outwards, whose ShowHint is on (ParentShowHint carries a parent's); its text is the
// first Hint met from there outwards. CM_HINTSHOW goes to that control first, which may
// change the text, the place and the colour, or refuse the hint. Moving off the control, a
// click or a key hides it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "forms/control.h"
#include "forms/gdi_handle.h"

namespace forms {

// The pop-up that shows one hint: the text on the hint colour in a thin frame. It is never
// activated and lets the mouse through to what lies under it.
class THintWindow {
public:
    THintWindow();
    THintWindow(const THintWindow&) = delete;
    THintWindow& operator=(const THintWindow&) = delete;

    // Shows info.HintStr at info.HintPos (kept on the screen) in info.HintColor.
    void ActivateHint(const THintInfo& info);
    void ReleaseHint();
    bool Showing() const;
    HWND Handle() const { return wnd_.get(); }
    const std::string& Text() const { return text_; }
    TColor Color() const { return color_; }

    // The window's timers (the hint's pause and its watch) arrive here.
    std::function<void(UINT_PTR id)> OnTimer;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint();

    UniqueWindow wnd_;
    UniqueFont font_;
    std::string text_;
    TColor color_ = clInfoBk;
};

class THintController {
public:
    THintController() = default;
    THintController(const THintController&) = delete;
    THintController& operator=(const THintController&) = delete;

    // From the application's mouse tracking: the innermost control under the mouse (nullptr
    // when none of ours), at every mouse move and when the queue is idle.
    void MouseAt(TControl* control);
    // A click or a key: the hint goes, and comes again only when the mouse rests on another
    // control.
    void Cancel();
    void ControlDestroyed(TControl* control);
    // nullptr until a hint was first asked for.
    const THintWindow* Window() const { return window_.get(); }

private:
    enum TimerId : UINT_PTR { kPauseTimer = 1, kWatchTimer = 2 };
    THintWindow& EnsureWindow();
    void OnTimer(UINT_PTR id);
    void PauseElapsed();
    void Watch();
    void Hide();

    std::unique_ptr<THintWindow> window_;
    TControl* underMouse_ = nullptr;
    TControl* shownFor_ = nullptr;   // the control whose hint shows
    RECT shownArea_{};               // its cursor rectangle, on the screen
    bool cancelled_ = false;
};

// The control whose hint shows for the control under the mouse (nullptr: none), and its text.
TControl* HintControlOf(TControl* control);
std::string HintTextOf(TControl* hintControl);

}  // namespace forms
