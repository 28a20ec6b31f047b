// Theme helpers: the two theme control styles, a background fill that lets the parent show
// through, and painting the parent's background under a control.
#pragma once
#include <windows.h>

#include "forms/canvas.h"
#include "forms/control.h"

namespace controls {

// Only csNeedsBorderPaint and csParentBackground are taken from styles.
void AddThemeStyle(forms::TControl* control, forms::TControlStyle styles);
forms::TControlStyle ThemeStyleOf(const forms::TControl* control);

// Fills rect with color, unless themes are on and the parent (of the same colour) can show
// through instead.
void FillThemedBackground(forms::TControl* control, forms::TCanvas* canvas, const RECT& rect,
                          bool needsParentBackground, forms::TColor color);

// The rectangle that means "no clip".
constexpr RECT kNoClipRect{0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};

// Has the parent erase its background into dc with the origin moved by offset (the control's
// position in the parent), clipped to rect (control coordinates). dc comes back exactly as it
// was, origin, clip and all.
void PaintParentBackground(forms::TControl* control, HDC dc, POINT offset, const RECT& rect);

}  // namespace controls
