#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/panel.h"
#include "forms/tests/win/form_test_support.h"

namespace forms {
namespace {

using testing_support::TSpot;

// A form with a panel holding a windowless spot; every mouse enter and leave that reaches
// any of the three is logged as "receiver: enter|leave control".
struct MouseTracking : testing::Test {
    TForm* form = nullptr;
    TPanel* panel = nullptr;
    TSpot* spot = nullptr;
    std::vector<std::string> log;
    static constexpr int kFormX = 200, kFormY = 150;

    void SetUp() override {
        form = new TForm(Application);
        form->SetName("form");
        form->SetBorderStyle(bsNone);
        form->SetBounds(kFormX, kFormY, 200, 150);
        panel = new TPanel(form);
        panel->SetName("panel");
        panel->SetParent(form);
        panel->SetBounds(20, 20, 120, 100);
        spot = new TSpot(form, "spot");
        spot->SetParent(panel);
        spot->SetBounds(30, 30, 40, 40);
        for (TControl* c : {static_cast<TControl*>(form), static_cast<TControl*>(panel), static_cast<TControl*>(spot)}) Watch(c);
        form->Show();
        MoveTo(POINT{kFormX - 100, kFormY - 100}, false);  // start outside, whatever was entered before
        log.clear();
    }
    void TearDown() override { delete form; }

    void Watch(TControl* c) {
        auto saved = c->WindowProc;
        c->WindowProc = [this, c, saved](TMessage& m) {
            if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
                auto* which = reinterpret_cast<TComponent*>(m.LParam);
                log.push_back(c->Name() + ": " + (m.Msg == CM_MOUSEENTER ? "enter " : "leave ") +
                              (which != nullptr ? which->Name() : "?"));
            }
            saved(m);
        };
    }
    // Puts the cursor at a screen point and lets the library notice: by its idle check, or
    // by the mouse-move message the window under the cursor gets.
    // The system takes a moment to report a cursor put somewhere else.
    static void PutCursor(POINT screen) {
        SetCursorPos(screen.x, screen.y);
        const DWORD start = GetTickCount();
        POINT now{};
        while (GetCursorPos(&now) && (now.x != screen.x || now.y != screen.y) && GetTickCount() - start < 1000) Sleep(1);
    }
    void MoveTo(POINT screen, bool byMessage) {
        PutCursor(screen);
        if (byMessage) {
            HWND wnd = WindowFromPoint(screen);
            POINT client = screen;
            ScreenToClient(wnd, &client);
            PostMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
            Application->ProcessMessages();
        } else {
            Application->DoMouseIdle();
        }
    }
};

TEST_F(MouseTracking, EnterAndLeaveGoInnermostFirstWithTheControlInLParam) {
    struct Step {
        const char* where;
        POINT at;  // in the form's client area
        std::vector<std::string> expected;
    };
    const Step steps[] = {
        {"onto the form", {5, 5}, {"form: enter form"}},
        {"onto the panel", {25, 25}, {"form: leave form", "panel: enter panel", "form: enter panel"}},
        {"onto the spot", {20 + 35, 20 + 35},
         {"panel: leave panel", "form: leave panel", "spot: enter spot", "panel: enter spot", "form: enter spot"}},
        {"within the spot", {20 + 45, 20 + 45}, {}},
        {"out of every window", {-50, -50}, {"spot: leave spot", "panel: leave spot", "form: leave spot"}},
    };
    for (bool byMessage : {false, true}) {
        for (const Step& s : steps) {
            log.clear();
            POINT screen{kFormX + s.at.x, kFormY + s.at.y};
            if (byMessage && s.at.x < 0) {
                // No window of ours gets a move out there; the leave comes from the idle check.
                PutCursor(screen);
                Application->DoMouseIdle();
            } else {
                MoveTo(screen, byMessage);
            }
            EXPECT_EQ(log, s.expected) << s.where << (byMessage ? " (mouse-move message)" : " (idle check)");
        }
    }
    EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(MouseTracking, LeavingOurWindowsIsNoticedByTheSystemsLeaveMessageAlone) {
    MoveTo(POINT{kFormX + 55, kFormY + 55}, true);
    ASSERT_EQ(Application->MouseControl(), spot);
    log.clear();
    PutCursor(POINT{kFormX - 60, kFormY - 60});
    // No idle check and no move message of ours: only WM_MOUSELEAVE can tell.
    EXPECT_TRUE(testing_support::PumpUntil([] { return Application->MouseControl() == nullptr; }, 3000));
    EXPECT_EQ(log, (std::vector<std::string>{"spot: leave spot", "panel: leave spot", "form: leave spot"}));
}

TEST_F(MouseTracking, AControlFreedUnderTheCursorIsForgottenNotNotified) {
    MoveTo(POINT{kFormX + 55, kFormY + 55}, false);
    ASSERT_EQ(Application->MouseControl(), spot);
    log.clear();
    delete spot;
    EXPECT_EQ(Application->MouseControl(), nullptr);
    Application->DoMouseIdle();  // now over the panel
    EXPECT_EQ(log, (std::vector<std::string>{"panel: enter panel", "form: enter panel"}));
}

TEST_F(MouseTracking, AHandlerThatFreesTheControlEndsTheChain) {
    MoveTo(POINT{kFormX + 55, kFormY + 55}, false);
    log.clear();
    auto saved = spot->WindowProc;
    spot->WindowProc = [&, saved](TMessage& m) {
        saved(m);
        if (m.Msg == CM_MOUSELEAVE) delete spot;
    };
    MoveTo(POINT{kFormX + 25, kFormY + 25}, false);
    EXPECT_EQ(log, (std::vector<std::string>{"spot: leave spot", "panel: enter panel", "form: enter panel"}));
    EXPECT_EQ(panel->ControlCount(), 0);
}

}  // namespace
}  // namespace forms
