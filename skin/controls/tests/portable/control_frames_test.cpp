#include "skin/controls/portable/control_frames.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(ControlFrames, PushButtonStates) {
    const struct {
        const char* state;
        bool focused, isDefault, pressed, hot, enabled;
        int frame;
    } cases[] = {
        {"normal", false, false, false, false, true, 1},   {"hot", false, false, false, true, true, 4},
        {"pressed", false, false, true, true, true, 2},    {"disabled", false, false, false, false, false, 3},
        {"focused", true, false, false, false, true, 4},   {"default", false, true, false, false, true, 5},
        {"focused default", true, true, false, false, true, 5},
        {"disabled default", false, true, false, false, false, 3},
        {"pressed default", true, true, true, true, true, 2},
        {"hot default", false, true, false, true, true, 4},
    };
    for (const auto& c : cases) EXPECT_EQ(PushButtonFrame(c.focused, c.isDefault, c.pressed, c.hot, c.enabled), c.frame) << c.state;
}

TEST(ControlFrames, CheckAndRadioMarksByStripSize) {
    const struct {
        const char* state;
        bool checked, disabled, indeterminate;
        int four, twelve, eight, radioFour;
    } cases[] = {
        {"unchecked", false, false, false, 1, 1, 1, 1},
        {"checked", true, false, false, 2, 5, 5, 2},
        {"unchecked disabled", false, true, false, 3, 4, 4, 3},
        {"checked disabled", true, true, false, 4, 8, 8, 4},
        {"indeterminate", false, false, true, 4, 9, 0, 0},
        {"indeterminate disabled", false, true, true, 4, 12, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_EQ(CheckBoxFrame(c.checked, c.disabled, c.indeterminate, 4), c.four);
        EXPECT_EQ(CheckBoxFrame(c.checked, c.disabled, c.indeterminate, 12), c.twelve);
        if (c.eight != 0) {
            EXPECT_EQ(RadioButtonFrame(c.checked, c.disabled, 8), c.eight);
            EXPECT_EQ(RadioButtonFrame(c.checked, c.disabled, 4), c.radioFour);
        }
    }
}

// A strip with fewer frames than the state asks for shows its last frame, never one past it.
TEST(ControlFrames, FramesStayInsideShortStrips) {
    EXPECT_EQ(CheckBoxFrame(true, true, false, 2), 2);
    EXPECT_EQ(CheckBoxFrame(false, false, true, 3), 3);
    EXPECT_EQ(RadioButtonFrame(true, true, 1), 1);
    EXPECT_EQ(ClampFrame(5, 3), 3);
    EXPECT_EQ(ClampFrame(0, 3), 1);
    EXPECT_EQ(ClampFrame(2, 0), 1);
}

TEST(ControlFrames, ComboButton) {
    EXPECT_EQ(ComboFrame(false, false, true), 1);
    EXPECT_EQ(ComboFrame(true, true, true), 2);
    EXPECT_EQ(ComboFrame(false, false, false), 3);
    EXPECT_EQ(ComboFrame(false, true, true), 4);
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

// The position is kept in its range, and a range without a positive maximum fills nothing
// (it used to divide by it).
TEST(ControlFrames, ProgressFillStaysInsideTheBar) {
    const struct {
        int length, position, minimum, maximum, fill;
    } cases[] = {
        {200, 50, 0, 100, 100}, {200, 150, 0, 100, 200}, {200, 50, 0, 0, 0},   {200, 10, 0, -5, 0},
        {200, -5, -10, 100, 0}, {200, 1, 0, 3, 67},      {0, 50, 0, 100, 0},    {200, 100, 0, 100, 200},
        // Ranges that run backwards stay inside the bar.
        {200, 20, 100, 50, 80}, {200, 70, 100, 50, 200}, {200, 200, 100, 50, 200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressFill(c.length, c.position, c.minimum, c.maximum), c.fill)
            << c.position << " of " << c.minimum << ".." << c.maximum;
}

TEST(ControlFrames, StatusPanelBevels) {
    EXPECT_EQ(StatusBevelFrame(PanelBevel::Lowered), 1);
    EXPECT_EQ(StatusBevelFrame(PanelBevel::Raised), 2);
    EXPECT_EQ(StatusBevelFrame(PanelBevel::None), 3);
}

// A strip of fewer than four frames gives its last frame where a slot wants one it lacks.
TEST(ControlFrames, CheckGlyphSlotsFromStripsOfEachSize) {
    const struct {
        int frames;
        int slots[9];
    } cases[] = {
        {4, {0, 1, -1, 0, 1, -1, 2, 3, -1}}, {5, {0, 1, 4, 0, 1, 4, 2, 3, 4}},  {8, {0, 1, -1, 0, 1, -1, 2, 3, -1}},
        {2, {0, 1, -1, 0, 1, -1, 1, 1, -1}}, {1, {0, 0, -1, 0, 0, -1, 0, 0, -1}}, {0, {-1, -1, -1, -1, -1, -1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        const CheckGlyphSlots got = CheckGlyphSlotsFor(c.frames);
        for (int i = 0; i < 9; ++i) EXPECT_EQ(got.source[i], c.slots[i]) << c.frames << " frames, slot " << i;
    }
}

}  // namespace
}  // namespace skin
