#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/page_control.h"
#include "forms/tests/win/standard_controls_fixture.h"

namespace forms {
namespace {

struct Pages : testing::Test {
    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    std::vector<std::string> log;
    void SetUp() override {
        form = new TForm(Application);
        form->SetBounds(40, 40, 480, 360);
        pages = new TPageControl(form);
        pages->SetParent(form);
        pages->SetAlign(alClient);
        for (const char* caption : {"Biography", "Galleries", "Finish"}) {
            auto* sheet = new TTabSheet(form);
            sheet->SetPageControl(pages);
            sheet->SetCaption(caption);
            sheet->OnShow = [this, caption](TObject*) { log.push_back(std::string("show ") + caption); };
        }
        pages->OnChange = [this](TObject*) { log.push_back("change " + std::to_string(pages->ActivePageIndex())); };
    }
    void TearDown() override { delete form; }
    // What a click on a tab does: the strip moves, then notifies its parent.
    void ClickTab(int tab) {
        NMHDR changing{pages->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
        if (SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing)) != 0) return;
        SendMessageA(pages->Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        NMHDR change{pages->Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    }
};

TEST_F(Pages, FirstShowOfTheFormShowsTheActiveSheetOnce) {
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    form->Show();
    Application->ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"show Biography"}));
    EXPECT_TRUE(IsWindowVisible(pages->Pages(0)->Handle()));
    EXPECT_FALSE(IsWindowVisible(pages->Pages(1)->Handle()));
}

TEST_F(Pages, TabClickShowsTheSheetBeforeOnChangeAndCodeFiresNoChange) {
    form->Show();
    Application->ProcessMessages();
    log.clear();
    ClickTab(2);
    EXPECT_EQ(log, (std::vector<std::string>{"show Finish", "change 2"}));
    log.clear();
    pages->SetActivePageIndex(1);
    EXPECT_EQ(log, (std::vector<std::string>{"show Galleries"}));
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
}

TEST_F(Pages, OnChangingCanRefuseATabClick) {
    form->Show();
    pages->OnChanging = [](TObject*, bool& allow) { allow = false; };
    log.clear();
    ClickTab(1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(pages->ActivePageIndex(), 0);
}

TEST_F(Pages, HiddenTabsLeaveTheStripButKeepThePage) {
    pages->Pages(1)->SetTabVisible(false);
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages->Pages(2)->TabIndex(), 1);
    EXPECT_EQ(pages->FindNextPage(pages->Pages(0), true, true), pages->Pages(2));
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(pages->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "Finish");
}

TEST_F(Pages, SheetsFillTheDisplayAreaAndADisabledControlGreysThem) {
    form->Show();
    RECT display = pages->DisplayRect();
    TTabSheet* sheet = pages->ActivePage();
    EXPECT_EQ(sheet->Left(), display.left);
    EXPECT_EQ(sheet->Width(), display.right - display.left);
    EXPECT_GT(sheet->Top(), 10);
    pages->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(pages->Handle()));
    EXPECT_TRUE(sheet->Enabled());
    EXPECT_FALSE(sheet->IsEnabledInTree());
}

TEST_F(Pages, FreeingASheetTakesItsTabAway) {
    delete pages->Pages(0);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages->ActivePage(), pages->Pages(0));
}

}  // namespace
}  // namespace forms
