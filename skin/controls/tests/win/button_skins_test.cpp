#include "skin/controls/button_skins.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "forms/button.h"
#include "forms/check_box.h"
#include "skin/controls/tests/win/control_skin_fixture.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using ButtonSkins = testing_support::SkinnedForm;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The Buttons frame a skinned push button shows, by the state real messages put it in.
TEST_F(ButtonSkins, PushButtonFramePerState) {
    const struct {
        const char* state;
        std::function<void(forms::TButton&)> drive;
        int frame;
    } cases[] = {
        {"normal", [](forms::TButton&) {}, 1},
        {"hot", [](forms::TButton& b) { SendMessageA(b.Handle(), WM_MOUSEMOVE, 0, At(5, 5)); }, 4},
        {"pressed", [](forms::TButton& b) { SendMessageA(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5)); }, 2},
        {"disabled", [](forms::TButton& b) { b.SetEnabled(false); }, 3},
        {"default", [](forms::TButton& b) { b.SetDefault(true); }, 5},
        {"disabled default", [](forms::TButton& b) { b.SetDefault(true); b.SetEnabled(false); }, 3},
        {"pressed default",
         [](forms::TButton& b) {
             b.SetDefault(true);
             SendMessageA(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
         },
         2},
        {"focused", [](forms::TButton& b) { b.SetFocus(); }, 4},
        {"space held", [](forms::TButton& b) { b.SetFocus(); SendMessageA(b.Handle(), WM_KEYDOWN, VK_SPACE, 0); }, 2},
        {"space released",
         [](forms::TButton& b) {
             b.SetFocus();
             SendMessageA(b.Handle(), WM_KEYDOWN, VK_SPACE, 0);
             SendMessageA(b.Handle(), WM_KEYUP, VK_SPACE, 0);
         },
         4},
        {"mouse left",
         [](forms::TButton& b) {
             SendMessageA(b.Handle(), WM_MOUSEMOVE, 0, At(5, 5));
             SendMessageA(b.Handle(), forms::CM_MOUSELEAVE, 0, 0);
         },
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        auto* button = new forms::TButton(form);
        button->SetParent(form);
        button->SetBounds(20, 20, 90, 30);
        button->SetCaption("Go");
        auto* skin = new TSkinButton(button);
        skin->AttachControl(list.get(), data.get(), false);
        c.drive(*button);
        Pump();
        const PaintedPixels pixels(button->Handle());
        EXPECT_EQ(pixels.At(4, 4), Rgb(probe::k_button[c.frame - 1]));
        EXPECT_EQ(pixels.At(pixels.Width() - 5, pixels.Height() - 5), Rgb(probe::k_button[c.frame - 1]));
        delete button;
        Pump();
    }
    EXPECT_TRUE(list->Skins().empty()) << "a freed control takes its skin off the list";
}

// A button that handles its own presses.
class TPressButton : public forms::TButton {
public:
    using forms::TButton::TButton;
    struct Press {
        forms::TMouseButton button;
        forms::TShiftState shift;
        int x, y;
    };
    std::vector<Press> presses;

protected:
    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override {
        presses.push_back({button, shift, x, y});
        forms::TButton::MouseDown(button, shift, x, y);
    }
};

// The press the skin takes reaches the button's own mouse-down handling, with its point and
// keys, whether or not an OnMouseDown handler is assigned.
TEST_F(ButtonSkins, APressReachesTheButtonsOwnMouseDown) {
    for (const bool withHandler : {false, true}) {
        SCOPED_TRACE(withHandler ? "with a handler" : "without a handler");
        auto* button = new TPressButton(form);
        button->SetParent(form);
        button->SetBounds(20, 20, 90, 30);
        int events = 0;
        if (withHandler) button->OnMouseDown = [&](forms::TObject*, forms::TMouseButton, forms::TShiftState, int, int) { ++events; };
        (new TSkinButton(button))->AttachControl(list.get(), data.get(), false);
        SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(7, 9));
        SendMessageA(button->Handle(), WM_LBUTTONUP, 0, At(7, 9));
        Pump();
        ASSERT_EQ(button->presses.size(), 1u);
        const TPressButton::Press& p = button->presses[0];
        EXPECT_EQ(p.button, forms::mbLeft);
        EXPECT_EQ(p.x, 7);
        EXPECT_EQ(p.y, 9);
        EXPECT_TRUE(p.shift & forms::ssShift);
        EXPECT_EQ(events, withHandler ? 1 : 0);
        delete button;
    }
}

// Moving onto a second button un-hots the first.
TEST_F(ButtonSkins, OneHotButtonAtATime) {
    forms::TButton* buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new forms::TButton(form);
        buttons[i]->SetParent(form);
        buttons[i]->SetBounds(20 + 100 * i, 20, 90, 30);
        (new TSkinButton(buttons[i]))->AttachControl(list.get(), data.get(), false);
    }
    SendMessageA(buttons[0]->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(PaintedPixels(buttons[0]->Handle()).At(4, 4), Rgb(probe::k_button[3]));
    SendMessageA(buttons[1]->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(PaintedPixels(buttons[0]->Handle()).At(4, 4), Rgb(probe::k_button[0]));
    EXPECT_EQ(PaintedPixels(buttons[1]->Handle()).At(4, 4), Rgb(probe::k_button[3]));
}

// A click needs press and release on the same button; the skin makes it at the release.
TEST_F(ButtonSkins, AClickNeedsPressAndReleaseOnTheSameButton) {
    int clicks[2] = {0, 0};
    forms::TButton* buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new forms::TButton(form);
        buttons[i]->SetParent(form);
        buttons[i]->SetBounds(20 + 100 * i, 20, 90, 30);
        buttons[i]->OnClick = [&clicks, i](forms::TObject*) { ++clicks[i]; };
        (new TSkinButton(buttons[i]))->AttachControl(list.get(), data.get(), false);
    }
    SendMessageA(buttons[0]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(buttons[1]->Handle(), WM_LBUTTONUP, 0, At(5, 5));
    Pump();
    EXPECT_EQ(clicks[0], 0);
    EXPECT_EQ(clicks[1], 0);
    SendMessageA(buttons[1]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(buttons[1]->Handle(), WM_LBUTTONUP, 0, At(5, 5));
    Pump();
    EXPECT_EQ(clicks[0], 0);
    EXPECT_EQ(clicks[1], 1);
}

// The columns of a button's middle band that carry text: first and last, -1 when none. Ink
// is what differs clearly from the band's own left end.
std::pair<int, int> InkedColumns(const PaintedPixels& pixels) {
    const int mid = pixels.Height() / 2;
    std::pair<int, int> span{-1, -1};
    for (int x = 4; x < pixels.Width() - 4; ++x) {
        for (int y = mid - 7; y <= mid + 7; ++y) {
            const COLORREF back = pixels.At(4, y), c = pixels.At(x, y);
            const int d = std::abs(GetRValue(c) - GetRValue(back)) + std::abs(GetGValue(c) - GetGValue(back)) +
                          std::abs(GetBValue(c) - GetBValue(back));
            if (d < 96) continue;
            if (span.first < 0) span.first = x;
            span.second = x;
            break;
        }
    }
    return span;
}

// A skinned button shows the whole caption the plain one shows: the last letter's overhang
// ("r" of "Swimwear") is not cut off.
TEST_F(ButtonSkins, ASkinnedButtonShowsTheWholeCaption) {
    for (const char* caption : {"Swimwear", "Underwear", "Glamour", "Fashion"}) {
        SCOPED_TRACE(caption);
        auto* button = new forms::TButton(form);
        button->SetParent(form);
        button->SetBounds(20, 20, 120, 26);
        button->SetCaption(caption);
        Pump();
        const auto plain = InkedColumns(PaintedPixels(button->Handle()));
        ASSERT_GE(plain.first, 0);
        (new TSkinButton(button))->AttachControl(list.get(), data.get(), false);
        const auto skinned = InkedColumns(PaintedPixels(button->Handle()));
        EXPECT_EQ(skinned.second - skinned.first, plain.second - plain.first)
            << "plain " << plain.first << ".." << plain.second << ", skinned " << skinned.first << ".." << skinned.second;
        delete button;
    }
}

// A disabled button's caption is drawn in the skin's shadow colour, one the skin picks to
// read on its disabled face, whether the button is a form's or a raw window.
TEST_F(ButtonSkins, DisabledCaptionInTheSkinsShadowColour) {
    const COLORREF shadow = forms::ColorToRGB(static_cast<forms::TColor>(data->Elements().colours.ButtonShadow));
    auto inked = [&](HWND wnd) {
        const PaintedPixels pixels(wnd);
        for (int y = 4; y < pixels.Height() - 4; ++y)
            for (int x = 4; x < pixels.Width() - 4; ++x)
                if (pixels.At(x, y) == shadow) return true;
        return false;
    };
    auto* button = new forms::TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 120, 26);
    button->SetCaption("Disabled");
    button->SetEnabled(false);
    (new TSkinButton(button))->AttachControl(list.get(), data.get(), false);
    EXPECT_TRUE(inked(button->Handle())) << "a form's button";
    HWND raw = CreateWindowExA(0, "BUTTON", "Disabled", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 20, 60, 120, 26,
                               form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(raw, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    (new TSkinButton(nullptr))->AttachHandle(raw, data.get(), list.get());
    EXPECT_TRUE(inked(raw)) << "a raw button";
    list->UnskinAll();
    DestroyWindow(raw);
}

// A click handler that frees the button (and with it the skin whose handler runs) is safe.
TEST_F(ButtonSkins, AClickHandlerMayFreeTheButton) {
    auto* button = new forms::TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 90, 30);
    bool clicked = false;
    button->OnClick = [&](forms::TObject*) {
        clicked = true;
        delete button;
    };
    (new TSkinButton(button))->AttachControl(list.get(), data.get(), false);
    HWND wnd = button->Handle();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(wnd, WM_LBUTTONUP, 0, At(5, 5));
    Pump();
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_TRUE(list->Skins().empty());
}

TEST_F(ButtonSkins, CaptionHoldingTwoBarsBreaksOnceThere) {
    auto* button = new forms::TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 120, 60);
    button->SetCaption("Top||Bottom||X");
    (new TSkinButton(button))->AttachControl(list.get(), data.get(), false);
    const PaintedPixels pixels(button->Handle());
    // Two lines of text: some row in the upper and some in the lower half differ from the face.
    const COLORREF face = Rgb(probe::k_button[0]);
    auto rowHasText = [&](int y) {
        for (int x = 0; x < pixels.Width(); ++x)
            if (pixels.At(x, y) != face) return true;
        return false;
    };
    int textRows = 0, bands = 0;
    bool previous = false;
    for (int y = 0; y < pixels.Height(); ++y) {
        const bool text = rowHasText(y);
        if (text) ++textRows;
        if (text && !previous) ++bands;
        previous = text;
    }
    EXPECT_EQ(bands, 2);
    EXPECT_GT(textRows, 0);
}

// The mark a check box or radio button shows, by state, from the probe's 8-frame strips:
// a check strip reads its first four frames, a radio strip of 8 its rows of four.
TEST_F(ButtonSkins, CheckAndRadioMarksPerState) {
    const TDataSkinButton& b = *data->Elements().buttons;
    ASSERT_EQ(b.CheckButtonFrame, 8);
    ASSERT_EQ(b.RadioButtonFrame, 8);
    const struct {
        const char* state;
        bool checked, disabled, grayed;
        int checkFrame, radioFrame;
    } cases[] = {
        {"unchecked", false, false, false, 1, 1},
        {"checked", true, false, false, 2, 5},
        {"unchecked disabled", false, true, false, 3, 4},
        {"checked disabled", true, true, false, 4, 8},
        {"indeterminate", false, false, true, 4, 0},
    };
    auto markCentre = [](const forms::PixelBuffer& strip, int n, int height) {
        const int w = strip.width() / n;
        const int left = w > 14 ? 2 : (14 - w) / 2 + 1;
        const int top = (height - strip.height()) / 2;
        return POINT{left + w / 2, top + strip.height() / 2};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        auto* check = new forms::TCheckBox(form);
        check->SetParent(form);
        check->SetBounds(20, 80, 150, 24);
        check->SetAllowGrayed(true);
        (new TSkinCheckBox(check))->AttachControl(list.get(), data.get(), false);
        if (c.grayed) check->SetState(forms::cbGrayed);
        else check->SetChecked(c.checked);
        check->SetEnabled(!c.disabled);
        const POINT p = markCentre(b.checkImage, 8, 24);
        EXPECT_EQ(PaintedPixels(check->Handle()).At(p.x, p.y), Rgb(probe::k_check[c.checkFrame - 1]));
        delete check;
        if (c.radioFrame == 0) continue;
        auto* radio = new forms::TRadioButton(form);
        radio->SetParent(form);
        radio->SetBounds(20, 120, 150, 24);
        (new TSkinRadioButton(radio))->AttachControl(list.get(), data.get(), false);
        radio->SetChecked(c.checked);
        radio->SetEnabled(!c.disabled);
        const int w = b.radioImage.width() / 8;
        const int left = w > 14 ? 0 : (14 - w) / 2;
        const int top = (24 - b.radioImage.height()) / 2;
        EXPECT_EQ(PaintedPixels(radio->Handle()).At(left + w / 2, top + b.radioImage.height() / 2),
                  Rgb(probe::k_radio[c.radioFrame - 1]));
        delete radio;
    }
}

}  // namespace
}  // namespace skin
