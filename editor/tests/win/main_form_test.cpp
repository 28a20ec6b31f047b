#include "editor/main_form.h"

#include "editor/processing_dialog.h"

#include "forms/application.h"
#include "forms/ini_file.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/win_recorders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace editor {
namespace {

using testsupport::ReadWholeFile;

using namespace forms;

template <class T>
T* Find(TForm1& form, const char* name) {
    auto* control = dynamic_cast<T*>(form.FindComponent(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// A program folder of its own for each test, and the main window opened on it.
class MainWindow : public testing::Test {
protected:
    void Open() {
        form_.reset(new TForm1(nullptr, folder_.Path()));
        Application->SetMainForm(form_.get());
        form_->Show();
        Application->ProcessMessages();
    }
    void Reopen() {
        form_.reset();
        Open();
    }
    void WriteSetting(const char* section, const char* key, const char* value) {
        TIniFile(folder_.Path() + "vantrell.ini").WriteString(section, key, value);
    }
    std::string Setting(const char* section, const char* key) {
        return TIniFile(folder_.Path() + "vantrell.ini").ReadString(section, key, "<absent>");
    }
    void TearDown() override {
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(MainWindow, FirstStartInAnEmptyFolder) {
    Open();
    for (const char* folder : {"Galleries\\General", "Galleries\\GlamourFashion", "Galleries\\Swimwear",
                               "Galleries\\Lingerie", "Galleries\\Sheer", "Galleries\\ImpliedNudity",
                               "Galleries\\ArtNudes", "Galleries\\Miscellaneous", "Comment Files"})
        EXPECT_NE(GetFileAttributesA((folder_.Path() + folder).c_str()), INVALID_FILE_ATTRIBUTES) << folder;
    for (int i = 18; i <= 28; ++i)
        EXPECT_FALSE(Find<TCheckBox>(*form_, ("CheckBox" + std::to_string(i)).c_str())->Checked()) << i;
    const struct { const char* name; bool checked; } medium[] = {
        {"CheckBox1", true}, {"CheckBox2", true}, {"CheckBox3", false}, {"CheckBox4", false}, {"CheckBox5", true},
    };
    for (const auto& m : medium) EXPECT_EQ(Find<TCheckBox>(*form_, m.name)->Checked(), m.checked) << m.name;
    EXPECT_EQ(form_->Bio->ComboBox1->Text(), "Slim To Medium");
    EXPECT_EQ(form_->Bio->ComboBox2->Text(), "Medium And Curly");
    EXPECT_EQ(form_->Bio->ComboBox14->Text(), "Female");
    EXPECT_EQ(form_->Bio->Label61->Caption(), "20 Years Of age.");
    EXPECT_EQ(form_->Caption(), "Vantrell - Biography");
    EXPECT_EQ(form_->Finish->ComboBox13->ItemIndex(), -1);
    EXPECT_FALSE(form_->Finish->Button5->Visible());
    EXPECT_FALSE(form_->Finish->Button2->Visible());
    EXPECT_EQ(Setting("Config", "Skin"), "<absent>");  // nothing is written by starting
}

// Every progress bar of the program has one look: framed, 25 high and inside its parent, a
// solid bar from the desktop colour to lime with the percentage centred on it; the scan
// bar's text is white and bold.
TEST_F(MainWindow, EveryProgressBarHasTheProgramsLook) {
    Open();
    bool cancel = false;
    auto dialog = std::make_unique<TForm2>(nullptr, cancel);
    const struct { const char* name; controls::TSpecialProgress* bar; } bars[] = {
        {"scan", form_->Galleries->progressbar1},
        {"build", form_->Builder->prog},
        {"previews", dialog->Progressbar1},
        {"thumbnails", dialog->Progressbar2},
    };
    for (const auto& b : bars) {
        EXPECT_EQ(b.bar->Height(), 25) << b.name;
        EXPECT_LE(b.bar->Top() + b.bar->Height(), b.bar->Parent()->ClientHeight()) << b.name;
        EXPECT_EQ(b.bar->BorderStyle(), bsSingle) << b.name;
        EXPECT_TRUE(b.bar->Solid()) << b.name;
        EXPECT_TRUE(b.bar->GradientBlocks()) << b.name;
        EXPECT_EQ(b.bar->StartColor(), clBackground) << b.name;
        EXPECT_EQ(b.bar->EndColor(), clLime) << b.name;
        EXPECT_TRUE(b.bar->TextCentered()) << b.name;
        EXPECT_EQ(b.bar->TextOption(), controls::toPercent) << b.name;
    }
    const TFont* font = form_->Galleries->progressbar1->Font();
    EXPECT_EQ(font->Color(), clWhite);
    EXPECT_TRUE(font->Bold());
    EXPECT_EQ(font->Name(), "MS Sans Serif");
    EXPECT_EQ(font->Height(), -11);
}

TEST_F(MainWindow, ChoosesTheLastTemplateElseDefaultElseNothing) {
    const struct { std::vector<const char*> folders; const char* lastUsed; const char* chosen; } cases[] = {
        {{"Default", "Blue"}, "Blue", "Blue"},
        {{"Default", "Blue"}, "Gone", "Default"},
        {{"Blue"}, "Gone", ""},
        {{"Blue", "old.v1"}, nullptr, ""},  // the default LastUsed is "Default", absent here
    };
    for (const auto& c : cases) {
        testsupport::TempFolder folder;
        CreateDirectoryA((folder.Path() + "html").c_str(), nullptr);
        for (const char* name : c.folders) CreateDirectoryA((folder.Path() + "html\\" + name).c_str(), nullptr);
        if (c.lastUsed) TIniFile(folder.Path() + "vantrell.ini").WriteString("HTML", "LastUsed", c.lastUsed);
        TForm1 form(nullptr, folder.Path());
        EXPECT_EQ(form.Finish->ComboBox13->Text(), c.chosen) << (c.lastUsed ? c.lastUsed : "(none)");
    }
}

TEST_F(MainWindow, NavigationButtonsAndTitlesFollowThePage) {
    Open();
    const char* titles[] = {"Vantrell - Biography", "Vantrell - Galleries", "Vantrell - Work History",
                            "Vantrell - Photographers", "Vantrell - Web Sites", "Vantrell - Finish"};
    EXPECT_FALSE(form_->BackButton->Visible());
    for (int page = 1; page < 6; ++page) {
        form_->NextButton->Click();
        Application->ProcessMessages();
        EXPECT_EQ(form_->PageControl1->ActivePageIndex(), page);
        EXPECT_EQ(form_->Caption(), titles[page]);
        EXPECT_TRUE(form_->BackButton->Visible());
        EXPECT_EQ(form_->NextButton->Visible(), page != 5);
    }
    form_->NextButton->Click();  // on the last page: stays
    EXPECT_EQ(form_->PageControl1->ActivePageIndex(), 5);
    for (int page = 4; page >= 0; --page) form_->BackButton->Click();
    EXPECT_EQ(form_->PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(form_->Caption(), titles[0]);
    EXPECT_FALSE(form_->BackButton->Visible());
}

TEST_F(MainWindow, NavigationButtonsAreDrawnAboveThePages) {
    Open();
    for (TButton* button : {form_->Button54, form_->NextButton, form_->ExitButton}) {
        RECT r;
        GetWindowRect(button->Handle(), &r);
        POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_EQ(WindowFromPoint(middle), button->Handle()) << button->Caption();
        RECT client;
        GetClientRect(form_->Handle(), &client);
        POINT corner{r.right, r.bottom};
        ScreenToClient(form_->Handle(), &corner);
        EXPECT_LE(corner.y, client.bottom) << button->Caption();
        EXPECT_LE(corner.x, client.right) << button->Caption();
    }
}

TEST_F(MainWindow, MaleHidesTheBraSizeButKeepsItsValue) {
    Open();
    form_->Bio->Edit13->SetText("34B");
    form_->Bio->ComboBox14->SetItemIndex(1);
    form_->Bio->ComboBox14Change();
    EXPECT_FALSE(form_->Bio->Edit13->Visible());
    EXPECT_FALSE(form_->Bio->BraSizeLabel->Visible());
    form_->Bio->Button1->Click();
    EXPECT_EQ(Setting("VitalStats", "Bra"), "34B");
    EXPECT_EQ(Setting("Biography", "Sex"), "1");
    Reopen();
    EXPECT_EQ(form_->Bio->ComboBox14->ItemIndex(), 1);
    EXPECT_FALSE(form_->Bio->Edit13->Visible());
    EXPECT_EQ(form_->Bio->Edit13->Text(), "34B");
}

TEST_F(MainWindow, SaveThenRestartKeepsEveryBiographyControlAndTheComments) {
    Open();
    std::vector<std::pair<std::string, std::string>> texts;
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) {
        const std::string name = "Edit" + std::to_string(i);
        texts.push_back({name, "value of " + name});
        Find<TEdit>(*form_, name.c_str())->SetText(texts.back().second);
    }
    form_->Bio->ComboBox1->SetText("Slim / Petite");
    form_->Bio->ComboBox2->SetText("Long and Wavy");
    std::vector<std::string> flipped;
    for (int i : {1, 2, 3, 4, 5, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28}) {
        auto* box = Find<TCheckBox>(*form_, ("CheckBox" + std::to_string(i)).c_str());
        box->SetChecked(!box->Checked());
        flipped.push_back(std::string(box->Checked() ? "1" : "0"));
    }
    const TDateTime birth = EncodeDate(1994, 7, 23);
    form_->Bio->DateTimePicker1->SetDate(birth);
    form_->Bio->RichEdit4->Lines()->SetText("Available for {\\b bold} work\r\nin the summer\r\n");
    form_->Bio->Button1->Click();
    EXPECT_EQ(Setting("Biography", "DOB"), "23/07/1994");
    EXPECT_NE(ReadWholeFile(folder_.Path() + "personalcomments.rtf").find("{\\rtf"), std::string::npos);

    Reopen();
    for (const auto& [name, value] : texts) EXPECT_EQ(Find<TEdit>(*form_, name.c_str())->Text(), value) << name;
    EXPECT_EQ(form_->Bio->ComboBox1->Text(), "Slim / Petite");
    EXPECT_EQ(form_->Bio->ComboBox2->Text(), "Long and Wavy");
    size_t k = 0;
    for (int i : {1, 2, 3, 4, 5, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28})
        EXPECT_EQ(Find<TCheckBox>(*form_, ("CheckBox" + std::to_string(i)).c_str())->Checked(), flipped[k++] == "1") << i;
    EXPECT_EQ(static_cast<int>(form_->Bio->DateTimePicker1->Date()), static_cast<int>(birth));
    EXPECT_EQ(form_->Bio->RichEdit4->Lines()->Text(), "Available for {\\b bold} work\r\nin the summer\r\n");
}

TEST_F(MainWindow, ABadValueTakesItsDefaultAndTheBiographyStillLoads) {
    WriteSetting("Config", "Skin", "abc");
    WriteSetting("Config", "UseSkins", "maybe");
    WriteSetting("Biography", "DOB", "31/02/1990");
    WriteSetting("biography", "Sex", "7");
    WriteSetting("Biography", "Name", "Ann");
    WriteSetting("Medium", "Catwalk", "0");
    std::ofstream(folder_.Path() + "personalcomments.rtf") << "{\\rtf1 Stored comment\\par}";
    Open();
    EXPECT_EQ(form_->State.SkinNumber, 0);
    EXPECT_FALSE(Find<TCheckBox>(*form_, "CheckBox7")->Checked());
    EXPECT_EQ(form_->Bio->Label61->Caption(), "20 Years Of age.");
    EXPECT_EQ(form_->Bio->ComboBox14->ItemIndex(), 0);
    EXPECT_EQ(form_->Bio->Edit1->Text(), "Ann");
    EXPECT_FALSE(Find<TCheckBox>(*form_, "CheckBox1")->Checked());
    EXPECT_NE(form_->Bio->RichEdit4->Text().find("Stored comment"), std::string::npos);
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
    // Exit writes the repaired skin number back.
    form_->Close();
    EXPECT_EQ(Setting("Config", "Skin"), "0");
}

TEST_F(MainWindow, ExitAndTheFrameWriteTheSameConfigKeys) {
    std::map<std::string, std::string> written[2];
    for (int way = 0; way < 2; ++way) {
        testsupport::TempFolder folder;
        TIniFile ini(folder.Path() + "vantrell.ini");
        ini.WriteString("Config", "Skin", "4");
        ini.WriteString("Config", "Last Folder", "C:\\Pictures");
        {
            TForm1 form(nullptr, folder.Path());
            Application->SetMainForm(&form);
            form.Show();
            Find<TCheckBox>(form, "CheckBox6")->SetChecked(true);
            Find<TCheckBox>(form, "CheckBox7")->SetChecked(true);
            form.Bio->Edit1->SetText("not saved on exit");
            testsupport::ResetRecorders();
            testsupport::MessageBoxAnswers().push_back(IDNO);
            if (way == 0) form.ExitButton->Click();
            else SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
            Application->ProcessMessages();
            ASSERT_EQ(testsupport::MessageBoxes().size(), 1u) << way;
            EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Save changes?");
            EXPECT_TRUE(Application->Terminated()) << way;
            Application->ResetTerminated();
            Application->SetMainForm(nullptr);
        }
        for (const char* key : {"Skin", "Last Folder", "MultipleColumns", "UseSkins"})
            written[way][key] = ini.ReadString("Config", key, "<absent>");
        EXPECT_EQ(ini.ReadString("Biography", "Name", "<absent>"), "<absent>");
    }
    EXPECT_EQ(written[0], written[1]);
    EXPECT_EQ(written[0]["Skin"], "4");
    EXPECT_EQ(written[0]["Last Folder"], "C:\\Pictures");
    EXPECT_EQ(written[0]["MultipleColumns"], "1");
    EXPECT_EQ(written[0]["UseSkins"], "1");
}

TEST_F(MainWindow, ALockedSettingsFileAtExitIsReportedOnceAndTheProgramStillEnds) {
    Open();
    HANDLE lock = CreateFileA((folder_.Path() + "vantrell.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    form_->ExitButton->Click();
    Application->ProcessMessages();
    CloseHandle(lock);
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_NE(testsupport::MessageBoxes()[0].text.find("Unable to write to"), std::string::npos);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainWindow, HelpOpensTheFileByItsFullPathFromTheButtonAndFromF1) {
    Open();
    form_->Button54->Click();
    auto* town = Find<TEdit>(*form_, "Edit3");
    town->SetFocus();
    PostMessageA(town->Handle(), WM_KEYDOWN, VK_F1, 0);
    PostMessageA(town->Handle(), WM_KEYUP, VK_F1, 0xC0000001);
    Application->ProcessMessages();
    ASSERT_EQ(testsupport::ShellLaunches().size(), 2u);
    for (const auto& launch : testsupport::ShellLaunches()) {
        EXPECT_EQ(launch.file, folder_.Path() + "vantrell.pdf");
        EXPECT_EQ(launch.parameters, "");
        EXPECT_EQ(launch.directory, folder_.Path());
        EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    }
}

TEST_F(MainWindow, AnOverLongHelpPathIsRefusedNotCut) {
    std::string deep = folder_.Path();
    while (deep.size() < 250) {
        deep += "a_rather_long_folder_name\\";
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    TForm1 form(nullptr, deep);
    testsupport::ResetRecorders();  // start-up reports the gallery folders it could not make
    form.Button54->Click();
    EXPECT_TRUE(testsupport::ShellLaunches().empty());
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_NE(testsupport::MessageBoxes()[0].text.find("longer than 254"), std::string::npos);
}

// Closing with unsaved work asks first; the answer decides what is kept and whether the
// program ends. Nothing unsaved, nothing asked.
TEST_F(MainWindow, ClosingWithUnsavedChangesAsksToSaveThem) {
    enum Change { Nothing, BiographyName, BiographyComment, RecordField, RecordOpenedUnchanged };
    const struct { Change change; int answer; bool asked, ends, saved; } cases[] = {
        {Nothing, 0, false, true, false},
        {RecordOpenedUnchanged, 0, false, true, false},
        {BiographyName, IDYES, true, true, true},
        {BiographyName, IDNO, true, true, false},
        {BiographyName, IDCANCEL, true, false, false},
        {BiographyComment, IDYES, true, true, true},
        {RecordField, IDYES, true, true, true},
        {RecordField, IDNO, true, true, false},
        {RecordField, IDCANCEL, true, false, false},
    };
    for (const auto& c : cases) {
        const std::string tag = std::to_string(c.change) + "/" + std::to_string(c.answer);
        testsupport::TempFolder folder;
        TIniFile ini(folder.Path() + "vantrell.ini");
        TIniFile work(folder.Path() + "workhistory.ini");
        work.WriteString("Agency", "Phone Number", "0123");
        TForm1 form(nullptr, folder.Path());
        Application->SetMainForm(&form);
        form.Show();
        Application->ProcessMessages();
        switch (c.change) {
        case Nothing: break;
        case BiographyName: form.Bio->Edit1->SetText("Ann"); break;
        case BiographyComment: form.Bio->RichEdit4->Lines()->SetText("About me\r\n"); break;
        case RecordField:
        case RecordOpenedUnchanged:
            form.WorkHistory->NameBox->SetItemIndex(0);
            form.WorkHistory->Select();
            form.WorkHistory->EditClick();
            if (c.change == RecordField) form.WorkHistory->Field("Phone Number")->SetText("0999");
            break;
        }
        testsupport::ResetRecorders();
        // The window of the case before ended the application; its quit message is still queued.
        for (MSG quit; PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
        }
        Application->ResetTerminated();
        if (c.answer) testsupport::MessageBoxAnswers().push_back(c.answer);
        form.ExitButton->Click();
        Application->ProcessMessages();
        ASSERT_EQ(testsupport::MessageBoxes().size(), c.asked ? 1u : 0u) << tag;
        if (c.asked) {
            EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Save changes?");
            EXPECT_EQ(testsupport::MessageBoxes()[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
        }
        EXPECT_EQ(Application->Terminated(), c.ends) << tag;
        EXPECT_EQ(ini.ReadString("Config", "Skin", "<absent>"), c.ends ? "0" : "<absent>") << tag;
        const bool nameSaved = ini.ReadString("Biography", "Name", "") == "Ann";
        const bool commentSaved = ReadWholeFile(folder.Path() + "personalcomments.rtf").find("About me") != std::string::npos;
        const bool recordSaved = work.ReadString("Agency", "Phone Number", "") == "0999";
        EXPECT_EQ(nameSaved || commentSaved || recordSaved, c.saved) << tag;
        if (c.change == RecordField) {
            EXPECT_EQ(form.WorkHistory->Editing(), !c.ends || c.answer == IDNO) << tag;
        }
        Application->ResetTerminated();
        Application->SetMainForm(nullptr);
    }
}

// Yes whose save is refused (a new web site still without a name) keeps the program open
// with the record as typed, so nothing is lost.
TEST_F(MainWindow, ARefusedSaveAtExitKeepsTheProgramOpen) {
    Open();
    form_->WebSites->AddClick();
    form_->WebSites->Field("URL")->SetText("http://ann.example");
    testsupport::ResetRecorders();
    testsupport::MessageBoxAnswers().push_back(IDYES);
    form_->ExitButton->Click();
    Application->ProcessMessages();
    ASSERT_EQ(testsupport::MessageBoxes().size(), 2u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Save changes?");
    EXPECT_EQ(testsupport::MessageBoxes()[1].text, "You must give the Web Site a name!");
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(form_->WebSites->Editing());
    EXPECT_EQ(form_->WebSites->FieldValue("URL"), "http://ann.example");
    EXPECT_EQ(Setting("Config", "Skin"), "<absent>");
}

// A date of birth written under other date settings loads as that date and is saved back
// in the program's own form, never replaced by the default.
TEST_F(MainWindow, ADateOfBirthWithAnotherSeparatorKeepsItsDate) {
    for (const char* stored : {"15.03.1990", "15-03-1990", "1990-03-15"}) {
        WriteSetting("Biography", "DOB", stored);
        Reopen();
        int year = 0, month = 0, day = 0;
        DecodeDate(form_->Bio->DateTimePicker1->Date(), year, month, day);
        EXPECT_EQ(year * 10000 + month * 100 + day, 19900315) << stored;
        form_->Bio->Button1->Click();
        EXPECT_EQ(Setting("Biography", "DOB"), "15/03/1990") << stored;
    }
}

TEST_F(MainWindow, PersonalCommentsInPlainTextOrEmptyLoadAndAreSavedWhole) {
    for (const char* bytes : {"Plain words about me", ""}) {
        testsupport::WriteWholeFile(folder_.Path() + "personalcomments.rtf", bytes);
        Reopen();
        EXPECT_TRUE(testsupport::MessageBoxes().empty()) << bytes;
        EXPECT_EQ(form_->Bio->RichEdit4->Text().rfind(bytes, 0), 0u) << form_->Bio->RichEdit4->Text();
        form_->Bio->Button1->Click();
        const std::string saved = ReadWholeFile(folder_.Path() + "personalcomments.rtf");
        EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u) << bytes;
        EXPECT_NE(saved.find(bytes), std::string::npos) << bytes;
        EXPECT_FALSE(GetFileAttributesA((folder_.Path() + "personalcomments.rtf.new").c_str()) !=
                     INVALID_FILE_ATTRIBUTES);
    }
}

// Comments held by another program at start: the box stays empty and says why, and Save
// writes the other fields without emptying the file; a comment typed later is saved.
TEST_F(MainWindow, PersonalCommentsThatCannotBeReadAreNeverSavedOverUnlessTyped) {
    const std::string path = folder_.Path() + "personalcomments.rtf";
    testsupport::WriteWholeFile(path, "{\\rtf1\\ansi My own words}");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    testsupport::ResetRecorders();
    Open();
    EXPECT_TRUE(form_->Bio->CommentsUnread());
    EXPECT_EQ(form_->Bio->RichEdit4->Text(), "");
    EXPECT_NE(form_->Bio->CommentsGroup->Caption().find("could not be read"), std::string::npos);
    form_->Bio->Edit1->SetText("Ann");
    form_->Bio->Button1->Click();
    CloseHandle(lock);
    EXPECT_EQ(ReadWholeFile(path), "{\\rtf1\\ansi My own words}");
    EXPECT_EQ(Setting("Biography", "Name"), "Ann");
    EXPECT_TRUE(testsupport::MessageBoxes().empty());

    form_->Bio->RichEdit4->Lines()->SetText("New words");
    form_->Bio->Button1->Click();
    EXPECT_NE(ReadWholeFile(path).find("New words"), std::string::npos);
    EXPECT_FALSE(form_->Bio->CommentsUnread());
    EXPECT_EQ(form_->Bio->CommentsGroup->Caption(), " Comments ");
}

}  // namespace
}  // namespace editor
