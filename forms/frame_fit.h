// A window's frame fitted by the program itself (a skin putting on or taking off its frame)
// changes the outer size while the content stays: such a change is not the user's resize.
// Whoever fits holds a FrameFitScope around the change; whoever reacts to resizes asks
// IsFittingFrame while handling it.
#pragma once
#include <windows.h>

namespace forms {

class FrameFitScope {
public:
    explicit FrameFitScope(HWND wnd);
    ~FrameFitScope();
    FrameFitScope(const FrameFitScope&) = delete;
    FrameFitScope& operator=(const FrameFitScope&) = delete;

private:
    HWND wnd_;
};

// True while a FrameFitScope of the window is open (scopes nest).
bool IsFittingFrame(HWND wnd);

}  // namespace forms
