// The Finish page: template, portfolio name, build, and the portfolios already built.
#pragma once

#include "forms/button.h"
#include "forms/combo_box.h"
#include "forms/edit.h"
#include "forms/page_control.h"

#include <string>
#include <vector>

namespace editor {

class FinishPage {
public:
    FinishPage(forms::TComponent* owner, forms::TTabSheet* sheet);

    // The burn buttons exist only beside a vantburn.exe.
    void ShowBurnButtons(bool show);
    // Fills the template and portfolio lists; selects lastTemplate, else "Default", else none.
    void FillLists(const std::vector<std::string>& templates, const std::vector<std::string>& portfolios,
                   const std::string& lastTemplate);

    // "&Build" and "Build && B&urn" follow whether the name box holds a name.
    void Edit29Change();
    // "&View", "&Delete" and "Bur&n" follow whether a portfolio is chosen.
    void ComboBox12Change();

    forms::TComboBox* ComboBox13;  // templates
    forms::TEdit* Edit29;          // portfolio name
    forms::TButton* Button3;       // &Build
    forms::TButton* Button2;       // Build && B&urn
    forms::TComboBox* ComboBox12;  // existing portfolios
    forms::TButton* Button4;       // &View
    forms::TButton* Button7;       // &Delete
    forms::TButton* Button5;       // Bur&n
    forms::TMemo* Memo1;           // build log
};

}  // namespace editor
