#include <algorithm>
#include <vector>

#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

using forms::TForm;

// One window of the table: how it is made, and what the frame must then look like.
struct WindowCase {
    const char* what;
    forms::TFormBorderStyle border;
    forms::TBorderIcons icons;
    bool owned;
    bool stayOnTop;
    int frameKind;
    bool keepsCaption;             // owned windows keep WS_CAPTION
    std::vector<int> buttons;      // actions of the caption buttons shown
};

const WindowCase kWindows[] = {
    {"sizable unowned (the main window)", forms::bsSizeable, forms::biSystemMenu | forms::biMinimize | forms::biMaximize, false,
     false, kFrameSizable, false, {0, 1, 2}},
    {"fixed owned without title-bar buttons (processing)", forms::bsDialog, 0, true, false, kFrameDialog, true, {}},
    {"fixed without a system menu, on top (the burn window)", forms::bsSingle, forms::biMinimize, false, true, kFrameFixed,
     false, {}},
    {"dialog frame with a system menu", forms::bsDialog, forms::biSystemMenu, false, false, kFrameDialog, false, {0}},
    {"popup without caption", forms::bsNone, 0, false, false, kFramePopup, false, {}},
};

struct Made {
    std::unique_ptr<TForm> owner;
    TForm* form = nullptr;
    std::unique_ptr<TForm> unowned;
};

Made Make(const WindowCase& c) {
    Made m;
    if (c.owned) {
        m.owner = std::make_unique<TForm>(nullptr);
        m.owner->SetBounds(40, 40, 500, 400);
        m.owner->Show();
        m.form = new TForm(m.owner.get());
    } else {
        m.unowned = std::make_unique<TForm>(nullptr);
        m.form = m.unowned.get();
    }
    m.form->SetBorderStyle(c.border);
    m.form->SetBorderIcons(c.icons);
    if (c.stayOnTop) m.form->SetFormStyle(forms::fsStayOnTop);
    m.form->SetText("Frames");
    m.form->SetBounds(120, 100, 360, 240);
    m.form->Show();
    Settle();
    return m;
}

TEST(FrameWindows, EachKindOfWindowGetsTheFrameItsKindAllows) {
    ASSERT_EQ(FramePaintErrors(), 0);
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.what);
        Made m = Make(c);
        HWND wnd = m.form->Handle();
        const SIZE client = ClientSize(wnd);
        const auto styleBefore = static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE));
        TSkinForm* skin = AttachTo(*m.form, Probe());
        EXPECT_EQ(skin->FrameKind(), c.frameKind);
        EXPECT_EQ(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 1);
        EXPECT_TRUE(SameSize(ClientSize(wnd), client)) << ClientSize(wnd).cx << "x" << ClientSize(wnd).cy;
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE));
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, c.keepsCaption && (styleBefore & WS_CAPTION) == WS_CAPTION);
        // An owned window keeps its caption and loses its boxes; others lose the caption only.
        const DWORD boxes = WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        EXPECT_EQ(style & boxes, c.owned ? 0u : styleBefore & boxes);
        if (c.frameKind == kFramePopup) {
            m.unowned.reset();
            m.owner.reset();
            continue;
        }
        const RECT borders = skin->Borders();
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        const RECT window = WindowRect(wnd);
        EXPECT_EQ(origin.x - window.left, borders.left);
        EXPECT_EQ(origin.y - window.top, borders.top);

        RedrawFrame(wnd);
        const int w = window.right - window.left, h = window.bottom - window.top;
        EXPECT_EQ(WindowPixel(wnd, borders.left / 2, h / 2), probe::k_left[0]);
        EXPECT_EQ(WindowPixel(wnd, w - borders.right / 2 - 1, h / 2), probe::k_right[0]);
        EXPECT_EQ(WindowPixel(wnd, w / 2, h - borders.bottom / 2 - 1), probe::k_bottom[0]);
        EXPECT_EQ(WindowPixel(wnd, w / 2, 1), probe::k_top[0]);

        std::vector<int> shown;
        for (const auto& b : skin->SysButtons()) {
            if (b->element->Align == 100) continue;
            const POINT centre = ButtonCentre(*b);
            if (b->visible) {
                shown.push_back(b->element->Action);
                const std::uint32_t* colours = b->element->Action == 0 ? probe::k_close : b->element->Action == 1 ? probe::k_max : probe::k_min;
                EXPECT_EQ(WindowPixel(wnd, centre.x, centre.y), colours[0]) << "action " << b->element->Action;
            }
        }
        EXPECT_EQ(shown, c.buttons);
        // Where a hidden close button would sit, the title shows.
        if (std::find(c.buttons.begin(), c.buttons.end(), 0) == c.buttons.end())
            EXPECT_EQ(WindowPixel(wnd, w - 24 + 9, 4 + 9), probe::k_top[0]);
        m.unowned.reset();
        m.owner.reset();
        Settle();
    }
    EXPECT_EQ(FramePaintErrors(), 0);
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

// A dialog template in memory: a raw "#32770" with one button, made without a form object.
std::vector<WORD> DialogTemplate(const wchar_t* caption) {
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

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST(FrameWindows, ARawDialogWithALongCaptionIsWidenedAndItsChildrenMoveRight) {
    const std::wstring caption = L"A dialog caption far too long for so small a dialog window";
    std::vector<WORD> t = DialogTemplate(caption.c_str());
    HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
                                          PlainDialog, 0);
    ASSERT_NE(dlg, nullptr);
    Settle();
    HWND button = GetDlgItem(dlg, IDOK);
    RECT buttonBefore{};
    GetWindowRect(button, &buttonBefore);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&buttonBefore), 2);
    const SIZE client = ClientSize(dlg);
    {
        auto skin = AttachToWindow(dlg, Probe());
        EXPECT_EQ(skin->FrameKind(), kFrameDialog);
        EXPECT_EQ(SendMessageW(dlg, kMsgSkinnedQuery, 0, 0), 1);
        const SIZE now = ClientSize(dlg);
        EXPECT_EQ(now.cy, client.cy);
        ASSERT_GT(now.cx, client.cx) << "the caption did not widen the dialog";
        RECT buttonAfter{};
        GetWindowRect(button, &buttonAfter);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&buttonAfter), 2);
        EXPECT_EQ(buttonAfter.left - buttonBefore.left, (now.cx - client.cx) / 2);
        EXPECT_EQ(buttonAfter.top, buttonBefore.top);
        // The icon and system-menu buttons never show on a dialog frame; close does.
        for (const auto& b : skin->SysButtons()) {
            const int action = b->element->Action;
            if (action == 3 || action == 11 || action == 12) EXPECT_FALSE(b->visible);
            if (action == 0) EXPECT_TRUE(b->visible);
        }
        DestroyWindow(dlg);
        EXPECT_EQ(skin->Phase(), kPhaseDestroyed);
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

// A message box inside its own modal loop: skinned when it activates, checked and closed from
// a timer of the loop.
struct BoxRun {
    HWND box = nullptr;
    std::unique_ptr<TSkinForm> skin;
    SIZE clientBefore{}, clientAfter{};
    LRESULT skinned = 0;
    bool checked = false;
    std::uint32_t leftPixel = 0;
    int leftWidth = 0;
};
BoxRun* boxRun = nullptr;
HHOOK boxHook = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && boxRun != nullptr && boxRun->box == nullptr) {
        char name[32] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (std::string(name) == "#32770") boxRun->box = reinterpret_cast<HWND>(wParam);
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

void CALLBACK BoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
    BoxRun& run = *boxRun;
    if (run.box == nullptr || !IsWindowVisible(run.box)) return;
    if (!run.skin) {
        run.clientBefore = ClientSize(run.box);
        run.skin = std::make_unique<TSkinForm>(nullptr);
        run.skin->SetWindow(run.box);
        run.skin->InitSkin(&Probe());
        PostMessageA(run.box, kMsgAttachControls, 0, 1000);
        return;
    }
    if (run.skin->Phase() != kPhaseReady) return;
    run.clientAfter = ClientSize(run.box);
    run.skinned = SendMessageA(run.box, kMsgSkinnedQuery, 0, 0);
    SendMessageA(run.box, kMsgRepaintFrame, 0, 0);
    run.leftWidth = run.skin->Borders().left;
    run.leftPixel = WindowPixel(run.box, run.leftWidth / 2, (WindowRect(run.box).bottom - WindowRect(run.box).top) / 2);
    run.checked = true;
    KillTimer(nullptr, id);
    PostMessageA(run.box, WM_COMMAND, IDOK, 0);
}

TEST(FrameWindows, AMessageBoxInItsOwnModalLoopTakesTheFrame) {
    BoxRun run;
    boxRun = &run;
    boxHook = SetWindowsHookExA(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, BoxTimer);
    const int answer = MessageBoxA(nullptr, "Skinned while it waits", "Message", MB_OK);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(boxHook);
    boxRun = nullptr;
    EXPECT_EQ(answer, IDOK);
    ASSERT_TRUE(run.checked) << "the box was never skinned";
    EXPECT_EQ(run.skinned, 1);
    EXPECT_EQ(run.clientAfter.cy, run.clientBefore.cy);
    EXPECT_GE(run.clientAfter.cx, run.clientBefore.cx);
    EXPECT_EQ(run.leftPixel, probe::k_left[0]);
    EXPECT_EQ(run.skin->Phase(), kPhaseDestroyed) << "the box went without the form skin seeing it";
    run.skin.reset();
    EXPECT_EQ(FramePaintErrors(), 0);
}

}  // namespace
}  // namespace skin::frame_tests
