// vantrell and vantburn typed into with the real mouse and keys, through the system's input:
// the web-site name box selects its placeholder whenever it takes the focus until she types,
// Ctrl+A selects everything in edits, combo boxes and rich edits, and a comment reads back
// after a restart as it was typed, to the pixel.
#include "tests/support/key_input.h"
#include "tests/support/mouse_input.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/window_screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>

namespace testsupport {
namespace {

constexpr auto kPatience = std::chrono::seconds(20);
constexpr char kPlaceholder[] = "Enter Web Site name here...";

// The visible controls of a class on a page, top to bottom, then left to right.
std::vector<HWND> InReadingOrder(HWND parent, const std::string& windowClass) {
    std::vector<HWND> found = ChildrenOfClass(parent, windowClass, true);
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return found;
}

// Two clicks in a row on one control land 10 px apart: the second would be a double click.
void ClickOn(HWND wnd) {
    static bool shifted = false;
    POINT at = CentreOf(wnd);
    at.x += (shifted = !shifted) ? 10 : 0;
    MoveMouse(at);
    ClickMouse();
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// The selection of an edit (a combo box's edit part, a rich edit): start and end.
std::pair<int, int> SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

// Everything selected: from the start to the end of the text at least (a rich edit's
// selection also takes in its closing paragraph mark).
bool AllSelected(HWND edit) {
    const auto [start, end] = SelectionOf(edit);
    return start == 0 && end >= static_cast<int>(WindowText(edit).size());
}

// What a failed wait saw: the focused window and the edit's selection.
std::string Seen(HWND window, HWND edit) {
    HWND focus = FocusOf(window);
    const auto [start, end] = SelectionOf(edit);
    return "focus " + (focus ? ClassOf(focus) : std::string("none")) + (focus == edit ? " (the edit)" : "") +
           ", selection " + std::to_string(start) + ".." + std::to_string(end) + " of " +
           std::to_string(WindowText(edit).size());
}

class Typing : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), Program("vantrell.exe").c_str(), FALSE));
    }
    std::string Program(const std::string& relative) const { return program_.Path() + relative; }
    void Start() {
        vantrell_ = std::make_unique<ProcessUnderTest>(Program("vantrell.exe"), "", program_.Path());
        window_ = vantrell_->WaitForWindow("Vantrell - Biography");
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
    }
    void Close() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        if (HWND box = vantrell_->WaitForDialog("Confirm", std::chrono::seconds(2))) ClickButton(box, "&No");
        ASSERT_TRUE(vantrell_->WaitForExit(kPatience));
    }
    // "&Next" until the page with this caption shows.
    void ShowPage(const std::string& caption) {
        while (WindowText(window_) != "Vantrell - " + caption) {
            const std::string before = WindowText(window_);
            HWND next = FindChild(window_, "TButton", "&Next");
            ASSERT_NE(next, nullptr) << caption;
            PostMessageA(next, BM_CLICK, 0, 0);
            ASSERT_TRUE(PollUntil([&] { return WindowText(window_) != before; })) << caption;
        }
    }
    HWND Page(const std::string& caption) const {
        for (HWND sheet : ChildrenOfClass(window_, "TTabSheet", true))
            if (WindowText(sheet) == caption) return sheet;
        return nullptr;
    }
    HWND PageButton(const std::string& page, const std::string& caption) const {
        for (HWND button : ChildrenOfClass(Page(page), "TButton", true))
            if (WindowText(button) == caption) return button;
        return nullptr;
    }
    void ClickAndFocus(HWND control) {
        ClickOn(control);
        ASSERT_TRUE(PollUntil([&] { return FocusOf(window_) == control; })) << ClassOf(control) << ": " << Seen(window_, control);
    }

    TempFolder program_;
    std::unique_ptr<ProcessUnderTest> vantrell_;
    HWND window_ = nullptr;
};

TEST_F(Typing, TheWebSiteNameBoxSelectsItsPlaceholderWheneverItTakesTheFocusUntilSheTypes) {
    Start();
    ShowPage("Web Sites");
    HWND add = PageButton("Web Sites", "&Add");
    ASSERT_NE(add, nullptr);
    ClickOn(add);
    HWND nameBox = nullptr, name = nullptr;
    ASSERT_TRUE(PollUntil([&] {
        const auto boxes = InReadingOrder(Page("Web Sites"), "TComboBox");
        nameBox = boxes.empty() ? nullptr : boxes.front();
        name = nameBox ? FindWindowExA(nameBox, nullptr, "Edit", nullptr) : nullptr;
        return name && WindowText(name) == kPlaceholder;
    }));
    HWND url = InReadingOrder(Page("Web Sites"), "TEdit").front();

    // After Add, by a click, by Shift+Tab back from the address (over the buttons between).
    EXPECT_TRUE(PollUntil([&] { return FocusOf(window_) == name && AllSelected(name); }))
        << "Add: " << Seen(window_, name);
    ClickAndFocus(url);
    ClickOn(name);
    EXPECT_TRUE(PollUntil([&] { return FocusOf(window_) == name && AllSelected(name); }))
        << "click: " << Seen(window_, name);
    ClickAndFocus(url);
    for (int presses = 0; presses < 12 && FocusOf(window_) != name; ++presses) {
        const HWND before = FocusOf(window_);
        PressKeys({VK_SHIFT, VK_TAB});
        PollUntil([&] { return FocusOf(window_) != before; });
    }
    EXPECT_TRUE(PollUntil([&] { return FocusOf(window_) == name && AllSelected(name); }))
        << "Shift+Tab: " << Seen(window_, name);

    // Typing replaces it; her own name is hers to click into.
    TypeText("Studio Nine");
    ASSERT_TRUE(PollUntil([&] { return WindowText(name) == "Studio Nine"; })) << WindowText(name);
    ClickAndFocus(url);
    ClickOn(name);
    ASSERT_TRUE(PollUntil([&] { return FocusOf(window_) == name; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a posted selection would have come
    EXPECT_FALSE(AllSelected(name)) << Seen(window_, name);
    Close();
}

// Every kind of text control of the editor: a line edit, a combo box's edit part, a rich edit;
// the letter A never reaches the text.
TEST_F(Typing, CtrlASelectsEverythingInEveryEditComboBoxAndRichEdit) {
    Start();
    ShowPage("Web Sites");
    ClickOn(PageButton("Web Sites", "&Add"));
    HWND nameBox = nullptr;
    ASSERT_TRUE(PollUntil([&] {
        const auto boxes = InReadingOrder(Page("Web Sites"), "TComboBox");
        nameBox = boxes.empty() ? nullptr : boxes.front();
        return nameBox && WindowText(nameBox) == kPlaceholder;
    }));
    HWND name = FindWindowExA(nameBox, nullptr, "Edit", nullptr);
    HWND url = InReadingOrder(Page("Web Sites"), "TEdit").front();
    HWND comment = InReadingOrder(Page("Web Sites"), "TRichEdit").front();
    TypeText("Studio Nine");
    const struct { const char* what; HWND control; const char* typed; std::string text; } cases[] = {
        {"name box", name, "", "Studio Nine"},
        {"address", url, "studio nine", "http://studio nine"},
        {"comment", comment, "Fashion based", "Fashion based"},
    };
    for (const auto& c : cases) {
        ClickAndFocus(c.control);
        if (*c.typed) {
            PressKeys({VK_END});
            TypeText(c.typed);
        }
        ASSERT_TRUE(PollUntil([&] { return WindowText(c.control) == c.text; })) << c.what << ": " << WindowText(c.control);
        PressKeys({VK_HOME});
        ASSERT_TRUE(PollUntil([&] { return SelectionOf(c.control) == std::pair{0, 0}; })) << c.what;
        PressKeys({VK_CONTROL, 'A'});
        EXPECT_TRUE(PollUntil([&] { return AllSelected(c.control); }))
            << c.what << ": " << Seen(window_, c.control);
        EXPECT_EQ(WindowText(c.control), c.text) << c.what;
    }
    Close();
}

// A work record's comment typed, grabbed, saved; after a restart the record is edited again
// and its comment box shows the same pixels: the same face, spaced as typed.
TEST_F(Typing, ACommentReloadsAfterARestartAsItWasTyped) {
    const std::string typed = "Fashion based, professionnel shoots";
    const auto editComment = [&](bool adding) {
        ShowPage("Work History");
        HWND button = PageButton("Work History", adding ? "&Add" : "&Edit");
        ASSERT_NE(button, nullptr);
        if (!adding) {
            HWND list = InReadingOrder(Page("Work History"), "TComboBox").front();
            SendMessageA(list, CB_SETCURSEL, 0, 0);
            SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(button) != FALSE; }));
        }
        ClickOn(button);
        ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(PageButton("Work History", "&Save")) != FALSE; }));
    };
    Start();
    editComment(true);
    TypeText("North Studio");
    HWND comment = InReadingOrder(Page("Work History"), "TRichEdit").front();
    HWND phone = InReadingOrder(Page("Work History"), "TEdit").front();
    ClickAndFocus(comment);
    TypeText(typed);
    ASSERT_TRUE(PollUntil([&] { return WindowText(comment).find(typed) != std::string::npos; }));
    ClickAndFocus(phone);  // the caret leaves the comment
    const std::vector<std::uint32_t> typedLook = SteadyCapture(comment);
    ClickOn(PageButton("Work History", "&Save"));
    ASSERT_TRUE(PollUntil([&] { return IsWindowEnabled(PageButton("Work History", "&Save")) == FALSE; }));
    Close();

    Start();
    editComment(false);
    comment = InReadingOrder(Page("Work History"), "TRichEdit").front();
    ASSERT_TRUE(PollUntil([&] { return WindowText(comment).find(typed) != std::string::npos; })) << WindowText(comment);
    ClickAndFocus(InReadingOrder(Page("Work History"), "TEdit").front());
    const std::vector<std::uint32_t> reloadedLook = SteadyCapture(comment);
    ASSERT_EQ(reloadedLook.size(), typedLook.size());
    size_t differing = 0;
    for (size_t i = 0; i < typedLook.size(); ++i) differing += typedLook[i] != reloadedLook[i];
    EXPECT_EQ(differing, 0u) << "of " << typedLook.size() << " pixels";
    Close();
}

}  // namespace
}  // namespace testsupport
