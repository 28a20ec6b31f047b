#include "forms/timer.h"

#include <gtest/gtest.h>

#include <memory>

#include "forms/application.h"
#include "forms/tests/win/form_test_support.h"
#include "tests/support/win_recorders.h"

namespace forms {
namespace {

using testing_support::PumpUntil;

constexpr unsigned kTick = 10;

// Runs the message loop for a while, long enough for several ticks.
void RunFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

TEST(Timer, FiresWhileEnabledWithItselfAsSender) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 3) timer.SetEnabled(false);
    };
    timer.SetInterval(kTick);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    RunFor(8 * kTick);
    EXPECT_EQ(ticks, 3);  // disabled from inside its own handler
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }));
}

TEST(Timer, SilentWhenDisabledWithoutIntervalOrWhileLoading) {
    struct Case {
        const char* name;
        std::function<void(TTimer&)> setUp;
    };
    const Case cases[] = {
        {"disabled", [](TTimer& t) { t.SetEnabled(false); }},
        {"interval 0", [](TTimer& t) { t.SetInterval(0); }},
        {"loading", [](TTimer& t) { t.BeginLoading(); }},
    };
    for (const Case& c : cases) {
        auto timer = std::make_unique<TTimer>(nullptr);
        int ticks = 0;
        timer->OnTimer = [&](TObject*) { ++ticks; };
        timer->SetInterval(kTick);
        c.setUp(*timer);
        if (c.name == std::string("interval 0")) EXPECT_EQ(timer->Interval(), 0u);
        else timer->SetInterval(kTick + 1);  // a change while silent must not start it
        RunFor(6 * kTick);
        EXPECT_EQ(ticks, 0) << c.name;
        if (c.name == std::string("loading")) {
            timer->EndLoading();  // starts once loaded
            EXPECT_TRUE(PumpUntil([&] { return ticks > 0; })) << c.name;
        }
    }
}

TEST(Timer, AnExceptionInOnTimerEndsInTheErrorBoxAndTheTimerGoesOn) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        if (ticks == 1) throw Exception("Tick failed");
        if (ticks == 3) timer.SetEnabled(false);
    };
    timer.SetInterval(kTick);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Tick failed");
    EXPECT_EQ(testsupport::MessageBoxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST(Timer, AFreedTimerNeverFiresAndItsNewNeighbourKeepsItsOwnInterval) {
    int oldTicks = 0, newTicks = 0;
    auto old = std::make_unique<TTimer>(nullptr);
    old->OnTimer = [&](TObject*) { ++oldTicks; };
    old->SetInterval(kTick);
    Sleep(5 * kTick);  // a tick is due but not handled yet
    old.reset();
    TTimer slow(nullptr);
    slow.OnTimer = [&](TObject*) { ++newTicks; };
    slow.SetInterval(10000);
    RunFor(6 * kTick);
    EXPECT_EQ(oldTicks, 0);
    EXPECT_EQ(newTicks, 0);
}

TEST(Timer, FiresInsideAModalLoop) {
    auto* dialog = new TForm(Application);
    dialog->SetBorderStyle(bsNone);
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 2) dialog->SetModalResult(mrOk);
    };
    timer.SetInterval(kTick);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(ticks, 2);
    delete dialog;
}

}  // namespace
}  // namespace forms
