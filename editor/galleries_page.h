// The galleries page: eight category buttons, the thumbnail grid of the category shown with
// the selected picture's preview beside it, adding pictures (a batch that makes previews,
// then thumbnails, in the processing dialog), moving and deleting them.
#pragma once

#include "editor/editor_state.h"
#include "editor/portable/gallery_store.h"
#include "editor/portfolio_files_win.h"
#include "editor/processing_dialog.h"

#include "controls/special_progress.h"
#include "controls/thumb_view.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/dialogs.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/menus.h"
#include "forms/page_control.h"
#include "forms/subclass.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace editor {

class GalleriesPage {
public:
    // form: the main window (the dialog's owner, the wheel's receiver); pages: disabled
    // during a batch; showMoreColumns: the page's "Show More Columns" box.
    GalleriesPage(forms::TForm* form, forms::TTabSheet* sheet, forms::TPageControl* pages, EditorState& state,
                  forms::TCheckBox* showMoreColumns);
    ~GalleriesPage();
    GalleriesPage(const GalleriesPage&) = delete;
    GalleriesPage& operator=(const GalleriesPage&) = delete;

    // Points the grid at the gallery shown and shows its first picture (the start-up step).
    void OpenGallery();
    void ChangeGallery(int category);
    void thumbViewClick();
    void Addimages();
    void Deleteimages();
    // "Move Image to": the sub-item's caption names the target.
    void General1Click(const std::string& caption);
    void CheckBox6Click();
    // True when the wheel was over the grid and scrolled it.
    bool FormMouseWheel(int delta, POINT screen);

    // ProgramFolder + "Galleries\" + key + "\"
    std::string GalleryFolder() const;
    // A batch is running: the page control is disabled and the dialog shown.
    bool Busy() const { return dialog_ != nullptr; }
    // As Cancel in the dialog: the batch stops at the next picture.
    void CancelBatch() { state_.CancelRequested = true; }
    TForm2* Dialog() const { return dialog_.get(); }

    // Runs once a batch has unwound (its dialog freed, the page enabled again).
    std::function<void()> OnBatchEnded;
    // Right after the processing dialog is made, before it shows (the main window hands it to
    // its skin).
    std::function<void(forms::TForm& dialog)> OnDialogCreated;
    // After each picture of a batch, the pass (1 previews, 2 thumbnails) and the index.
    std::function<void(int pass, int index)> OnPictureDone;

    std::vector<forms::TButton*> CategoryButtons;
    controls::TThumbView* thumbView;
    forms::TImage* Image1;                     // preview
    forms::TLabel* Label10;                    // gallery shown
    forms::TLabel* Label29;                    // count
    forms::TLabel* Label62;                    // invalid pictures
    controls::TSpecialProgress* progressbar1;  // scan
    forms::TCheckBox* CheckBox6;
    forms::TButton* AddButton;
    forms::TButton* DeleteButton;
    forms::TPopupMenu* PopupMenu1;
    forms::TMenuItem* MoveImageTo1;
    forms::TMenuItem* DeleteImage1;
    forms::TMenuItem* AddImages1;
    forms::TOpenPictureDialog* OpenPictureDialog1;

private:
    void BuildGrid(forms::TTabSheet* sheet);
    void BuildMenu();
    void RunBatch(const std::vector<std::string>& files);
    // Over the program folder as it stands (it gets its final form after construction).
    GalleryStore Store() const;
    // Scans the folder into the grid and shows its first picture.
    void ShowGallery(const std::string& folder);
    void moveimage(const std::string& thumbnailName, const std::string& sourceFolder, const std::string& targetFolder);
    // Adding, deleting and moving wait while the grid is being scanned.
    void OfferPictureActions(bool offered);
    // The index of the cell of this thumbnail when the grid shows that folder, else -1.
    int CellOf(const std::string& folder, const std::string& thumbnail) const;
    void ClearPreview();
    void UpdateCount();
    // The bare file name of the selected cell, empty with nothing selected.
    std::string SelectedName() const;
    // The invalid-picture label counts each picture whose thumbnail or preview failed to
    // load since the last scan.
    void MarkInvalid(const std::string& thumbnail);
    void ForgetPicture(const std::string& thumbnail);
    void ShowInvalidCount();

    forms::TForm* form_;
    forms::TPageControl* pages_;
    EditorState& state_;
    std::unique_ptr<TForm2> dialog_;
    std::unique_ptr<forms::WindowProcHook> wheelHook_;
    mutable WinPortfolioFiles files_;
    std::set<std::string> invalidPictures_;  // thumbnail names in upper case
};

}  // namespace editor
