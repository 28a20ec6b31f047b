#include "editor/processing_dialog.h"

#include "editor/control_factory.h"

namespace editor {

using namespace forms;

TForm2::TForm2(TComponent* owner, bool& cancelRequested) : TForm(owner), cancelRequested_(cancelRequested) {
    SetName("Form2");
    SetCaption("Image Processing");
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetFormStyle(fsStayOnTop);
    SetPosition(poOwnerFormCenter);
    SetClientSize(399, 288);

    auto* intro = Place<TLabel>(this, this, "Label1", 12, 10, 375, 44);
    intro->SetWordWrap(true);
    intro->SetCaption("The selected images are being processed.  Thumbnails and Preview Images are being created.  "
                      "The original images will not be touched or modified.");
    auto* timing = Place<TLabel>(this, this, "Label2", 12, 60, 375, 44);
    timing->SetWordWrap(true);
    timing->SetCaption("Depending on the number and size of the images you have chosen, the converions process may "
                       "take a few minutes.  Typically 2 to 30 seconds per image.");
    Label3 = Place<TLabel>(this, this, "Label3", 12, 112, 375, 16);
    Label3->SetAlignment(taCenter);
    Label3->Font()->SetStyle(fsBold);

    const struct { controls::TSpecialProgress** bar; const char* name; const char* caption; int top; } bars[] = {
        {&Progressbar1, "Progressbar1", "Preview Progress:", 138},
        {&Progressbar2, "Progressbar2", "Thumbnail Progress:", 188},
    };
    for (const auto& b : bars) {
        Place<TLabel>(this, this, "", 12, b.top, 375, 16)->SetCaption(b.caption);
        *b.bar = PlaceProgressBar(this, this, b.name, 12, b.top + 18, 375);
    }

    Button1 = Place<TButton>(this, this, "Button1", 162, 248, 75, 25);
    Button1->SetCaption("Cancel");
    Button1->SetDefault(true);
    Button1->SetCancel(true);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    // Closing the dialog stops the batch as Cancel does; the batch frees it once it has unwound.
    OnCloseQuery = [this](TObject*, bool& canClose) {
        cancelRequested_ = true;
        canClose = true;
    };
}

void TForm2::Button1Click() { cancelRequested_ = true; }

}  // namespace editor
