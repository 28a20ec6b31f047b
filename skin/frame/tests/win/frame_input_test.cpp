// The frame under real input: the mouse through SetCursorPos and SendInput, menus through keys.
#include <functional>
#include <string>
#include <vector>

#include "forms/subclass.h"
#include "skin/controls/control_skin_list.h"
#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

using forms::TForm;

void MouseTo(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    Settle();
}

void Button(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    Settle();
}

// Input steps run one per tick of a thread timer, so that they reach a modal loop (the
// system's move loop) as well as ours; returns when all have run.
struct Steps {
    static inline std::vector<std::function<void()>> list;
    static inline size_t next = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (next < list.size()) list[next++]();
    }
};
void RunSteps(std::vector<std::function<void()>> steps) {
    Steps::list = std::move(steps);
    Steps::next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, Steps::Tick);
    EXPECT_TRUE(PumpUntil([] { return Steps::next == Steps::list.size(); }, 5000));
    KillTimer(nullptr, timer);
    Settle();
}
std::function<void()> MoveStep(POINT p) {
    return [p] {
        SetCursorPos(p.x, p.y);
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &in, sizeof in);
    };
}
std::function<void()> ButtonStep(DWORD flags) {
    return [flags] {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        SendInput(1, &in, sizeof in);
    };
}

void Click(POINT screen) {
    MouseTo(screen);
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
}

// A skinned sizable form whose closing is intercepted and counted.
struct Input : testing::Test {
    std::unique_ptr<TForm> form;
    TSkinForm* skin = nullptr;
    HWND wnd = nullptr;
    int sysCloses = 0, closes = 0;
    std::unique_ptr<forms::WindowSubclass> counter;

    void Make(TSkinData& data = Probe(), forms::TBorderIcons icons = forms::biSystemMenu | forms::biMinimize | forms::biMaximize,
              forms::TFormBorderStyle border = forms::bsSizeable) {
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(border);
        form->SetBorderIcons(icons);
        form->SetText("Input");
        form->SetBounds(150, 120, 400, 300);
        form->Show();
        Settle();
        wnd = form->Handle();
        skin = AttachTo(*form, data);
        counter = std::make_unique<forms::WindowSubclass>(wnd, [this](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) {
            if (msg == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CLOSE) {
                ++sysCloses;
                return LRESULT{0};
            }
            if (msg == WM_CLOSE) {
                ++closes;
                return LRESULT{0};
            }
            return next(msg, w, l);
        });
        SetForegroundWindow(wnd);
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == wnd && skin->Active(); }));
        Settle();
    }
    void TearDown() override {
        MouseTo(POINT{5, 5});
        counter.reset();
        form.reset();
        Settle();
        EXPECT_EQ(FramePaintErrors(), 0);
    }
    POINT ScreenCentre(int action) {
        const TWinSysButton* b = ButtonByAction(*skin, action);
        EXPECT_NE(b, nullptr) << action;
        return b != nullptr ? OnScreen(wnd, ButtonCentre(*b)) : POINT{};
    }
    std::uint32_t Pixel(int action) {
        const TWinSysButton* b = ButtonByAction(*skin, action);
        return WindowPixel(wnd, ButtonCentre(*b).x, ButtonCentre(*b).y);
    }
    POINT Title() {
        const RECT r = WindowRect(wnd);
        return POINT{r.left + 60, r.top + 12};
    }
};

TEST_F(Input, TheCloseButtonHoversPressesAndClosesOnce) {
    Make();
    MouseTo(ScreenCentre(0));
    EXPECT_TRUE(PumpUntil([&] { return Pixel(0) == probe::k_close[2]; })) << "hover";
    const RECT r = WindowRect(wnd);
    MouseTo(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return Pixel(0) == probe::k_close[0]; }, 1000)) << "away within the timer's period";
    MouseTo(ScreenCentre(0));
    Button(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return Pixel(0) == probe::k_close[1]; })) << "pressed";
    EXPECT_EQ(sysCloses, 0);
    // A frame repaint between down and up keeps the press.
    SendMessageA(wnd, kMsgRepaintFrame, 0, 0);
    Button(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return sysCloses > 0; }));
    Settle();
    EXPECT_EQ(sysCloses, 1);
}

TEST_F(Input, PressingOneButtonAndReleasingOnAnotherDoesNothing) {
    Make();
    MouseTo(ScreenCentre(2));
    Button(MOUSEEVENTF_LEFTDOWN);
    MouseTo(ScreenCentre(0));
    Button(MOUSEEVENTF_LEFTUP);
    Settle();
    EXPECT_EQ(sysCloses, 0);
    EXPECT_FALSE(IsIconic(wnd));
}

TEST_F(Input, MaximiseRestoreMinimiseAndTheTitle) {
    Make();
    Click(ScreenCentre(1));
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(wnd) != FALSE; })) << "maximise";
    Settle();
    // A maximised window cannot be dragged by its caption.
    const RECT maxed = WindowRect(wnd);
    const POINT title = Title();
    RunSteps({MoveStep(title), ButtonStep(MOUSEEVENTF_LEFTDOWN), MoveStep(POINT{title.x + 40, title.y + 30}),
              ButtonStep(MOUSEEVENTF_LEFTUP)});
    const RECT afterDrag = WindowRect(wnd);
    EXPECT_TRUE(EqualRect(&maxed, &afterDrag));
    Click(ScreenCentre(1));
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(wnd); })) << "restore";
    Settle();
    // A double click on the title maximises, another restores.
    // A press on the caption enters the system's move loop: the clicks come from a timer.
    const auto doubleClick = [&] {
        RunSteps({MoveStep(Title()), ButtonStep(MOUSEEVENTF_LEFTDOWN), ButtonStep(MOUSEEVENTF_LEFTUP),
                  ButtonStep(MOUSEEVENTF_LEFTDOWN), ButtonStep(MOUSEEVENTF_LEFTUP)});
    };
    Sleep(GetDoubleClickTime() + 50);
    doubleClick();
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(wnd) != FALSE; })) << "double click";
    Settle();
    Sleep(GetDoubleClickTime() + 50);
    doubleClick();
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(wnd); })) << "double click again";
    Settle();
    Click(ScreenCentre(2));
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(wnd) != FALSE; })) << "minimise";
    ShowWindow(wnd, SW_RESTORE);
    Settle();
    EXPECT_EQ(sysCloses, 0);
}

TEST_F(Input, ADoubleClickOnAButtonIsAClickOnIt) {
    Make();
    Click(ScreenCentre(0));
    Click(ScreenCentre(0));
    Settle();
    EXPECT_EQ(sysCloses, 2);
    EXPECT_FALSE(IsZoomed(wnd)) << "the second click toggled maximise";
}

TEST_F(Input, ACaptionDragMovesTheWindowByTheMousesDistance) {
    Make();
    const RECT before = WindowRect(wnd);
    const POINT title = Title();
    RunSteps({MoveStep(title), ButtonStep(MOUSEEVENTF_LEFTDOWN), MoveStep(POINT{title.x + 20, title.y + 10}),
              MoveStep(POINT{title.x + 40, title.y + 30}), ButtonStep(MOUSEEVENTF_LEFTUP)});
    EXPECT_TRUE(PumpUntil([&] { return WindowRect(wnd).left != before.left; }));
    Settle();
    const RECT after = WindowRect(wnd);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
}

// Popup menu windows made on this thread, counted by a hook.
struct MenuWatch {
    static inline int made = 0;
    static inline HWND last = nullptr;
    static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l) {
        if (code == HCBT_CREATEWND) {
            char name[16] = {};
            GetClassNameA(reinterpret_cast<HWND>(w), name, sizeof name);
            if (std::string(name) == "#32768") {
                ++made;
                last = reinterpret_cast<HWND>(w);
            }
        }
        return CallNextHookEx(nullptr, code, w, l);
    }
    HHOOK hook;
    MenuWatch() : hook(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
        made = 0;
        last = nullptr;
    }
    ~MenuWatch() { UnhookWindowsHookEx(hook); }
};

// Works the open menu from a timer of its modal loop: down once (the selected row is read
// back), then up until Close is selected, then Enter.
struct MenuKeys {
    static inline int step = 0;
    static inline bool sawSelected = false;
    static inline std::uint32_t selectedColour = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu == nullptr || !IsWindowVisible(menu)) return;
        const int now = step++;
        if (now == 0) {
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            return;
        }
        if (now == 1 && selectedColour != 0) {
            RECT r{};
            GetClientRect(menu, &r);
            HDC dc = GetDC(menu);
            for (int y = 0; y < r.bottom && !sawSelected; ++y) {
                const COLORREF c = GetPixel(dc, r.right / 2, y);
                sawSelected = (((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)) == selectedColour;
            }
            ReleaseDC(menu, dc);
        }
        // Up until Close is the selected row (the real menu's SC_CLOSE, else the last), then Enter.
        auto hmenu = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        int target = GetMenuItemCount(hmenu) - 1;
        for (int i = 0; i <= target; ++i)
            if (GetMenuItemID(hmenu, i) == SC_CLOSE) target = i;
        if (target >= 0 && (GetMenuState(hmenu, static_cast<UINT>(target), MF_BYPOSITION) & MF_HILITE) != 0) {
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            KillTimer(nullptr, id);
        } else {
            PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
        }
    }
    UINT_PTR timer;
    explicit MenuKeys(std::uint32_t selected) {
        step = 0;
        sawSelected = false;
        selectedColour = selected;
        timer = SetTimer(nullptr, 0, 100, Tick);
    }
    ~MenuKeys() { KillTimer(nullptr, timer); }
};

TEST_F(Input, ARightClickOnTheCaptionOpensOneSkinnedSystemMenuAndCloseActsOnce) {
    Make();
    MenuWatch watch;
    MenuKeys keys(probe::k_menuitem[3]);
    MouseTo(Title());
    Button(MOUSEEVENTF_RIGHTDOWN);
    Button(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(PumpUntil([&] { return closes > 0; }, 5000));
    Settle();
    EXPECT_EQ(MenuWatch::made, 1) << "a second, unskinned menu opened";
    EXPECT_TRUE(MenuKeys::sawSelected) << "the selected row is not drawn from the skin";
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(sysCloses, 0);
}

TEST_F(Input, WithTheSystemMenuSkinOffTheRealMenuActsOnce) {
    auto plain = LoadSkin("probe");
    plain->SkinControls &= ~(1u << xcSystemMenu);
    Make(*plain);
    MenuWatch watch;
    MenuKeys keys(0);
    MouseTo(Title());
    Button(MOUSEEVENTF_RIGHTDOWN);
    Button(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(PumpUntil([&] { return sysCloses > 0; }, 5000));
    Settle();
    EXPECT_EQ(MenuWatch::made, 1);
    EXPECT_EQ(sysCloses, 1);
    EXPECT_EQ(closes, 0);
    form.reset();  // before the skin data it uses
}

TEST_F(Input, AWindowWithoutASystemMenuOffersNone) {
    Make(Probe(), forms::biMinimize, forms::bsSingle);
    MenuWatch watch;
    for (int i = 0; i < 2; ++i) {
        MouseTo(Title());
        Button(MOUSEEVENTF_RIGHTDOWN);
        Button(MOUSEEVENTF_RIGHTUP);
    }
    Settle();
    EXPECT_EQ(MenuWatch::made, 0);
    EXPECT_EQ(closes + sysCloses, 0);
    for (const auto& b : skin->SysButtons())
        if (b->element->Action == 0 || b->element->Action == 3 || b->element->Action == 11 || b->element->Action == 12)
            EXPECT_FALSE(b->visible) << b->element->Action;
}

// A raw dialog's button (every message box's) hears no mouse-leave from the form library: the
// form skin's timer takes its hot frame away once the mouse is elsewhere, and so does the
// window losing activation with the mouse still on it.
TEST(RawDialogInput, AButtonLeftOrDeactivatedDropsItsHotFrame) {
    struct Case {
        const char* what;
        bool deactivate;
    };
    for (const Case c : {Case{"the mouse moves off the dialog", false}, Case{"another window is activated", true}}) {
        SCOPED_TRACE(c.what);
        std::vector<WORD> t = DialogTemplate(L"Message");
        HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
                                              PlainDialog, 0);
        ASSERT_NE(dlg, nullptr);
        HWND button = GetDlgItem(dlg, IDOK);
        // A message box's OK is its default button: its frame differs from the hot one.
        SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        Settle();
        auto skin = AttachToWindow(dlg, Probe());
        SetForegroundWindow(dlg);
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dlg && skin->TimerEnabled(); }));
        ASSERT_NE(skin->ControlSkins()->FindByHandle(button), nullptr);
        const auto pixel = [&] { return WindowPixel(button, 4, 4); };
        ASSERT_TRUE(PumpUntil([&] { return pixel() == probe::k_button[4]; })) << "not the default frame at first";

        const RECT r = WindowRect(button);
        MouseTo(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        ASSERT_TRUE(PumpUntil([&] { return pixel() == probe::k_button[3]; })) << "no hot frame under the mouse";
        std::unique_ptr<TForm> other;
        if (c.deactivate) {
            other = std::make_unique<TForm>(nullptr);
            other->SetBounds(600, 500, 120, 80);
            other->Show();
            SetForegroundWindow(other->Handle());
            ASSERT_TRUE(PumpUntil([&] { return !skin->Active(); }));
        } else {
            MouseTo(POINT{2, 2});
        }
        EXPECT_TRUE(PumpUntil([&] { return pixel() == probe::k_button[4]; }, 2000)) << "the button stayed hot";
        EXPECT_EQ(skin->ControlSkins()->HotButton(), nullptr);
        DestroyWindow(dlg);
        Settle();
    }
    MouseTo(POINT{5, 5});
    EXPECT_EQ(FramePaintErrors(), 0);
}

}  // namespace
}  // namespace skin::frame_tests
