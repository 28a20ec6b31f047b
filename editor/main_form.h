// vantrell's main window: a six-page wizard with its navigation, titles, help and exit, and
// the start-up that restores settings and records.
#pragma once

#include "editor/biography_page.h"
#include "editor/built_portfolios.h"
#include "editor/editor_state.h"
#include "editor/finish_page.h"
#include "editor/galleries_page.h"
#include "editor/site_builder.h"
#include "editor/skin_choice.h"
#include "editor/record_page.h"
#include "editor/record_store_win.h"

#include "controls/form_auto_size.h"
#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/form.h"
#include "forms/page_control.h"

#include <memory>
#include <string>

namespace editor {

class TForm1 : public forms::TForm {
public:
    // programFolder: the folder every path is resolved against; the executable's by default.
    explicit TForm1(forms::TComponent* owner, std::string programFolder = {});
    ~TForm1() override;

    void FormCreate();
    void nextbutton();
    void backbutton();
    void PageControl1Change();
    void Button54Click();  // help
    void Button1Click();   // biography Save
    void Exitbutton();
    void FormCloseQuery(bool& canClose);
    // Fills the three record lists from their files.
    void getworkhistories();
    // The biography differs from what was loaded or last saved, or a record being edited was
    // changed.
    bool HasUnsavedChanges();

    EditorState State;
    forms::TPageControl* PageControl1;
    forms::TTabSheet* biography;
    forms::TTabSheet* galleries;
    forms::TTabSheet* workhistory;
    forms::TTabSheet* photographers;
    forms::TTabSheet* websites;
    forms::TTabSheet* TabSheet1;
    forms::TButton* Button54;  // &Help (F1)
    forms::TButton* NextButton;
    forms::TButton* BackButton;
    forms::TButton* ExitButton;
    forms::TCheckBox* CheckBox6;  // Show More Columns
    std::unique_ptr<BiographyPage> Bio;
    std::unique_ptr<FinishPage> Finish;
    std::unique_ptr<WinRecordStore> Records;
    std::unique_ptr<SiteBuilder> Builder;
    std::unique_ptr<BuiltPortfolios> Portfolios;
    controls::TFormAutoSize* FormAutoSize1;
    std::unique_ptr<RecordPage> WorkHistory;
    std::unique_ptr<RecordPage> Photographers;
    std::unique_ptr<RecordPage> WebSites;
    std::unique_ptr<GalleriesPage> Galleries;
    std::unique_ptr<SkinChoice> Skin;

private:
    void BuildPages();
    void BuildRecordPages();
    // While a record list is in edit mode the other pages but Finish take no input.
    void EnableOtherPages(forms::TTabSheet* editing, bool enabled);
    void OpenHelp();
    // Runs one start-up step; a failure is reported and the next step still runs.
    void Step(void (TForm1::*step)());
    void CreateFolders();
    void ReadSettings();
    void LoadComments();
    void FillFinishPage();
    void SaveConfig();
    // Before the window closes: "Save changes?" when something is unsaved; false keeps it open.
    bool SaveChangesBeforeClosing();
    std::vector<std::string> BiographyValues();
    std::string SettingsPath() const;
    std::string CommentsPath() const;

    void OpenGallery();

    bool configSaved_ = false;
    // The biography as loaded or last saved.
    std::vector<std::string> savedBiography_;
    // Exit during a picture batch: the window closes once the batch has unwound.
    bool closeAfterBatch_ = false;
};

// The folder of the running executable, with a trailing backslash.
std::string ExecutableFolder();

}  // namespace editor
