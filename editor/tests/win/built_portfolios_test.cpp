#include "editor/main_form.h"

#include "forms/application.h"
#include "forms/label.h"
#include "forms/platform_calls.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/win_recorders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace editor {
namespace {

using testsupport::WriteWholeFile;

using namespace forms;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> Items(TComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->Items()->Count(); ++i) items.push_back((*box->Items())[i]);
    return items;
}

// What reached the shell's file operation: each call's source list, one entry per name.
struct ShellDelete {
    UINT function;
    std::vector<std::string> from;
    FILEOP_FLAGS flags;
};

// A program folder with three built portfolios (and a dotted folder), a small template, and
// optionally vantburn.exe; the shell's delete recorded and answered as the test says.
class BuiltPortfoliosTest : public testing::Test {
protected:
    enum class Answer { Decline, Accept };

    BuiltPortfoliosTest() : savedDelete_(ShellFileOperationCall) {
        for (const char* name : {"Zoe", "Ann Marie", "bob", "old.v1"}) {
            CreateDirectoryA(Path("Distributable").c_str(), nullptr);
            CreateDirectoryA(Path(std::string("Distributable\\") + name).c_str(), nullptr);
            CreateDirectoryA(Path(std::string("Distributable\\") + name + "\\files").c_str(), nullptr);
            WriteWholeFile(Path(std::string("Distributable\\") + name + "\\index.html"), name);
            WriteWholeFile(Path(std::string("Distributable\\") + name + "\\files\\about.html"), name);
        }
        const std::string t = Path("html\\Plain\\");
        CreateDirectoryA(Path("html").c_str(), nullptr);
        CreateDirectoryA(t.c_str(), nullptr);
        CreateDirectoryA((t + "files").c_str(), nullptr);
        for (const char* page : {"index.html", "files\\biography.html", "files\\galleries.html", "files\\bigimage.html",
                                 "files\\work.html", "files\\websites.html", "files\\about.html"})
            WriteWholeFile(t + page, "%MODELNAME%");
        ShellFileOperationCall = [this](SHFILEOPSTRUCTA& op) {
            ShellDelete call{op.wFunc, {}, op.fFlags};
            for (const char* p = op.pFrom; *p; p += std::string(p).size() + 1) call.from.push_back(p);
            deletes_.push_back(call);
            if (answer_ == Answer::Decline) {
                op.fAnyOperationsAborted = TRUE;
                return 0;
            }
            op.fFlags |= FOF_NOCONFIRMATION | FOF_SILENT;
            return RealShellFileOperation(op);
        };
    }
    ~BuiltPortfoliosTest() override {
        ShellFileOperationCall = savedDelete_;
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }

    void WithBurnProgram() {
        ASSERT_TRUE(CopyFileA((testsupport::ExecutableFolder() + "vantburn.exe").c_str(), Path("vantburn.exe").c_str(), FALSE));
    }
    void Open() {
        form_.reset(new TForm1(nullptr, folder_.Path()));
        Application->SetMainForm(form_.get());
        form_->Show();
        Application->ProcessMessages();
    }
    void Choose(const std::string& name) {
        auto* list = form_->Finish->ComboBox12;
        int index = list->Items()->IndexOf(name);
        if (index < 0) index = list->Items()->Add(name);  // as if the list held it
        list->SetItemIndex(index);
        form_->Finish->ComboBox12Change();
    }
    std::string Path(const std::string& relative) const { return folder_.Path() + relative; }
    std::string PortfolioPath(const std::string& name) const { return Path("Distributable\\" + name); }

    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
    ShellFileOperationFunction savedDelete_;
    std::vector<ShellDelete> deletes_;
    Answer answer_ = Answer::Decline;
};

TEST_F(BuiltPortfoliosTest, ListsTheBuiltPortfoliosSortedWithoutDottedFolders) {
    Open();
    EXPECT_EQ(Items(form_->Finish->ComboBox12), (std::vector<std::string>{"Ann Marie", "bob", "Zoe"}));
    EXPECT_EQ(form_->Finish->ComboBox12->ItemIndex(), -1);
    for (TButton* b : {form_->Finish->Button4, form_->Finish->Button7, form_->Finish->Button5})
        EXPECT_FALSE(b->Enabled()) << b->Caption();
}

TEST_F(BuiltPortfoliosTest, BurnButtonsShowOnlyBesideVantburn) {
    for (bool present : {false, true}) {
        if (present) WithBurnProgram();
        Open();
        EXPECT_EQ(form_->Finish->Button5->Visible(), present);
        EXPECT_EQ(form_->Finish->Button2->Visible(), present);
    }
}

TEST_F(BuiltPortfoliosTest, ViewOpensTheIndexShownNormally) {
    Open();
    Choose("Ann Marie");
    form_->Finish->Button4->Click();
    ASSERT_EQ(testsupport::ShellLaunches().size(), 1u);
    const auto& launch = testsupport::ShellLaunches()[0];
    EXPECT_EQ(launch.file, PortfolioPath("Ann Marie") + "\\index.html");
    EXPECT_EQ(launch.parameters, " ");
    EXPECT_EQ(launch.directory, PortfolioPath("Ann Marie") + "\\");
    EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    EXPECT_EQ(launch.owner, form_->Handle());
}

TEST_F(BuiltPortfoliosTest, ViewWithoutTheIndexSaysSoAndOpensNothing) {
    DeleteFileA((PortfolioPath("bob") + "\\index.html").c_str());
    Open();
    Choose("bob");
    form_->Finish->Button4->Click();
    EXPECT_TRUE(testsupport::ShellLaunches().empty());
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Cannot launch Distribution Package, some or all files are missing!");
}

TEST_F(BuiltPortfoliosTest, DeclinedDeleteChangesNothingAndALaterDeleteTakesOnlyTheNewChoice) {
    Open();
    Choose("bob");
    form_->Finish->Button7->Click();
    ASSERT_EQ(deletes_.size(), 1u);
    EXPECT_EQ(deletes_[0].function, static_cast<UINT>(FO_DELETE));
    EXPECT_EQ(deletes_[0].flags, FOF_NOERRORUI);
    EXPECT_EQ(deletes_[0].from, std::vector<std::string>{PortfolioPath("bob")});
    EXPECT_TRUE(Exists(PortfolioPath("bob")));
    EXPECT_EQ(Items(form_->Finish->ComboBox12).size(), 3u);
    EXPECT_EQ(form_->Finish->ComboBox12->Text(), "bob");
    EXPECT_TRUE(form_->Finish->Button7->Enabled());
    EXPECT_EQ(form_->Portfolios->d->SourceFiles()->Count(), 0);

    answer_ = Answer::Accept;
    Choose("Zoe");
    form_->Finish->Button7->Click();
    ASSERT_EQ(deletes_.size(), 2u);
    EXPECT_EQ(deletes_[1].from, std::vector<std::string>{PortfolioPath("Zoe")});
    EXPECT_FALSE(Exists(PortfolioPath("Zoe")));
    EXPECT_TRUE(Exists(PortfolioPath("bob")));
    EXPECT_EQ(Items(form_->Finish->ComboBox12), (std::vector<std::string>{"Ann Marie", "bob"}));
    EXPECT_EQ(form_->Finish->ComboBox12->ItemIndex(), -1);
    for (TButton* b : {form_->Finish->Button4, form_->Finish->Button7, form_->Finish->Button5})
        EXPECT_FALSE(b->Enabled()) << b->Caption();
    EXPECT_EQ(form_->Portfolios->d->SourceFiles()->Count(), 0);
}

// A name that is no plain folder name never reaches the shell: the shell's delete takes
// Distributable, the program folder or anything else with all it holds.
TEST_F(BuiltPortfoliosTest, ABadNameIsRefusedBeforeViewDeleteAndBurn) {
    WithBurnProgram();
    Open();
    answer_ = Answer::Accept;
    const char* names[] = {"..", ".", "..\\..", "bob\\..", "C:\\", "CON", "bob.", "a/b"};
    for (const char* name : names) {
        for (TButton* button : {form_->Finish->Button4, form_->Finish->Button7, form_->Finish->Button5}) {
            testsupport::ResetRecorders();
            Choose(name);
            button->Click();
            EXPECT_EQ(testsupport::MessageBoxes().size(), 1u) << name << " " << button->Caption();
            EXPECT_TRUE(testsupport::ShellLaunches().empty()) << name << " " << button->Caption();
        }
    }
    EXPECT_TRUE(deletes_.empty());
    for (const char* name : {"Zoe", "Ann Marie", "bob"}) EXPECT_TRUE(Exists(PortfolioPath(name))) << name;
}

TEST_F(BuiltPortfoliosTest, BurnStartsVantburnByItsFullPathWithTheNameAsOneArgument) {
    WithBurnProgram();
    Open();
    const struct { const char* name; const char* parameter; } cases[] = {
        {"bob", "bob"}, {"Ann Marie", "\"Ann Marie\""},
    };
    for (const auto& c : cases) {
        testsupport::ResetRecorders();
        Choose(c.name);
        form_->Finish->Button5->Click();
        ASSERT_EQ(testsupport::ShellLaunches().size(), 1u) << c.name;
        const auto& launch = testsupport::ShellLaunches()[0];
        EXPECT_EQ(launch.file, Path("vantburn.exe"));
        EXPECT_EQ(launch.parameters, c.parameter);
        EXPECT_EQ(launch.directory, folder_.Path());
        EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    }
}

TEST_F(BuiltPortfoliosTest, BuildAndBurnStartsVantburnOnlyAfterACompletedBuild) {
    WithBurnProgram();
    Open();
    auto* finish = form_->Finish.get();
    const struct {
        const char* name;
        bool chooseTemplate;
        size_t boxes;
        bool started;
    } cases[] = {
        {"", true, 0, false},         // nothing at all
        {"   ", true, 0, false},
        {"New One", false, 1, false},  // no template: the build refuses
        {"a.b", true, 1, false},       // a name the build refuses
        {"CON", true, 1, false},
        {" New One ", true, 0, true},
    };
    for (const auto& c : cases) {
        testsupport::ResetRecorders();
        finish->ComboBox13->SetItemIndex(c.chooseTemplate ? finish->ComboBox13->Items()->IndexOf("Plain") : -1);
        finish->Edit29->SetText(c.name);
        form_->Portfolios->Button2Click();
        EXPECT_EQ(testsupport::MessageBoxes().size(), c.boxes) << "'" << c.name << "'";
        ASSERT_EQ(testsupport::ShellLaunches().size(), c.started ? 1u : 0u) << "'" << c.name << "'";
        if (c.started) {
            EXPECT_EQ(testsupport::ShellLaunches()[0].file, Path("vantburn.exe"));
            EXPECT_EQ(testsupport::ShellLaunches()[0].parameters, "\"New One\"");
        }
    }
    EXPECT_TRUE(Exists(PortfolioPath("New One") + "\\index.html"));
    EXPECT_FALSE(Exists(PortfolioPath("a.b")));
    EXPECT_EQ(Items(finish->ComboBox12), (std::vector<std::string>{"Ann Marie", "bob", "New One", "Zoe"}));
}

// The real shell starts the real (stand-in) program: the name with blanks arrives as one
// argument, in the program folder.
TEST_F(BuiltPortfoliosTest, TheStartedProgramGetsOneArgumentAndTheProgramFolder) {
    WithBurnProgram();
    const std::string log = Path("burn.log");
    SetEnvironmentVariableA("VANTBURN_STANDIN_LOG", log.c_str());
    const auto savedLaunch = ShellExecuteCall;
    ShellExecuteCall = RealShellExecute;
    testsupport::TempFolder elsewhere;
    char savedFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, savedFolder);
    SetCurrentDirectoryA(elsewhere.Path().c_str());
    Open();
    Choose("Ann Marie");
    form_->Finish->Button5->Click();
    std::string line;
    for (int i = 0; i < 200 && line.find('\n') == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(log, std::ios::binary);
        line.assign(std::istreambuf_iterator<char>(in), {});
    }
    SetCurrentDirectoryA(savedFolder);
    ShellExecuteCall = savedLaunch;
    SetEnvironmentVariableA("VANTBURN_STANDIN_LOG", nullptr);
    ASSERT_NE(line.find('\n'), std::string::npos) << "vantburn was not started";
    line.pop_back();
    const auto bar = line.find('|');
    ASSERT_NE(bar, std::string::npos) << line;
    EXPECT_EQ(lstrcmpiA((line.substr(0, bar) + "\\").c_str(), folder_.Path().c_str()), 0) << line;
    EXPECT_EQ(line.substr(bar + 1), "Ann Marie");
}

}  // namespace
}  // namespace editor
