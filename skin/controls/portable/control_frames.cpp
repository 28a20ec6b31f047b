#include "skin/controls/portable/control_frames.h"

namespace skin {

int ClampFrame(int index, int count) {
    if (count < 1) return 1;
    if (index < 1) return 1;
    return index > count ? count : index;
}

int PushButtonFrame(bool focused, bool isDefault, bool pressed, bool hot, bool enabled) {
    int frame = 1;  // each later rule overrides the earlier
    if (focused) frame = 4;
    if (isDefault) frame = 5;
    if (pressed) frame = 2;
    else if (hot) frame = 4;
    if (!enabled) frame = 3;
    return frame;
}

int CheckBoxFrame(bool checked, bool disabled, bool indeterminate, int frameCount) {
    int value = checked ? 2 : 1;
    if (disabled) value += 2;
    if (indeterminate) value = 4;
    if (frameCount == 12) {
        if (indeterminate) value = disabled ? 12 : 9;
        else if (value == 2) value = 5;
        else if (value == 3) value = 4;
        else if (value == 4) value = 8;
    }
    return ClampFrame(value, frameCount);
}

int RadioButtonFrame(bool checked, bool disabled, int frameCount) {
    int value = checked ? 2 : 1;
    if (disabled) value += 2;
    if (frameCount == 8) {
        if (value == 2) value = 5;
        else if (value == 3) value = 4;
        else if (value == 4) value = 8;
    }
    return ClampFrame(value, frameCount);
}

int ComboFrame(bool pressed, bool focusedOrHot, bool enabled) {
    if (!enabled) return 3;
    if (pressed) return 2;
    return focusedOrHot ? 4 : 1;
}

}  // namespace skin

namespace skin {

int ProgressFill(int length, int position, int minimum, int maximum) {
    if (maximum <= 0 || length <= 0) return 0;
    // A range that runs backwards (minimum above maximum) has no minimum to lift the
    // position to: it would pass the maximum and the fill would leave the bar.
    if (minimum <= maximum && position < minimum) position = minimum;
    if (position > maximum) position = maximum;
    if (position <= 0) return 0;
    // Rounded to the nearest pixel, as the platform's multiply-divide does.
    return static_cast<int>((static_cast<long long>(length) * position + maximum / 2) / maximum);
}

int StatusBevelFrame(PanelBevel bevel) {
    switch (bevel) {
        case PanelBevel::Raised: return 2;
        case PanelBevel::Lowered: return 1;
        default: return 3;
    }
}

CheckGlyphSlots CheckGlyphSlotsFor(int frames) {
    // Slots 0..8 from source frames 0, 1, 4, 0, 1, 4, 2, 3, 4; frame 4 only from a 5-frame strip.
    constexpr int kFrom[9] = {0, 1, 4, 0, 1, 4, 2, 3, 4};
    CheckGlyphSlots slots{};
    for (int i = 0; i < 9; ++i) {
        int from = kFrom[i];
        if (from == 4 && frames != 5) from = -1;
        else if (frames < 1) from = -1;
        else if (from >= frames) from = frames - 1;
        slots.source[i] = from;
    }
    return slots;
}

}  // namespace skin
