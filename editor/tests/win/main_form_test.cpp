#include "editor/main_form.h"

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
            if (way == 0) form.ExitButton->Click();
            else SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
            Application->ProcessMessages();
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

}  // namespace
}  // namespace editor
