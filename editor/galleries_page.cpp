#include "editor/galleries_page.h"

#include "editor/control_factory.h"
#include "editor/portable/gallery_batch.h"
#include "editor/portable/gallery_categories.h"
#include "editor/portable/picture_names.h"
#include "editor/portable/picture_processing.h"
#include "editor/portable/program_layout.h"

#include "forms/application.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/text_case.h"

#include <cderr.h>
#include <windowsx.h>

namespace editor {
namespace {

using namespace forms;

constexpr int kButtonWidth = 120;

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CountText(int count) { return "Contains " + std::to_string(count) + " images"; }

std::string InvalidText(size_t count) { return count == 0 ? std::string() : std::to_string(count) + " Invalid Images"; }

}  // namespace

GalleriesPage::GalleriesPage(TForm* form, TTabSheet* sheet, TPageControl* pages, EditorState& state,
                             TCheckBox* showMoreColumns)
    : CheckBox6(showMoreColumns), form_(form), pages_(pages), state_(state) {
    const auto categories = GalleryCategories();
    for (size_t i = 0; i < categories.size(); ++i) {
        auto* button = Place<TButton>(form, sheet, "GalleryButton" + std::to_string(i + 1), 8,
                                      34 + static_cast<int>(i) * 30, kButtonWidth, 26);
        button->SetCaption(std::string(categories[i].caption));
        button->OnClick = [this, i](TObject*) { ChangeGallery(static_cast<int>(i)); };
        CategoryButtons.push_back(button);
    }
    Label10 = Place<TLabel>(form, sheet, "Label10", 8, 282, kButtonWidth, 16);
    Label10->SetCaption("General");
    Label10->Font()->SetStyle(fsBold);
    Label10->SetShowAccelChar(false);
    Label29 = Place<TLabel>(form, sheet, "Label29", 8, 302, kButtonWidth, 16);
    Label29->SetCaption("Contains 0 Images");
    Label62 = Place<TLabel>(form, sheet, "Label62", 8, 322, kButtonWidth, 16);
    Label62->SetAutoSize(false);  // empty at start; keeps its room
    Label62->Font()->SetColor(clRed);
    AddButton = Place<TButton>(form, sheet, "Button8", 8, 346, kButtonWidth, 26);
    AddButton->SetCaption("&Add Images");
    AddButton->OnClick = [this](TObject*) { Addimages(); };
    DeleteButton = Place<TButton>(form, sheet, "Button9", 8, 378, kButtonWidth, 26);
    DeleteButton->SetCaption("&Delete Image");
    DeleteButton->OnClick = [this](TObject*) { Deleteimages(); };
    auto* hint = Place<TLabel>(form, sheet, "MoveHintLabel", 8, 414, kButtonWidth, 110);
    hint->SetWordWrap(true);
    hint->SetCaption("To move an image from one category to another, \"Right Click\" the image and select \"Move "
                     "Image\" and click which category you want to move it to.");

    BuildGrid(sheet);
    BuildMenu();
    thumbView->SetPopupMenu(PopupMenu1);
    CheckBox6->OnClick = [this](TObject*) { CheckBox6Click(); };

    OpenPictureDialog1 = new TOpenPictureDialog(form);
    OpenPictureDialog1->SetName("OpenPictureDialog1");
    OpenPictureDialog1->SetFilter("JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
    OpenPictureDialog1->SetOptions(ofAllowMultiSelect | ofHideReadOnly | ofShareAware | ofEnableSizing |
                                   ofDontAddToRecent);
    OpenPictureDialog1->SetTag(99);

    // The wheel reaches the window, not the grid under the pointer.
    wheelHook_ = std::make_unique<forms::WindowProcHook>(*form_, [this](TMessage& m, const forms::WindowProcHook::Next& next) {
        if (m.Msg == WM_MOUSEWHEEL &&
            FormMouseWheel(GET_WHEEL_DELTA_WPARAM(m.WParam), POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) {
            m.Result = 0;
            return;
        }
        next(m);
    });
}

GalleriesPage::~GalleriesPage() = default;

void GalleriesPage::BuildGrid(TTabSheet* sheet) {
    thumbView = Place<controls::TThumbView>(form_, sheet, "thumbView", 136, 8, 193, 513);
    // One column at full size, two at half, spread evenly across the view.
    thumbView->SetAlignView(controls::vtFitToScreen);
    thumbView->HorzScrollBar()->SetVisible(false);
    thumbView->VertScrollBar()->SetSmooth(true);
    thumbView->VertScrollBar()->SetTracking(true);
    thumbView->SetBevelInner(forms::bvNone);
    thumbView->SetBevelOuter(forms::bvNone);
    thumbView->SetFilter(std::string(kThumbnailFilter));
    thumbView->SetMaxWidth(150);
    thumbView->SetMaxHeight(150);
    thumbView->SetSize(100);
    thumbView->SetSorted(true);
    thumbView->SetThumbGap(4);
    thumbView->SetScrollMode(controls::smVertical);
    thumbView->SetAsButtons(true);
    thumbView->SetShowShadow(true);
    thumbView->SetShadowColor(clBlack);
    thumbView->SetTitlePlacement(controls::tpNone);
    thumbView->SetAutoScrolling(true);
    thumbView->SetAutoHandleKeyb(true);
    thumbView->SetMinMemory(true);
    thumbView->OnClick = [this](TObject*) { thumbViewClick(); };
    thumbView->OnStartScanning = [this](TObject*, int) {
        invalidPictures_.clear();
        ShowInvalidCount();
        progressbar1->SetVisible(true);
        OfferPictureActions(false);
    };
    thumbView->OnScanProgress = [this](TObject*, int position, bool&) { progressbar1->SetPosition(position); };
    thumbView->OnStopScanning = [this](TObject*) {
        progressbar1->SetVisible(false);
        OfferPictureActions(true);
        UpdateCount();
    };
    // The cell stays, so that its files can still be deleted from here; the label tells.
    thumbView->OnInvalidImage = [this](TObject*, const std::string& path) { MarkInvalid(NameOf(path)); };

    Image1 = Place<TImage>(form_, sheet, "Image1", 372, 8, 506, 377);
    Image1->SetCenter(true);
    Image1->SetProportional(true);
    Image1->SetStretch(true);
    progressbar1 = PlaceProgressBar(form_, sheet, "progressbar1", 372, 396, 506);
    progressbar1->SetCaption("Loading Images");  // kept, though the bar shows its percentage
    progressbar1->Font()->SetName("MS Sans Serif");
    progressbar1->Font()->SetHeight(-11);
    progressbar1->Font()->SetStyle(fsBold);
    progressbar1->Font()->SetColor(clWhite);
    progressbar1->SetVisible(false);
}

void GalleriesPage::BuildMenu() {
    PopupMenu1 = new TPopupMenu(form_);
    PopupMenu1->SetName("PopupMenu1");
    MoveImageTo1 = new TMenuItem(form_);
    MoveImageTo1->SetName("MoveImageto1");
    MoveImageTo1->SetCaption("Move Image to");
    PopupMenu1->Items()->Add(MoveImageTo1);
    for (const auto& category : GalleryCategories()) {
        auto* item = new TMenuItem(form_);
        // Captions are plain: no accelerator is added, so the caption names the folder.
        const std::string caption(category.caption);
        item->SetCaption(caption);
        item->OnClick = [this, caption](TObject*) { General1Click(caption); };
        MoveImageTo1->Add(item);
    }
    const struct { const char* name; const char* caption; void (GalleriesPage::*run)(); } items[] = {
        {"DeleteImage1", "Delete Image", &GalleriesPage::Deleteimages},
        {"AddImages1", "Add Images", &GalleriesPage::Addimages},
    };
    for (const auto& i : items) {
        auto* item = new TMenuItem(form_);
        item->SetName(i.name);
        item->SetCaption(i.caption);
        auto run = i.run;
        item->OnClick = [this, run](TObject*) { (this->*run)(); };
        PopupMenu1->Items()->Add(item);
    }
    DeleteImage1 = PopupMenu1->Items()->Items(1);
    AddImages1 = PopupMenu1->Items()->Items(2);
    // What needs a picture is offered only with one selected.
    PopupMenu1->OnPopup = [this](TObject*) {
        const bool scanning = thumbView->Busy();
        const bool selected = !scanning && !SelectedName().empty();
        MoveImageTo1->SetEnabled(selected);
        DeleteImage1->SetEnabled(selected);
        AddImages1->SetEnabled(!scanning);
    };
}

GalleryStore GalleriesPage::Store() const { return GalleryStore(files_, state_.ProgramFolder); }

std::string GalleriesPage::GalleryFolder() const { return Store().Folder(state_.GalleryKey); }

void GalleriesPage::MarkInvalid(const std::string& thumbnail) {
    invalidPictures_.insert(forms::UpperAscii(thumbnail));
    ShowInvalidCount();
}

void GalleriesPage::ShowInvalidCount() { Label62->SetCaption(InvalidText(invalidPictures_.size())); }

void GalleriesPage::ForgetPicture(const std::string& thumbnail) {
    if (invalidPictures_.erase(forms::UpperAscii(thumbnail))) ShowInvalidCount();
}

void GalleriesPage::OfferPictureActions(bool offered) {
    AddButton->SetEnabled(offered);
    DeleteButton->SetEnabled(offered);
}

std::string GalleriesPage::SelectedName() const {
    const int selected = thumbView->Selected();
    return selected >= 0 && selected < thumbView->Count() ? thumbView->Thumbnails().Get(selected) : std::string();
}

void GalleriesPage::UpdateCount() { Label29->SetCaption(CountText(thumbView->Count())); }

void GalleriesPage::ClearPreview() { Image1->Picture()->SetGraphic(static_cast<const TGraphic*>(nullptr)); }

void GalleriesPage::OpenGallery() { ShowGallery(Store().Folder(Label10->Caption())); }

void GalleriesPage::ShowGallery(const std::string& folder) {
    thumbView->SetDirectory(folder);
    if (thumbView->Busy()) {
        // Asked for while a scan let messages through: that scan ends and this folder
        // follows. Until then the grid holds the other gallery's cells, so none is chosen.
        ClearPreview();
        return;
    }
    if (thumbView->Count() > 0) thumbView->SetSelected(0);
    thumbViewClick();
    OfferPictureActions(true);  // also after a scan that an exception ended
}

void GalleriesPage::ChangeGallery(int category) {
    const auto& c = GalleryCategories()[static_cast<size_t>(category)];
    if (Label10->Caption() == c.caption) return;
    progressbar1->SetPosition(0);
    Label10->SetCaption(std::string(c.caption));
    state_.GalleryKey = std::string(c.key);
    progressbar1->SetMaximum(Store().ThumbnailCount(GalleryFolder()));
    ShowGallery(GalleryFolder());
}

void GalleriesPage::thumbViewClick() {
    const std::string name = SelectedName();
    if (name.empty()) {
        ClearPreview();
    } else {
        // Whatever stops the preview from showing leaves it empty and counts the picture as
        // invalid until the next scan.
        try {
            Image1->Picture()->LoadFromFile(GalleryStore::PreviewPath(thumbView->Directory(), name));
        } catch (const std::exception&) {
            ClearPreview();
            MarkInvalid(name);
        }
    }
    UpdateCount();
}

void GalleriesPage::Addimages() {
    if (Busy() || thumbView->Busy()) return;
    OpenPictureDialog1->SetTitle("Add images To " + Label10->Caption());
    if (!state_.LastPictureFolder.empty()) OpenPictureDialog1->SetInitialDir(state_.LastPictureFolder);
    std::vector<std::string> files;
    if (OpenPictureDialog1->Execute())
        for (int i = 0; i < OpenPictureDialog1->Files()->Count(); ++i) files.push_back(OpenPictureDialog1->Files()->Get(i));
    else if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        ShowMessage("Too many images were chosen at once for their names to fit.  Please add them in smaller groups.");
    if (!files.empty()) RunBatch(files);
    pages_->SetEnabled(true);
    ShowGallery(GalleryFolder());
}

void GalleriesPage::RunBatch(const std::vector<std::string>& files) {
    dialog_ = std::make_unique<TForm2>(form_, state_.CancelRequested);
    if (OnDialogCreated) OnDialogCreated(*dialog_);
    pages_->SetEnabled(false);
    state_.CancelRequested = false;
    std::string failure, refused;
    try {
        const int n = static_cast<int>(files.size());
        dialog_->SetCaption("Processing " + std::to_string(n) + " Images...");
        dialog_->Label3->SetCaption("Processing Preview Images");
        dialog_->Show();
        Application->ProcessMessages();
        for (auto* bar : {dialog_->Progressbar1, dialog_->Progressbar2}) {
            bar->SetMaximum(n);
            bar->SetPosition(0);
        }
        GalleryStore store = Store();
        // One workspace for the batch: each picture decodes into the memory of the one before.
        PictureWorkspace workspace;
        PictureBatch batch(store, GalleryFolder(),
                           [&workspace](const std::string& source, const std::string& target, PictureBox box) {
                               ProcessPictureFile(source, target, box, [] { Application->ProcessMessages(); }, workspace);
                           });
        // A quit met while messages ran, as a closed dialog, stops the batch as Cancel does.
        batch.StopRequested = [this] { return state_.CancelRequested || Application->Terminated(); };
        batch.OnPassStart = [this](int pass) {
            if (pass != 2) return;
            dialog_->Progressbar2->SetPosition(0);
            dialog_->Label3->SetCaption("Processing Thumbnails");
        };
        batch.OnPictureDone = [this, &files](int pass, int index) {
            if (pass == 1) state_.LastPictureFolder = FolderOf(files[static_cast<size_t>(index)]);
            Application->ProcessMessages();
            auto* bar = pass == 1 ? dialog_->Progressbar1 : dialog_->Progressbar2;
            bar->SetPosition(bar->Position() + 1);
            bar->Repaint();
            if (OnPictureDone) OnPictureDone(pass, index);
        };
        batch.Run(files);
        refused = batch.RefusalReport();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    // Freed only here, after the loop that used it has unwound.
    dialog_.reset();
    pages_->SetEnabled(true);
    if (!failure.empty()) Application->HandleException(Exception(failure));
    if (!refused.empty()) MessageDlg(refused, mtWarning, mbOK);
    if (OnBatchEnded) OnBatchEnded();
}

int GalleriesPage::CellOf(const std::string& folder, const std::string& thumbnail) const {
    return thumbView->Directory() == folder ? thumbView->Thumbnails().IndexOf(thumbnail) : -1;
}

void GalleriesPage::Deleteimages() {
    // A scan lets clicks through while its grid may still hold another gallery's cells.
    if (thumbView->Busy()) return;
    // The picture chosen is the one the question is about. Its folder is the one the grid's
    // cells come from, and its name the cell's: a cell whose picture failed has no file name.
    const std::string folder = thumbView->Directory();
    const std::string name = SelectedName();
    if (MessageDlg("Are you sure you want to delete this file?", mtConfirmation, mbYesNo) != mrYes) return;
    if (!name.empty()) {
        const auto removal = Store().Delete(folder, name);
        if (!removal.thumbnail) ShowMessage("Could not delete thumbnail image!");
        if (!removal.preview) ShowMessage("Could not delete preview image!");
        ForgetPicture(name);
        if (const int cell = CellOf(folder, name); cell >= 0) {
            thumbView->DeleteItem(cell);
            if (cell < thumbView->Count()) thumbView->SetSelected(cell);
        }
    }
    ClearPreview();
    UpdateCount();
    Application->ProcessMessages();
}

void GalleriesPage::General1Click(const std::string& caption) {
    if (thumbView->Busy()) return;
    const std::string name = SelectedName();
    if (!name.empty()) moveimage(name, thumbView->Directory(), Store().Folder(FolderOfMenuCaption(caption)));
    UpdateCount();
}

void GalleriesPage::moveimage(const std::string& thumbnailName, const std::string& sourceFolder,
                              const std::string& targetFolder) {
    // The gallery the picture is in: nothing to do.
    if (forms::SameTextAscii(sourceFolder, targetFolder)) return;
    const auto move = Store().Move(sourceFolder, targetFolder, thumbnailName);
    if (move.thumbnailRemoved) {
        ForgetPicture(thumbnailName);
        if (const int cell = CellOf(sourceFolder, thumbnailName); cell >= 0) thumbView->DeleteItem(cell);
    }
    ClearPreview();
    if (!move.problem.empty()) ShowMessage(move.problem);
}

void GalleriesPage::CheckBox6Click() { thumbView->SetSize(CheckBox6->Checked() ? 50 : 100); }

bool GalleriesPage::FormMouseWheel(int delta, POINT screen) {
    if (!thumbView->HandleAllocated() || !thumbView->Visible()) return false;
    const POINT p = thumbView->ScreenToClient(screen);
    if (p.x < 0 || p.y < 0 || p.x > thumbView->Width() || p.y > thumbView->Height()) return false;
    auto* bar = thumbView->VertScrollBar();
    bar->SetPosition(bar->Position() - delta);
    return true;
}

}  // namespace editor
