// vantburn started as vantrell starts it, on the virtual recorder's WNASPI32.DLL: the window's
// device and speed lists, Burn, and the refusals, read back from the real windows. Wine loads
// our DLL only with WINEDLLOVERRIDES=wnaspi32=n, given to the wine that starts this program by
// its test and inherited by the programs it starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/start_arguments.h"
#include "burn/burn_window.h"
#include "burn/tests/driver/vantburn_driver.h"
#include "tests/support/mouse_input.h"
#include "tests/support/process_driver.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ProcessUnderTest;
using namespace vantburn_driver;

constexpr char kIni[] =
    "[recorder]\nasynchronous=0\n"
    "[device0]\naddress=0:1:0\ntype=5\nletter=E\nspeeds=4,8,16,24,32,40,48\n"
    "[device1]\naddress=0:0:0\ntype=5\nproduct=VIRTUAL CD-ROM\nletter=D\nspeeds=4\nwriter=0\n"
    "[device2]\naddress=0:2:0\ntype=4\nproduct=VIRTUAL WORM\nletter=F\n";

// A program folder with vantburn.exe, the virtual recorder and one built portfolio.
struct ProgramFolder : vantburn_driver::ProgramFolder {
    explicit ProgramFolder(const char* ini = kIni) : vantburn_driver::ProgramFolder(ini) {
        CreateDirectoryA(Path("Distributable\\Spring").c_str(), nullptr);
    }
};

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
    HWND burn = ChildButton(window, "Burn");
    ASSERT_NE(burn, nullptr);
    EXPECT_FALSE(IsWindowEnabled(burn)) << "the read-only drive is selected";

    // The writer picked as a user picks it: its own seven speeds replace the first drive's.
    PickDrive(lists.drives, 1);
    const std::vector<std::string> writer = {"Max", "48X (7,200 KB/s)", "40X (6,000 KB/s)", "32X (4,800 KB/s)",
                                             "24X (3,600 KB/s)", "16X (2,400 KB/s)", "08X (1,200 KB/s)",
                                             "04X (600 KB/s)"};
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (ComboItems(lists.speeds) != writer && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ComboItems(lists.speeds), writer);
    EXPECT_TRUE(IsWindowEnabled(burn));
    // Back to the read-only drive: Burn goes off again.
    PickDrive(lists.drives, 0);
    EXPECT_TRUE(WaitUntil([&] { return ComboItems(lists.speeds).size() == 2 && !IsWindowEnabled(burn); }));
    // The notice at the top spans the window, not the width of one letter.
    HWND notice = nullptr;
    for (HWND label : Children(window, "LABEL"))
        if (testsupport::WindowText(label).rfind("CD Burning is experimental", 0) == 0) notice = label;
    ASSERT_NE(notice, nullptr);
    RECT r;
    GetWindowRect(notice, &r);
    EXPECT_GE(r.right - r.left, 400);
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

constexpr char kNoRecorderLine[] =
    "No CD Burning Device found, so Burn is off. Connect a recorder and start again.";

// Devices that answer, none of them a recorder: the log says why Burn is off.
TEST(VantburnStart, NoRecorderAnsweringIsSaidInTheLog) {
    ProgramFolder folder("[device0]\naddress=0:0:0\ntype=0\nproduct=VIRTUAL DISK\n");
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return MemoText(window) == kNoRecorderLine; })) << MemoText(window);
    const Lists lists = FindLists(window);
    ASSERT_NE(lists.drives, nullptr);
    EXPECT_TRUE(ComboItems(lists.drives).empty());
    EXPECT_FALSE(IsWindowEnabled(ChildButton(window, "Burn")));
    ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
    EXPECT_TRUE(p.WaitForExit(20s));
}

// The next two suites run from ctest entries of their own, started with other DLL overrides.
TEST(VantburnStartLibraryDisabled, TheLayerErrorShowsAndBurnStaysOff) {
    ASSERT_NE(DllOverrides().find("wnaspi32=d"), std::string::npos) << "started without wnaspi32=d";
    ProgramFolder folder;
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND box = p.WaitForDialog("Vantrell Burn Utility");
    ASSERT_NE(box, nullptr);
    const auto texts = testsupport::ChildTexts(box, "Static");
    const std::string expected = std::string("Error initializing ASPI Layer, Please visit support page, ") +
                                 burn::kSupportPage + " For more information";
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end());
    ASSERT_TRUE(testsupport::ClickButton(box, "OK"));
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    HWND burn = ChildButton(window, "Burn");
    ASSERT_NE(burn, nullptr);
    EXPECT_FALSE(IsWindowEnabled(burn));
    const Lists lists = FindLists(window);
    ASSERT_NE(lists.drives, nullptr);
    EXPECT_TRUE(ComboItems(lists.drives).empty());
    ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
    EXPECT_TRUE(p.WaitForExit(20s));
}

TEST(VantburnStartWinesLibrary, NoRecorderIsFoundAndTheListsStayEmpty) {
    ASSERT_EQ(DllOverrides().find("wnaspi32"), std::string::npos) << "started with a wnaspi32 override";
    ProgramFolder folder;  // our DLL is there, but without the override Wine's own answers
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    // The start is over once the log says why Burn is off; no layer error box comes.
    EXPECT_TRUE(WaitUntil([&] { return MemoText(window) == kNoRecorderLine; })) << MemoText(window);
    EXPECT_EQ(p.WaitForDialog("Vantrell Burn Utility", 500ms), nullptr);
    const Lists lists = FindLists(window);
    ASSERT_NE(lists.drives, nullptr);
    EXPECT_TRUE(ComboItems(lists.drives).empty());
    EXPECT_TRUE(ComboItems(lists.speeds).empty());
    HWND burn = ChildButton(window, "Burn");
    ASSERT_NE(burn, nullptr);
    EXPECT_FALSE(IsWindowEnabled(burn));
    ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
    EXPECT_TRUE(p.WaitForExit(20s));
}

// One token per traced request: the command and what tells its kind apart (the page, the
// feature, the write speed asked).
std::vector<std::string> TraceTokens(const std::string& path) {
    std::vector<std::string> tokens;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const auto at = line.find(" cdb=");
        if (at == std::string::npos) continue;
        std::vector<int> cdb;
        for (std::size_t i = at + 5; i + 1 < line.size() && isxdigit(static_cast<unsigned char>(line[i])); i += 2)
            cdb.push_back(std::stoi(line.substr(i, 2), nullptr, 16));
        char token[32];
        switch (cdb.at(0)) {
            case 0x12: std::snprintf(token, sizeof token, "INQUIRY"); break;
            case 0x5A: std::snprintf(token, sizeof token, "SENSE%02X", cdb.at(2) & 0x3F); break;
            case 0x55: std::snprintf(token, sizeof token, "SELECT"); break;
            case 0x46: std::snprintf(token, sizeof token, "CONFIG%02X", cdb.at(2) << 8 | cdb.at(3)); break;
            case 0xBB: std::snprintf(token, sizeof token, "SPEED%d", cdb.at(4) << 8 | cdb.at(5)); break;
            default: std::snprintf(token, sizeof token, "OP%02X", cdb.at(0));
        }
        tokens.push_back(token);
    }
    return tokens;
}

TEST(VantburnStart, TheRecordersTraceOfTheStart) {
    ProgramFolder folder(
        "[device0]\naddress=0:1:0\ntype=5\nletter=E\nspeeds=4,8,16,24,32,40,48\ntrace=trace.txt\n");
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(WaitForLists(window, 1).drives, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return MemoText(window).empty(); }));
    ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
    ASSERT_TRUE(p.WaitForExit(20s));

    // Reading the capabilities: the default page, page 0x30, the two features, the current page.
    const std::vector<std::string> capabilities = {"SENSE2A", "SENSE30", "CONFIG2A", "CONFIG2F", "SENSE2A"};
    std::vector<std::string> expected = {"INQUIRY"};  // the scan: one device answers
    // Selecting it: capabilities, INQUIRY, then page 5 tried in raw, session- and track-at-once.
    expected.insert(expected.end(), capabilities.begin(), capabilities.end());
    expected.push_back("INQUIRY");
    for (int mode = 0; mode < 3; ++mode) expected.insert(expected.end(), {"SENSE05", "SELECT"});
    // The speed list: the medium's profile, the maximum, then each X from 48 down to 1.
    expected.push_back("CONFIG00");
    expected.insert(expected.end(), capabilities.begin(), capabilities.end());
    for (int k = 48; k >= 1; --k) {
        expected.push_back("SPEED" + std::to_string(k * 177));
        expected.insert(expected.end(), capabilities.begin(), capabilities.end());
    }
    const std::vector<std::string> traced = TraceTokens(folder.temp.Path() + "trace.txt");
    EXPECT_EQ(traced, expected);
}

// Dropping the speed list down, by a click on its arrow, asks the drive its speeds again and
// keeps the chosen line.
TEST(VantburnStart, DroppingTheSpeedListDownReadsTheSpeedsAgain) {
    ProgramFolder folder(
        "[device0]\naddress=0:1:0\ntype=5\nletter=E\nspeeds=4,8,16,24,32,40,48\ntrace=trace.txt\n");
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    const Lists lists = WaitForLists(window, 1);
    ASSERT_NE(lists.speeds, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return MemoText(window).empty(); }));
    SendMessageA(lists.speeds, CB_SETCURSEL, 3, 0);
    const std::size_t before = TraceTokens(folder.temp.Path() + "trace.txt").size();
    RECT r;
    GetWindowRect(lists.speeds, &r);
    testsupport::MoveMouse({r.right - 6, (r.top + r.bottom) / 2});
    testsupport::ClickMouse();
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(lists.speeds, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    SendMessageA(lists.speeds, CB_SHOWDROPDOWN, FALSE, 0);
    const auto after = TraceTokens(folder.temp.Path() + "trace.txt");
    std::vector<std::string> speeds;
    for (std::size_t i = before; i < after.size(); ++i)
        if (after[i].rfind("SPEED", 0) == 0) speeds.push_back(after[i]);
    ASSERT_EQ(speeds.size(), 48u) << "each X from 48 down to 1";
    EXPECT_EQ(speeds.front(), "SPEED" + std::to_string(48 * 177));
    EXPECT_EQ(speeds.back(), "SPEED177");
    EXPECT_EQ(ComboItems(lists.speeds).size(), 8u);
    EXPECT_EQ(SendMessageA(lists.speeds, CB_GETCURSEL, 0, 0), 3) << "the chosen line stays chosen";
    ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
    EXPECT_TRUE(p.WaitForExit(20s));
}

}  // namespace
