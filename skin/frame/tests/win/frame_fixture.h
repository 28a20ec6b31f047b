// What the frame tests share: the probe skin (flat colours per frame), forms of each kind
// attached to a form skin, waits that pump messages, and pixels read back from the window.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/form.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/skin_data.h"
#include "skins/probe_colours.h"

namespace skin::frame_tests {

// Handles messages until done() or the deadline; false on time-out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        if (!forms::Application->ProcessMessage()) Sleep(1);
    }
    return true;
}

// Runs the messages queued now.
inline void Settle() {
    for (int i = 0; i < 3; ++i) forms::Application->ProcessMessages();
}

inline std::unique_ptr<TSkinData> LoadSkin(const std::string& stem) {
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SetSkinFile(std::string(SKIN_ARTIFACTS_WIN) + "/skin-" + stem + ".skin");
    EXPECT_FALSE(data->NoSkin()) << stem;
    return data;
}

inline TSkinData& Probe() {
    static std::unique_ptr<TSkinData> probe = LoadSkin("probe");
    return *probe;
}

// A pixel of the window as the screen shows it, 0xRRGGBB, in window coordinates.
inline std::uint32_t WindowPixel(HWND wnd, int x, int y) {
    HDC dc = GetWindowDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

inline std::uint32_t ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

inline RECT WindowRect(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

inline SIZE ClientSize(HWND wnd) {
    RECT r{};
    GetClientRect(wnd, &r);
    return SIZE{r.right, r.bottom};
}

inline bool SameSize(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

// Attaches a form skin to a form's window the way the coordinator will, and waits until the
// window is fitted.
inline TSkinForm* AttachTo(forms::TForm& form, TSkinData& data) {
    auto* skin = new TSkinForm(&form);
    skin->AttachForm(&data, &form);
    PostMessageA(form.Handle(), kMsgAttachControls, 0, 1000);
    EXPECT_TRUE(PumpUntil([&] { return skin->Phase() == kPhaseReady; }));
    Settle();
    return skin;
}

// The same for a raw window (no form object): the form skin belongs to the caller.
inline std::unique_ptr<TSkinForm> AttachToWindow(HWND wnd, TSkinData& data) {
    auto skin = std::make_unique<TSkinForm>(nullptr);
    skin->SetWindow(wnd);
    skin->InitSkin(&data);
    PostMessageA(wnd, kMsgAttachControls, 0, 1000);
    EXPECT_TRUE(PumpUntil([&] { return skin->Phase() == kPhaseReady; }));
    Settle();
    return skin;
}

// Repaints the frame now and waits for the paint to land.
inline void RedrawFrame(HWND wnd) {
    SendMessageA(wnd, kMsgRepaintFrame, 0, 0);
    GdiFlush();
}

// Frame coordinates of a system button's centre, and the same on screen.
inline POINT ButtonCentre(const TWinSysButton& b) {
    return POINT{(b.rect.left + b.rect.right) / 2, (b.rect.top + b.rect.bottom) / 2};
}
inline POINT OnScreen(HWND wnd, POINT frame) {
    const RECT r = WindowRect(wnd);
    return POINT{r.left + frame.x, r.top + frame.y};
}

inline const TWinSysButton* ButtonByAction(const TSkinForm& skin, int action) {
    for (const auto& b : skin.SysButtons())
        if (b->element->Action == action) return b.get();
    return nullptr;
}

// A dialog template in memory: a raw "#32770" with one button, made without a form object.
inline std::vector<WORD> DialogTemplate(const wchar_t* caption) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2, 0);
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(t.data());
    dlg->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    dlg->cdit = 1;
    dlg->x = 10;
    dlg->y = 10;
    dlg->cx = 60;
    dlg->cy = 40;
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard class
    for (const wchar_t* p = caption; *p; ++p) t.push_back(*p);
    t.push_back(0);
    while (t.size() % 2 != 0) t.push_back(0);  // DWORD alignment of the item
    const size_t at = t.size();
    t.resize(at + sizeof(DLGITEMTEMPLATE) / 2, 0);
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(t.data() + at);
    item->style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    item->x = 5;
    item->y = 5;
    item->cx = 30;
    item->cy = 14;
    item->id = IDOK;
    t.push_back(0xFFFF);
    t.push_back(0x0080);  // button
    for (const wchar_t* p = L"OK"; *p; ++p) t.push_back(*p);
    t.push_back(0);
    t.push_back(0);  // no creation data
    return t;
}

inline INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

}  // namespace skin::frame_tests
