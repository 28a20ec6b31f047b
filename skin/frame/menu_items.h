// Menu items drawn from the skin's MenuItem element: the skinned system menu and the popup
// menus of a skinned form. Items read their caption, short-cut (after a tab), glyph (the
// menu glyphs by image index), check mark, default and enabled state from the menu item.
#pragma once
#include <windows.h>

#include "forms/canvas.h"
#include "forms/menus.h"

namespace forms {
class TForm;
}

namespace skin {

class TSkinData;

void DrawMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, const RECT& rect, bool selected);
// Without a MenuItem element: a flat fill in the skin's menu colours.
void DrawPlainMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, const RECT& rect, bool selected);
void MeasurePopupMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, int& width, int& height);
// Every popup menu the form owns (but those whose Tag says not to) drawn by the skin, or back
// to its own drawing.
void SkinPopupMenus(forms::TForm& form, TSkinData& data, bool on);

// A skin colour (plain RGB or a system colour index) for GDI.
COLORREF SkinColourRef(std::uint32_t colour);

}  // namespace skin
