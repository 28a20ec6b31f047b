// Tool bar buttons drawn from the skin's Buttons element through the tool bar's custom draw.
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace skin {

class TSkinForm;

// For one item's CDDS_ITEMPREPAINT of a tool bar on a skinned form: draws the button's frame
// (pressed 2, hot or focused 4, plain 1, greyed or disabled none) and sets its text colour.
// Answers what the tool bar should still draw itself.
LRESULT ToolbarCustomDraw(TSkinForm& formSkin, NMTBCUSTOMDRAW& draw);

}  // namespace skin
