#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/combo_box.h"
#include "forms/edit.h"
#include "forms/tests/win/standard_controls_fixture.h"

namespace forms {
namespace {

using ComboBox = testing_support::ShownForm;

struct StyleSwitch {
    TComboBoxStyle from, to;
};

class ComboStyleSwitch : public testing_support::ShownForm, public testing::WithParamInterface<StyleSwitch> {};

// The window is made again; everything the user can see or the program relies on stays.
TEST_P(ComboStyleSwitch, KeepsItemsSelectionTextBoundsTabOrderFontAndWindowProc) {
    auto* before = new TEdit(form);
    before->SetParent(form);
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    auto* after = new TEdit(form);
    after->SetParent(form);
    combo->SetStyle(GetParam().from);
    combo->SetBounds(20, 30, 160, combo->Height());
    for (const char* s : {"Large", "Medium", "Slim"}) combo->Items()->Add(s);
    combo->SetItemIndex(1);
    combo->Font()->SetName("Arial");
    combo->Font()->SetSize(12);
    int seen = 0;
    auto saved = combo->WindowProc;
    combo->WindowProc = [&seen, saved](TMessage& m) {
        if (m.Msg == CM_BASE + 0x300) ++seen;
        saved(m);
    };
    HWND oldWnd = combo->Handle();
    RECT bounds = combo->BoundsRect();
    int tabOrder = combo->TabOrder();
    HFONT font = combo->Font()->Handle();

    combo->SetStyle(GetParam().to);
    Pump();

    EXPECT_NE(combo->Handle(), oldWnd);
    EXPECT_FALSE(IsWindow(oldWnd));
    ASSERT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Items()->Get(2), "Slim");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "Medium");
    EXPECT_EQ(combo->Left(), bounds.left);
    EXPECT_EQ(combo->Top(), bounds.top);
    EXPECT_EQ(combo->Width(), bounds.right - bounds.left);
    EXPECT_EQ(combo->TabOrder(), tabOrder);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(combo->Handle(), WM_GETFONT, 0, 0)), font);
    SendMessageA(combo->Handle(), CM_BASE + 0x300, 0, 0);
    EXPECT_EQ(seen, 1);
    DWORD expected[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
    EXPECT_EQ(GetWindowLongPtrA(combo->Handle(), GWL_STYLE) & 3, static_cast<LONG_PTR>(expected[GetParam().to]));
}

INSTANTIATE_TEST_SUITE_P(AllStyles, ComboStyleSwitch,
                         testing::Values(StyleSwitch{csDropDown, csDropDownList}, StyleSwitch{csDropDownList, csDropDown},
                                         StyleSwitch{csDropDown, csSimple}, StyleSwitch{csSimple, csDropDownList}));

TEST_F(ComboBox, TypedTextSurvivesSwitchingBetweenEditableStyles) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->Items()->Add("Short and Curly");
    combo->SetText("Medium And Curly");
    combo->SetStyle(csSimple);
    EXPECT_EQ(combo->Text(), "Medium And Curly");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ComboBox, DropDownListTextSelectsTheItemWithThatText) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetStyle(csDropDownList);
    combo->Items()->SetText("Female\r\nMale\r\n");
    combo->SetText("male");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetText("Neither");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
}

TEST_F(ComboBox, ItemsAddedBeforeTheWindowExistsMoveIntoIt) {
    auto* combo = new TComboBox(form);
    combo->Items()->Add("b");
    combo->Items()->Add("a");
    combo->SetItemIndex(0);
    combo->SetParent(form);
    HWND wnd = combo->Handle();
    EXPECT_EQ(SendMessageA(wnd, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(wnd, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(combo->Text(), "b");
}

TEST_F(ComboBox, SortedPlacesItemsAndKeepsTheChosenOne) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    for (const char* s : {"Slim", "Large", "Medium"}) combo->Items()->Add(s);
    combo->SetItemIndex(0);  // "Slim"
    combo->SetSorted(true);
    EXPECT_EQ(combo->Items()->Get(0), "Large");
    EXPECT_EQ(combo->Items()->Get(2), "Slim");
    EXPECT_EQ(combo->Text(), "Slim");
    EXPECT_EQ(combo->Items()->Add("Medium to Large"), 2);
}

// A selection in the list fires OnChange then OnSelect, and handlers read the new text.
TEST_F(ComboBox, SelectionFromTheListFiresChangeThenSelectWithTheNewText) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->Items()->SetText("Female\r\nMale\r\n");
    std::vector<std::string> log;
    combo->OnChange = [&](TObject*) { log.push_back("change " + combo->Text()); };
    combo->OnSelect = [&](TObject*) { log.push_back("select " + combo->Text()); };
    combo->SetItemIndex(1);
    EXPECT_TRUE(log.empty());  // from code: no event
    SendMessageA(combo->Handle(), CB_SETCURSEL, 0, 0);
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_EQ(log, (std::vector<std::string>{"change Female", "select Female"}));
}

TEST_F(ComboBox, DroppedListHasRoomForDropDownCountLines) {
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    for (int i = 0; i < 20; ++i) combo->Items()->Add("line " + std::to_string(i));
    combo->SetDropDownCount(8);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
    SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    RECT list{};
    GetWindowRect(info.hwndList, &list);
    int itemHeight = static_cast<int>(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(list.bottom - list.top, itemHeight * 8);
    SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_LT(combo->Height(), itemHeight * 3);  // the closed box only
}

}  // namespace
}  // namespace forms
