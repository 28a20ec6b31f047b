// Building a page in code: a named control placed on a parent in one call.
#pragma once

#include "controls/special_progress.h"
#include "forms/label.h"
#include "forms/win_control.h"

#include <string>

namespace editor {

// Creates a T owned by owner, named name (the name settings and tests find it by), placed on
// parent at the given bounds.
template <class T>
T* Place(forms::TComponent* owner, forms::TWinControl* parent, const std::string& name, int left, int top,
         int width, int height) {
    auto* control = new T(owner);
    if (!name.empty()) control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// A caption label in front of a field of a form-like row.
forms::TLabel* PlaceLabel(forms::TComponent* owner, forms::TWinControl* parent, const std::string& name,
                          const std::string& caption, int left, int top, int width);

inline constexpr int kProgressBarHeight = 25;

// A painted progress bar as every bar of the program looks: 25 high, framed, one solid bar
// whose colour runs from the desktop colour to lime, the percentage centred on the whole bar.
controls::TSpecialProgress* PlaceProgressBar(forms::TComponent* owner, forms::TWinControl* parent,
                                             const std::string& name, int left, int top, int width);

}  // namespace editor
