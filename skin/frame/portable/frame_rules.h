// The rules a form skin decides its frame by, as pure functions of a small state record: the
// frame kind of a window, its frame flags, which system buttons show and where they sit.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "skin/portable/skin_slicing.h"

namespace skin {

// Window style bits the rules read (the platform's values).
namespace style_bits {
constexpr std::uint32_t kChild = 0x40000000, kPopup = 0x80000000, kCaption = 0xC00000, kSysMenu = 0x80000,
                        kThickFrame = 0x40000, kMinimizeBox = 0x20000, kMaximizeBox = 0x10000, kModalFrame = 0x80;
constexpr std::uint32_t kExDlgModalFrame = 0x1, kExMdiChild = 0x40, kExLeftScrollBar = 0x4000;
}  // namespace style_bits

enum FrameKind : int { kFrameSizable = 0, kFrameFixed = 1, kFramePopup = 2, kFrameDialog = 3 };

// Frame flags.
constexpr int kHasMaximizeBox = 1, kHasMinimizeBox = 2, kHasSystemMenu = 8, kCaptionRemoved = 0x10;

struct FrameClass {
    FrameKind kind = kFrameFixed;
    bool systemDialog = false;
};
// From the style, the extended style and the class name: a popup without the whole caption
// is kind 2, a thick frame 0, a modal frame (style or extended style) 3; the system dialog
// classes are always kind 3.
FrameClass ClassifyFrame(std::uint32_t style, std::uint32_t exStyle, const std::string& className);
// Maximise, minimise and system-menu flags of a style (hasSystemMenu: the window has one).
int FrameFlagsOf(std::uint32_t style, bool hasSystemMenu);

// What a system button's visibility depends on.
struct SysButtonState {
    int frameKind = kFrameSizable;
    int frameFlags = 0;
    bool maximised = false;
    bool active = true;
    bool systemDialog = false;
    bool mdiParentWithMaximisedChild = false;
    bool hasMenuBar = false;
    // The window's answer to the visibility query for a button index (codes 1000 to 2000).
    std::function<int(int index)> query;
};
struct SysButtonSpec {
    int Action = 0, Align = 0, Xcoord = 0, Ycoord = 0, Visibility = 0, Visibility1 = 0;
};
// Both visibility codes ANDed, then the action rules: maximise and minimise need their boxes,
// close and the icon and system-menu buttons need a system menu, and the icon buttons never
// show on a dialog frame.
bool IsSysButtonVisible(const SysButtonSpec& button, int index, const SysButtonState& state);

// Where the layout places a button.
struct SysButtonPlace {
    int windowWidth = 0;
    int leftBorder = 0;
    int rightBorder = 0;
    int topBorder = 0;
    int menuHeight = 0;
    int menuBarLeftMargin = 0;  // of the menu-bar element, 0 without one
    bool rightToLeft = false;
    SkinRect captionText;       // where the caption text was drawn
};
// The button's rectangle in frame coordinates for an image of width × height (one frame).
SkinRect LayoutSysButton(const SysButtonSpec& button, int width, int height, const SysButtonPlace& place);

}  // namespace skin
