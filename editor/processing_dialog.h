// TForm2: the dialog shown while a batch of pictures becomes previews and thumbnails; its
// two painted bars follow the passes and Cancel (or closing it) asks the batch to stop.
#pragma once

#include "controls/special_progress.h"
#include "forms/button.h"
#include "forms/form.h"
#include "forms/label.h"

namespace editor {

class TForm2 : public forms::TForm {
public:
    // cancelRequested: the flag the batch reads after each picture.
    TForm2(forms::TComponent* owner, bool& cancelRequested);

    void Button1Click();

    forms::TLabel* Label3;                   // status
    controls::TSpecialProgress* Progressbar1;  // previews
    controls::TSpecialProgress* Progressbar2;  // thumbnails
    forms::TButton* Button1;                 // Cancel

private:
    bool& cancelRequested_;
};

}  // namespace editor
