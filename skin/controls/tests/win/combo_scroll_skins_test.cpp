#include <gtest/gtest.h>

#include <string>

#include "forms/combo_box.h"
#include "forms/edit.h"
#include "forms/subclass.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/combo_skins.h"
#include "skin/controls/scroll_skins.h"
#include "skin/controls/tests/win/control_skin_fixture.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using testing_support::ScreenPixel;
using ComboSkins = testing_support::SkinnedForm;
using ScrollSkins = testing_support::SkinnedForm;

forms::TComboBox* NewCombo(forms::TForm* form, int top, forms::TComboBoxStyle style = forms::csDropDown) {
    auto* combo = new forms::TComboBox(form);
    combo->SetParent(form);
    combo->SetStyle(style);
    combo->SetBounds(20, top, 150, 24);
    combo->Items()->Add("one");
    combo->Items()->Add("two");
    return combo;
}

// The combo's button area shows the strip's frame for its state: the arrow glyph of that frame
// covers the button.
TEST_F(ComboSkins, ButtonAreaPerState) {
    const struct {
        const char* state;
        std::function<void(forms::TComboBox&)> drive;
        int frame;
    } cases[] = {
        {"normal", [](forms::TComboBox&) {}, 1},
        {"hot", [](forms::TComboBox& c) { SendMessageA(c.Handle(), forms::CM_MOUSEENTER, 0, 0); }, 4},
        {"focused", [](forms::TComboBox& c) { c.SetFocus(); }, 4},
        {"pressed", [](forms::TComboBox& c) { SendMessageA(c.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(140, 10)); }, 2},
        {"disabled", [](forms::TComboBox& c) { c.SetEnabled(false); }, 3},
    };
    for (forms::TComboBoxStyle style : {forms::csDropDown, forms::csDropDownList}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.state) + (style == forms::csDropDown ? " drop-down" : " drop-down list"));
            forms::TComboBox* combo = NewCombo(form, 20, style);
            auto* skin = new TSkinComBox(combo);
            skin->AttachControl(list.get(), data.get(), false);
            EXPECT_EQ(skin->EditChild() != nullptr, style == forms::csDropDown);
            c.drive(*combo);
            const PaintedPixels pixels(combo->Handle());
            EXPECT_EQ(pixels.At(pixels.Width() - 8, pixels.Height() / 2), Rgb(probe::k_extra[c.frame - 1]));
            SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
            delete combo;
            Pump();
        }
    }
}

// With the scroll bar on the left, the button is drawn on the left from the mirrored strip.
TEST_F(ComboSkins, LeftScrollBarComboHasItsButtonOnTheLeft) {
    forms::TComboBox* combo = NewCombo(form, 20);
    auto* elsewhere = new forms::TComboBox(form);  // holds the focus
    elsewhere->SetParent(form);
    elsewhere->SetBounds(20, 60, 100, 24);
    elsewhere->SetFocus();
    HWND wnd = combo->Handle();
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    (new TSkinComBox(combo))->AttachControl(list.get(), data.get(), false);
    const PaintedPixels pixels(wnd);
    EXPECT_EQ(pixels.At(7, pixels.Height() / 2), Rgb(probe::k_extra[0]));
    EXPECT_NE(pixels.At(pixels.Width() - 8, pixels.Height() / 2), Rgb(probe::k_extra[0]));
}

// The edit child of a drop-down combo is hooked and given back.
TEST_F(ComboSkins, TheEditChildIsHookedAndGivenBack) {
    forms::TComboBox* combo = NewCombo(form, 20);
    HWND edit = GetWindow(combo->Handle(), GW_CHILD);
    ASSERT_NE(edit, nullptr);
    auto procOf = [](HWND w) { return IsWindowUnicode(w) ? GetWindowLongPtrW(w, GWLP_WNDPROC) : GetWindowLongPtrA(w, GWLP_WNDPROC); };
    const LONG_PTR own = procOf(edit);
    auto* skin = new TSkinComBox(combo);
    skin->AttachControl(list.get(), data.get(), false);
    EXPECT_NE(procOf(edit), own);
    SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(skin->State() & kStatePressed, kStatePressed);
    SendMessageA(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(skin->State() & kStatePressed, 0u);
    list->UnskinAll();
    EXPECT_EQ(procOf(edit), own);
}

// A simple combo has no button to draw (the combo information says so) and its list is found.
TEST_F(ComboSkins, ASimpleComboGetsNoButton) {
    forms::TComboBox* combo = NewCombo(form, 20, forms::csSimple);
    combo->SetHeight(120);
    auto* skin = new TSkinComBox(combo);
    skin->AttachControl(list.get(), data.get(), false);
    EXPECT_EQ(skin->EditChild(), nullptr);
    EXPECT_NE(skin->ListHandle(), nullptr);
    const PaintedPixels pixels(combo->Handle());
    for (const std::uint32_t glyph : probe::k_extra) EXPECT_NE(pixels.At(pixels.Width() - 8, 10), Rgb(glyph));
    // Its list, a child window, gets skinned bars of its own: the vertical one on the list's bar
    // once the items overflow.
    auto* bars = dynamic_cast<TSkinScrollbarH*>(list->FindByHandle(skin->ListHandle()));
    ASSERT_NE(bars, nullptr);
    for (int i = 0; i < 40; ++i) combo->Items()->Add("item " + std::to_string(i));
    Pump();
    RedrawWindow(skin->ListHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    ASSERT_TRUE(bars->Vertical()->Visible());
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetScrollBarInfo(skin->ListHandle(), OBJID_VSCROLL, &info));
    RECT overlay{};
    GetWindowRect(bars->Vertical()->Handle(), &overlay);
    EXPECT_TRUE(EqualRect(&overlay, &info.rcScrollBar));
}

TEST(ComboSkinsPlain, APopupOrADesktopChild) {
    HWND popup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND top = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    EXPECT_TRUE(IsPopupOrDesktopChild(popup));
    EXPECT_TRUE(IsPopupOrDesktopChild(top));
    EXPECT_FALSE(IsPopupOrDesktopChild(child));
    DestroyWindow(popup);
    DestroyWindow(top);
}

forms::TMemo* NewMemo(forms::TForm* form, forms::TScrollStyle bars) {
    auto* memo = new forms::TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(20, 20, 220, 160);
    memo->SetScrollBars(bars);
    std::string text;
    for (int i = 1; i <= 100; ++i) text += "line " + std::to_string(i) + "\r\n";
    memo->SetText(text);
    return memo;
}

SCROLLBARINFO BarInfo(HWND wnd, LONG object) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    GetScrollBarInfo(wnd, object, &info);
    return info;
}

RECT ScreenRectOf(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// On a memo of 100 lines the overlay lies on the system bar, shows its thumb where the system
// has it, follows a page down, and shows a disabled bar's track frame 3 without a thumb.
TEST_F(ScrollSkins, TheOverlayFollowsTheMemosBar) {
    forms::TMemo* memo = NewMemo(form, forms::ssVertical);
    Pump();
    SkinChildControls(*list, *form);
    Pump();
    auto* skin = dynamic_cast<TSkinScrollbar*>(list->FindByHandle(memo->Handle()));
    ASSERT_NE(skin, nullptr);
    TWScrollbar* bar = skin->Vertical();
    ASSERT_TRUE(bar->Visible());
    EXPECT_FALSE(skin->Horizontal()->Visible());
    SCROLLBARINFO info = BarInfo(memo->Handle(), OBJID_VSCROLL);
    EXPECT_TRUE(SameRect(ScreenRectOf(bar->Handle()), info.rcScrollBar));
    EXPECT_TRUE(IsWindowVisible(bar->Handle()));
    EXPECT_EQ(GetParent(bar->Handle()), form->Handle()) << "a sibling of the memo";

    const int x = 8;
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    const int firstThumb = info.xyThumbTop;
    {
        const PaintedPixels pixels(bar->Handle());
        EXPECT_EQ(pixels.At(x, arrow / 2), Rgb(probe::k_scrollarrows[8]));
        EXPECT_EQ(pixels.At(x, pixels.Height() - arrow / 2), Rgb(probe::k_scrollarrows[12]));
        EXPECT_EQ(pixels.At(x, (info.xyThumbTop + info.xyThumbBottom) / 2), Rgb(probe::k_vthumb[0]));
        EXPECT_EQ(pixels.At(x, info.xyThumbBottom + 4), Rgb(probe::k_vscroll[0]));
    }
    SendMessageA(memo->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    Pump();
    info = BarInfo(memo->Handle(), OBJID_VSCROLL);
    ASSERT_GT(info.xyThumbTop, firstThumb);
    {
        const PaintedPixels pixels(bar->Handle());
        EXPECT_EQ(pixels.At(x, (info.xyThumbTop + info.xyThumbBottom) / 2), Rgb(probe::k_vthumb[0]));
        EXPECT_EQ(pixels.At(x, firstThumb + 1), Rgb(probe::k_vscroll[0]));
    }
    EnableScrollBar(memo->Handle(), SB_VERT, ESB_DISABLE_BOTH);
    {
        const PaintedPixels pixels(bar->Handle());
        EXPECT_EQ(pixels.At(x, (info.xyThumbTop + info.xyThumbBottom) / 2), Rgb(probe::k_vscroll[2]));
    }
}

// A bar switched on after attach gets its overlay at the next frame paint; with both bars the
// corner between them is the face colour.
TEST_F(ScrollSkins, ABarSwitchedOnLaterAndTheCorner) {
    forms::TMemo* memo = NewMemo(form, forms::ssVertical);
    Pump();
    SkinChildControls(*list, *form);
    auto* skin = dynamic_cast<TSkinScrollbar*>(list->FindByHandle(memo->Handle()));
    ASSERT_NE(skin, nullptr);
    EXPECT_FALSE(skin->Horizontal()->Visible());
    ShowScrollBar(memo->Handle(), SB_HORZ, TRUE);
    Pump();
    ASSERT_TRUE(skin->Horizontal()->Visible());
    EXPECT_TRUE(SameRect(ScreenRectOf(skin->Horizontal()->Handle()), BarInfo(memo->Handle(), OBJID_HSCROLL).rcScrollBar));
    const RECT v = BarInfo(memo->Handle(), OBJID_VSCROLL).rcScrollBar;
    const RECT h = BarInfo(memo->Handle(), OBJID_HSCROLL).rcScrollBar;
    const RECT window = ScreenRectOf(memo->Handle());
    EXPECT_EQ(ScreenPixel(memo->Handle(), (v.left + v.right) / 2 - window.left, (h.top + h.bottom) / 2 - window.top), Face());
    // Two pixels past the square's right and bottom too, over the edge the memo's border drew.
    EXPECT_EQ(ScreenPixel(memo->Handle(), v.right + 1 - window.left, h.bottom + 1 - window.top), Face());
}

// A press on an overlay hands the host its own scroll loop; a host freed inside it (its
// handler closed the form) takes the skin and the overlay with it, and the press ends quietly.
TEST_F(ScrollSkins, AHostFreedDuringThePressEndsItQuietly) {
    forms::TMemo* memo = NewMemo(form, forms::ssVertical);
    Pump();
    SkinChildControls(*list, *form);
    auto* skin = dynamic_cast<TSkinScrollbar*>(list->FindByHandle(memo->Handle()));
    ASSERT_NE(skin, nullptr);
    HWND overlay = skin->Vertical()->Handle();
    bool pressed = false;
    forms::WindowSubclass closer(memo->Handle(), [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next) -> LRESULT {
        if (msg != WM_NCLBUTTONDOWN) return next(msg, wParam, lParam);
        pressed = true;
        delete memo;
        return 0;
    });
    SendMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 30));
    Pump();
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(IsWindow(overlay));
    EXPECT_EQ(list->FindByHandle(overlay), nullptr);
    EXPECT_TRUE(list->Skins().empty());
}

// Unskinned, the overlays are gone.
TEST_F(ScrollSkins, UnskinRemovesTheOverlays) {
    forms::TMemo* memo = NewMemo(form, forms::ssBoth);
    Pump();
    SkinChildControls(*list, *form);
    auto* skin = dynamic_cast<TSkinScrollbar*>(list->FindByHandle(memo->Handle()));
    ASSERT_NE(skin, nullptr);
    HWND overlay = skin->Vertical()->Handle();
    ASSERT_TRUE(IsWindow(overlay));
    list->UnskinAll();
    EXPECT_FALSE(IsWindow(overlay));
}

}  // namespace
}  // namespace skin
