#include "skin/controls/tab_skins.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "forms/page_control.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/tests/win/control_skin_fixture.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using TabSkins = testing_support::SkinnedForm;

forms::TPageControl* NewPages(forms::TForm* form) {
    auto* pages = new forms::TPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(10, 10, 400, 300);
    for (const char* caption : {"First", "Second", "Third"}) {
        auto* sheet = new forms::TTabSheet(form);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
    }
    return pages;
}

RECT TabRect(HWND wnd, int i) {
    RECT r{};
    SendMessageA(wnd, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
}

// The tab with the focus shows frame 2, the others frame 1, and the page is framed by the
// border bitmap; bottom tabs are drawn below the page.
TEST_F(TabSkins, TabsAndPageBorder) {
    for (bool bottom : {false, true}) {
        SCOPED_TRACE(bottom ? "bottom" : "top");
        forms::TPageControl* pages = NewPages(form);
        HWND wnd = pages->Handle();
        if (bottom) SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) | TCS_BOTTOM);
        pages->SetActivePageIndex(1);
        Pump();
        SkinChildControls(*list, *form);
        auto* skin = dynamic_cast<TSkinTab*>(list->FindByHandle(wnd));
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->TabPosition(), bottom ? 1 : 0);
        const PaintedPixels pixels(wnd);
        const RECT selected = TabRect(wnd, 1);
        const RECT other = TabRect(wnd, 2);
        const int dy = bottom ? 0 : 1;
        EXPECT_EQ(pixels.At(selected.left + 3, (selected.top + selected.bottom) / 2 + dy), Rgb(probe::k_tabs[1]));
        EXPECT_EQ(pixels.At(other.left + 3, (other.top + other.bottom) / 2 + dy), Rgb(probe::k_tabs[0]));
        RECT page{0, 0, pixels.Width(), pixels.Height()};
        SendMessageA(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        InflateRect(&page, 4, 4);
        EXPECT_EQ(pixels.At(page.left + 1, (page.top + page.bottom) / 2), Rgb(probe::k_tabborder[0]));
        EXPECT_EQ(pixels.At(page.right - 2, (page.top + page.bottom) / 2), Rgb(probe::k_tabborder[0]));
        list->UnskinAll();
        delete pages;
        Pump();
    }
}

}  // namespace
}  // namespace skin
