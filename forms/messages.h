// The message record every control handles, and the library's own notification messages.
#pragma once
#include <windows.h>

namespace forms {

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Control notifications: real messages, sent (or performed) through a control's WindowProc.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;          // WParam char, LParam key data; Result 1 = taken
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;        // LParam TControl* (the new focus)
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;             // LParam x | y << 16 (client); Result 0 = miss
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;      // WParam new Visible
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;          // LParam TControl* entered
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;          // LParam TControl* left
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;   // WParam TControl*, LParam inserting; before insert, after removal
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;            // LParam THintInfo*; Result non-zero = no hint
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;       // WParam TControl*, LParam inserting; after insert, before removal

// The library's own notifications, well away from the ones above.
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x200;          // WParam virtual key, LParam key data; Result 1 = taken
constexpr UINT CM_ENTER = CM_BASE + 0x201;
constexpr UINT CM_RELEASE = CM_BASE + 0x202;            // posted by TForm::Release
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x203;     // WParam virtual key; Result 1 = the control keeps it
constexpr UINT CM_PARENTENABLEDCHANGED = CM_BASE + 0x204;
constexpr UINT CM_INVOKEHANDLER = CM_BASE + 0x205;      // internal: runs a queued callable
constexpr UINT CM_CHILDHANDLECREATED = CM_BASE + 0x206; // to the parent; WParam TWinControl* whose window was just made
constexpr UINT CM_WINDOWGIVENBACK = CM_BASE + 0x207;    // to a control whose window GiveBackHandle destroyed (it stays)

// Reflected notifications: WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR* ... sent back to
// the child control that caused them as CN_BASE + the message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
// Keys, sent to the focused control by the application before translation; Result 1 = handled.
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

// Packs a client point as CM_HITTEST carries it (two signed 16-bit halves).
inline LPARAM PointToHitTestParam(int x, int y) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}
inline POINT HitTestParamToPoint(LPARAM lp) {
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

}  // namespace forms
