#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/edit.h"
#include "forms/label.h"
#include "forms/rich_edit.h"
#include "forms/tests/win/standard_controls_fixture.h"

namespace forms {
namespace {

using EditControls = testing_support::ShownForm;

TEST_F(EditControls, SettingTextFiresOnChangeOnceAndTheSameTextNotAtAll) {
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    int changes = 0;
    edit->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->SetText("Anna");
    EXPECT_EQ(changes, 1);
    edit->SetText("Anna");
    EXPECT_EQ(changes, 1);
    // Typing reaches the same event through EN_CHANGE.
    edit->SetSelStart(4);
    SendMessageA(edit->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("!"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Text(), "Anna!");
}

TEST_F(EditControls, MaxLengthReadOnlyAndPasswordCharReachTheWindow) {
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetMaxLength(4);
    edit->SetReadOnly(true);
    edit->SetPasswordChar('*');
    HWND wnd = edit->Handle();
    EXPECT_EQ(SendMessageA(wnd, EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageA(wnd, EM_GETPASSWORDCHAR, 0, 0), '*');
    SendMessageA(wnd, EM_SETREADONLY, FALSE, 0);
    SendMessageA(wnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("abcdef"));
    EXPECT_EQ(edit->Text(), "abcd");
}

TEST_F(EditControls, MemoLinesReadAndWriteTheWindowText) {
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->Lines()->Add("first");
    memo->Lines()->Add("second");
    memo->Lines()->Insert(1, "middle");
    EXPECT_EQ(memo->Text(), "first\r\nmiddle\r\nsecond");
    memo->Lines()->Delete(0);
    ASSERT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->Lines()->Get(1), "second");
    memo->SetWordWrap(false);
    EXPECT_EQ(memo->Lines()->Get(0), "middle");  // survives the new window
    EXPECT_TRUE(GetWindowLongPtrA(memo->Handle(), GWL_STYLE) & ES_AUTOHSCROLL);
}

struct StateCase {
    TCheckBoxState from, to;
    bool allowGrayed;
    int clicks;
};

class CheckBoxState : public testing_support::ShownForm, public testing::WithParamInterface<StateCase> {};

// OnClick fires exactly when the state really changes, and the window shows the state.
TEST_P(CheckBoxState, SettingStateClicksOnlyOnAChange) {
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetAllowGrayed(GetParam().allowGrayed);
    box->SetState(GetParam().from);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetState(GetParam().to);
    EXPECT_EQ(clicks, GetParam().clicks);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(GetParam().to));
}

INSTANTIATE_TEST_SUITE_P(Changes, CheckBoxState,
                         testing::Values(StateCase{cbUnchecked, cbChecked, false, 1},
                                         StateCase{cbChecked, cbChecked, false, 0},
                                         StateCase{cbUnchecked, cbUnchecked, false, 0},
                                         StateCase{cbChecked, cbGrayed, true, 1}));

TEST_F(EditControls, UserClicksCycleThroughGrayedOnlyWhenAllowed) {
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    std::vector<TCheckBoxState> seen;
    box->OnClick = [&](TObject*) { seen.push_back(box->State()); };
    auto click = [&] {
        SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(box->Handle()));
    };
    click();
    click();
    box->SetAllowGrayed(true);
    click();
    click();
    click();
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbChecked, cbGrayed, cbUnchecked}));
}

TEST_F(EditControls, CheckingARadioButtonUnchecksItsSiblings) {
    auto* a = new TRadioButton(form);
    a->SetParent(form);
    auto* b = new TRadioButton(form);
    b->SetParent(form);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(SendMessageA(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(b->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(EditControls, ButtonClickSetsTheFormsModalResultThenRunsOnClick) {
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetModalResult(mrOk);
    TModalResult seen = mrNone;
    button->OnClick = [&](TObject*) { seen = form->ModalResult(); };
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(seen, mrOk);
}

TEST_F(EditControls, LabelIsAStaticWindowAndItsMnemonicFocusesItsControl) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetTop(40);
    label->SetCaption("&Name:");
    label->SetFocusControl(edit);
    char cls[32] = {}, text[32] = {};
    GetClassNameA(label->Handle(), cls, sizeof cls);
    GetWindowTextA(label->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "&Name:");
    EXPECT_GT(label->Width(), 10);  // sized to the text
    EXPECT_NE(form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
    EXPECT_EQ(GetFocus(), edit->Handle());
}

// Ctrl+A as the keyboard sends it (key down and up with Ctrl held; the message loop makes
// the character) selects the whole text of every kind of edit box and types nothing.
TEST_F(EditControls, CtrlASelectsAllTheTextAndTypesNothing) {
    const struct { const char* kind; TCustomEdit* edit; } boxes[] = {
        {"edit", new TEdit(form)}, {"memo", new TMemo(form)}, {"rich edit", new TRichEdit(form)},
    };
    SetForegroundWindow(form->Handle());
    for (const auto& box : boxes) {
        box.edit->SetParent(form);
        box.edit->SetBounds(10, 10, 200, 60);
        box.edit->SetText("first words then more");
        box.edit->SetFocus();
        Pump();
        box.edit->SetSelStart(5);
        box.edit->SetSelLength(0);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        HWND wnd = box.edit->Handle();
        PostMessageA(wnd, WM_KEYDOWN, 'A', 1);
        PostMessageA(wnd, WM_KEYUP, 'A', 0xC0000001);
        Pump();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(box.edit->Text(), "first words then more") << box.kind;
        EXPECT_EQ(box.edit->SelStart(), 0) << box.kind;
        EXPECT_GE(box.edit->SelLength(), 21) << box.kind;  // the rich edit counts its last line end
        // A plain "a" still types.
        PostMessageA(wnd, WM_KEYDOWN, 'A', 1);
        PostMessageA(wnd, WM_KEYUP, 'A', 0xC0000001);
        Pump();
        EXPECT_EQ(box.edit->Text(), "a") << box.kind;
        box.edit->SetVisible(false);
    }
}

}  // namespace
}  // namespace forms
