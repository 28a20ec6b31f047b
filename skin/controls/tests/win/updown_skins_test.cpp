#include "skin/controls/updown_skins.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "forms/date_time_picker.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/tests/win/control_skin_fixture.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using UpDownSkins = testing_support::SkinnedForm;

// Each half shows its own state: pressed only in the half under the cursor.
TEST_F(UpDownSkins, EachHalfInItsOwnState) {
    HWND wnd = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 300, 20, 20, 40, form->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    auto* skin = new TSkinUpDown(nullptr);
    skin->AttachHandle(wnd, data.get(), list.get());
    RECT screen{};
    GetWindowRect(wnd, &screen);
    auto halves = [&] {
        const PaintedPixels pixels(wnd);
        return std::pair{pixels.At(1, 1), pixels.At(1, pixels.Height() - 2)};
    };
    const struct {
        const char* state;
        std::function<void()> drive;
        int up, down;
    } cases[] = {
        {"normal", [&] { SetCursorPos(screen.left - 50, screen.top - 10); }, 1, 5},
        {"pressed below",
         [&] {
             SetCursorPos(screen.left + 10, screen.top + 30);
             SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 30));
         },
         1, 6},
        {"released", [&] { SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 30)); SetCursorPos(screen.left - 50, screen.top - 10); }, 1, 5},
        {"disabled", [&] { EnableWindow(wnd, FALSE); }, 3, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        c.drive();
        const auto [up, down] = halves();
        EXPECT_EQ(up, Rgb(probe::k_updownv[c.up - 1]));
        EXPECT_EQ(down, Rgb(probe::k_updownv[c.down - 1]));
    }
    list->UnskinAll();
    DestroyWindow(wnd);
}

// A date picker in up-down mode is skinned as an edit, and its arrows get a skin of their own.
TEST_F(UpDownSkins, APickerInUpDownModeSkinsItsArrows) {
    auto* picker = new forms::TDateTimePicker(form);
    picker->SetParent(form);
    picker->SetBounds(20, 20, 160, 24);
    picker->SetDateMode(forms::dmUpDown);
    Pump();
    SkinChildControls(*list, *form);
    RedrawWindow(picker->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    HWND arrows = FindUpDownChild(picker->Handle());
    ASSERT_NE(arrows, nullptr);
    ASSERT_NE(list->FindByHandle(picker->Handle()), nullptr);
    EXPECT_STREQ(list->FindByHandle(picker->Handle())->SkinClassName(), "TSkinEdit");
    ASSERT_NE(list->FindByHandle(arrows), nullptr);
    EXPECT_STREQ(list->FindByHandle(arrows)->SkinClassName(), "TSkinUpDown");
}

}  // namespace
}  // namespace skin
