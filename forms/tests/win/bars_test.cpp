// The thin wrappers over the system's bar classes: what they hand the class and read back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/bit_btn.h"
#include "forms/progress_bar.h"
#include "forms/scroll_bar.h"
#include "forms/status_bar.h"
#include "forms/tab_set.h"
#include "forms/tests/win/standard_controls_fixture.h"
#include "forms/track_bar.h"
#include "tests/support/painted_pixels.h"

namespace forms {
namespace {

using Bars = testing_support::ShownForm;

// The arrows, track and thumb move the position within the range (a page ends where the last
// page can start), and each move is reported once.
TEST_F(Bars, ScrollBarCodesMoveThePositionInsideTheRange) {
    auto* bar = new TScrollBar(form);
    bar->SetParent(form);
    bar->SetBounds(10, 10, 200, 17);
    bar->SetMax(99);
    bar->SetPageSize(10);
    bar->SetLargeChange(5);
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    const struct {
        int code, expected;
    } steps[] = {{SB_LINEDOWN, 1}, {SB_PAGEDOWN, 11}, {SB_BOTTOM, 90}, {SB_LINEDOWN, 90}, {SB_LINEUP, 89}, {SB_TOP, 0}, {SB_LINEUP, 0}};
    for (const auto& s : steps) {
        SendMessageA(form->Handle(), WM_HSCROLL, static_cast<WPARAM>(s.code), reinterpret_cast<LPARAM>(bar->Handle()));
        EXPECT_EQ(bar->Position(), s.expected) << "code " << s.code;
        EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), s.expected);
    }
    EXPECT_EQ(changes, 5) << "no report where the position stayed";
    bar->SetKind(sbVertical);
    EXPECT_TRUE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBS_VERT);
    EXPECT_EQ(bar->Width(), 17);
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 0) << "a new window keeps the position";
}

// Panels reach the class with their widths, bevels and texts; the simple panel replaces them.
TEST_F(Bars, StatusBarPanelsAndSimpleText) {
    auto* bar = new TStatusBar(form);
    bar->SetParent(form);
    bar->SetPanels({{"One", 80, pbLowered}, {"Two", 60, pbRaised}, {"Three", 50, pbNone}});
    HWND wnd = bar->Handle();
    ASSERT_EQ(SendMessageA(wnd, SB_GETPARTS, 0, 0), 3);
    std::vector<int> rights(3);
    SendMessageA(wnd, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(rights.data()));
    EXPECT_EQ(rights[0], 80);
    EXPECT_EQ(rights[1], 140);
    EXPECT_EQ(rights[2], -1);
    char text[32] = {};
    const LRESULT raised = SendMessageA(wnd, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Two");
    EXPECT_EQ(HIWORD(raised) & SBT_POPOUT, SBT_POPOUT);
    EXPECT_EQ(HIWORD(SendMessageA(wnd, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text))) & SBT_NOBORDERS, SBT_NOBORDERS);
    bar->SetSimpleText("Ready");
    bar->SetSimplePanel(true);
    EXPECT_TRUE(SendMessageA(wnd, SB_ISSIMPLE, 0, 0));
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & SBARS_SIZEGRIP);
    bar->SetSizeGrip(false);
    EXPECT_FALSE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
    EXPECT_TRUE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0)) << "a new window keeps the simple panel";
}

// A panel's text sits where its alignment puts it, drawn by the class itself; a right-to-left
// panel swaps left and right.
TEST_F(Bars, StatusPanelTextFollowsItsAlignment) {
    const struct {
        TAlignment alignment;
        bool rightToLeft;
        const char* expected;
    } cases[] = {
        {taLeftJustify, false, "left"},  {taRightJustify, false, "right"}, {taCenter, false, "centre"},
        {taLeftJustify, true, "right"},  {taRightJustify, true, "left"},   {taCenter, true, "centre"},
    };
    auto* bar = new TStatusBar(form);
    bar->SetParent(form);
    bar->SetSizeGrip(false);
    bar->SetHeight(24);
    Pump();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.alignment) + (c.rightToLeft ? " right to left" : ""));
        TStatusPanel panel{"WWW", 240, pbNone, c.alignment};
        panel.RightToLeft = c.rightToLeft;
        bar->SetPanels({panel, {"", 100, pbNone}});
        RECT p{};
        SendMessageA(bar->Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&p));
        const testsupport::PaintedPixels pixels(bar->Handle());
        EXPECT_STREQ(testsupport::TextPlacement(pixels, p, face), c.expected) << "\"\" is no text drawn";
    }
}

// Range and position survive the window being made again for a new orientation.
TEST_F(Bars, RangeAndPositionSurviveANewOrientation) {
    auto* progress = new TProgressBar(form);
    progress->SetParent(form);
    progress->SetMax(40);
    progress->SetPosition(30);
    progress->SetOrientation(pbVertical);
    EXPECT_TRUE(GetWindowLongPtrA(progress->Handle(), GWL_STYLE) & PBS_VERTICAL);
    EXPECT_EQ(SendMessageA(progress->Handle(), PBM_GETRANGE, FALSE, 0), 40);
    EXPECT_EQ(progress->Position(), 30);
    auto* track = new TTrackBar(form);
    track->SetParent(form);
    track->SetMax(20);
    track->SetPosition(7);
    track->SetOrientation(trVertical);
    EXPECT_TRUE(GetWindowLongPtrA(track->Handle(), GWL_STYLE) & TBS_VERT);
    EXPECT_EQ(track->Position(), 7);
}

// Tabs that overflow the set bring its scroller, whose right arrow moves the first tab shown.
TEST_F(Bars, TabSetScrollsItsTabs) {
    auto* set = new TTabSet(form);
    set->SetParent(form);
    set->SetBounds(10, 10, 150, 21);
    set->SetTabs({"One", "Two"});
    EXPECT_FALSE(set->Scroller()->Visible());
    set->SetTabs({"January", "February", "March", "April", "May", "June"});
    ASSERT_TRUE(set->Scroller()->Visible());
    HWND arrows = set->Scroller()->Handle();
    RECT r{};
    GetClientRect(arrows, &r);
    const LPARAM right = MAKELPARAM(r.right - 3, r.bottom / 2);
    SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, right);
    SendMessageA(arrows, WM_LBUTTONUP, 0, right);
    Pump();
    EXPECT_EQ(set->FirstIndex(), 1);
    const RECT first = set->TabRect(0);
    EXPECT_TRUE(IsRectEmpty(&first));
    EXPECT_EQ(set->TabRect(1).left, set->StartMargin());
    set->SetTabs({"One"});
    EXPECT_EQ(set->FirstIndex(), 0);
    EXPECT_FALSE(set->Scroller()->Visible());
}

// A bitmap button keeps its owner-drawn face when it becomes the default button.
TEST_F(Bars, BitButtonStaysOwnerDrawnAsTheDefault) {
    auto* button = new TBitBtn(form);
    button->SetParent(form);
    button->SetDefault(true);
    EXPECT_EQ(GetWindowLongPtrA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    button->SetFocus();
    EXPECT_EQ(GetWindowLongPtrA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

}  // namespace
}  // namespace forms
