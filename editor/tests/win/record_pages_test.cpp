#include "editor/main_form.h"

#include "editor/portable/record_model.h"
#include "editor/record_store_win.h"

#include "forms/application.h"
#include "forms/ini_file.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/win_recorders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace editor {
namespace {

using testsupport::ReadWholeFile;

using namespace forms;

constexpr RecordList kLists[] = {RecordList::WorkHistory, RecordList::Photographers, RecordList::WebSites};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The program folder's files as the record store names and lists them.
std::string RecordFilePath(const std::string& folder, RecordList list) {
    return WinRecordStore(folder).RecordFilePath(list);
}
std::string CommentFolderPath(const std::string& folder) { return WinRecordStore(folder).CommentFolder(); }
std::vector<std::string> RecordNames(const std::string& folder, RecordList list) {
    return WinRecordStore(folder).Names(list);
}

// A value for every field of a list that differs from what a new record holds.
std::map<std::string, std::string> SampleValues(RecordList list, const std::string& tag) {
    std::map<std::string, std::string> values;
    for (const auto& field : Schema(list).fields) {
        switch (field.kind) {
        case RecordFieldKind::Text: values[std::string(field.key)] = std::string(field.key) + " of " + tag; break;
        case RecordFieldKind::Choice: values[std::string(field.key)] = std::string(field.items[0]); break;
        case RecordFieldKind::Flag: values[std::string(field.key)] = "1"; break;
        }
    }
    if (list == RecordList::WebSites) values["URL"] = "http://" + tag + ".example.com/";
    return values;
}

class RecordPages : public testing::Test {
protected:
    void SetUp() override { Open(); }
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
    void TearDown() override {
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }

    RecordPage& Page(RecordList list) {
        switch (list) {
        case RecordList::WorkHistory: return *form_->WorkHistory;
        case RecordList::Photographers: return *form_->Photographers;
        case RecordList::WebSites: break;
        }
        return *form_->WebSites;
    }
    // A click as the user makes it: a disabled button takes none.
    void Press(TButton* button) {
        SendMessageA(button->Handle(), BM_CLICK, 0, 0);
        Application->ProcessMessages();
    }
    // Choosing a name in the list as the user does, with the notification the list sends.
    void Choose(RecordPage& page, const std::string& name) {
        const int index = page.NameBox->Items()->IndexOf(name);
        ASSERT_GE(index, 0) << name;
        HWND box = page.NameBox->Handle();
        SendMessageA(box, CB_SETCURSEL, index, 0);
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        Application->ProcessMessages();
    }
    void Fill(RecordPage& page, const std::map<std::string, std::string>& values) {
        for (const auto& [key, value] : values) {
            TWinControl* control = page.Field(key);
            ASSERT_NE(control, nullptr) << key;
            if (auto* box = dynamic_cast<TComboBox*>(control)) box->SetItemIndex(box->Items()->IndexOf(value));
            else if (auto* check = dynamic_cast<TCheckBox*>(control)) check->SetChecked(value == "1");
            else control->SetText(value);
        }
    }
    // Add, name, fill, comment, Save.
    void AddRecord(RecordList list, const std::string& name, const std::map<std::string, std::string>& values,
                   const std::string& comment) {
        RecordPage& page = Page(list);
        Press(page.AddButton);
        page.NameBox->SetText(name);
        Fill(page, values);
        page.Comment->Lines()->SetText(comment);
        Press(page.SaveButton);
    }
    std::string Stored(RecordList list, const std::string& section, const std::string& key) {
        return TIniFile(RecordFilePath(folder_.Path(), list)).ReadString(section, key, "<absent>");
    }
    std::string CommentFolder() { return CommentFolderPath(folder_.Path()); }
    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const auto& box : testsupport::MessageBoxes()) texts.push_back(box.text);
        return texts;
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
};

TEST_F(RecordPages, AddSaveAndRestartKeepEachRecordWithItsFieldsAndComment) {
    for (RecordList list : kLists) {
        const std::string name = "Record of " + std::string(Schema(list).noun);
        const auto values = SampleValues(list, "first");
        AddRecord(list, "  " + name + "  ", values, "Comment of " + name + "\r\n");
        ASSERT_TRUE(testsupport::MessageBoxes().empty()) << MessageTexts()[0];
        EXPECT_FALSE(Page(list).Editing());
        EXPECT_EQ(Page(list).NameBox->Text(), name);
        for (const auto& [key, value] : values) EXPECT_EQ(Stored(list, name, key), value) << key;
        const std::string commentFile = Stored(list, name, "Comment File");
        EXPECT_TRUE(IsOwnCommentFileName(commentFile)) << commentFile;
        EXPECT_NE(ReadWholeFile(CommentFolder() + commentFile).find("{\\rtf"), std::string::npos);
    }
    Reopen();
    for (RecordList list : kLists) {
        const std::string name = "Record of " + std::string(Schema(list).noun);
        RecordPage& page = Page(list);
        ASSERT_EQ(page.NameBox->Items()->Count(), 1);
        Choose(page, name);
        for (const auto& [key, value] : SampleValues(list, "first")) EXPECT_EQ(page.FieldValue(key), value) << key;
        EXPECT_EQ(page.Comment->Lines()->Text(), "Comment of " + name + "\r\n");
        EXPECT_TRUE(page.EditButton->Enabled());
        EXPECT_TRUE(page.DeleteButton->Enabled());
        EXPECT_FALSE(page.SaveButton->Enabled());
    }
}

TEST_F(RecordPages, EditThenCancelRestoresTheStoredFieldsAndComment) {
    for (RecordList list : kLists) {
        AddRecord(list, "Kept", SampleValues(list, "stored"), "Stored comment\r\n");
        RecordPage& page = Page(list);
        Press(page.EditButton);
        ASSERT_TRUE(page.Editing());
        EXPECT_EQ(page.EditButton->Caption(), list == RecordList::WorkHistory ? "&Cancel" : "Cancel");
        Fill(page, SampleValues(list, "changed"));
        page.Comment->Lines()->SetText("Changed comment\r\n");
        Press(page.EditButton);
        EXPECT_FALSE(page.Editing());
        EXPECT_EQ(page.EditButton->Caption(), "&Edit");
        EXPECT_EQ(page.NameBox->Text(), "Kept");
        for (const auto& [key, value] : SampleValues(list, "stored")) EXPECT_EQ(page.FieldValue(key), value) << key;
        EXPECT_EQ(page.Comment->Lines()->Text(), "Stored comment\r\n");
        EXPECT_FALSE(page.SaveButton->Enabled());
    }
}

TEST_F(RecordPages, EditAndSaveKeepTheCommentFileButAWebSiteGetsANewOneEachSave) {
    for (RecordList list : kLists) {
        AddRecord(list, "Twice", SampleValues(list, "one"), "First\r\n");
        const std::string first = Stored(list, "Twice", "Comment File");
        RecordPage& page = Page(list);
        Press(page.EditButton);
        page.Comment->Lines()->SetText("Second\r\n");
        Press(page.SaveButton);
        const std::string second = Stored(list, "Twice", "Comment File");
        if (list == RecordList::WebSites) {
            EXPECT_NE(second, first);
            EXPECT_TRUE(Exists(CommentFolder() + first));  // the older file stays behind
        } else {
            EXPECT_EQ(second, first);
        }
        Choose(page, "Twice");
        EXPECT_EQ(page.Comment->Lines()->Text(), "Second\r\n");
    }
}

TEST_F(RecordPages, DeleteRemovesTheSectionAndItsCommentFileAndClearsThePage) {
    for (RecordList list : kLists) {
        AddRecord(list, "Gone", SampleValues(list, "gone"), "To be deleted\r\n");
        AddRecord(list, "Stays", SampleValues(list, "stays"), "Kept\r\n");
        const std::string goneFile = Stored(list, "Gone", "Comment File");
        RecordPage& page = Page(list);
        Choose(page, "Gone");
        testsupport::ResetRecorders();
        testsupport::MessageBoxAnswers().push_back(IDNO);
        Press(page.DeleteButton);
        EXPECT_EQ(Stored(list, "Gone", "Comment File"), goneFile);  // No keeps it
        Press(page.DeleteButton);
        ASSERT_EQ(testsupport::MessageBoxes().size(), 2u);
        EXPECT_EQ(testsupport::MessageBoxes()[1].text, std::string(Schema(list).noun == "Work Item"
                                                                       ? "Delete this Work Item?"
                                                                       : Schema(list).noun == "Photographer"
                                                                             ? "Delete this Photographer?"
                                                                             : "Delete this Web Site?") +
                                                           "\r\n\r\nGone");
        EXPECT_EQ(Stored(list, "Gone", "Comment File"), "<absent>");
        EXPECT_EQ(RecordNames(folder_.Path(), list), std::vector<std::string>{"Stays"});
        EXPECT_FALSE(Exists(CommentFolder() + goneFile));
        EXPECT_EQ(page.NameBox->Items()->Count(), 1);
        EXPECT_EQ(page.NameBox->ItemIndex(), -1);
        for (auto* b : {page.EditButton, page.DeleteButton, page.SaveButton}) EXPECT_FALSE(b->Enabled());
        // Nothing of the deleted record is left on the page.
        for (const auto& field : Schema(list).fields)
            EXPECT_NE(page.FieldValue(field.key), SampleValues(list, "gone")[std::string(field.key)]) << field.key;
        EXPECT_EQ(page.Comment->Lines()->Text(), "");
        EXPECT_TRUE(Exists(CommentFolder() + Stored(list, "Stays", "Comment File")));
    }
}

TEST_F(RecordPages, ANewNameIsTrimmedAndRefusedWhenEmptyPlaceholderUnsafeOrTaken) {
    AddRecord(RecordList::Photographers, "Jo Lens", SampleValues(RecordList::Photographers, "jo"), "Jo's notes\r\n");
    const std::string joFile = Stored(RecordList::Photographers, "Jo Lens", "Comment File");
    const struct { RecordList list; const char* typed; const char* message; } cases[] = {
        {RecordList::WorkHistory, "   ", "You must give the Work Item a name!"},
        {RecordList::Photographers, "", "You must give the Photographer a name!"},
        {RecordList::WebSites, "Enter Web Site name here...", "You must give the Web Site a name!"},
        {RecordList::Photographers, "  JO LENS ", "There is already a Photographer named \"Jo Lens\"."},
        {RecordList::WorkHistory, "Agency [2]", "A Work Item name cannot hold \"[\", \"]\" or control characters."},
    };
    for (const auto& c : cases) {
        testsupport::ResetRecorders();
        RecordPage& page = Page(c.list);
        Press(page.AddButton);
        if (c.list == RecordList::WebSites) EXPECT_EQ(page.NameBox->Text(), "Enter Web Site name here...");
        else page.NameBox->SetText(c.typed);
        Fill(page, SampleValues(c.list, "refused"));
        Press(page.SaveButton);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message}) << c.typed;
        EXPECT_TRUE(page.Editing()) << c.typed;
        Press(page.EditButton);  // Cancel
        EXPECT_FALSE(page.Editing());
    }
    EXPECT_EQ(RecordNames(folder_.Path(), RecordList::WorkHistory).size(), 0u);
    EXPECT_EQ(RecordNames(folder_.Path(), RecordList::WebSites).size(), 0u);
    // The stored record was not merged with the refused one.
    for (const auto& [key, value] : SampleValues(RecordList::Photographers, "jo"))
        EXPECT_EQ(Stored(RecordList::Photographers, "Jo Lens", key), value) << key;
    EXPECT_EQ(Stored(RecordList::Photographers, "Jo Lens", "Comment File"), joFile);
    EXPECT_NE(ReadWholeFile(CommentFolder() + joFile).find("Jo's notes"), std::string::npos);
}

TEST_F(RecordPages, ANewCommentFileNeverTakesANameAlreadyUsed) {
    // Files for the coming seconds of the month, and a record naming the one after them.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const unsigned start = SecondsIntoMonth(now.wDay, now.wHour, now.wMinute, now.wSecond);
    std::set<std::string> taken;
    for (unsigned n = start; n < start + 40; ++n) {
        const std::string name = std::to_string(n) + ".rtf";
        std::ofstream(CommentFolder() + name) << "{\\rtf1 older " << n << "\\par}";
        taken.insert(name);
    }
    const std::string namedOnly = std::to_string(start + 40) + ".rtf";
    TIniFile(RecordFilePath(folder_.Path(), RecordList::Photographers)).WriteString("Old", "Comment File", namedOnly);
    taken.insert(namedOnly);
    Reopen();

    for (RecordList list : kLists) {
        AddRecord(list, "New", SampleValues(list, "new"), "New comment\r\n");
        const std::string given = Stored(list, "New", "Comment File");
        EXPECT_TRUE(IsOwnCommentFileName(given)) << given;
        EXPECT_EQ(taken.count(given), 0u) << given;
        taken.insert(given);
    }
    for (unsigned n = start; n < start + 40; ++n)
        EXPECT_NE(ReadWholeFile(CommentFolder() + std::to_string(n) + ".rtf").find("older " + std::to_string(n)),
                  std::string::npos) << n;
}

TEST_F(RecordPages, AStoredCommentFileNameOutsideTheCommentFolderIsNeverLoadedOrDeleted) {
    std::ofstream(folder_.Path() + "secret.rtf") << "{\\rtf1 secret\\par}";
    std::ofstream(CommentFolder() + "notes.rtf") << "{\\rtf1 hand made\\par}";
    std::ofstream(CommentFolder() + "77.rtf") << "{\\rtf1 shared\\par}";
    const struct { const char* record; const char* stored; const char* shown; const char* keptFile; } cases[] = {
        {"Up", "..\\secret.rtf", "", "secret.rtf"},
        {"Full", "", "", "secret.rtf"},  // filled below with the full path
        {"Slash", "../secret.rtf", "", "secret.rtf"},
        {"Hand", "notes.rtf", "hand made", "Comment Files\\notes.rtf"},
        {"SharedA", "77.rtf", "shared", "Comment Files\\77.rtf"},
    };
    TIniFile ini(RecordFilePath(folder_.Path(), RecordList::WorkHistory));
    for (const auto& c : cases)
        ini.WriteString(c.record, "Comment File", *c.stored ? c.stored : (folder_.Path() + "secret.rtf").c_str());
    ini.WriteString("SharedB", "Comment File", "77.rtf");
    Reopen();
    RecordPage& page = Page(RecordList::WorkHistory);
    for (const auto& c : cases) {
        Choose(page, c.record);
        EXPECT_EQ(TrimBlanks(page.Comment->Text()).find(c.shown), 0u) << c.record;
        if (!*c.shown) {
            EXPECT_EQ(page.Comment->Text(), "") << c.record;
        }
        Press(page.DeleteButton);
        EXPECT_EQ(Stored(RecordList::WorkHistory, c.record, "Comment File"), "<absent>") << c.record;
        EXPECT_TRUE(Exists(folder_.Path() + c.keptFile)) << c.record;
    }
    // Once no record names it, a file of ours goes with its last record.
    Choose(page, "SharedB");
    Press(page.DeleteButton);
    EXPECT_FALSE(Exists(CommentFolder() + "77.rtf"));
}

TEST_F(RecordPages, DeleteAndAddAreOffWhileEditingAndTheOtherPagesComeBackAfterwards) {
    for (RecordList list : kLists) AddRecord(list, "One", SampleValues(list, "one"), "");
    for (RecordList list : kLists) {
        RecordPage& page = Page(list);
        Choose(page, "One");
        for (TButton* start : {page.EditButton, page.AddButton}) {
            for (TButton* finish : {page.EditButton, page.SaveButton}) {
                testsupport::ResetRecorders();
                Press(start);
                ASSERT_TRUE(page.Editing());
                if (start == page.AddButton) page.NameBox->SetText("Another " + std::to_string(rand()));
                EXPECT_FALSE(page.DeleteButton->Enabled());
                EXPECT_FALSE(page.AddButton->Enabled());
                Press(page.DeleteButton);
                EXPECT_TRUE(testsupport::MessageBoxes().empty());
                for (TTabSheet* sheet : {form_->biography, form_->galleries, form_->workhistory, form_->photographers,
                                         form_->websites})
                    EXPECT_EQ(sheet->Enabled(), sheet == page.Sheet) << sheet->Caption();
                EXPECT_TRUE(form_->TabSheet1->Enabled());
                Press(finish);
                EXPECT_FALSE(page.Editing());
                EXPECT_TRUE(testsupport::MessageBoxes().empty());
                for (TTabSheet* sheet : {form_->biography, form_->galleries, form_->workhistory, form_->photographers,
                                         form_->websites})
                    EXPECT_TRUE(sheet->Enabled()) << sheet->Caption();
                EXPECT_TRUE(page.AddButton->Enabled());
                EXPECT_EQ(page.DeleteButton->Enabled(), page.NameBox->ItemIndex() >= 0);
                Choose(page, "One");
                EXPECT_TRUE(page.DeleteButton->Enabled());
            }
        }
    }
}

TEST_F(RecordPages, AMissingKeyReadsAsItsDefaultAndAddStartsFromTheDefaults) {
    const std::string websites = RecordFilePath(folder_.Path(), RecordList::WebSites);
    std::ofstream(websites) << "[Members]\r\nURL=http://members.example.com\r\nNeedPassword=1\r\n"
                               "Username=ann\r\nPassword=s3cret\r\n[Open]\r\nURL=http://open.example.com\r\n";
    std::ofstream(RecordFilePath(folder_.Path(), RecordList::Photographers))
        << "[Jo]\r\nPhone Number=0123\r\nE-mail=jo@example.com\r\nWhere=Location And Studio\r\n[Sam]\r\n";
    Reopen();
    RecordPage& sites = Page(RecordList::WebSites);
    Choose(sites, "Members");
    EXPECT_EQ(sites.FieldValue("Username"), "ann");
    Choose(sites, "Open");
    EXPECT_EQ(sites.FieldValue("Username"), "");
    EXPECT_EQ(sites.FieldValue("Password"), "");
    EXPECT_EQ(sites.FieldValue("NeedPassword"), "0");
    EXPECT_FALSE(sites.Field("Username")->Visible());

    RecordPage& photographers = Page(RecordList::Photographers);
    Choose(photographers, "Jo");
    EXPECT_EQ(photographers.FieldValue("Where"), "Location and Studio");
    Choose(photographers, "Sam");
    const struct { const char* key; const char* value; } defaults[] = {
        {"Phone Number", ""}, {"E-mail", ""}, {"Web Address", "http://"}, {"Type Of Work", "Glamour / Fashion"},
        {"Payment Method", "Paid Work"}, {"Payment Type", "Set Assignment Fee"}, {"Where", "Location and Studio"},
    };
    for (const auto& d : defaults) EXPECT_EQ(photographers.FieldValue(d.key), d.value) << d.key;

    // Add after showing a record: nothing of it goes into the new one.
    Choose(photographers, "Jo");
    Press(photographers.AddButton);
    photographers.NameBox->SetText("Kim");
    Press(photographers.SaveButton);
    EXPECT_EQ(Stored(RecordList::Photographers, "Kim", "Phone Number"), "");
    EXPECT_EQ(Stored(RecordList::Photographers, "Kim", "E-mail"), "");
    Choose(sites, "Members");
    Press(sites.AddButton);
    EXPECT_EQ(sites.FieldValue("URL"), "http://");
    sites.NameBox->SetText("Fresh");
    Press(sites.SaveButton);
    EXPECT_EQ(Stored(RecordList::WebSites, "Fresh", "Username"), "");
    EXPECT_EQ(Stored(RecordList::WebSites, "Fresh", "Password"), "");
    EXPECT_EQ(Stored(RecordList::WebSites, "Fresh", "NeedPassword"), "0");
}

TEST_F(RecordPages, ThePasswordBoxShowsTheExtraFieldsWhoseValuesAreStillSaved) {
    RecordPage& sites = Page(RecordList::WebSites);
    Press(sites.AddButton);
    sites.NameBox->SetText("Club");
    ASSERT_TRUE(sites.PasswordBox->Enabled());
    Fill(sites, {{"Username", "ann"}, {"Password", "pw"}});
    const TWinControl* extra[] = {sites.Field("Username"), sites.Field("Password")};
    for (bool checked : {true, false}) {
        SendMessageA(sites.PasswordBox->Handle(), BM_CLICK, 0, 0);
        for (auto* field : extra) EXPECT_EQ(field->Visible(), checked);
    }
    Press(sites.SaveButton);
    EXPECT_EQ(Stored(RecordList::WebSites, "Club", "NeedPassword"), "0");
    EXPECT_EQ(Stored(RecordList::WebSites, "Club", "Username"), "ann");
    EXPECT_EQ(Stored(RecordList::WebSites, "Club", "Password"), "pw");
    EXPECT_FALSE(sites.PasswordBox->Enabled());
}

TEST_F(RecordPages, VisitWebSiteOpensOnlyWebAddresses) {
    const struct { const char* url; const char* opened; bool refused; } cases[] = {
        {"http://", nullptr, false},
        {"", nullptr, false},
        {"  https://Example.com/x  ", "https://Example.com/x", false},
        {"www.example.com", "http://www.example.com", false},
        {"file:///C:/windows/system32/calc.exe", nullptr, true},
        {"C:\\windows\\system32\\calc.exe", nullptr, true},
    };
    RecordPage& sites = Page(RecordList::WebSites);
    for (const auto& c : cases) {
        testsupport::ResetRecorders();
        sites.Field("URL")->SetText(c.url);
        Press(sites.VisitButton);
        ASSERT_EQ(testsupport::ShellLaunches().size(), c.opened ? 1u : 0u) << c.url;
        if (c.opened) {
            EXPECT_EQ(testsupport::ShellLaunches()[0].file, c.opened);
            EXPECT_EQ(testsupport::ShellLaunches()[0].parameters, "");
            EXPECT_EQ(testsupport::ShellLaunches()[0].directory, folder_.Path());
            EXPECT_EQ(testsupport::ShellLaunches()[0].show, SW_SHOWNORMAL);
        }
        EXPECT_EQ(testsupport::MessageBoxes().size(), c.refused ? 1u : 0u) << c.url;
    }
}

TEST_F(RecordPages, EveryRecordIsListedHoweverLongTheList) {
    {
        std::ofstream out(RecordFilePath(folder_.Path(), RecordList::WorkHistory));
        for (int i = 0; i < 3000; ++i) out << "[Organisation number " << i << "]\r\nPhone Number=" << i << "\r\n";
    }
    Reopen();
    RecordPage& page = Page(RecordList::WorkHistory);
    ASSERT_EQ(page.NameBox->Items()->Count(), 3000);
    Choose(page, "Organisation number 2999");
    EXPECT_EQ(page.FieldValue("Phone Number"), "2999");
}

TEST_F(RecordPages, SavingOneListKeepsTheChoiceOfTheOthers) {
    AddRecord(RecordList::Photographers, "Jo", SampleValues(RecordList::Photographers, "jo"), "");
    AddRecord(RecordList::Photographers, "Sam", SampleValues(RecordList::Photographers, "sam"), "");
    RecordPage& photographers = Page(RecordList::Photographers);
    Choose(photographers, "Sam");
    AddRecord(RecordList::WorkHistory, "Agency", SampleValues(RecordList::WorkHistory, "agency"), "");
    EXPECT_EQ(photographers.NameBox->Text(), "Sam");
    Press(photographers.DeleteButton);
    EXPECT_EQ(RecordNames(folder_.Path(), RecordList::Photographers), std::vector<std::string>{"Jo"});
}

TEST_F(RecordPages, AFailedWriteIsReportedAndTheRecordStaysInEditMode) {
    RecordPage& page = Page(RecordList::WorkHistory);
    Press(page.AddButton);
    page.NameBox->SetText("Locked");
    HANDLE lock = CreateFileA(RecordFilePath(folder_.Path(), RecordList::WorkHistory).c_str(),
                              GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Press(page.SaveButton);
    CloseHandle(lock);
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_NE(testsupport::MessageBoxes()[0].text.find("Unable to write to"), std::string::npos);
    EXPECT_TRUE(page.Editing());
    EXPECT_FALSE(form_->biography->Enabled());
    Press(page.SaveButton);
    EXPECT_FALSE(page.Editing());
    EXPECT_EQ(RecordNames(folder_.Path(), RecordList::WorkHistory), std::vector<std::string>{"Locked"});
}

// Each list keeps its own comment file: choosing a record of another list in between must
// not make Edit and Save write this record's comment into the other's file.
TEST_F(RecordPages, EachListKeepsItsOwnCommentFileAcrossTheOtherLists) {
    AddRecord(RecordList::WorkHistory, "Agency", SampleValues(RecordList::WorkHistory, "a"), "Agency notes\r\n");
    AddRecord(RecordList::Photographers, "Jo", SampleValues(RecordList::Photographers, "jo"), "Jo's notes\r\n");
    AddRecord(RecordList::WebSites, "Club", SampleValues(RecordList::WebSites, "club"), "Club notes\r\n");
    const std::string agencyFile = Stored(RecordList::WorkHistory, "Agency", "Comment File");
    const std::string joFile = Stored(RecordList::Photographers, "Jo", "Comment File");
    ASSERT_NE(agencyFile, joFile);
    for (RecordList other : {RecordList::Photographers, RecordList::WebSites}) {
        RecordPage& work = Page(RecordList::WorkHistory);
        Choose(work, "Agency");
        Choose(Page(other), other == RecordList::Photographers ? "Jo" : "Club");
        form_->PageControl1->SetActivePage(form_->workhistory);
        Press(work.EditButton);
        work.Comment->Lines()->SetText("Agency notes, edited\r\n");
        Press(work.SaveButton);
        EXPECT_EQ(Stored(RecordList::WorkHistory, "Agency", "Comment File"), agencyFile);
        EXPECT_EQ(work.CommentFile(), agencyFile);
        EXPECT_NE(ReadWholeFile(CommentFolder() + agencyFile).find("Agency notes, edited"), std::string::npos);
        EXPECT_NE(ReadWholeFile(CommentFolder() + joFile).find("Jo's notes"), std::string::npos);
        EXPECT_EQ(ReadWholeFile(CommentFolder() + joFile).find("Agency"), std::string::npos);
    }
}

// What an interrupted save or an older program leaves: plain text, or nothing at all.
TEST_F(RecordPages, APlainTextOrEmptyCommentFileShowsItsTextAndSurvivesASave) {
    const struct { const char* file; const char* bytes; const char* shown; } cases[] = {
        {"31.rtf", "Plain words\r\nSecond line", "Plain words\r\nSecond line"},
        {"32.rtf", "", ""},
        {"33.rtf", "{\\rtf1\\ansi Cut sh", "Cut sh"},
    };
    TIniFile ini(RecordFilePath(folder_.Path(), RecordList::Photographers));
    for (const auto& c : cases) {
        testsupport::WriteWholeFile(CommentFolder() + c.file, c.bytes);
        ini.WriteString(c.file, "Comment File", c.file);
    }
    Reopen();
    RecordPage& page = Page(RecordList::Photographers);
    for (const auto& c : cases) {
        testsupport::ResetRecorders();
        Choose(page, c.file);
        EXPECT_TRUE(testsupport::MessageBoxes().empty()) << c.file;
        EXPECT_EQ(TrimBlanks(page.Comment->Text()).rfind(c.shown, 0), 0u) << c.file << ": " << page.Comment->Text();
        Press(page.EditButton);
        Press(page.SaveButton);
        EXPECT_FALSE(page.Editing()) << c.file;
        EXPECT_EQ(Stored(RecordList::Photographers, c.file, "Comment File"), c.file);
        Choose(page, c.file);
        EXPECT_EQ(TrimBlanks(page.Comment->Text()).rfind(c.shown, 0), 0u) << c.file << ": " << page.Comment->Text();
        EXPECT_NE(ReadWholeFile(CommentFolder() + c.file).find("{\\rtf"), std::string::npos) << c.file;
    }
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
}

// A comment file that cannot be written stops Save before the record changes: the record
// never names or describes what is not on disk.
TEST_F(RecordPages, ALockedCommentFileLeavesTheRecordAsStoredAndInEditMode) {
    AddRecord(RecordList::WorkHistory, "Agency", SampleValues(RecordList::WorkHistory, "stored"), "Stored\r\n");
    const std::string file = Stored(RecordList::WorkHistory, "Agency", "Comment File");
    const std::string before = ReadWholeFile(CommentFolder() + file);
    RecordPage& page = Page(RecordList::WorkHistory);
    Choose(page, "Agency");
    Press(page.EditButton);
    Fill(page, SampleValues(RecordList::WorkHistory, "changed"));
    page.Comment->Lines()->SetText("Changed\r\n");
    HANDLE lock = CreateFileA((CommentFolder() + file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    testsupport::ResetRecorders();
    Press(page.SaveButton);
    CloseHandle(lock);
    EXPECT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_TRUE(page.Editing());
    for (const auto& [key, value] : SampleValues(RecordList::WorkHistory, "stored"))
        EXPECT_EQ(Stored(RecordList::WorkHistory, "Agency", key), value) << key;
    EXPECT_EQ(Stored(RecordList::WorkHistory, "Agency", "Comment File"), file);
    EXPECT_EQ(ReadWholeFile(CommentFolder() + file), before);
    Press(page.SaveButton);
    EXPECT_FALSE(page.Editing());
    EXPECT_NE(ReadWholeFile(CommentFolder() + file).find("Changed"), std::string::npos);
}

// A comment file that cannot be read (held by another program) never shows the comment of
// the record chosen before, which Edit and Save would then write into its file: the box is
// emptied, the note says so, and Save leaves the file alone unless a new comment is typed,
// which then gets a file of its own.
TEST_F(RecordPages, AnUnreadableCommentIsNeverReplacedByAnotherRecordsText) {
    for (RecordList list : kLists) {
        RecordPage& page = Page(list);
        AddRecord(list, "Agency", SampleValues(list, "agency"), "Agency notes\r\n");
        AddRecord(list, "Studio", SampleValues(list, "studio"), "Studio notes\r\n");
        const std::string file = Stored(list, "Studio", "Comment File");
        const std::string path = CommentFolder() + file;
        const std::string before = ReadWholeFile(path);
        Choose(page, "Agency");
        ASSERT_NE(page.Comment->Text().find("Agency notes"), std::string::npos);
        HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        testsupport::ResetRecorders();
        Choose(page, "Studio");
        EXPECT_EQ(TrimBlanks(page.Comment->Text()), "") << Schema(list).noun;
        EXPECT_TRUE(page.CommentUnread());
        EXPECT_NE(page.CommentNote->Caption().find("could not be read"), std::string::npos);
        EXPECT_EQ(page.FieldValue(Schema(list).fields[0].key), SampleValues(list, "studio")[std::string(Schema(list).fields[0].key)]);

        // Edit and Save: the keys change, the file stays, named by the record.
        Press(page.EditButton);
        Fill(page, SampleValues(list, "changed"));
        Press(page.SaveButton);
        EXPECT_FALSE(page.Editing()) << Schema(list).noun;
        EXPECT_EQ(Stored(list, "Studio", "Comment File"), file) << Schema(list).noun;
        for (const auto& [key, value] : SampleValues(list, "changed")) EXPECT_EQ(Stored(list, "Studio", key), value) << key;

        // A comment typed anew goes into a file of its own.
        Choose(page, "Studio");
        Press(page.EditButton);
        page.Comment->Lines()->SetText("Typed anew\r\n");
        Press(page.SaveButton);
        CloseHandle(lock);
        EXPECT_FALSE(page.Editing());
        EXPECT_FALSE(page.CommentUnread());
        const std::string fresh = Stored(list, "Studio", "Comment File");
        EXPECT_NE(fresh, file) << Schema(list).noun;
        EXPECT_NE(ReadWholeFile(CommentFolder() + fresh).find("Typed anew"), std::string::npos);
        EXPECT_EQ(ReadWholeFile(path), before) << Schema(list).noun;
        EXPECT_TRUE(testsupport::MessageBoxes().empty()) << Schema(list).noun;

        // Readable again, it shows as before.
        Choose(page, "Agency");
        EXPECT_FALSE(page.CommentUnread());
        EXPECT_EQ(page.CommentNote->Caption(), "");
    }
}

// A record is written in one write of its section: keys the program does not know (added by
// hand or by a later version) stay, and so do the other records.
TEST_F(RecordPages, ASaveKeepsTheRecordsOtherKeysAndTheOtherRecords) {
    TIniFile ini(RecordFilePath(folder_.Path(), RecordList::WorkHistory));
    ini.WriteString("Agency", "Phone Number", "old");
    ini.WriteString("Agency", "Booker", "Sam");
    ini.WriteString("Studio", "Phone Number", "0113");
    Reopen();
    RecordPage& page = Page(RecordList::WorkHistory);
    Choose(page, "Agency");
    Press(page.EditButton);
    Fill(page, SampleValues(RecordList::WorkHistory, "new"));
    Press(page.SaveButton);
    EXPECT_FALSE(page.Editing());
    for (const auto& [key, value] : SampleValues(RecordList::WorkHistory, "new"))
        EXPECT_EQ(Stored(RecordList::WorkHistory, "Agency", key), value) << key;
    EXPECT_EQ(Stored(RecordList::WorkHistory, "Agency", "Booker"), "Sam");
    EXPECT_EQ(Stored(RecordList::WorkHistory, "Studio", "Phone Number"), "0113");
    EXPECT_EQ(RecordNames(folder_.Path(), RecordList::WorkHistory), (std::vector<std::string>{"Agency", "Studio"}));
}

// The web sites' placeholder name is selected when Add gives the box the focus, so what the
// user types replaces it.
TEST_F(RecordPages, TypingANewWebSiteNameReplacesThePlaceholder) {
    RecordPage& sites = Page(RecordList::WebSites);
    form_->PageControl1->SetActivePage(form_->websites);
    SetForegroundWindow(form_->Handle());
    Application->ProcessMessages();
    Press(sites.AddButton);
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    ASSERT_TRUE(focus == sites.NameBox->Handle() || IsChild(sites.NameBox->Handle(), focus));
    for (char c : std::string("Club")) SendMessageA(focus, WM_CHAR, static_cast<WPARAM>(c), 1);
    Application->ProcessMessages();
    EXPECT_EQ(sites.NameBox->GetText(), "Club");
    Press(sites.SaveButton);
    EXPECT_EQ(RecordNames(folder_.Path(), RecordList::WebSites), std::vector<std::string>{"Club"});
}

// What counts as unsaved: a change typed since Add or Edit, not a record merely opened or,
// on the web-site page, another site chosen while editing.
TEST_F(RecordPages, OnlyWhatWasTypedSinceEditCountsAsUnsaved) {
    for (RecordList list : kLists) {
        AddRecord(list, "One", SampleValues(list, "one"), "First\r\n");
        AddRecord(list, "Two", SampleValues(list, "two"), "Second\r\n");
        RecordPage& page = Page(list);
        Choose(page, "One");
        EXPECT_FALSE(page.HasUnsavedChanges());
        Press(page.EditButton);
        EXPECT_FALSE(page.HasUnsavedChanges()) << Schema(list).noun;
        if (list == RecordList::WebSites) {
            Choose(page, "Two");
            EXPECT_FALSE(page.HasUnsavedChanges());
        }
        page.Comment->Lines()->SetText("Changed\r\n");
        EXPECT_TRUE(page.HasUnsavedChanges()) << Schema(list).noun;
        Press(page.EditButton);  // Cancel
        EXPECT_FALSE(page.HasUnsavedChanges());
        Press(page.AddButton);
        EXPECT_FALSE(page.HasUnsavedChanges()) << Schema(list).noun;
        page.NameBox->SetText("Three");
        EXPECT_TRUE(page.HasUnsavedChanges()) << Schema(list).noun;
        Press(page.EditButton);
    }
}

}  // namespace
}  // namespace editor
