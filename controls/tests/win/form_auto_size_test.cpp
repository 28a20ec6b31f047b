#include "controls/form_auto_size.h"

#include <gtest/gtest.h>

#include "forms/application.h"
#include "forms/button.h"
#include "forms/edit.h"
#include "forms/frame_fit.h"
#include "forms/label.h"
#include "forms/panel.h"

#include <memory>
#include <vector>

namespace controls {
namespace {

using namespace forms;

struct Bounds {
    int left, top, width, height;
    bool operator==(const Bounds&) const = default;
};
Bounds Of(const TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }
std::ostream& operator<<(std::ostream& os, const Bounds& b) {
    return os << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

// A form of 898 x 606 with an edit, a button and a panel holding a label, and an auto-size.
class AutoSizedForm : public testing::Test {
protected:
    AutoSizedForm() : form_(std::make_unique<TForm>(nullptr)) {
        form_->SetBounds(0, 0, 898, 606);
        edit_ = Make<TEdit>(form_.get(), 10, 20, 100, 21);
        button_ = Make<TButton>(form_.get(), 120, 18, 75, 25);
        panel_ = Make<TPanel>(form_.get(), 200, 100, 300, 200);
        label_ = Make<TLabel>(panel_, 7, 9, 51, 13);
        label_->SetAutoSize(false);
        label_->SetBounds(7, 9, 51, 13);
    }
    template <class T>
    T* Make(TWinControl* parent, int l, int t, int w, int h) {
        auto* c = new T(form_.get());
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    std::vector<Bounds> Layout() const { return {Of(edit_), Of(button_), Of(panel_), Of(label_)}; }

    std::unique_ptr<TForm> form_;
    TEdit* edit_;
    TButton* button_;
    TPanel* panel_;
    TLabel* label_;
};

TEST_F(AutoSizedForm, DoublingTheWidthDoublesLeftsAndWidthsButtonsOnlyMove) {
    auto* sizer = new TFormAutoSize(form_.get());
    EXPECT_EQ(sizer->TargetForm(), form_.get());
    EXPECT_FALSE(sizer->Active());
    sizer->SetActive(true);
    form_->SetBounds(0, 0, 1796, 606);
    const std::vector<Bounds> expected = {{20, 20, 200, 21}, {240, 18, 75, 25}, {400, 100, 600, 200}, {14, 9, 102, 13}};
    EXPECT_EQ(Layout(), expected);
    EXPECT_EQ(sizer->OldWidth(), 1796);
    EXPECT_EQ(sizer->OldHeight(), 606);
}

TEST_F(AutoSizedForm, WhileInactiveOnlyThePreviousHandlerRunsAndTheOldSizeStays) {
    std::vector<TObject*> senders;
    form_->OnResize = [&](TObject* sender) { senders.push_back(sender); };
    auto* sizer = new TFormAutoSize(form_.get());
    const auto before = Layout();
    form_->SetBounds(0, 0, 449, 303);
    EXPECT_EQ(Layout(), before);
    EXPECT_EQ(sizer->OldWidth(), 898);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], form_.get());
    // Active again: the next resize scales from the size of the last active one.
    sizer->SetActive(true);
    form_->SetBounds(0, 0, 1796, 1212);
    EXPECT_EQ(Of(edit_), (Bounds{20, 40, 200, 42}));
    EXPECT_EQ(senders.size(), 2u);
}

TEST_F(AutoSizedForm, AZeroRememberedSideSkipsTheScalingButRecordsTheSize) {
    form_->SetBounds(0, 0, 898, 0);
    auto* sizer = new TFormAutoSize(form_.get());
    sizer->SetActive(true);
    const auto before = Layout();
    form_->SetBounds(0, 0, 1796, 606);
    EXPECT_EQ(Layout(), before);
    EXPECT_EQ(sizer->OldWidth(), 1796);
    EXPECT_EQ(sizer->OldHeight(), 606);
    form_->SetBounds(0, 0, 898, 606);
    EXPECT_EQ(Of(edit_), (Bounds{5, 20, 50, 21}));
}

// A minimised window reports a tiny size; the layout must be there again after the restore.
TEST_F(AutoSizedForm, MinimiseAndRestoreKeepTheLayout) {
    form_->SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
    auto* sizer = new TFormAutoSize(form_.get());
    sizer->SetActive(true);
    form_->Show();
    Application->ProcessMessages();
    const auto shown = Layout();
    const int width = sizer->OldWidth(), height = sizer->OldHeight();
    form_->SetWindowState(wsMinimized);
    Application->ProcessMessages();
    ASSERT_TRUE(IsIconic(form_->Handle()));
    EXPECT_EQ(Layout(), shown);
    form_->SetWindowState(wsNormal);
    Application->ProcessMessages();
    EXPECT_FALSE(IsIconic(form_->Handle()));
    EXPECT_EQ(Layout(), shown);
    EXPECT_EQ(sizer->OldWidth(), width);
    EXPECT_EQ(sizer->OldHeight(), height);
    // Calling the handler while iconic, as a system resize would, changes nothing either.
    form_->SetWindowState(wsMinimized);
    Application->ProcessMessages();
    sizer->FormResized(form_.get());
    EXPECT_EQ(Layout(), shown);
    form_->SetWindowState(wsNormal);
    Application->ProcessMessages();
}

TEST_F(AutoSizedForm, FreedItLeavesTheFormWithoutAResizeHandler) {
    int previous = 0;
    form_->OnResize = [&](TObject*) { ++previous; };
    auto* sizer = new TFormAutoSize(form_.get());
    sizer->SetActive(true);
    delete sizer;
    EXPECT_FALSE(form_->OnResize);
    const auto before = Layout();
    form_->SetBounds(0, 0, 1796, 606);
    EXPECT_EQ(Layout(), before);
    EXPECT_EQ(previous, 0);
}

TEST(FormAutoSize, WithoutAFormItDoesNothing) {
    TFormAutoSize alone(nullptr);
    EXPECT_EQ(alone.TargetForm(), nullptr);
    alone.SetActive(true);
    alone.FormResized(nullptr);
    EXPECT_EQ(alone.OldWidth(), 0);
}

// Freeing the form frees its auto-size with it, without touching the half-freed form.
TEST(FormAutoSize, FreedWithItsForm) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* sizer = new TFormAutoSize(form.get());
    sizer->SetActive(true);
    form->SetBounds(0, 0, 400, 300);
    form.reset();
}

// A skin's frame put on, nudged and taken off changes the outer size around the same client
// area: the controls stay where they are and each new size becomes the base, so cycles never
// drift and a later resize by the user scales from the size she saw.
TEST_F(AutoSizedForm, SizeChangesWhileTheFrameIsFittedAreNotResizes) {
    auto* sizer = new TFormAutoSize(form_.get());
    sizer->SetActive(true);
    form_->HandleNeeded();
    const HWND wnd = form_->Handle();
    const auto start = Layout();
    const struct { int width, height; } fits[] = {{890, 590}, {890, 591}, {890, 590}, {898, 606}, {903, 611}, {898, 606}};
    for (int cycle = 0; cycle < 5; ++cycle) {
        for (const auto& f : fits) {
            forms::FrameFitScope fitting(wnd);
            SetWindowPos(wnd, nullptr, 0, 0, f.width, f.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            EXPECT_EQ(Layout(), start) << f.width << "x" << f.height;
            EXPECT_EQ(sizer->OldWidth(), f.width);
            EXPECT_EQ(sizer->OldHeight(), f.height);
        }
    }
    EXPECT_FALSE(IsFittingFrame(wnd));
    // The user's resize after a fit scales from the fitted size.
    {
        forms::FrameFitScope fitting(wnd);
        form_->SetBounds(0, 0, 449, 303);
    }
    form_->SetBounds(0, 0, 898, 303);
    EXPECT_EQ(Of(edit_), (Bounds{20, 20, 200, 21}));
}

TEST(FrameFitScope, NestsAndEndsWithTheLastScope) {
    TForm form(nullptr);
    const HWND wnd = form.Handle();
    EXPECT_FALSE(IsFittingFrame(wnd));
    {
        FrameFitScope outer(wnd);
        {
            FrameFitScope inner(wnd);
            EXPECT_TRUE(IsFittingFrame(wnd));
        }
        EXPECT_TRUE(IsFittingFrame(wnd));
    }
    EXPECT_FALSE(IsFittingFrame(wnd));
    EXPECT_FALSE(IsFittingFrame(nullptr));
}

}  // namespace
}  // namespace controls
