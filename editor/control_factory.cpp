#include "editor/control_factory.h"

namespace editor {

forms::TLabel* PlaceLabel(forms::TComponent* owner, forms::TWinControl* parent, const std::string& name,
                          const std::string& caption, int left, int top, int width) {
    auto* label = Place<forms::TLabel>(owner, parent, name, left, top + 3, width, 17);
    label->SetCaption(caption);
    return label;
}

}  // namespace editor
