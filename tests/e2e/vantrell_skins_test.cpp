// vantrell's skin choice from outside: the real program started from another folder with a
// prepared vantrell.ini, its slider and "Enable Skins" driven by messages.
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {
namespace {

std::string IniValue(const std::string& file, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA("Config", key, "<absent>", value, sizeof value, file.c_str());
    return value;
}

// Any message box of the process.
bool HasMessageBox(DWORD processId) {
    struct Find { DWORD pid; bool found; } find{processId, false};
    EnumWindows([](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        char cls[16] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (pid == f->pid && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd)) f->found = true;
        return !f->found;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

class VantrellSkins : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program_.Path() + "vantrell.exe").c_str(), FALSE));
    }
    std::string Ini() const { return program_.Path() + "vantrell.ini"; }
    void Prepare(const char* useSkins, const char* skin) {
        DeleteFileA(Ini().c_str());
        WritePrivateProfileStringA("Config", "UseSkins", useSkins, Ini().c_str());
        WritePrivateProfileStringA("Config", "Skin", skin, Ini().c_str());
    }
    // Starts vantrell from another folder; its main window once start-up is over (a message
    // box during start-up would hold the window back).
    HWND Start() {
        process_ = std::make_unique<ProcessUnderTest>(program_.Path() + "vantrell.exe", "", elsewhere_.Path());
        return process_->WaitForWindow("Vantrell - Biography");
    }
    void Exit(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD code = 1;
        ASSERT_TRUE(process_->WaitForExit(std::chrono::seconds(20), &code));
        EXPECT_EQ(code, 0u);
    }
    // A key as the keyboard sends it, to a window of the process; answered once the window's
    // thread has handled it.
    static void Key(HWND wnd, WORD key) {
        PostMessageA(wnd, WM_KEYDOWN, key, 1);
        PostMessageA(wnd, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
        SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }

    TempFolder program_, elsewhere_;
    std::unique_ptr<ProcessUnderTest> process_;
};

TEST_F(VantrellSkins, TheChoiceIsWrittenAtExitAndComesBack) {
    Prepare("0", "0");
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND slider = WaitForChild(window, "TSlider");
    HWND enable = WaitForChild(window, "TCheckBox", "Enable Skins");
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(enable, nullptr);
    for (int i = 0; i < 7; ++i) Key(slider, VK_RIGHT);  // two past the end
    Key(slider, VK_LEFT);
    PostMessageA(enable, BM_CLICK, 0, 0);
    Exit(window);
    EXPECT_EQ(IniValue(Ini(), "Skin"), "4");
    EXPECT_EQ(IniValue(Ini(), "UseSkins"), "1");

    // The next start takes them up: one step right from the saved 4 is the last skin. The
    // skin's refresh after start-up hides the window while it runs: the slider is waited for.
    window = Start();
    ASSERT_NE(window, nullptr);
    slider = WaitForChild(window, "TSlider");
    ASSERT_NE(slider, nullptr);
    Key(slider, VK_RIGHT);
    Exit(window);
    EXPECT_EQ(IniValue(Ini(), "Skin"), "5");
    EXPECT_EQ(IniValue(Ini(), "UseSkins"), "1");
}

TEST_F(VantrellSkins, ASavedSkinOutsideTheSixStartsInAValidSkinWithoutAMessage) {
    // Past the slider's ends it clamps; an INI integer may be hexadecimal; no number is skin 0.
    const struct { const char* stored; const char* written; } cases[] = {
        {"9", "5"}, {"-1", "0"}, {"abc", "0"}, {"", "0"}, {"0x2", "2"},
    };
    for (const auto& [stored, written] : cases) {
        Prepare("1", stored);
        HWND window = Start();
        ASSERT_NE(window, nullptr) << stored;
        EXPECT_FALSE(HasMessageBox(process_->Id())) << stored;
        Exit(window);
        EXPECT_EQ(IniValue(Ini(), "Skin"), written) << stored;
        EXPECT_EQ(IniValue(Ini(), "UseSkins"), "1") << stored;
    }
}

}  // namespace
}  // namespace testsupport
