// vantburn started as vantrell starts it, on the virtual recorder's WNASPI32.DLL: the window's
// device and speed lists, Burn, and the refusals, read back from the real windows. Wine loads
// our DLL only with WINEDLLOVERRIDES=wnaspi32=n, given to the wine that starts this program by
// its test and inherited by the programs it starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/start_arguments.h"
#include "burn/burn_window.h"
#include "tests/support/process_driver.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ProcessUnderTest;

constexpr char kIni[] =
    "[recorder]\nasynchronous=0\n"
    "[device0]\naddress=0:1:0\ntype=5\nletter=E\nspeeds=4,8,16,24,32,40,48\n"
    "[device1]\naddress=0:0:0\ntype=5\nproduct=VIRTUAL CD-ROM\nletter=D\nspeeds=4\n"
    "[device2]\naddress=0:2:0\ntype=4\nproduct=VIRTUAL WORM\nletter=F\n";

// A program folder with vantburn.exe, the virtual recorder and one built portfolio.
struct ProgramFolder {
    testsupport::TempFolder temp;
    ProgramFolder() {
        const std::string built = testsupport::ExecutableFolder();
        CopyFileA((built + "vantburn.exe").c_str(), (temp.Path() + "vantburn.exe").c_str(), FALSE);
        CopyFileA((built + "..\\tests\\virtual_recorder\\WNASPI32.dll").c_str(), (temp.Path() + "WNASPI32.dll").c_str(),
                  FALSE);
        std::ofstream(temp.Path() + "vcdr.ini") << kIni;
        CreateDirectoryA((temp.Path() + "Distributable").c_str(), nullptr);
        CreateDirectoryA((temp.Path() + "Distributable\\Spring").c_str(), nullptr);
    }
    std::string Exe() const { return temp.Path() + "vantburn.exe"; }
};

std::vector<HWND> Children(HWND parent, const char* classPart) {
    struct Collect {
        std::string part;
        std::vector<HWND> found;
    } collect{classPart, {}};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        std::string name(cls);
        for (auto& ch : name) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        if (name.find(c->part) != std::string::npos) c->found.push_back(wnd);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

// Read through the wide messages: across processes Wine hands CB_GETLBTEXT's ANSI buffer wide
// characters, twice the length asked for.
std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) break;  // the list changed under us; the caller polls again
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            std::max<LRESULT>(0, SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data())))));
        std::string text(wide.size() * 2, '\0');
        text.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                                 text.data(), static_cast<int>(text.size()), nullptr,
                                                                 nullptr)));
        items.push_back(text);
    }
    return items;
}

HWND ChildButton(HWND parent, const std::string& caption) {
    for (HWND b : Children(parent, "BUTTON"))
        if (testsupport::WindowText(b) == caption) return b;
    return nullptr;
}

// The two combo boxes, drives first (left of the speeds); waits until the drive list is filled.
struct Lists {
    HWND drives = nullptr, speeds = nullptr;
};
Lists WaitForLists(HWND window, std::size_t drives) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        auto combos = Children(window, "COMBOBOX");
        if (combos.size() == 2) {
            RECT a, b;
            GetWindowRect(combos[0], &a);
            GetWindowRect(combos[1], &b);
            Lists l = a.left < b.left ? Lists{combos[0], combos[1]} : Lists{combos[1], combos[0]};
            if (ComboItems(l.drives).size() == drives && !ComboItems(l.speeds).empty()) return l;
        }
        std::this_thread::sleep_for(50ms);
    }
    // What the window held instead, for the failure message.
    struct Dump {
        std::string text;
    } dump;
    EnumChildWindows(window, [](HWND wnd, LPARAM param) -> BOOL {
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        reinterpret_cast<Dump*>(param)->text += std::string(cls) + " \"" + testsupport::WindowText(wnd) + "\" " +
                                                 std::to_string(SendMessageA(wnd, CB_GETCOUNT, 0, 0)) + "; ";
        return TRUE;
    }, reinterpret_cast<LPARAM>(&dump));
    ADD_FAILURE() << "children: " << dump.text;
    return {};
}

TEST(VantburnStart, ListsTheRecordersAndTheWritersSpeeds) {
    ProgramFolder folder;
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(testsupport::NamedMutexExists(testsupport::UnitVersioningMutexOf(p.Id())));
    EXPECT_TRUE(testsupport::NamedMappingExists(testsupport::UnitVersioningMappingOf(p.Id())));
    const Lists lists = WaitForLists(window, 3);
    ASSERT_NE(lists.drives, nullptr);
    const auto drives = ComboItems(lists.drives);
    EXPECT_EQ(drives[0].substr(0, 9), "0:0:0,D: ");
    EXPECT_EQ(drives[1], "0:1:0,E: VANTRELLVIRTUAL CD-R    1.0 ");
    EXPECT_EQ(drives[2].substr(0, 9), "0:2:0,F: ");
    EXPECT_TRUE(drives[2].ends_with(" (not supported)"));
    EXPECT_EQ(SendMessageA(lists.drives, CB_GETCURSEL, 0, 0), 0);
    // The first device's own speeds: only 4X.
    EXPECT_EQ(ComboItems(lists.speeds), (std::vector<std::string>{"Max", "04X (600 KB/s)"}));

    // The writer picked as a user picks it: its own seven speeds replace the first drive's.
    SendMessageA(lists.drives, CB_SETCURSEL, 1, 0);
    SendMessageA(GetParent(lists.drives), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(lists.drives), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(lists.drives));
    const std::vector<std::string> writer = {"Max", "48X (7,200 KB/s)", "40X (6,000 KB/s)", "32X (4,800 KB/s)",
                                             "24X (3,600 KB/s)", "16X (2,400 KB/s)", "08X (1,200 KB/s)",
                                             "04X (600 KB/s)"};
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (ComboItems(lists.speeds) != writer && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ComboItems(lists.speeds), writer);
    HWND burn = ChildButton(window, "Burn");
    ASSERT_NE(burn, nullptr);
    EXPECT_TRUE(IsWindowEnabled(burn));
    // The log memo is cleared once the scan is shown.
    const auto memos = Children(window, "MEMO");
    ASSERT_EQ(memos.size(), 1u);
    EXPECT_EQ(testsupport::WindowText(memos[0]), "");
    ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
    EXPECT_TRUE(p.WaitForExit(20s));
    EXPECT_FALSE(testsupport::NamedMutexExists(testsupport::UnitVersioningMutexOf(p.Id())));
}

TEST(VantburnStart, WrongArgumentCountsOnlyTerminate) {
    ProgramFolder folder;
    for (const char* args : {"", "Spring Extra"}) {
        ProcessUnderTest p(folder.Exe(), args, folder.temp.Path());
        HWND box = p.WaitForDialog("Vantrell Burn Utility");
        ASSERT_NE(box, nullptr) << args;
        const auto texts = testsupport::ChildTexts(box, "Static");
        EXPECT_NE(std::find(texts.begin(), texts.end(), burn::kNotCalledMessage), texts.end()) << args;
        HWND window = FindWindowA(nullptr, burn::kBurnWindowCaption);
        EXPECT_TRUE(window == nullptr || !IsWindowVisible(window)) << args;
        ASSERT_TRUE(testsupport::ClickButton(box, "OK"));
        EXPECT_TRUE(p.WaitForExit(20s)) << args;
    }
}

TEST(VantburnStart, NamesOutsideDistributableAreRefused) {
    ProgramFolder folder;
    CreateDirectoryA((folder.temp.Path() + "x").c_str(), nullptr);
    for (const char* name : {"..\\x", "Autumn"}) {
        ProcessUnderTest p(folder.Exe(), name, folder.temp.Path());
        HWND box = p.WaitForDialog("Vantrell Burn Utility");
        ASSERT_NE(box, nullptr) << name;
        const auto texts = testsupport::ChildTexts(box, "Static");
        EXPECT_NE(std::find(texts.begin(), texts.end(), burn::kNoPortfolioMessage), texts.end()) << name;
        ASSERT_TRUE(testsupport::ClickButton(box, "OK"));
        HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(WaitForLists(window, 3).drives, nullptr);
        HWND burn = ChildButton(window, "Burn");
        ASSERT_NE(burn, nullptr);
        EXPECT_FALSE(IsWindowEnabled(burn)) << name;
        ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
        EXPECT_TRUE(p.WaitForExit(20s));
    }
}

}  // namespace
