#include "editor/main_form.h"

#include "controls/special_progress.h"

#include "forms/application.h"
#include "forms/ini_file.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/win_recorders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <filesystem>
#include <set>

namespace editor {
namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

using namespace forms;

// Every file under folder, relative, with backslashes.
void FilesUnder(const std::string& folder, const std::string& prefix, std::set<std::string>& out) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) FilesUnder(folder + name + "\\", prefix + name + "\\", out);
        else out.insert(prefix + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

struct RecordingProgress : BuildProgressView {
    std::vector<std::string>* events;
    explicit RecordingProgress(std::vector<std::string>* e) : events(e) {}
    void SetVisible(bool v) override { events->push_back(v ? "show" : "hide"); }
    void SetPosition(int p) override { events->push_back(std::to_string(p)); }
};

// A program folder with a keyword-list template, pictures in two galleries and records of
// all three kinds with comments; the main window opened on it.
class SiteBuilderTest : public testing::Test {
protected:
    void SetUp() override {
        testsupport::ResetRecorders();
        const std::string t = Path("html\\Plain\\");
        CreateDirectoryA(Path("html").c_str(), nullptr);
        CreateDirectoryA(t.c_str(), nullptr);
        CreateDirectoryA((t + "files").c_str(), nullptr);
        WriteWholeFile(t + "index.html", "%MODELNAME%|%MODELEMAIL%|%MODELURL%\n");
        WriteWholeFile(t + "files\\biography.html", "%MODELTOWN%|%MODELAGE%|%CATWALK%|%SWIMWEAR%");
        WriteWholeFile(t + "files\\galleries.html", "%GENERAL%%SWIMWEAR%%MISCELLANEOUS%");
        WriteWholeFile(t + "files\\bigimage.html", "%BIGIMAGE%%ANCHOR%");
        WriteWholeFile(t + "files\\work.html", "%WORK%%PHOTOGRAPHERS%");
        WriteWholeFile(t + "files\\websites.html", "%WEBSITES%");
        WriteWholeFile(t + "files\\about.html", "%MODELNAME%");
        WriteWholeFile(t + "files\\style.css", "body{}");
        CreateDirectoryA(Path("Galleries").c_str(), nullptr);
        CreateDirectoryA(Path("Galleries\\General").c_str(), nullptr);
        CreateDirectoryA(Path("Galleries\\Swimwear").c_str(), nullptr);
        for (const char* name : {"General\\thm_a b#1%.jpg", "General\\prv_a b#1%.jpg", "Swimwear\\thm_sea.jpg",
                                 "Swimwear\\prv_sea.jpg", "Swimwear\\thm_x.jpeg", "Swimwear\\prv_x.jpeg"})
            WriteWholeFile(Path("Galleries\\") + name, name);
        CreateDirectoryA(Path("Comment Files").c_str(), nullptr);
        WriteWholeFile(Path("Comment Files\\100.rtf"), "{\\rtf1\\ansi Line one\\par Line & two}");
        WriteWholeFile(Path("workhistory.ini"),
                  "[Studio 9]\r\nPhone Number=0123\r\nE-mail=\r\nWeb Address=https://s9.example\r\n"
                  "Where=location and studio\r\nComment File=100.rtf\r\nPayment Method=Paid Work\r\n");
        WriteWholeFile(Path("photographers.ini"), "[Pat]\r\nE-mail=p@x\r\nWeb Address=pat.example\r\nWhere=Studio\r\n");
        WriteWholeFile(Path("websites.ini"), "[Agency]\r\nURL=HTTP://AGENCY\r\nComment File=100.rtf\r\n");

        form_.reset(new TForm1(nullptr, folder_.Path()));
        Application->SetMainForm(form_.get());
        form_->Show();
        form_->Builder->SetProgressView(std::make_unique<RecordingProgress>(&progress_));
        Application->ProcessMessages();
    }
    void TearDown() override {
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }
    std::string Path(const std::string& relative) const { return folder_.Path() + relative; }
    void SetText(const char* name, const std::string& text) {
        dynamic_cast<TControl*>(form_->FindComponent(name))->SetText(text);
    }
    void Build(const std::string& name) {
        form_->Finish->ComboBox13->SetItemIndex(form_->Finish->ComboBox13->Items()->IndexOf("Plain"));
        form_->Finish->Edit29->SetText(name);
        form_->Finish->Button3->Click();
        Application->ProcessMessages();
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        auto* log = form_->Finish->Memo1->Lines();
        for (int i = 0; i < log->Count(); ++i) lines.push_back((*log)[i]);
        return lines;
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> progress_;
};

TEST_F(SiteBuilderTest, BuildsThePortfolioFromTheFieldsAsShownAndTheStoredRecords) {
    SetText("Edit1", "Ann & Co");  // edited, never saved
    SetText("Edit3", "Leeds");
    SetText("Edit6", "ann.example");
    Build("Ann");
    const std::string o = Path("Distributable\\Ann\\");
    std::set<std::string> files;
    FilesUnder(o, "", files);
    const std::set<std::string> expected = {
        "index.html", "files\\biography.html", "files\\galleries.html", "files\\work.html", "files\\websites.html",
        "files\\about.html", "files\\style.css", "files\\thm_a b#1%.jpg", "files\\prv_a b#1%.jpg",
        "files\\prv_a b#1%.jpg.html", "files\\thm_sea.jpg", "files\\prv_sea.jpg", "files\\prv_sea.jpg.html",
        "files\\thm_x.jpeg", "files\\prv_x.jpeg", "files\\prv_x.jpeg.html",
    };
    EXPECT_EQ(files, expected);
    EXPECT_EQ(ReadWholeFile(o + "index.html"), "Ann &amp; Co||http://ann.example\r\n");
    EXPECT_EQ(ReadWholeFile(o + "files\\biography.html"), "Leeds|" + form_->Bio->Label61->Caption() + "|Yes|No");
    EXPECT_EQ(ReadWholeFile(o + "files\\prv_sea.jpg.html"), "<img src=\"prv_sea.jpg\" alt=\"\">#swimwear");
    EXPECT_EQ(ReadWholeFile(o + "files\\prv_sea.jpg"), "Swimwear\\prv_sea.jpg");
    const std::string galleries = ReadWholeFile(o + "files\\galleries.html");
    EXPECT_NE(galleries.find("<td><a href=\"prv_a%20b%231%25.jpg.html\"><img src=\"thm_a%20b%231%25.jpg\"></a></td>"),
              std::string::npos);
    // ".jpeg" pictures show in the grid, so they are published too.
    EXPECT_NE(galleries.find("<td><a href=\"prv_x.jpeg.html\"><img src=\"thm_x.jpeg\"></a></td>"), std::string::npos);
    const std::string work = ReadWholeFile(o + "files\\work.html");
    EXPECT_NE(work.find("<td >Studio 9</td>    <td  >0123</td>    <td > Not Available</a></td>    <td  >"
                        "<a href=\"https://s9.example\" target=\"_blank\">Visit Web Site</a></td>    "
                        "<td >Location and Studio</td>"),
              std::string::npos);
    EXPECT_NE(work.find("<p>Line one<br>\r\nLine &amp; two<p>"), std::string::npos) << work;
    EXPECT_NE(work.find("<a href=\"http://pat.example\" target=\"_blank\">"), std::string::npos);
    EXPECT_EQ(work.find("Paid Work"), std::string::npos);
    EXPECT_NE(ReadWholeFile(o + "files\\websites.html").find("<a href=\"HTTP://AGENCY\" target=\"_blank\">"),
              std::string::npos);

    EXPECT_EQ(Log().front(), "Building HTML Electronic Portfolio");
    EXPECT_EQ(Log().back(), "Completed building HTML Electronic Packge");
    EXPECT_EQ(progress_.front(), "0");
    EXPECT_EQ(progress_.back(), "hide");
    EXPECT_EQ(progress_[progress_.size() - 2], "100");
    EXPECT_EQ(TIniFile(Path("vantrell.ini")).ReadString("HTML", "LastUsed", ""), "Plain");
    EXPECT_EQ(form_->Finish->Edit29->Text(), "");
    EXPECT_FALSE(form_->Finish->Button3->Enabled());
    EXPECT_TRUE(form_->Finish->Button4->Enabled());
    EXPECT_EQ(form_->Finish->ComboBox12->Text(), "Ann");
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
}

TEST_F(SiteBuilderTest, ARebuildListsThePortfolioOnce) {
    Build("Ann");
    Build("ann");
    auto* list = form_->Finish->ComboBox12->Items();
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(form_->Finish->ComboBox12->ItemIndex(), 0);
}

TEST_F(SiteBuilderTest, NoTemplateChosenBuildsNothing) {
    form_->Finish->ComboBox13->SetItemIndex(-1);
    form_->Finish->Edit29->SetText("Ann");
    form_->Finish->Button3->Click();
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Please select an HTML Template before building your Portfolio!");
    EXPECT_EQ(GetFileAttributesA(Path("Distributable\\Ann").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(form_->Finish->Edit29->Text(), "Ann");
}

TEST_F(SiteBuilderTest, AMissingPageLeavesNoSiteAndReportsTheFailure) {
    DeleteFileA(Path("html\\Plain\\files\\about.html").c_str());
    Build("Ann");
    EXPECT_EQ(GetFileAttributesA(Path("Distributable\\Ann\\index.html").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_NE(testsupport::MessageBoxes()[0].text.find("about.html"), std::string::npos);
    EXPECT_EQ(Log().back().rfind("Build failed: Cannot open file ", 0), 0u) << Log().back();
    EXPECT_EQ(progress_.back(), "hide");
    EXPECT_FALSE(form_->Builder->ProgressLabel->Visible());
    EXPECT_EQ(form_->Finish->ComboBox12->Items()->Count(), 0);
    EXPECT_EQ(form_->Finish->Edit29->Text(), "Ann");  // the user can mend the template and try again
}

}  // namespace
}  // namespace editor

namespace editor {
namespace {

// A build while a list is being edited or added to reads the records from their files: the
// stored records and the forms being edited are exactly as they were, and a following Save
// writes the edited record into itself.
TEST_F(SiteBuilderTest, ABuildDuringEditOrAddLeavesStoredRecordsAndTheFormsAlone) {
    const std::string workBefore = ReadWholeFile(Path("workhistory.ini"));
    const std::string photographersBefore = ReadWholeFile(Path("photographers.ini"));
    RecordPage& work = *form_->WorkHistory;
    work.NameBox->SetItemIndex(work.NameBox->Items()->IndexOf("Studio 9"));
    work.Select();
    work.EditClick();
    work.Field("Phone Number")->SetText("0999 edited");
    work.Comment->Lines()->SetText("Edited comment\r\n");

    Build("During");
    EXPECT_NE(ReadWholeFile(Path("Distributable\\During\\files\\work.html")).find("0123"), std::string::npos);

    EXPECT_EQ(ReadWholeFile(Path("workhistory.ini")), workBefore);
    EXPECT_EQ(ReadWholeFile(Path("photographers.ini")), photographersBefore);
    EXPECT_EQ(work.NameBox->Text(), "Studio 9");
    EXPECT_EQ(work.FieldValue("Phone Number"), "0999 edited");
    EXPECT_EQ(work.Comment->Lines()->Text(), "Edited comment\r\n");
    EXPECT_EQ(work.EditButton->Caption(), "&Cancel");

    work.SaveClick();
    TIniFile stored(Path("workhistory.ini"));
    EXPECT_EQ(stored.ReadString("Studio 9", "Phone Number", ""), "0999 edited");
    EXPECT_EQ(stored.ReadString("Studio 9", "Where", ""), "Location and Studio");  // the list item it matched

    RecordPage& people = *form_->Photographers;
    people.AddClick();
    people.NameBox->SetText("Half Typed");
    people.Field("Phone Number")->SetText("555");
    Build("During");
    EXPECT_EQ(ReadWholeFile(Path("photographers.ini")), photographersBefore);
    EXPECT_EQ(people.NameBox->Text(), "Half Typed");
    EXPECT_EQ(people.FieldValue("Phone Number"), "555");
    people.SaveClick();
    EXPECT_EQ(TIniFile(Path("photographers.ini")).ReadString("Half Typed", "Phone Number", ""), "555");
    EXPECT_EQ(TIniFile(Path("photographers.ini")).ReadString("Pat", "E-mail", ""), "p@x");
}

}  // namespace
}  // namespace editor

namespace editor {
namespace {

// The shipped Default template builds a whole site: every page filled (no keyword left),
// the galleries' anchors named by category keys, and the big-image pages linking back.
TEST(DefaultTemplate, BuildsACompleteSite) {
    testsupport::TempFolder folder;
    std::filesystem::copy(std::string(VANTRELL_CONTENT_DIR) + "/html", folder.Path() + "html",
                          std::filesystem::copy_options::recursive);
    CreateDirectoryA((folder.Path() + "Galleries").c_str(), nullptr);
    CreateDirectoryA((folder.Path() + "Galleries\\Lingerie").c_str(), nullptr);
    WriteWholeFile(folder.Path() + "Galleries\\Lingerie\\thm_silk.jpg", "thumb");
    WriteWholeFile(folder.Path() + "Galleries\\Lingerie\\prv_silk.jpg", "preview");
    WriteWholeFile(folder.Path() + "websites.ini", "[Agency]\r\nURL=agency.example\r\n");
    TForm1 form(nullptr, folder.Path());
    Application->SetMainForm(&form);
    form.Bio->Edit1->SetText("Ann Example");
    form.Finish->ComboBox13->SetItemIndex(form.Finish->ComboBox13->Items()->IndexOf("Default"));
    form.Finish->Edit29->SetText("Ann");
    form.Finish->Button3->Click();
    Application->ProcessMessages();
    Application->SetMainForm(nullptr);
    // The painted bar went along and is hidden again after the build.
    EXPECT_EQ(form.Builder->prog->Position(), 100);
    EXPECT_FALSE(form.Builder->prog->Visible());
    EXPECT_FALSE(form.Builder->ProgressLabel->Visible());

    const std::string o = folder.Path() + "Distributable\\Ann\\";
    for (const char* page : {"index.html", "files\\biography.html", "files\\galleries.html", "files\\work.html",
                             "files\\websites.html", "files\\about.html", "files\\prv_silk.jpg.html", "files\\style.css",
                             "files\\thm_silk.jpg", "files\\prv_silk.jpg"}) {
        const std::string text = ReadWholeFile(o + page);
        EXPECT_FALSE(text.empty()) << page;
        const auto percent = text.find('%');
        if (!std::string(page).ends_with(".html")) continue;
        for (const char* keyword : {"%MODEL", "%GENERAL%", "%WORK%", "%WEBSITES%", "%BIGIMAGE%", "%ANCHOR%"})
            EXPECT_EQ(text.find(keyword), std::string::npos) << page << " keeps " << keyword << " at " << percent;
    }
    EXPECT_NE(ReadWholeFile(o + "index.html").find("Ann Example"), std::string::npos);
    const std::string galleries = ReadWholeFile(o + "files\\galleries.html");
    for (const char* key : {"general", "glamourfashion", "swimwear", "lingerie", "sheer", "impliednudity", "artnudes", "miscellaneous"})
        EXPECT_NE(galleries.find(std::string("id=\"") + key + "\""), std::string::npos) << key;
    EXPECT_NE(ReadWholeFile(o + "files\\prv_silk.jpg.html").find("#lingerie"), std::string::npos);
    EXPECT_NE(ReadWholeFile(o + "files\\websites.html").find("http://agency.example"), std::string::npos);
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
}

// Records as a hand edit, an older program or an interrupted save leave them: the build
// still completes, publishes no file outside the comment folder and no link that runs.
TEST_F(SiteBuilderTest, HandEditedRecordsNeitherStopTheBuildNorPublishWhatTheyShouldNot) {
    WriteWholeFile(Path("secret.txt"), "the secret");
    WriteWholeFile(Path("Comment Files\\200.rtf"), "Typed as plain text");
    WriteWholeFile(Path("Comment Files\\201.rtf"), "");
    WriteWholeFile(Path("workhistory.ini"),
                   "[Thief]\r\nComment File=..\\secret.txt\r\n[Plain]\r\nComment File=200.rtf\r\n"
                   "Web Address=javascript:alert(1)\r\n[Empty]\r\nComment File=201.rtf\r\n");
    WriteWholeFile(Path("photographers.ini"), "[Pat]\r\nWeb Address=data:text/html,<b>x</b>\r\n");
    WriteWholeFile(Path("websites.ini"),
                   "[Script]\r\nURL=JavaScript:alert(document.cookie)\r\n[Mail]\r\nURL=mailto:ann@example.com\r\n");
    form_->getworkhistories();
    SetText("Edit6", "javascript:alert(2)");
    Build("Ann");
    EXPECT_TRUE(testsupport::MessageBoxes().empty()) << testsupport::MessageBoxes()[0].text;
    ASSERT_EQ(Log().back(), "Completed building HTML Electronic Packge");
    const std::string o = Path("Distributable\\Ann\\");
    const std::string work = ReadWholeFile(o + "files\\work.html");
    EXPECT_EQ(work.find("the secret"), std::string::npos);
    EXPECT_NE(work.find("Typed as plain text"), std::string::npos);
    EXPECT_NE(work.find("<td  >javascript:alert(1)</td>"), std::string::npos);
    EXPECT_NE(work.find("<td  >data:text/html,&lt;b&gt;x&lt;/b&gt;</td>"), std::string::npos);
    const std::string sites = ReadWholeFile(o + "files\\websites.html");
    EXPECT_NE(sites.find("<a href=\"mailto:ann@example.com\""), std::string::npos);
    for (const std::string& page : {work, sites, ReadWholeFile(o + "index.html")}) {
        EXPECT_EQ(page.find("href=\"javascript"), std::string::npos) << page;
        EXPECT_EQ(page.find("href=\"JavaScript"), std::string::npos) << page;
        EXPECT_EQ(page.find("href=\"data:"), std::string::npos) << page;
    }
    EXPECT_EQ(ReadWholeFile(o + "index.html"), "||http://\r\n");
}

}  // namespace
}  // namespace editor
