#include "editor/control_factory.h"

namespace editor {

forms::TLabel* PlaceLabel(forms::TComponent* owner, forms::TWinControl* parent, const std::string& name,
                          const std::string& caption, int left, int top, int width) {
    auto* label = Place<forms::TLabel>(owner, parent, name, left, top + 3, width, 17);
    label->SetCaption(caption);
    return label;
}

controls::TSpecialProgress* PlaceProgressBar(forms::TComponent* owner, forms::TWinControl* parent,
                                             const std::string& name, int left, int top, int width) {
    auto* bar = Place<controls::TSpecialProgress>(owner, parent, name, left, top, width, kProgressBarHeight);
    bar->SetBorderStyle(forms::bsSingle);
    bar->SetSolid(true);
    bar->SetGradientBlocks(true);
    bar->SetStartColor(forms::clBackground);
    bar->SetEndColor(forms::clLime);
    bar->SetTextCentered(true);
    bar->SetTextOption(controls::toPercent);
    return bar;
}

}  // namespace editor
