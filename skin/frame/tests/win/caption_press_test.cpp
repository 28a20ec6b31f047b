// A caption button's press under the real mouse: it acts only when released over the same
// button without the mouse leaving the frame, for every kind of button a skin may have.
#include <functional>
#include <vector>

#include "forms/subclass.h"
#include "skin/frame/tests/win/caption_buttons_skin.h"
#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

// Input steps run one per tick of a thread timer, so that they reach a modal loop (a menu
// opened by a press) as well as ours; a menu still open after the steps is closed and counted.
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
// Runs the steps, then waits until a posted action would have run: a menu it opened has been
// seen and closed, or a few more ticks have passed.
void RunSteps(std::vector<std::function<void()>> steps) {
    steps.insert(steps.end(), 4, [] {});
    Steps::list = std::move(steps);
    Steps::next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, Steps::Tick);
    EXPECT_TRUE(PumpUntil([] { return Steps::next == Steps::list.size(); }, 8000));
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

// A sizable form with every box and an icon, skinned with close, maximise, minimise and the
// system-menu (icon) button; the system commands it is sent are counted and swallowed.
struct CaptionButtonPress : testing::Test {
    std::unique_ptr<TSkinData> data = CaptionButtonsSkin();
    std::unique_ptr<forms::TForm> form;
    TSkinForm* skin = nullptr;
    HWND wnd = nullptr;
    std::unique_ptr<forms::WindowSubclass> counter;
    int closes = 0, maximises = 0, minimises = 0;
    // A window of this thread that takes the capture away in the middle of a press.
    forms::TForm thief{nullptr};

    void SetUp() override {
        form = std::make_unique<forms::TForm>(nullptr);
        form->SetBorderStyle(forms::bsSizeable);
        form->SetBorderIcons(forms::biSystemMenu | forms::biMinimize | forms::biMaximize);
        form->SetText("Buttons");
        form->SetBounds(150, 120, 420, 300);
        SendMessageA(form->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_APPLICATION)));
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
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == wnd && skin->Active(); }));
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
    int Acted(int action) const {
        return action == 0 ? closes : action == 1 ? maximises : action == 2 ? minimises : Steps::menusClosed;
    }
    POINT Client() const {
        RECT client{};
        GetClientRect(wnd, &client);
        POINT p{client.right / 2, client.bottom / 2};
        ClientToScreen(wnd, &p);
        return p;
    }
    POINT Outside() const {
        const RECT r = WindowRect(wnd);
        return POINT{r.right + 40, r.top + 10};
    }

    // Each way to call a press off acts not, nor does a later press begun elsewhere and
    // released over the button; a click on it acts once.
    void CheckButton(int action) {
        SCOPED_TRACE(action);
        const TWinSysButton* b = ButtonByAction(*skin, action);
        ASSERT_TRUE(b != nullptr && b->visible);
        const POINT button = OnScreen(wnd, ButtonCentre(*b)), client = Client(), outside = Outside();
        HWND other = thief.Handle();
        const struct { const char* how; std::vector<std::function<void()>> between; } ways[] = {
            {"released in the client area", {Move(client)}},
            {"released outside the window", {Move(outside)}},
            {"back over the button after the client area", {Move(client), Move(button)}},
            {"the capture taken away", {[other] { SetCapture(other); }}},
        };
        Steps::menusClosed = 0;
        for (const auto& way : ways) {
            SCOPED_TRACE(way.how);
            std::vector<std::function<void()>> steps{Move(button), Press()};
            steps.insert(steps.end(), way.between.begin(), way.between.end());
            steps.push_back(Release());
            steps.push_back([] { ReleaseCapture(); });
            RunSteps(steps);
            EXPECT_EQ(Acted(action), 0) << "a press called off acted";
            EXPECT_NE(b->mouseState, 2) << "the button still shows pressed";
            RunSteps({Move(client), Press(), Move(button), Release(), Move(client)});
            EXPECT_EQ(Acted(action), 0) << "a press begun elsewhere acted";
        }
        RunSteps({Move(button), Press(), Release(), Move(client)});
        EXPECT_EQ(Acted(action), 1) << "a click on the button";
    }
};

TEST_F(CaptionButtonPress, TheMaximiseAndSystemMenuButtonsLikewise) {
    // Maximise last: from then on the form skin takes the window for maximised (the command
    // itself is swallowed here).
    CheckButton(3);
    CheckButton(1);
    EXPECT_FALSE(IsZoomed(wnd));
}

// Minimise last, for the same reason.
TEST_F(CaptionButtonPress, TheCloseAndMinimiseButtons) {
    CheckButton(0);
    CheckButton(2);
    EXPECT_FALSE(IsIconic(wnd));
}

}  // namespace
}  // namespace skin::frame_tests
