#include "editor/main_form.h"

#include "forms/application.h"
#include "forms/combo_box.h"
#include "forms/page_control.h"
#include "forms/portable/rounding.h"
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <map>

namespace editor {
namespace {

using namespace forms;

struct Bounds {
    int left, top, width, height;
    bool operator==(const Bounds&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Bounds& b) {
    return os << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

// Every control the form owns, by name (unnamed ones by their place in the list). A combo
// box's height is the system's choice, so it is left out.
std::map<std::string, Bounds> Layout(const TForm& form) {
    std::map<std::string, Bounds> layout;
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(form.Components(i)))
            layout[c->Name().empty() ? "#" + std::to_string(i) : c->Name()] = {
                c->Left(), c->Top(), c->Width(), dynamic_cast<TCustomComboBox*>(c) ? 0 : c->Height()};
    return layout;
}

// Placed by alignment or by their page control, not by their own bounds.
bool PlacedByParent(const TControl* c) { return c->Align() != alNone || dynamic_cast<const TTabSheet*>(c) != nullptr; }

class MainWindowAutoSize : public testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>(nullptr, folder_.Path());
        Application->SetMainForm(form_.get());
    }
    void TearDown() override {
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }
    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(MainWindowAutoSize, ShowingTheWindowLeavesTheLayoutAsBuilt) {
    ASSERT_TRUE(form_->FormAutoSize1->Active());
    EXPECT_EQ(form_->FormAutoSize1->TargetForm(), form_.get());
    const auto built = Layout(*form_);
    form_->Show();
    Application->ProcessMessages();
    const auto shown = Layout(*form_);
    for (const auto& [name, bounds] : built) {
        auto* c = dynamic_cast<TControl*>(form_->FindComponent(name));
        if (c == nullptr || !PlacedByParent(c)) {
            EXPECT_EQ(shown.at(name), bounds) << name;
        }
    }
    EXPECT_EQ(form_->FormAutoSize1->OldWidth(), 898);
    EXPECT_EQ(form_->FormAutoSize1->OldHeight(), 606);
}

// Half the width (the test screen has no room for twice it): lefts and widths halve, buttons
// keep their width, tops and heights stay; growing back drifts by a pixel at most.
TEST_F(MainWindowAutoSize, HalfTheWidthHalvesLeftsAndWidthsButtonsOnlyMove) {
    form_->Show();
    Application->ProcessMessages();
    ASSERT_EQ(form_->Width(), 898);
    ASSERT_EQ(form_->Height(), 606);
    const auto before = Layout(*form_);
    form_->SetBounds(form_->Left(), form_->Top(), 449, 606);
    Application->ProcessMessages();
    ASSERT_EQ(form_->Width(), 449);
    const auto after = Layout(*form_);
    int checked = 0;
    for (int i = 0; i < form_->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(form_->Components(i));
        if (c == nullptr || PlacedByParent(c)) continue;
        const std::string name = c->Name().empty() ? "#" + std::to_string(i) : c->Name();
        const Bounds& b = before.at(name);
        const bool button = dynamic_cast<TButton*>(c) != nullptr;
        const Bounds expected{RoundHalfEven(b.left / 2.0), b.top, button ? b.width : RoundHalfEven(b.width / 2.0), b.height};
        EXPECT_EQ(after.at(name), expected) << name;
        ++checked;
    }
    EXPECT_GT(checked, 100);

    form_->SetBounds(form_->Left(), form_->Top(), 898, 606);
    Application->ProcessMessages();
    for (const auto& [name, b] : Layout(*form_)) {
        auto* c = dynamic_cast<TControl*>(form_->FindComponent(name));
        if (c == nullptr || PlacedByParent(c)) continue;
        EXPECT_LE(std::abs(b.left - before.at(name).left), 1) << name;
        EXPECT_LE(std::abs(b.width - before.at(name).width), 1) << name;
    }
}

// A minimise must not scale to the iconic size; the restore shows the layout it had.
TEST_F(MainWindowAutoSize, MinimiseAndRestoreBringBackTheLayout) {
    form_->Show();
    Application->ProcessMessages();
    const auto shown = Layout(*form_);
    ShowWindow(form_->Handle(), SW_MINIMIZE);
    Application->ProcessMessages();
    ASSERT_TRUE(IsIconic(form_->Handle()));
    EXPECT_EQ(Layout(*form_), shown);
    ShowWindow(form_->Handle(), SW_RESTORE);
    Application->ProcessMessages();
    EXPECT_EQ(Layout(*form_), shown);
    EXPECT_EQ(form_->FormAutoSize1->OldWidth(), 898);
}

}  // namespace
}  // namespace editor
