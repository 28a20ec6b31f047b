#include "forms/frame_fit.h"

#include <cstdint>

namespace forms {
namespace {

// A window property, so the mark lives with the window whoever's code holds it.
constexpr const char* kFittingProperty = "VantrellFittingFrame";

std::intptr_t Depth(HWND wnd) { return reinterpret_cast<std::intptr_t>(GetPropA(wnd, kFittingProperty)); }

}  // namespace

FrameFitScope::FrameFitScope(HWND wnd) : wnd_(wnd) {
    if (wnd_ != nullptr) SetPropA(wnd_, kFittingProperty, reinterpret_cast<HANDLE>(Depth(wnd_) + 1));
}

FrameFitScope::~FrameFitScope() {
    if (wnd_ == nullptr || !IsWindow(wnd_)) return;
    const std::intptr_t depth = Depth(wnd_) - 1;
    if (depth > 0) SetPropA(wnd_, kFittingProperty, reinterpret_cast<HANDLE>(depth));
    else RemovePropA(wnd_, kFittingProperty);
}

bool IsFittingFrame(HWND wnd) { return wnd != nullptr && Depth(wnd) > 0; }

}  // namespace forms
