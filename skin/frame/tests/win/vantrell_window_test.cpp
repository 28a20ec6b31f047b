// vantrell's main window skinned, worked with the real mouse: a caption button acts only on a
// press released over it without the mouse leaving the frame; and unskinned, its popup menus
// are the system's again.
#include <functional>
#include <vector>

#include "editor/main_form.h"
#include "forms/menus.h"
#include "forms/subclass.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/tests/win/caption_buttons_skin.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "tests/support/process_driver.h"

namespace skin::frame_tests {
namespace {

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

// Input steps run one per tick of a thread timer, so that they reach a modal loop (a menu
// opened by mistake) as well as ours; a menu still open after the steps is closed.
struct Steps {
    static inline std::vector<std::function<void()>> list;
    static inline size_t next = 0;
    static inline int menusClosed = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (next < list.size()) {
            list[next++]();
            return;
        }
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu != nullptr && IsWindowVisible(menu)) {
            ++menusClosed;
            EndMenu();
        }
    }
};
void RunSteps(std::vector<std::function<void()>> steps) {
    Steps::list = std::move(steps);
    Steps::next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, Steps::Tick);
    EXPECT_TRUE(PumpUntil([] { return Steps::next == Steps::list.size(); }, 8000));
    // Time for a release to act (or for a menu it opened to be seen and closed).
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start > 400; }, 1000);
    KillTimer(nullptr, timer);
    Settle();
}
std::function<void()> Move(POINT p) {
    return [p] {
        SetCursorPos(p.x, p.y);
        SendMouse(MOUSEEVENTF_MOVE);
    };
}
std::function<void()> Press() { return [] { SendMouse(MOUSEEVENTF_LEFTDOWN); }; }
std::function<void()> Release() { return [] { SendMouse(MOUSEEVENTF_LEFTUP); }; }

struct VantrellWindow : testing::Test {
    testsupport::TempFolder folder;
    std::unique_ptr<TSkinData> data;
    std::unique_ptr<forms::TForm> form;
    TSkinForm* skin = nullptr;
    HWND wnd = nullptr;
    std::unique_ptr<forms::WindowSubclass> counter;
    // What each press did: system commands and the system menu opened.
    int closes = 0, maximises = 0, minimises = 0;

    void Make(std::unique_ptr<TSkinData> skinData, std::unique_ptr<forms::TForm> made = nullptr) {
        data = std::move(skinData);
        form = made ? std::move(made) : std::make_unique<editor::TForm1>(nullptr, folder.Path());
        form->Show();
        Settle();
        wnd = form->Handle();
        skin = AttachTo(*form, *data);
        counter = std::make_unique<forms::WindowSubclass>(wnd, [this](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) {
            if (msg == WM_SYSCOMMAND) {
                switch (w & 0xFFF0) {
                    case SC_CLOSE: ++closes; return LRESULT{0};
                    case SC_MAXIMIZE: ++maximises; return LRESULT{0};
                    case SC_MINIMIZE: ++minimises; return LRESULT{0};
                    default: break;
                }
            }
            return next(msg, w, l);
        });
        SetForegroundWindow(wnd);
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == wnd && skin->Active(); }));
        RedrawFrame(wnd);
        Settle();
    }
    void TearDown() override {
        SetCursorPos(5, 5);
        counter.reset();
        form.reset();
        Settle();
        EXPECT_EQ(FramePaintErrors(), 0);
    }
    const TWinSysButton* Shown(int action) {
        const TWinSysButton* b = ButtonByAction(*skin, action);
        return b != nullptr && b->visible ? b : nullptr;
    }
    // A point of the client area over no control that takes a click (nothing that can take
    // the focus), so a press there starts nothing.
    POINT BareClient() {
        RECT client{};
        GetClientRect(wnd, &client);
        for (int y = client.bottom - 3; y > 0; y -= 7)
            for (int x = 3; x < client.right; x += 7) {
                POINT p{x, y};
                ClientToScreen(wnd, &p);
                HWND under = WindowFromPoint(p);
                if (under == nullptr || (under != wnd && !IsChild(wnd, under))) continue;
                // (A top-level window's WS_TABSTOP bit is its maximise box.)
                if (under == wnd || (GetWindowLongPtrA(under, GWL_STYLE) & WS_TABSTOP) == 0) return p;
            }
        ADD_FAILURE() << "no bare client point";
        return POINT{};
    }
    int Acted(int action) { return action == 0 ? closes : action == 1 ? maximises : action == 2 ? minimises : Steps::menusClosed; }

    // Each button: presses called off act not, nor does a press begun elsewhere; a click acts once.
    void CheckButtons(std::initializer_list<int> actions) {
        const RECT window = WindowRect(wnd);
        const POINT outside{window.right + 40, window.top + 10};
        for (int action : actions) {
            SCOPED_TRACE(action);
            const TWinSysButton* b = Shown(action);
            ASSERT_NE(b, nullptr);
            const POINT button = OnScreen(wnd, ButtonCentre(*b)), client = BareClient();
            Steps::menusClosed = 0;
            // Called off: released in the client area, or outside the window, or after leaving
            // the frame and coming back.
            RunSteps({Move(button), Press(), Move(client), Release()});
            RunSteps({Move(button), Press(), Move(outside), Release()});
            RunSteps({Move(button), Press(), Move(client), Move(button), Release()});
            EXPECT_EQ(Acted(action), 0) << "a press called off acted";
            // A later press elsewhere released over the button is no press of the button.
            RunSteps({Move(client), Press(), Move(button), Release()});
            EXPECT_EQ(Acted(action), 0) << "a press that began elsewhere acted";
            EXPECT_NE(b->mouseState, 2) << "the button still shows pressed";
            // A click on the button acts, once.
            RunSteps({Move(button), Press(), Release()});
            EXPECT_EQ(Acted(action), 1) << "a click on the button";
            RunSteps({Move(client)});
        }
    }
};

// vantrell's window has close and minimise; minimising last: the form skin takes the window
// for minimised from then on (the command itself is swallowed here).
TEST_F(VantrellWindow, ACaptionButtonActsOnlyOnAPressReleasedOverItWithoutLeavingTheFrame) {
    Make(CaptionButtonsSkin());
    EXPECT_EQ(Shown(1), nullptr) << "vantrell's window has no maximise box";
    CheckButtons({0, 2});
    EXPECT_FALSE(IsIconic(wnd));
}

// The buttons vantrell's window lacks, on a form with an icon and every box.
TEST_F(VantrellWindow, TheMaximiseAndSystemMenuButtonsLikewise) {
    auto plain = std::make_unique<forms::TForm>(nullptr);
    plain->SetBorderStyle(forms::bsSizeable);
    plain->SetBorderIcons(forms::biSystemMenu | forms::biMinimize | forms::biMaximize);
    plain->SetText("Buttons");
    plain->SetBounds(150, 120, 420, 300);
    SendMessageA(plain->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_APPLICATION)));
    Make(CaptionButtonsSkin(), std::move(plain));
    CheckButtons({3, 1});
    EXPECT_FALSE(IsZoomed(wnd));
}

// The galleries page's popup menu (and every other the window owns) is the system's once the
// skin is taken off: not owner-drawn, with plain items.
TEST_F(VantrellWindow, UnskinnedTheGalleriesMenuIsTheSystems) {
    Make(LoadSkin("0"));
    std::vector<forms::TPopupMenu*> menus;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* menu = dynamic_cast<forms::TPopupMenu*>(form->Components(i))) menus.push_back(menu);
    ASSERT_FALSE(menus.empty());
    for (forms::TPopupMenu* menu : menus) EXPECT_TRUE(menu->OwnerDraw()) << menu->Name() << " while skinned";
    skin->UnskinForm();
    Settle();
    for (forms::TPopupMenu* menu : menus) {
        SCOPED_TRACE(menu->Name());
        EXPECT_FALSE(menu->OwnerDraw());
        HMENU handle = menu->Handle();
        for (int k = 0; k < GetMenuItemCount(handle); ++k) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            ASSERT_TRUE(GetMenuItemInfoA(handle, static_cast<UINT>(k), TRUE, &info));
            EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u) << k;
        }
        for (int k = 0; k < menu->Items()->Count(); ++k) EXPECT_FALSE(menu->Items()->Items(k)->OnDrawItem) << k;
    }
}

}  // namespace
}  // namespace skin::frame_tests
