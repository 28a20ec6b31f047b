#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace testsupport {
namespace {

std::string IniValue(const std::string& file, const char* section, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, file.c_str());
    return value;
}

// vantrell started from another current folder keeps every path under its own folder:
// its folders and settings land there, and help opens the program folder's vantrell.pdf.
TEST(VantrellProcess, StartedElsewhereWorksInItsOwnFolder) {
    TempFolder program, elsewhere;
    ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program.Path() + "vantrell.exe").c_str(), FALSE));
    std::ofstream(program.Path() + "vantrell.pdf") << "%PDF-1.4 stand-in";
    std::ofstream(elsewhere.Path() + "vantrell.pdf") << "%PDF-1.4 the wrong one";
    ShellRecorder recorder({".pdf"});

    ProcessUnderTest vantrell(program.Path() + "vantrell.exe", "", elsewhere.Path());
    HWND window = vantrell.WaitForWindow("Vantrell - Biography");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(NamedMutexExists(UnitVersioningMutexOf(vantrell.Id())));
    EXPECT_TRUE(NamedMappingExists(UnitVersioningMappingOf(vantrell.Id())));
    EXPECT_NE(GetFileAttributesA((program.Path() + "Galleries\\ArtNudes").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((elsewhere.Path() + "Galleries").c_str()), INVALID_FILE_ATTRIBUTES);

    PostMessageA(window, WM_KEYDOWN, VK_F1, 0);
    std::vector<std::vector<std::string>> launches;
    for (int i = 0; i < 200 && launches.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        launches = recorder.Launches();
    }
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(lstrcmpiA((launches[0][0] + "\\").c_str(), program.Path().c_str()), 0) << launches[0][0];
    EXPECT_EQ(lstrcmpiA(launches[0][1].c_str(), (program.Path() + "vantrell.pdf").c_str()), 0) << launches[0][1];

    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(vantrell.WaitForExit(std::chrono::seconds(20), &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(NamedMutexExists(UnitVersioningMutexOf(vantrell.Id())));
    EXPECT_FALSE(NamedMappingExists(UnitVersioningMappingOf(vantrell.Id())));
    const std::string ini = program.Path() + "vantrell.ini";
    EXPECT_EQ(IniValue(ini, "Config", "Skin"), "0");
    EXPECT_EQ(IniValue(ini, "Config", "UseSkins"), "0");
    EXPECT_EQ(IniValue(ini, "Config", "MultipleColumns"), "0");
    EXPECT_EQ(IniValue(ini, "Config", "Last Folder"), "");
    EXPECT_EQ(GetFileAttributesA((elsewhere.Path() + "vantrell.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace testsupport

namespace testsupport {
namespace {

// A settings file that cannot be written at exit: the real error box names it once, is
// answered, and the program still ends.
TEST(VantrellProcess, ALockedSettingsFileAtExitIsReportedOnceAndTheProgramEnds) {
    TempFolder program;
    ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program.Path() + "vantrell.exe").c_str(), FALSE));
    ProcessUnderTest vantrell(program.Path() + "vantrell.exe", "", program.Path());
    HWND window = vantrell.WaitForWindow("Vantrell - Biography");
    ASSERT_NE(window, nullptr);
    HANDLE lock = CreateFileA((program.Path() + "vantrell.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND box = vantrell.WaitForDialog("Vantrell");
    ASSERT_NE(box, nullptr);
    const auto texts = ChildTexts(box, "Static");
    bool named = false;
    for (const auto& text : texts) named |= text.find("Unable to write to") != std::string::npos;
    EXPECT_TRUE(named);
    ASSERT_TRUE(ClickButton(box, "OK"));
    DWORD code = 1;
    EXPECT_TRUE(vantrell.WaitForExit(std::chrono::seconds(20), &code));
    EXPECT_EQ(code, 0u);
    CloseHandle(lock);
}

}  // namespace
}  // namespace testsupport
