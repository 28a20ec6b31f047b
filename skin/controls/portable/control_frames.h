// Which frame of a skin strip a control shows for its state. Indices count from 1.
#pragma once

namespace skin {

// index kept within 1 .. count (1 when count < 1).
int ClampFrame(int index, int count);

// Buttons strip (5 frames): 1 normal, 2 pressed, 3 disabled, 4 hot or focused, 5 default.
// A plain push button: default wins over focus.
int PushButtonFrame(bool focused, bool isDefault, bool pressed, bool hot, bool enabled);

// The check mark: value 1 unchecked, 2 checked; frameCount is the strip's count (4, or 12 in
// rows of four: normal, hot, pressed, disabled). Clamped to the strip.
int CheckBoxFrame(bool checked, bool disabled, bool indeterminate, int frameCount);
// The radio mark: 4 frames, or 8 in rows of four. Clamped to the strip.
int RadioButtonFrame(bool checked, bool disabled, int frameCount);

// The combo button and its sunken edge: 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
int ComboFrame(bool pressed, bool focusedOrHot, bool enabled);

}  // namespace skin

namespace skin {

// The filled length of a progress bar `length` pixels long: the position kept within
// minimum .. maximum (below the maximum only, when the range runs backwards); nothing filled
// when the maximum or the position is not positive.
int ProgressFill(int length, int position, int minimum, int maximum);

// A status-bar panel's bevel frame of the StatusBarEdges strip: 1 lowered, 2 raised, 3 none.
enum class PanelBevel { None, Lowered, Raised };
int StatusBevelFrame(PanelBevel bevel);

// The nine glyph slots a custom-glyph check box reads (unchecked, checked, mixed; then hot and
// pressed rows) built from a check strip of `frames` frames: each slot's source frame from 0,
// -1 for a slot left empty. Source frames the strip lacks give its last frame.
struct CheckGlyphSlots {
    int source[9];
};
CheckGlyphSlots CheckGlyphSlotsFor(int frames);

}  // namespace skin
