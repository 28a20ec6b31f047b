// The entry a form skin calls to skin its children: every control it owns gets the control
// skin the rules give (skin/controls/portable/attach_rules.h); a raw window's children by
// their window class. The skins go into the form skin's list.
#pragma once
#include <windows.h>

#include "forms/control.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/portable/attach_rules.h"

namespace forms {
class TForm;
}

namespace skin {

// Frees the dead skins, then the rule chain for each control owner owns, in component order.
void SkinChildControls(TControlSkinList& list, forms::TComponent& owner);
// The rule chain for one control.
void SkinChildControl(TControlSkinList& list, forms::TControl& control, forms::TComponent& owner);
// A form created at run time, skinned through another form skin's list: the form itself
// takes the face colour, then its controls.
void SkinChildForm(TControlSkinList& list, forms::TForm& form);
// Every WS_CHILD window of a raw window.
void SkinChildWindows(TControlSkinList& list, HWND parent);
void SkinChildWindow(TControlSkinList& list, HWND wnd);

// Listed in this list, or carrying a skin of another list (it answers the skinned query).
bool IsControlSkinned(const TControlSkinList& list, const forms::TControl& control);
bool IsScrollingControl(const forms::TControl& control);
// What the rules read of a control.
ControlFacts FactsOf(const forms::TControl& control);
// A new control skin of that class owned by owner; nullptr for None.
class TSkinControl;
TSkinControl* CreateControlSkin(SkinClass skin, forms::TComponent* owner);

}  // namespace skin
