// The one way to hook a window's messages: a chain of handlers owned by RAII objects, for a raw
// window's procedure (WindowSubclass) and for a control's WindowProc (WindowProcHook). Hooks
// may be removed in any order without breaking the chain; the last one gone puts the original
// back only while the chain is still the one in place, else a pass-through stays.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "forms/messages.h"

namespace forms {

class TControl;

// Calls the handler below in the chain (or the original procedure).
using SubclassNext = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;
using SubclassHandler = std::function<LRESULT(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, const SubclassNext& next)>;

// Replaces the window's procedure with the pointer-sized call of the window's own character
// set (a wide window stays wide); the previous procedure is called through CallWindowProc of
// the same set, and the chain is found through a window property.
class WindowSubclass {
public:
    WindowSubclass(HWND wnd, SubclassHandler handler);
    ~WindowSubclass();
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    // False once removed or once the window has gone.
    bool Attached() const;
    // Takes the handler out of the chain now (the destructor does it otherwise).
    void Remove();
    HWND Window() const { return wnd_; }
    // The window is wide: message texts in this chain are wide.
    bool Unicode() const { return unicode_; }

    struct Chain;
    struct Node;

private:
    HWND wnd_;
    bool unicode_;
    std::shared_ptr<Node> node_;
    std::weak_ptr<Chain> chain_;
};

// The same for a control's replaceable WindowProc: the handler gets the message and the
// WindowProc below it. A control being destroyed keeps whatever it has.
class WindowProcHook {
public:
    using Next = std::function<void(TMessage&)>;
    using Handler = std::function<void(TMessage& message, const Next& next)>;
    WindowProcHook(TControl& control, Handler handler);
    ~WindowProcHook();
    WindowProcHook(const WindowProcHook&) = delete;
    WindowProcHook& operator=(const WindowProcHook&) = delete;
    void Remove();
    bool Attached() const { return static_cast<bool>(node_); }

    struct Chain;
    struct Node;

private:
    TControl* control_;
    std::shared_ptr<Node> node_;
};

}  // namespace forms
