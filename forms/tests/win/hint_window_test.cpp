#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forms/application.h"
#include "forms/graphics.h"
#include "forms/hint_window.h"
#include "forms/panel.h"
#include "forms/subclass.h"
#include "forms/tests/win/form_test_support.h"
#include "tests/support/mouse_input.h"

namespace forms {
namespace {

using testing_support::PumpUntil;
using testing_support::TSpot;
using testsupport::ClickMouse;
using testsupport::MoveMouse;

const THintWindow* HintWindow() { return Application->Hints().Window(); }
bool HintShowing() { return HintWindow() != nullptr && HintWindow()->Showing(); }

// The colour the hint window's background was painted in, read back from its window.
COLORREF HintBackground() {
    HWND wnd = HintWindow()->Handle();
    HDC dc = GetDC(wnd);
    const COLORREF pixel = GetPixel(dc, 1, 1);
    ReleaseDC(wnd, dc);
    return pixel;
}

// A form with a panel holding a windowless spot, and a second panel without hints beside it.
struct Hints : testing::Test {
    TForm* form = nullptr;
    TPanel* panel = nullptr;
    TPanel* plain = nullptr;
    TSpot* spot = nullptr;
    int hintShows = 0;
    std::unique_ptr<WindowProcHook> counter;
    static constexpr int kFormX = 220, kFormY = 160;

    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(kFormX, kFormY, 320, 160);
        panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 140, 140);
        panel->SetHint("The panel");
        panel->SetShowHint(true);
        spot = new TSpot(form, "spot");
        spot->SetParent(panel);
        spot->SetBounds(70, 70, 60, 60);
        plain = new TPanel(form);
        plain->SetParent(form);
        plain->SetBounds(170, 10, 140, 140);
        counter = std::make_unique<WindowProcHook>(*panel, [this](TMessage& m, const WindowProcHook::Next& next) {
            if (m.Msg == CM_HINTSHOW) ++hintShows;
            next(m);
        });
        form->Show();
        Rest(Outside());
        ASSERT_TRUE(PumpUntil([] { return !HintShowing(); }));
        hintShows = 0;
    }
    void TearDown() override {
        counter.reset();
        delete form;
        Application->ProcessMessages();
    }
    static POINT Outside() { return POINT{kFormX - 60, kFormY - 60}; }
    POINT On(TControl* c, int x = 5, int y = 5) const { return c->ClientToScreen(POINT{x, y}); }
    void Rest(POINT at) {
        MoveMouse(at);
        PumpUntil([&] {
            POINT now{};
            GetCursorPos(&now);
            return now.x == at.x && now.y == at.y;
        });
    }
};

// Resting on a control shows its hint (or its parent's, which its ShowHint follows), in the
// application's hint colour, below the mouse; every way of leaving it hides the hint again.
TEST_F(Hints, RestingShowsTheHintAndLeavingHidesIt) {
    spot->SetHint("The spot");
    const struct { const char* how; std::function<void(Hints&)> leave; } ways[] = {
        {"onto a control without a hint", [](Hints& t) { t.Rest(t.On(t.plain)); }},
        {"off the program's windows", [](Hints&) { MoveMouse(Outside()); }},
        {"a click", [](Hints&) { ClickMouse(); }},
    };
    const struct { const char* where; TControl* control; std::string text; } places[] = {
        {"panel", panel, "The panel"},
        {"spot", spot, "The spot"},
    };
    for (const auto& way : ways) {
        for (const auto& place : places) {
            Rest(On(place.control));
            ASSERT_TRUE(PumpUntil(HintShowing)) << place.where << ", " << way.how;
            EXPECT_EQ(HintWindow()->Text(), place.text) << place.where;
            EXPECT_EQ(HintBackground(), ColorToRGB(Application->HintColor())) << place.where;
            RECT r{};
            GetWindowRect(HintWindow()->Handle(), &r);
            POINT mouse{};
            GetCursorPos(&mouse);
            EXPECT_GT(r.top, mouse.y) << place.where;
            way.leave(*this);
            EXPECT_TRUE(PumpUntil([] { return !HintShowing(); })) << place.where << ", " << way.how;
            Rest(Outside());
        }
    }
    EXPECT_GT(hintShows, 0);  // the panel was asked each time its hint showed
}

// Without ShowHint (its own, or its parent's through ParentShowHint), or with the
// application's hints off, the mouse rests and nothing shows.
TEST_F(Hints, NoHintWithoutShowHint) {
    plain->SetHint("Never shown");
    const struct { const char* why; std::function<void()> set, undo; } cases[] = {
        {"ShowHint off", [] {}, [] {}},
        {"the application's hints off", [this] { plain->SetShowHint(true); Application->SetShowHint(false); },
         [] { Application->SetShowHint(true); }},
    };
    for (const auto& c : cases) {
        c.set();
        Rest(On(plain));
        // The pause and twice as long again, with the queue handled throughout.
        EXPECT_FALSE(PumpUntil(HintShowing, 3 * static_cast<DWORD>(Application->HintPause()))) << c.why;
        Rest(Outside());
        c.undo();
    }
}

// The control answers CM_HINTSHOW: it may change the text and the colour, or refuse.
TEST_F(Hints, TheControlsAnswerDecides) {
    bool refuse = false;
    WindowProcHook answer(*panel, [&](TMessage& m, const WindowProcHook::Next& next) {
        next(m);
        if (m.Msg != CM_HINTSHOW) return;
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        info->HintColor = clRed;
        info->HintStr += " (changed)";
        if (refuse) m.Result = 1;
    });
    Rest(On(panel));
    ASSERT_TRUE(PumpUntil(HintShowing));
    EXPECT_EQ(HintWindow()->Text(), "The panel (changed)");
    EXPECT_EQ(HintBackground(), RGB(255, 0, 0));
    Rest(Outside());
    ASSERT_TRUE(PumpUntil([] { return !HintShowing(); }));
    refuse = true;
    Rest(On(panel));
    EXPECT_FALSE(PumpUntil(HintShowing, 3 * static_cast<DWORD>(Application->HintPause())));
}

TEST(HintText, TheFirstShowHintOutwardsAndTheFirstHintFromThere) {
    TPanel outer(nullptr), inner(nullptr);
    TSpot spot(nullptr, "spot");
    inner.SetParent(&outer);
    spot.SetParent(&inner);
    outer.SetHint("outer");
    EXPECT_EQ(HintControlOf(&spot), nullptr);
    outer.SetShowHint(true);  // followed by inner and spot
    EXPECT_EQ(HintControlOf(&spot), &spot);
    EXPECT_EQ(HintTextOf(&spot), "outer");
    inner.SetHint("inner");
    EXPECT_EQ(HintTextOf(&spot), "inner");
    spot.SetShowHint(false);
    inner.SetShowHint(false);
    EXPECT_EQ(HintControlOf(&spot), &outer);
    EXPECT_EQ(HintTextOf(HintControlOf(&spot)), "outer");
    spot.SetParent(nullptr);
    inner.SetParent(nullptr);
}

}  // namespace
}  // namespace forms
