// Puts a procedure of ours in front of a raw window's own (GWLP_WNDPROC) and hands messages on
// to the one it replaced. A Unicode window is subclassed and called on with the wide calls, any
// other window with the narrow ones, so text passes through in the character set it came in.
#pragma once
#include <windows.h>

#include <functional>

namespace forms {

class TWindowSubclass {
public:
    // Runs for every message while installed; it may delete this object.
    using Handler = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

    TWindowSubclass() = default;
    ~TWindowSubclass() { Restore(); }
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    // Installs in front of wnd's procedure; false (and nothing installed) when wnd is no window
    // or this object is already installed.
    bool Install(HWND wnd, Handler handler);
    // Puts the replaced procedure back when ours is still the window's. When a later subclasser
    // has put its own in front, its chain keeps working: ours then only passes messages on.
    void Restore();

    bool Installed() const { return hop_ != nullptr; }
    HWND Window() const { return wnd_; }
    bool Unicode() const { return unicode_; }
    // The replaced procedure's answer, called with the character set it was installed with.
    LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) const;

    // The window's current procedure (wide or narrow by the window's kind).
    static WNDPROC CurrentProc(HWND wnd);

private:
    struct Hop;
    static LRESULT CALLBACK HopProc(Hop* hop, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND wnd_ = nullptr;
    bool unicode_ = false;
    Hop* hop_ = nullptr;
    Handler handler_;
};

}  // namespace forms
