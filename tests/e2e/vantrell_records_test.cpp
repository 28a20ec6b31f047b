// vantrell driven as a user drives it, started from another folder: record comments stay
// with their own records, and closing with unsaved work asks first.
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace testsupport {
namespace {

constexpr auto kPatience = std::chrono::seconds(20);

HWND ChildWithText(HWND parent, const std::string& windowClass, const std::string& text) {
    for (HWND wnd : ChildrenOfClass(parent, windowClass))
        if (WindowText(wnd) == text) return wnd;
    return nullptr;
}

// The highest control of a class on a page: the name list of a record page, the name
// field of the biography.
HWND Topmost(HWND parent, const std::string& windowClass) {
    HWND best = nullptr;
    RECT bestRect{};
    for (HWND wnd : ChildrenOfClass(parent, windowClass)) {
        RECT r{};
        GetWindowRect(wnd, &r);
        if (!best || r.top < bestRect.top || (r.top == bestRect.top && r.left < bestRect.left)) {
            best = wnd;
            bestRect = r;
        }
    }
    return best;
}

// Clicks one of the program's own buttons as a user would; false when there is none.
bool Click(HWND parent, const std::string& caption) {
    HWND button = ChildWithText(parent, "TButton", caption);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
    return button != nullptr;
}

class VantrellUser : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), Program("vantrell.exe").c_str(), FALSE));
    }
    std::string Program(const std::string& relative) const { return program_.Path() + relative; }
    void Start() {
        vantrell_ = std::make_unique<ProcessUnderTest>(Program("vantrell.exe"), "", elsewhere_.Path());
        window_ = vantrell_->WaitForWindow("Vantrell - Biography");
        ASSERT_NE(window_, nullptr);
    }
    // "&Next" or "&Back" until the page with this tab caption is shown.
    void ShowPage(const std::string& button, const std::string& caption) {
        ASSERT_TRUE(Click(window_, button));
        ASSERT_TRUE(PollUntil([&] { return WindowText(window_) == "Vantrell - " + caption; })) << caption;
    }
    HWND Page(const std::string& caption) const { return ChildWithText(window_, "TTabSheet", caption); }
    // Choosing an item of a page's name list as the user does: the list sends its change.
    void Choose(const std::string& page, int index) {
        HWND box = Topmost(Page(page), "TComboBox");
        ASSERT_NE(box, nullptr) << page;
        SendMessageA(box, CB_SETCURSEL, index, 0);
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
    }
    HWND Button(const std::string& page, const std::string& caption) const {
        return ChildWithText(Page(page), "TButton", caption);
    }
    // Answers the program's message box with the button of this caption.
    void Answer(const std::string& title, const std::string& text, const std::string& button) {
        HWND box = vantrell_->WaitForDialog(title);
        ASSERT_NE(box, nullptr) << text;
        bool shown = false;
        for (const auto& line : ChildTexts(box, "Static")) shown |= line == text;
        EXPECT_TRUE(shown) << text;
        ASSERT_TRUE(ClickButton(box, button) || ClickButton(box, "&" + button)) << button;
        ASSERT_TRUE(PollUntil([&] { return !IsWindow(box); }));
    }

    TempFolder program_, elsewhere_;
    std::unique_ptr<ProcessUnderTest> vantrell_;
    HWND window_ = nullptr;
};

// A work record chosen, a photographer chosen on the next page, back, Edit, Save: each
// record keeps its own comment file and text.
TEST_F(VantrellUser, ACommentIsSavedIntoItsOwnRecordsFileAfterAnotherListWasUsed) {
    CreateDirectoryA(Program("Comment Files").c_str(), nullptr);
    WriteWholeFile(Program("workhistory.ini"), "[Agency]\r\nPhone Number=0123\r\nComment File=100.rtf\r\n");
    WriteWholeFile(Program("photographers.ini"), "[Jo]\r\nPhone Number=0456\r\nComment File=200.rtf\r\n");
    WriteWholeFile(Program("Comment Files\\100.rtf"), "{\\rtf1\\ansi Agency notes\\par}");
    WriteWholeFile(Program("Comment Files\\200.rtf"), "{\\rtf1\\ansi Jo notes\\par}");
    Start();
    ShowPage("&Next", "Galleries");
    ShowPage("&Next", "Work History");
    Choose("Work History", 0);
    ShowPage("&Next", "Photographers");
    Choose("Photographers", 0);
    ShowPage("&Back", "Work History");

    HWND edit = Button("Work History", "&Edit");
    HWND save = Button("Work History", "&Save");
    ASSERT_TRUE(edit && save);
    ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(edit) != FALSE; }));
    PostMessageA(edit, BM_CLICK, 0, 0);
    ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(save) != FALSE; }));
    PostMessageA(save, BM_CLICK, 0, 0);
    ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(save) == FALSE; }));

    char named[64] = {};
    GetPrivateProfileStringA("Agency", "Comment File", "", named, sizeof named, Program("workhistory.ini").c_str());
    EXPECT_STREQ(named, "100.rtf");
    EXPECT_NE(ReadWholeFile(Program("Comment Files\\100.rtf")).find("Agency notes"), std::string::npos);
    const std::string jo = ReadWholeFile(Program("Comment Files\\200.rtf"));
    EXPECT_NE(jo.find("Jo notes"), std::string::npos) << jo;
    EXPECT_EQ(jo.find("Agency"), std::string::npos) << jo;

    PostMessageA(window_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(vantrell_->WaitForExit(kPatience, &code));
    EXPECT_EQ(code, 0u);
}

// A changed biography: closing asks "Save changes?"; Cancel keeps the program and the change,
// Yes saves it as the page's Save does and the program ends.
TEST_F(VantrellUser, ClosingWithAChangedBiographyAsksAndCancelKeepsTheProgramOpen) {
    Start();
    HWND name = Topmost(Page("Biography"), "TEdit");
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ann Example"));

    PostMessageA(window_, WM_CLOSE, 0, 0);
    Answer("Confirm", "Save changes?", "Cancel");
    EXPECT_FALSE(vantrell_->WaitForExit(std::chrono::milliseconds(300)));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(WindowText(name), "Ann Example");
    char saved[64] = {};
    GetPrivateProfileStringA("Biography", "Name", "<absent>", saved, sizeof saved, Program("vantrell.ini").c_str());
    EXPECT_STREQ(saved, "<absent>");

    ASSERT_TRUE(Click(window_, "E&xit"));
    Answer("Confirm", "Save changes?", "Yes");
    DWORD code = 1;
    ASSERT_TRUE(vantrell_->WaitForExit(kPatience, &code));
    EXPECT_EQ(code, 0u);
    GetPrivateProfileStringA("Biography", "Name", "<absent>", saved, sizeof saved, Program("vantrell.ini").c_str());
    EXPECT_STREQ(saved, "Ann Example");
    GetPrivateProfileStringA("Config", "Skin", "<absent>", saved, sizeof saved, Program("vantrell.ini").c_str());
    EXPECT_STREQ(saved, "0");
    EXPECT_NE(ReadWholeFile(Program("personalcomments.rtf")).find("{\\rtf"), std::string::npos);
}

// A record changed in edit mode: the frame's close asks too, and No ends the program with
// the record as stored.
TEST_F(VantrellUser, ClosingWhileARecordIsEditedAsksAndNoLeavesTheRecordAsStored) {
    WriteWholeFile(Program("workhistory.ini"), "[Agency]\r\nPhone Number=0123\r\n");
    Start();
    ShowPage("&Next", "Galleries");
    ShowPage("&Next", "Work History");
    Choose("Work History", 0);
    HWND edit = Button("Work History", "&Edit");
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(edit) != FALSE; }));
    PostMessageA(edit, BM_CLICK, 0, 0);
    HWND phone = Topmost(Page("Work History"), "TEdit");
    ASSERT_TRUE(PollUntil([&] { return WindowText(phone) == "0123" && WindowText(edit) == "&Cancel"; }));
    SendMessageA(phone, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0999"));

    PostMessageA(window_, WM_CLOSE, 0, 0);
    Answer("Confirm", "Save changes?", "No");
    DWORD code = 1;
    ASSERT_TRUE(vantrell_->WaitForExit(kPatience, &code));
    EXPECT_EQ(code, 0u);
    char stored[64] = {};
    GetPrivateProfileStringA("Agency", "Phone Number", "", stored, sizeof stored, Program("workhistory.ini").c_str());
    EXPECT_STREQ(stored, "0123");
    GetPrivateProfileStringA("Config", "Skin", "<absent>", stored, sizeof stored, Program("vantrell.ini").c_str());
    EXPECT_STREQ(stored, "0");
}

}  // namespace
}  // namespace testsupport
