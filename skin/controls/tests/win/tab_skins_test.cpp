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
// border bitmap, whichever side the tabs stand on.
TEST_F(TabSkins, TabsAndPageBorderOnEachSide) {
    const struct {
        const char* side;
        LONG_PTR style;
        int position;
    } sides[] = {{"top", 0, 0}, {"bottom", TCS_BOTTOM, 1}, {"left", TCS_VERTICAL | TCS_MULTILINE, 2},
                 {"right", TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, 3}};
    for (const auto& side : sides) {
        SCOPED_TRACE(side.side);
        forms::TPageControl* pages = NewPages(form);
        HWND wnd = pages->Handle();
        SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) | side.style);
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        pages->SetActivePageIndex(1);
        Pump();
        SkinChildControls(*list, *form);
        auto* skin = dynamic_cast<TSkinTab*>(list->FindByHandle(wnd));
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->TabPosition(), side.position);
        const PaintedPixels pixels(wnd);
        const RECT selected = TabRect(wnd, 1);
        const RECT other = TabRect(wnd, 2);
        // A point inside a tab, clear of its text and of the one-pixel shift of top tabs.
        auto inside = [&](const RECT& r) {
            return side.position >= 2 ? POINT{(r.left + r.right) / 2, r.top + 3} : POINT{r.left + 3, (r.top + r.bottom) / 2 + 1};
        };
        const POINT s = inside(selected), o = inside(other);
        EXPECT_EQ(pixels.At(s.x, s.y), Rgb(probe::k_tabs[1]));
        EXPECT_EQ(pixels.At(o.x, o.y), Rgb(probe::k_tabs[0]));
        RECT page{0, 0, pixels.Width(), pixels.Height()};
        SendMessageA(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        InflateRect(&page, 4, 4);
        const int midX = (page.left + page.right) / 2, midY = (page.top + page.bottom) / 2;
        // Edges away from the tabs.
        if (side.position != 2) {
            EXPECT_EQ(pixels.At(page.left + 1, midY), Rgb(probe::k_tabborder[0]));
        }
        if (side.position != 3) {
            EXPECT_EQ(pixels.At(page.right - 2, midY), Rgb(probe::k_tabborder[0]));
        }
        if (side.position != 0) {
            EXPECT_EQ(pixels.At(midX, page.top + 1), Rgb(probe::k_tabborder[0]));
        }
        if (side.position != 1) {
            EXPECT_EQ(pixels.At(midX, page.bottom - 2), Rgb(probe::k_tabborder[0]));
        }
        list->UnskinAll();
        delete pages;
        Pump();
    }
}

}  // namespace
}  // namespace skin
