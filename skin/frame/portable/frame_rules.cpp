#include "skin/frame/portable/frame_rules.h"

namespace skin {

using namespace style_bits;

FrameClass ClassifyFrame(std::uint32_t style, std::uint32_t exStyle, const std::string& className) {
    FrameClass c;
    c.kind = kFrameFixed;
    if ((style & kPopup) != 0 && (style & kCaption) != kCaption) c.kind = kFramePopup;
    else if ((style & kThickFrame) != 0) c.kind = kFrameSizable;
    else if ((style & kModalFrame) != 0) c.kind = kFrameDialog;
    if ((exStyle & kExDlgModalFrame) != 0) c.kind = kFrameDialog;
    if (className == "#32770" || className == "TMessageForm") {
        c.kind = kFrameDialog;
        c.systemDialog = true;
    }
    return c;
}

int FrameFlagsOf(std::uint32_t style, bool hasSystemMenu) {
    int flags = 0;
    if ((style & kSysMenu) != 0 || hasSystemMenu) flags |= kHasSystemMenu;
    if ((style & kMinimizeBox) != 0) flags |= kHasMinimizeBox;
    if ((style & kMaximizeBox) != 0) flags |= kHasMaximizeBox;
    return flags;
}

namespace {

// One visibility code; second: the code is the button's Visibility1, first is Visibility's.
bool Code(int code, bool second, bool first, const SysButtonSpec& b, int index, const SysButtonState& s) {
    const bool sysMenu = (s.frameFlags & kHasSystemMenu) != 0;
    const bool maxBox = (s.frameFlags & kHasMaximizeBox) != 0;
    const bool minBox = (s.frameFlags & kHasMinimizeBox) != 0;
    switch (code) {
        case 0: return second || b.Action != 0 || sysMenu;
        case 1: return s.maximised;
        case 2: return !s.maximised;
        case 3: return s.active;
        case 4: return !s.active;
        case 6: return second ? maxBox : maxBox && sysMenu;
        case 7: return !maxBox;
        case 8: return second ? minBox : minBox && sysMenu;
        case 9: return !minBox;
        case 100: return second ? first : s.mdiParentWithMaximisedChild && s.hasMenuBar;
        case 200: return !s.systemDialog && s.frameKind == kFrameDialog;
        default: break;
    }
    if (code >= 201 && code <= 999) return true;
    if (code >= 1000 && code <= 2000) return second || (s.query && s.query(index) > 0);
    return false;
}

}  // namespace

bool IsSysButtonVisible(const SysButtonSpec& b, int index, const SysButtonState& s) {
    const bool first = Code(b.Visibility, false, false, b, index, s);
    bool visible = first && Code(b.Visibility1, true, first, b, index, s);
    const bool sysMenu = (s.frameFlags & kHasSystemMenu) != 0;
    switch (b.Action) {
        // Close needs a system menu whatever the code says: a window without one has no
        // close box, and a click would end it in the middle of its work.
        case 0: visible = visible && sysMenu; break;
        case 1: visible = visible && (s.frameFlags & kHasMaximizeBox) != 0; break;
        case 2: visible = visible && (s.frameFlags & kHasMinimizeBox) != 0; break;
        case 3: case 11: case 12: visible = visible && sysMenu && s.frameKind != kFrameDialog; break;
        default: break;
    }
    return visible;
}

SkinRect LayoutSysButton(const SysButtonSpec& b, int width, int height, const SysButtonPlace& p) {
    int left = 0, top = b.Ycoord;
    switch (b.Align) {
        case 0: left = b.Xcoord; break;
        case 1: left = p.windowWidth - b.Xcoord; break;
        case 2: case 8: left = p.captionText.left - width - b.Xcoord; break;
        case 3: case 9: left = p.captionText.right + b.Xcoord; break;
        case 100:
            left = p.rightToLeft ? p.leftBorder + b.Xcoord + p.menuBarLeftMargin
                                 : p.windowWidth - b.Xcoord - p.rightBorder - p.menuBarLeftMargin;
            top = p.topBorder + (p.menuHeight - height) / 2;
            break;
        default: left = b.Xcoord; break;
    }
    return SkinRect{left, top, left + width, top + height};
}

}  // namespace skin
