// Drop-downs whose separators are tidied as they open (leading, middle, trailing): each opens
// with its own items and the bar stays as it is. Also built into a program whose heap never
// hands a freed block out again, where a bar item read after a reload freed it reads poison.
#include "skin/menu/tests/win/menu_fixture.h"

namespace skin::menu_tests {
namespace {

struct SeparatorRow {
    const char* caption;
    std::vector<std::string> items;  // "-" is a separator
    std::vector<bool> shown;         // after opening
};

const SeparatorRow kRows[] = {
    {"&Lead", {"-", "&One", "&Two"}, {false, true, true}},
    {"&Middle", {"&One", "-", "-", "&Two"}, {true, false, true, true}},
    {"&Trail", {"&One", "&Two", "-"}, {true, true, false}},
};

struct SeparatorForm : MenuForm {
    std::vector<forms::TMenuItem*> tops;

    void BuildSeparators() {
        form = std::make_unique<forms::TForm>(nullptr);
        form->SetText("Separators");
        form->SetBounds(120, 100, 420, 300);
        menu = new forms::TMainMenu(form.get());
        for (const SeparatorRow& row : kRows) {
            forms::TMenuItem* top = Item(menu->Items(), row.caption);
            for (const std::string& caption : row.items) Item(top, caption);
            tops.push_back(top);
        }
        form->SetMenu(menu);
    }
};

TEST_F(SeparatorForm, EachDropDownOpensWithItsSeparatorsTidiedAndTheBarUnchanged) {
    BuildSeparators();
    Make();
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        SCOPED_TRACE(kRows[i].caption);
        const int loads = skin->MenuBar()->Loads();
        HMENU dropDown = tops[static_cast<size_t>(i)]->Handle();
        const bool done = Script::Run({{"the drop-down opens", [&] { return TrackedBarIndex() == i && OpenMenus().size() == 1; },
                                        [] { PressKey(VK_ESCAPE); }}},
                                      [&] { ClickBar(i); });
        EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
        EXPECT_EQ(skin->MenuBar()->Loads(), loads) << "the bar was made anew while the drop-down opened";
        EXPECT_EQ(tops[static_cast<size_t>(i)]->Handle(), dropDown);
        for (size_t k = 0; k < kRows[i].shown.size(); ++k)
            EXPECT_EQ(tops[static_cast<size_t>(i)]->Items(static_cast<int>(k))->Visible(), kRows[i].shown[k]) << k;
        EXPECT_EQ(GetMenu(wnd), nullptr) << "the system draws a bar of its own";
        EXPECT_FALSE(skin->MenuTracking());
        EXPECT_EQ(TrackedBarIndex(), -1);
    }
    // Opened again, nothing changes at all.
    const int loads = skin->MenuBar()->Loads();
    const bool done = Script::Run({{"Middle opens again", [&] { return TrackedBarIndex() == 1; }, [] { PressKey(VK_ESCAPE); }}},
                                  [&] { ClickBar(1); });
    EXPECT_TRUE(done);
    EXPECT_EQ(skin->MenuBar()->Loads(), loads);
}

// Moving from one drop-down to the next along the bar tidies each as it opens.
TEST_F(SeparatorForm, RightWalksThroughTheDropDownsWhoseSeparatorsChange) {
    BuildSeparators();
    Make();
    const bool done = Script::Run(
        {
            {"Lead opens", [] { return TrackedBarIndex() == 0 && OpenMenus().size() == 1; }, [] { PressKey(VK_RIGHT); }},
            {"Middle opens", [] { return TrackedBarIndex() == 1 && OpenMenus().size() == 1; }, [] { PressKey(VK_RIGHT); }},
            {"Trail opens", [] { return TrackedBarIndex() == 2 && OpenMenus().size() == 1; }, [] { PressKey(VK_RIGHT); }},
            {"Lead again", [] { return TrackedBarIndex() == 0 && OpenMenus().size() == 1; }, [] { PressKey(VK_ESCAPE); }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    EXPECT_EQ(Script::maxMenus, 1);
    EXPECT_FALSE(tops[2]->Items(2)->Visible());
}

}  // namespace
}  // namespace skin::menu_tests
