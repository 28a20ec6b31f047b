#include "editor/main_form.h"

#include "editor/control_factory.h"
#include "editor/file_routines.h"
#include "editor/portable/program_layout.h"
#include "editor/portfolio_files_win.h"
#include "editor/settings_binding.h"
#include "editor/shell_routines.h"

#include "forms/application.h"
#include "forms/dialogs.h"
#include "forms/guard.h"
#include "forms/ini_file.h"

namespace editor {
namespace {

using namespace forms;

struct PageInfo {
    const char* name;
    const char* caption;
    const char* title;
};

constexpr PageInfo kPages[] = {
    {"biography", "Biography", "Vantrell - Biography"},
    {"galleries", "Galleries", "Vantrell - Galleries"},
    {"workhistory", "Work History", "Vantrell - Work History"},
    {"photographers", "Photographers", "Vantrell - Photographers"},
    {"websites", "Web Sites", "Vantrell - Web Sites"},
    {"TabSheet1", "Finish", "Vantrell - Finish"},
};

constexpr int kClientWidth = 890, kClientHeight = 572;

}  // namespace

std::string ExecutableFolder() {
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return FolderOf(path);
}

TForm1::TForm1(TComponent* owner, std::string programFolder) : TForm(owner) {
    State.ProgramFolder = programFolder.empty() ? ExecutableFolder() : std::move(programFolder);
    SetName("Form1");
    SetCaption("Vantrell");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetPosition(poDesktopCenter);
    SetBounds(0, 0, 898, 606);
    SetKeyPreview(true);
    BuildPages();
    // The whole wizard scales with the window.
    FormAutoSize1 = new controls::TFormAutoSize(this);
    FormAutoSize1->SetName("FormAutoSize1");
    FormAutoSize1->SetActive(true);
    OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key == VK_F1) OpenHelp();
    };
    OnCloseQuery = [this](TObject*, bool& canClose) { FormCloseQuery(canClose); };
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildPages() {
    PageControl1 = Place<TPageControl>(this, this, "PageControl1", 0, 0, kClientWidth, kClientHeight);
    PageControl1->SetAlign(alClient);
    TTabSheet** sheets[] = {&biography, &galleries, &workhistory, &photographers, &websites, &TabSheet1};
    for (size_t i = 0; i < std::size(kPages); ++i) {
        auto* sheet = new TTabSheet(this);
        sheet->SetName(kPages[i].name);
        sheet->SetCaption(kPages[i].caption);
        sheet->SetPageControl(PageControl1);
        const char* title = kPages[i].title;
        sheet->OnShow = [this, title, i](TObject*) {
            if (i == 0 && Bio) Bio->DateTimePicker1Change();
            SetCaption(title);
        };
        *sheets[i] = sheet;
    }
    PageControl1->OnChange = [this](TObject*) { PageControl1Change(); };

    Bio = std::make_unique<BiographyPage>(this, biography);
    Bio->OnSave = [this] { Button1Click(); };
    CheckBox6 = Place<TCheckBox>(this, galleries, "CheckBox6", 8, 8, 160, 19);
    CheckBox6->SetCaption("Show More Columns");
    Galleries = std::make_unique<GalleriesPage>(this, galleries, PageControl1, State, CheckBox6);
    Galleries->OnBatchEnded = [this] {
        if (!closeAfterBatch_) return;
        closeAfterBatch_ = false;
        Close();
    };
    Finish = std::make_unique<FinishPage>(this, TabSheet1);
    Builder = std::make_unique<SiteBuilder>(*this, State, *Finish);
    Portfolios = std::make_unique<BuiltPortfolios>(*this, State, *Finish, *Builder);
    BuildRecordPages();
    Skin = std::make_unique<SkinChoice>(*this, *Bio->Slider1, *Bio->CheckBox7);
    Galleries->OnDialogCreated = [this](TForm& dialog) { Skin->AddChildForm(dialog); };

    // The navigation stands on the page control, at its right bottom.
    const struct { TButton** button; const char* name; const char* caption; } buttons[] = {
        {&Button54, "Button54", "&Help (F1)"}, {&NextButton, "NextButton", "&Next"},
        {&BackButton, "BackButton", "&Back"}, {&ExitButton, "ExitButton", "E&xit"},
    };
    int left = kClientWidth - 4 * 88 - 12;
    for (const auto& b : buttons) {
        *b.button = Place<TButton>(this, this, b.name, left, kClientHeight - 40, 82, 26);
        (*b.button)->SetCaption(b.caption);
        (*b.button)->BringToFront();
        left += 88;
    }
    NextButton->SetDefault(true);
    Button54->OnClick = [this](TObject*) { Button54Click(); };
    NextButton->OnClick = [this](TObject*) { nextbutton(); };
    BackButton->OnClick = [this](TObject*) { backbutton(); };
    ExitButton->OnClick = [this](TObject*) { Exitbutton(); };
}

void TForm1::BuildRecordPages() {
    const struct { std::unique_ptr<RecordPage>* page; TTabSheet* sheet; RecordList list; } pages[] = {
        {&WorkHistory, workhistory, RecordList::WorkHistory},
        {&Photographers, photographers, RecordList::Photographers},
        {&WebSites, websites, RecordList::WebSites},
    };
    Records = std::make_unique<WinRecordStore>(WithTrailingBackslash(State.ProgramFolder));
    for (const auto& p : pages) {
        *p.page = std::make_unique<RecordPage>(this, p.sheet, p.list, State, *Records);
        TTabSheet* sheet = p.sheet;
        (*p.page)->OnEditMode = [this, sheet](bool editing) { EnableOtherPages(sheet, !editing); };
        (*p.page)->OnSaved = [this] { getworkhistories(); };
    }
}

void TForm1::EnableOtherPages(TTabSheet* editing, bool enabled) {
    for (TTabSheet* sheet : {biography, galleries, workhistory, photographers, websites})
        if (sheet != editing) sheet->SetEnabled(enabled);
}

void TForm1::getworkhistories() {
    for (RecordPage* page : {WorkHistory.get(), Photographers.get(), WebSites.get()})
        page->FillNames(Records->Names(page->List()));
}

void TForm1::Step(void (TForm1::*step)()) {
    try {
        (this->*step)();
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
}

void TForm1::FormCreate() {
    Skin->LoadFirstSkin();
    PageControl1->SetActivePageIndex(0);
    State.ProgramFolder = WithTrailingBackslash(State.ProgramFolder);
    State.GalleryKey = "general";
    Application->SetTitle("Vantrell");
    Finish->ShowBurnButtons(FileExists(State.Path(std::string(kBurnProgram))));
    Step(&TForm1::CreateFolders);
    Step(&TForm1::ReadSettings);
    Step(&TForm1::getworkhistories);
    Step(&TForm1::OpenGallery);
    PageControl1Change();
    PageControl1->SetActivePageIndex(0);
    Step(&TForm1::LoadComments);
    Step(&TForm1::FillFinishPage);
    savedBiography_ = BiographyValues();
}

void TForm1::CreateFolders() {
    std::string failed;
    for (auto folder : StartupFolders()) {
        try {
            ForceFolders(State.Path(std::string(folder)));
        } catch (const Exception&) {
            failed += "\r\n" + State.Path(std::string(folder));
        }
    }
    if (!failed.empty()) throw Exception("Cannot create the folders:" + failed);
}

std::string TForm1::SettingsPath() const { return State.Path(std::string(kSettingsFile)); }
std::string TForm1::CommentsPath() const { return State.Path(std::string(kPersonalComments)); }

void TForm1::ReadSettings() {
    TIniFile ini(SettingsPath());
    SettingsBinding binding(*this, State);
    binding.OnItemIndexLoaded = [this](const SettingKey&) { Bio->ComboBox14Change(); };
    for (auto group : {SettingWrite::AtExit, SettingWrite::AfterBuild, SettingWrite::OnSave}) binding.Load(ini, group);
    // UseSkins has ticked "Enable Skins" (its click ran); the saved skin goes through the slider.
    Skin->ApplySavedSkin(State.SkinNumber);
    Bio->DateTimePicker1Change();
}

void TForm1::LoadComments() {
    WinPortfolioFiles files;
    Bio->LoadComments(files, CommentsPath());
}

void TForm1::FillFinishPage() {
    Finish->FillLists(gethtmltemplates(State.Path(std::string(kTemplatesFolder))),
                      gethtmltemplates(State.Path(std::string(kPortfoliosFolder))), State.LastTemplate);
}

void TForm1::OpenGallery() { Galleries->OpenGallery(); }

void TForm1::nextbutton() {
    if (PageControl1->ActivePageIndex() < PageControl1->PageCount() - 1)
        PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() + 1);
    PageControl1Change();
}

void TForm1::backbutton() {
    if (PageControl1->ActivePageIndex() > 0) PageControl1->SetActivePageIndex(PageControl1->ActivePageIndex() - 1);
    PageControl1Change();
}

void TForm1::PageControl1Change() {
    NextButton->SetVisible(PageControl1->ActivePageIndex() != PageControl1->PageCount() - 1);
    BackButton->SetVisible(PageControl1->ActivePageIndex() != 0);
}

void TForm1::Button54Click() { OpenHelp(); }

void TForm1::OpenHelp() {
    // By its full path: started from another folder, a bare name would open something else.
    StartViaShell(Handle(), {State.Path(std::string(kHelpFile)), "", State.ProgramFolder, SW_SHOWNORMAL});
}

void TForm1::Button1Click() {
    TIniFile ini(SettingsPath());
    SettingsBinding(*this, State).Save(ini, SettingWrite::OnSave);
    WinPortfolioFiles files;
    if (const auto comments = Bio->CommentsToSave()) {
        WriteFileReplacing(files, CommentsPath(), *comments);
        Bio->CommentsSaved();
    }
    ini.UpdateFile();
    savedBiography_ = BiographyValues();
}

std::vector<std::string> TForm1::BiographyValues() {
    std::vector<std::string> values = SettingsBinding(*this, State).Values(SettingWrite::OnSave);
    values.push_back(Bio->RichEdit4->StreamOut(false));
    return values;
}

bool TForm1::HasUnsavedChanges() {
    for (RecordPage* page : {WorkHistory.get(), Photographers.get(), WebSites.get()})
        if (page->HasUnsavedChanges()) return true;
    return BiographyValues() != savedBiography_;
}

bool TForm1::SaveChangesBeforeClosing() {
    if (!HasUnsavedChanges()) return true;
    switch (MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel)) {
    case mrYes: break;
    case mrNo: return true;
    default: return false;
    }
    try {
        if (BiographyValues() != savedBiography_) Button1Click();
        for (RecordPage* page : {WorkHistory.get(), Photographers.get(), WebSites.get()})
            if (page->HasUnsavedChanges() && !page->SaveClick()) return false;  // it said why
    } catch (const std::exception& e) {
        Application->HandleException(e);
        return false;
    }
    return true;
}

void TForm1::SaveConfig() {
    State.SkinNumber = Skin->SkinNumber();
    TIniFile ini(SettingsPath());
    SettingsBinding(*this, State).Save(ini, SettingWrite::AtExit);
    ini.UpdateFile();
}

void TForm1::Exitbutton() { Close(); }

void TForm1::FormCloseQuery(bool& canClose) {
    if (Galleries && Galleries->Busy()) {
        // The batch still uses the windows: it stops as on Cancel, and closes us when done.
        Galleries->CancelBatch();
        closeAfterBatch_ = true;
        canClose = false;
        return;
    }
    if (!configSaved_ && !SaveChangesBeforeClosing()) {
        canClose = false;
        return;
    }
    // Exit and the frame end alike: the Config keys are written once, and a failed write is
    // reported once without keeping the program from ending.
    canClose = true;
    if (configSaved_) return;
    configSaved_ = true;
    try {
        SaveConfig();
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
    Application->ProcessMessages();
}

}  // namespace editor
