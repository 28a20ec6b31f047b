#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/guard.h"
#include "forms/panel.h"
#include "forms/tests/win/form_test_support.h"
#include "tests/support/win_recorders.h"

namespace forms {
namespace {

using testing_support::TSpot;

// A windowless control whose paint throws.
class TFailingSpot : public TSpot {
public:
    using TSpot::TSpot;

protected:
    void Paint() override { throw Exception("Paint failed"); }
};

struct Guard : testing::Test {
    TForm* form = nullptr;
    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(30, 30, 160, 120);
    }
    void TearDown() override {
        Application->OnException = nullptr;
        delete form;
    }
};

TEST_F(Guard, AnEscapedExceptionGoesToOnExceptionOrTheBoxAndAbortIsSilent) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    form->Show();
    struct Case {
        const char* name;
        bool handler;
        std::function<void()> fail;
        size_t boxes;
        std::vector<std::string> handled;
    };
    std::vector<std::string> handled;
    const Case cases[] = {
        {"no handler", false, [] { throw Exception("Plain failure"); }, 1, {}},
        {"handler", true, [] { throw Exception("Plain failure"); }, 0, {"Plain failure"}},
        {"abort", false, [] { throw EAbort("quiet"); }, 0, {}},
        {"not ours", false, [] { throw 42; }, 1, {}},
    };
    for (const Case& c : cases) {
        testsupport::ResetRecorders();
        handled.clear();
        Application->OnException = nullptr;
        if (c.handler) {
            Application->OnException = [&](TObject* sender, const std::exception& e) {
                EXPECT_EQ(sender, Application);
                handled.push_back(e.what());
            };
        }
        panel->OnClick = [&c](TObject*) { c.fail(); };
        SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(testsupport::MessageBoxes().size(), c.boxes) << c.name;
        EXPECT_EQ(handled, c.handled) << c.name;
    }
}

TEST_F(Guard, APaintThatThrowsShowsOneBoxAndLeavesNoEndlessRepaint) {
    auto* bad = new TFailingSpot(form, "bad");
    bad->SetParent(form);
    form->Show();
    Application->ProcessMessages();
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(form->Handle(), &update, FALSE));
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Paint failed");
    // The canvas was let go: a later paint into another context works.
    testsupport::ResetRecorders();
    bad->Hide();
    Application->ProcessMessages();
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
}

TEST_F(Guard, AThrowingOnExceptionIsContained) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    form->Show();
    Application->OnException = [](TObject*, const std::exception&) { throw Exception("Handler of handlers failed"); };
    panel->OnClick = [](TObject*) { throw Exception("First failure"); };
    SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(GuardedCall([] { return 7; }, 0), 7);
    EXPECT_EQ(GuardedCall([]() -> int { throw Exception("x"); }, -1), -1);
}

}  // namespace
}  // namespace forms
