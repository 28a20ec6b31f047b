#include "skin/frame/portable/frame_rules.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

using namespace style_bits;

TEST(FrameRules, FrameKindsOfTheWindowsBothProgramsHave) {
    const struct {
        const char* what;
        std::uint32_t style, exStyle;
        const char* className;
        FrameKind kind;
        bool systemDialog;
    } cases[] = {
        {"sizable main window", kCaption | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox, 0, "TMainForm", kFrameSizable, false},
        {"fixed owned dialog", kCaption, kExDlgModalFrame, "TProcessForm", kFrameDialog, false},
        {"fixed single border", kCaption | kMinimizeBox, 0, "TBurnForm", kFrameFixed, false},
        {"popup without caption", kPopup | 0x800000, 0, "TSplash", kFramePopup, false},
        {"popup with a caption is not kind 2", kPopup | kCaption, 0, "TForm", kFrameFixed, false},
        {"modal frame style", kCaption | kModalFrame, 0, "TForm", kFrameDialog, false},
        {"message box", kPopup | kCaption | kSysMenu | kModalFrame, 0, "#32770", kFrameDialog, true},
        {"form message box", kCaption, 0, "TMessageForm", kFrameDialog, true},
    };
    for (const auto& c : cases) {
        const FrameClass f = ClassifyFrame(c.style, c.exStyle, c.className);
        EXPECT_EQ(f.kind, c.kind) << c.what;
        EXPECT_EQ(f.systemDialog, c.systemDialog) << c.what;
    }
    EXPECT_EQ(FrameFlagsOf(kSysMenu | kMaximizeBox, false), kHasSystemMenu | kHasMaximizeBox);
    EXPECT_EQ(FrameFlagsOf(kMinimizeBox, true), kHasSystemMenu | kHasMinimizeBox);
    EXPECT_EQ(FrameFlagsOf(kCaption, false), 0);
}

TEST(FrameRules, SystemButtonVisibility) {
    const int full = kHasSystemMenu | kHasMaximizeBox | kHasMinimizeBox;
    SysButtonState sizable{kFrameSizable, full, false, true, false, false, false, {}};
    SysButtonState noSysMenu{kFrameFixed, kHasMinimizeBox, false, true, false, false, false, {}};
    SysButtonState dialog{kFrameDialog, kHasSystemMenu, false, true, true, false, false, {}};
    SysButtonState maximised = sizable;
    maximised.maximised = true;
    SysButtonState inactive = sizable;
    inactive.active = false;
    SysButtonState queried = sizable;
    queried.query = [](int index) { return index == 4 ? 1 : 0; };
    const struct {
        const char* what;
        SysButtonSpec button;
        int index;
        const SysButtonState& state;
        bool visible;
    } cases[] = {
        {"close, code 0, system menu", {0, 1, 0, 0, 0, 0}, 0, sizable, true},
        {"close, code 0, no system menu", {0, 1, 0, 0, 0, 0}, 0, noSysMenu, false},
        {"close, always code, no system menu", {0, 1, 0, 0, 500, 0}, 0, noSysMenu, false},
        {"close, always code, system menu", {0, 1, 0, 0, 500, 0}, 0, sizable, true},
        {"maximise needs its box", {1, 1, 0, 0, 0, 0}, 1, noSysMenu, false},
        {"minimise with its box", {2, 1, 0, 0, 0, 0}, 2, noSysMenu, true},
        {"code 6 needs the system menu too", {22, 1, 0, 0, 6, 0}, 1, noSysMenu, false},
        {"code 6 second needs the box only", {22, 1, 0, 0, 0, 6}, 1, sizable, true},
        {"restore shows when maximised", {22, 1, 0, 0, 1, 0}, 1, maximised, true},
        {"maximise hides when maximised", {22, 1, 0, 0, 2, 0}, 1, maximised, false},
        {"inactive code", {50, 1, 0, 0, 4, 0}, 1, inactive, true},
        {"active code on an inactive window", {50, 1, 0, 0, 3, 0}, 1, inactive, false},
        {"icon on a dialog frame", {3, 0, 0, 0, 0, 0}, 3, dialog, false},
        {"icon without a system menu", {3, 0, 0, 0, 201, 0}, 3, noSysMenu, false},
        {"system-menu button without a system menu", {12, 0, 0, 0, 0, 0}, 3, noSysMenu, false},
        {"icon on a sizable window", {11, 0, 0, 0, 0, 0}, 3, sizable, true},
        {"code 5 never", {50, 1, 0, 0, 5, 0}, 1, sizable, false},
        {"code 200 on a dialog frame of ours", {50, 1, 0, 0, 200, 0}, 1, SysButtonState{kFrameDialog, full, false, true, false, false, false, {}}, true},
        {"code 200 on a system dialog", {50, 1, 0, 0, 200, 0}, 1, dialog, false},
        {"code 100 without a maximised child", {7, 100, 0, 0, 100, 100}, 5, sizable, false},
        {"query answered yes", {50, 1, 0, 0, 1500, 0}, 4, queried, true},
        {"query answered no", {50, 1, 0, 0, 1500, 0}, 5, queried, false},
        {"unknown code", {50, 1, 0, 0, 3000, 0}, 1, sizable, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSysButtonVisible(c.button, c.index, c.state), c.visible) << c.what;
}

TEST(FrameRules, SystemButtonLayoutByAlignment) {
    SysButtonPlace place;
    place.windowWidth = 300;
    place.leftBorder = 6;
    place.rightBorder = 8;
    place.topBorder = 26;
    place.menuHeight = 20;
    place.menuBarLeftMargin = 4;
    place.captionText = SkinRect{100, 5, 180, 20};
    const struct {
        int align;
        bool rightToLeft;
        SkinRect expected;
    } cases[] = {
        {0, false, {10, 3, 28, 19}},
        {1, false, {290, 3, 308, 19}},
        {2, false, {72, 3, 90, 19}},
        {8, false, {72, 3, 90, 19}},
        {3, false, {190, 3, 208, 19}},
        {9, false, {190, 3, 208, 19}},
        {100, false, {278, 28, 296, 44}},
        {100, true, {20, 28, 38, 44}},
    };
    for (const auto& c : cases) {
        place.rightToLeft = c.rightToLeft;
        SysButtonSpec b{0, c.align, 10, 3, 0, 0};
        EXPECT_EQ(LayoutSysButton(b, 18, 16, place), c.expected) << "align " << c.align << " rtl " << c.rightToLeft;
    }
}

}  // namespace
}  // namespace skin
