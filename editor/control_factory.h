// Building a page in code: a named control placed on a parent in one call.
#pragma once

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

}  // namespace editor
