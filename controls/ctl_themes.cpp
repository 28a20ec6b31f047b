#include "controls/ctl_themes.h"

#include <uxtheme.h>

#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/win_control.h"

namespace controls {
namespace {

constexpr forms::TControlStyle kThemeStyles = forms::csNeedsBorderPaint | forms::csParentBackground;

bool ThemesOn() { return IsThemeActive() && IsAppThemed(); }

bool SameColor(forms::TColor a, forms::TColor b) { return a == b || forms::ColorToRGB(a) == forms::ColorToRGB(b); }

}  // namespace

void AddThemeStyle(forms::TControl* control, forms::TControlStyle styles) {
    control->SetControlStyle(control->ControlStyle() | (styles & kThemeStyles));
}

forms::TControlStyle ThemeStyleOf(const forms::TControl* control) { return control->ControlStyle() & kThemeStyles; }

void FillThemedBackground(forms::TControl* control, forms::TCanvas* canvas, const RECT& rect,
                          bool needsParentBackground, forms::TColor color) {
    forms::TWinControl* parent = control->Parent();
    const bool fill = !ThemesOn() || parent == nullptr || !SameColor(color, parent->Color()) ||
                      (needsParentBackground && !(control->ControlStyle() & forms::csParentBackground));
    if (fill) {
        const forms::TColor kept = canvas->Brush()->Color();
        canvas->Brush()->SetColor(color);
        canvas->FillRect(rect);
        canvas->Brush()->SetColor(kept);
        return;
    }
    auto* windowed = dynamic_cast<forms::TWinControl*>(control);
    if (windowed == nullptr || windowed->DoubleBuffered()) {
        PaintParentBackground(control, canvas->Handle(), POINT{control->Left(), control->Top()}, rect);
    } else {
        RECT r = rect;
        DrawThemeParentBackground(windowed->Handle(), canvas->Handle(), &r);
    }
}

void PaintParentBackground(forms::TControl* control, HDC dc, POINT offset, const RECT& rect) {
    forms::TWinControl* parent = control->Parent();
    if (parent == nullptr || dc == nullptr) return;
    // Saving the whole state brings back origin and clip region exactly, also when the DC
    // had no clip region before.
    forms::SavedDCState state(dc);
    const bool noClip = rect.left == kNoClipRect.left && rect.top == kNoClipRect.top &&
                        rect.right == kNoClipRect.right && rect.bottom == kNoClipRect.bottom;
    if (!noClip) IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    if (offset.x != 0 || offset.y != 0) {
        if (dynamic_cast<forms::TWinControl*>(control) == nullptr) {
            SetWindowOrgEx(dc, offset.x, offset.y, nullptr);
        } else {
            OffsetWindowOrgEx(dc, offset.x, offset.y, nullptr);
        }
    }
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

}  // namespace controls
