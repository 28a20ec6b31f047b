// Drop-downs whose separators are tidied as they open (leading, middle, trailing): each opens
// with its own items and the bar stays as it was. Also built into a program whose heap never
// hands a freed block out again, where a bar item read after a reload freed it reads poison.
#include "skin/menu/tests/win/menu_fixture.h"

namespace skin::menu_tests {
namespace {

struct SeparatorRow {
    const char* caption;
    std::vector<std::string> items;  // "-" is a separator
    std::vector<bool> shown;         // once the drop-down has opened
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
        Make();
    }

    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (int i = 0; i < skin->MenuBar()->Count(); ++i) captions.push_back(skin->MenuBar()->Item(i)->caption);
        return captions;
    }
};

TEST_F(SeparatorForm, EachDropDownOpensWithItsSeparatorsTidiedAndTheBarUnchanged) {
    BuildSeparators();
    const std::vector<std::wstring> captions = Captions();
    ASSERT_EQ(captions, (std::vector<std::wstring>{L"&Lead", L"&Middle", L"&Trail"}));
    // Each twice: the second opening finds the separators tidied already.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
            const SeparatorRow& row = kRows[i];
            forms::TMenuItem& top = *tops[static_cast<size_t>(i)];
            SCOPED_TRACE(std::string(row.caption) + " opening " + std::to_string(round + 1));
            const int loads = skin->MenuBar()->Loads();
            HMENU dropDown = top.Handle();
            int listed = -1;
            const bool done = Script::Run({{"the drop-down opens", [&] { return TrackedBarIndex() == i && Highlighted(dropDown, 0); },
                                            [&] {
                                                listed = GetMenuItemCount(dropDown);
                                                PressKey(VK_ESCAPE);
                                            }}},
                                          [&] { ClickBar(i); });
            EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
            EXPECT_EQ(Script::maxMenus, 1);
            EXPECT_LE(skin->MenuBar()->Loads() - loads, 1) << "the bar was made anew more than once as the drop-down opened";
            EXPECT_EQ(Captions(), captions);
            EXPECT_EQ(top.Handle(), dropDown);
            int shown = 0;
            for (size_t k = 0; k < row.shown.size(); ++k) {
                EXPECT_EQ(top.Items(static_cast<int>(k))->Visible(), row.shown[k]) << "item " << k;
                shown += row.shown[k] ? 1 : 0;
            }
            EXPECT_EQ(listed, shown) << "the open drop-down's rows";
            EXPECT_EQ(GetMenu(wnd), nullptr) << "the system draws a bar of its own";
            EXPECT_FALSE(skin->MenuTracking());
            EXPECT_EQ(TrackedBarIndex(), -1);
        }
    }
}

// Moving from one drop-down to the next along the bar tidies each as it opens.
TEST_F(SeparatorForm, RightWalksThroughTheDropDownsWhoseSeparatorsChange) {
    BuildSeparators();
    const int loads = skin->MenuBar()->Loads();
    auto open = [this](int i) {
        return [this, i] { return TrackedBarIndex() == i && Highlighted(tops[static_cast<size_t>(i)]->Handle(), 0); };
    };
    const bool done = Script::Run(
        {
            {"Lead opens", open(0), [] { PressKey(VK_RIGHT); }},
            {"Right opens Middle", open(1), [] { PressKey(VK_RIGHT); }},
            {"Right opens Trail", open(2), [] { PressKey(VK_RIGHT); }},
            {"Right past the last wraps to Lead", open(0), [] { PressKey(VK_LEFT); }},
            {"Left on the first wraps to Trail", open(2), [] { PressKey(VK_ESCAPE); }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    EXPECT_EQ(Script::maxMenus, 1);
    EXPECT_LE(skin->MenuBar()->Loads() - loads, 5) << "more than one reload of the bar per opening";
    for (size_t i = 0; i < std::size(kRows); ++i)
        for (size_t k = 0; k < kRows[i].shown.size(); ++k)
            EXPECT_EQ(tops[i]->Items(static_cast<int>(k))->Visible(), kRows[i].shown[k]) << kRows[i].caption << " item " << k;
    EXPECT_FALSE(skin->MenuTracking());
    EXPECT_EQ(TrackedBarIndex(), -1);
}

}  // namespace
}  // namespace skin::menu_tests
