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
// An item of a form's main menu: its own measure plus the skin's room for glyph and margin.
void MeasureMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, int& width, int& height);
// An item known only by its menu handle and command (no component item): caption, state and
// check read from the menu.
void DrawHandleMenuItem(TSkinData& data, HMENU menu, UINT command, forms::TCanvas& canvas, const RECT& rect, bool selected);
void MeasureHandleMenuItem(TSkinData& data, HMENU menu, UINT command, HDC dc, int& width, int& height);
// Items below the top level of every main menu the form owns drawn by the skin (those without
// a drawing of their own), or back.
void SkinMainMenuItems(forms::TForm& form, TSkinData& data, bool on);
// The item and every item below it drawn by the skin.
void SetMenuItemsOwnerDraw(TSkinData& data, forms::TMenuItem& item);
// The same handlers taken away again: the items draw themselves.
void ClearMenuItemsOwnerDraw(forms::TMenuItem& item);
// MFT_OWNERDRAW set on, or cleared from, every item of a menu and of all its sub-menus.
void SetMenuOwnerDrawFlags(HMENU menu, bool on);

// Every popup menu the form owns (but those whose Tag says not to) drawn by the skin, or back
// to the system's drawing. A form of kOwnMenusFormClass keeps its own.
void SkinPopupMenus(forms::TForm& form, TSkinData& data, bool on);
inline constexpr const char* kOwnMenusFormClass = "TwwRichEditForm";

// A right-to-left menu: its items carry MFT_RIGHTORDER.
bool IsRightToLeftMenu(HMENU menu);

// The screen's menu font (the caller owns it).
HFONT MenuFont(bool bold);

// A skin colour (plain RGB or a system colour index) for GDI.
COLORREF SkinColourRef(std::uint32_t colour);

}  // namespace skin
