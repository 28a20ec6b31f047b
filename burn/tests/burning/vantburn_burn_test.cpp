// Burns under Wine, end to end: vantburn started from a program folder of its own with a
// portfolio, driven as a user drives it (a speed, Burn, the confirmation), against the
// virtual recorder, whose trace, state file and stored image are read back afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "burn/tests/driver/vantburn_driver.h"
#include "tests/support/process_driver.h"

namespace {

using namespace std::chrono_literals;
using namespace vantburn_driver;
using testsupport::ProcessUnderTest;

constexpr char kTitle[] = "Vantrell Burn Utility";
constexpr char kWindowCaption[] = "CD Burn Utility";
// A reader first, which the window selects at its start, then the recorder a user picks from the
// list: its quirks (a close with IMMED, for this product) are those the selection gives.
constexpr char kRecorder[] =
    "[device0]\naddress=0:0:0\ntype=5\nletter=D\nproduct=VIRTUAL DVD-ROM\nwriter=0\n"
    "[device1]\naddress=0:1:0\ntype=5\nletter=E\nspeeds=4,8,16,24,32,40,48\n"
    "image=disc.img\nstate=disc.state\ntrace=trace.txt\n";
constexpr int kReaderLine = 0, kRecorderLine = 1;
constexpr int k48X = 1;  // "48X (7,200 KB/s)", after "Max"
constexpr char kEjectDone[] = "Eject CD Completed, so enjoy the rest of your day.";
constexpr char kEjectFailed[] = "Eject CD Failed.";
constexpr std::uint32_t kFirstFileSector = 150;  // of a session laid out at sector 0

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFileAt(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    // Fixed times: the image does not depend on when the test ran.
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME st{2024, 5, 0, 17, 10, 20, 30, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    SetFileTime(h, &ft, &ft, &ft);
    CloseHandle(h);
}

std::string Pattern(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + seed * 7 + i / 977) & 0xFF);
    return s;
}

// A program folder (the temporary folder, or its subfolder programName) with the recorder and
// the portfolio "Spring" or another: a page, a picture folder and a file without an extension.
struct BurnFolder : ProgramFolder {
    explicit BurnFolder(const std::string& extra = {}, std::string portfolio = "Spring",
                        const std::string& programName = {})
        : ProgramFolder(kRecorder + extra, programName), name(std::move(portfolio)) {
        CreateDirectoryA(Portfolio().c_str(), nullptr);
        CreateDirectoryA((Portfolio() + "\\pictures").c_str(), nullptr);
        WriteFileAt(Portfolio() + "\\index.html", "<html><body>Spring</body></html>\n");
        WriteFileAt(Portfolio() + "\\pictures\\one.jpg", Pattern(300000, 1));
        WriteFileAt(Portfolio() + "\\pictures\\two.jpg", Pattern(170000, 2));
        WriteFileAt(Portfolio() + "\\README", "read me\n");
    }
    std::string Portfolio() const { return Path("Distributable\\" + name); }
    std::string name;
};

// One request of the recorder's trace.
struct Request {
    DWORD thread = 0;
    int op = 0;
    std::vector<int> cdb;
    bool ok = false;
    long long lba = -1;
    int blocks = 0;
    std::string data;  // MODE SELECT's parameters, in hex
    bool never = false;  // the recorder never ended it
};

std::vector<Request> ReadTrace(const std::string& path) {
    std::vector<Request> trace;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        Request r;
        std::istringstream words(line);
        std::string sequence;
        words >> sequence >> r.thread;
        for (std::string w; words >> w;) {
            if (w.rfind("cdb=", 0) == 0) {
                for (std::size_t i = 4; i + 1 < w.size(); i += 2) r.cdb.push_back(std::stoi(w.substr(i, 2), nullptr, 16));
            } else if (w == "->") {
                words >> w;
                r.ok = w.rfind("01/", 0) == 0;
            } else if (w.rfind("lba=", 0) == 0) {
                r.lba = std::stoll(w.substr(4));
            } else if (w.rfind("blocks=", 0) == 0) {
                r.blocks = std::stoi(w.substr(7));
            } else if (w.rfind("data=", 0) == 0) {
                r.data = w.substr(5);
            } else if (w == "never") {
                r.never = true;
            }
        }
        if (r.cdb.empty()) continue;
        r.op = r.cdb[0];
        trace.push_back(r);
    }
    return trace;
}

std::map<std::string, std::string> ReadState(const std::string& path) {
    std::map<std::string, std::string> state;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) state[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return state;
}

// The texts of a dialog's static controls, joined.
std::string DialogText(HWND box) {
    std::string text;
    for (const auto& t : testsupport::ChildTexts(box, "Static")) text += t + "\n";
    return text;
}

// What a burn left in the window and sent to the recorder.
struct BurnResult {
    std::vector<std::string> memo;  // the lines added since Burn was clicked
    std::vector<Request> requests;  // sent since Burn was clicked
    bool completedDialog = false;
    DWORD dialogThread = 0;
    bool buttonsUsable = false;
};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

class VantburnBurn : public ::testing::Test {
protected:
    // Starts vantburn on the portfolio and waits for its lists.
    HWND Start(BurnFolder& folder) {
        process_ = std::make_unique<ProcessUnderTest>(folder.Exe(), folder.name, folder.root);
        return Attach(process_->WaitForWindow(kWindowCaption));
    }
    // Takes over a burn window, however it was started: waits for its lists and picks the
    // recorder from the device list as a user does.
    HWND Attach(HWND window) {
        if (!window) return nullptr;
        GetWindowThreadProcessId(window, &pid_);
        lists_ = WaitForLists(window, 2);
        if (!lists_.drives) return nullptr;
        HWND burn = ChildButton(window, "Burn");
        EXPECT_FALSE(IsWindowEnabled(burn)) << "the reader selected at the start cannot burn";
        EXPECT_EQ(SendMessageA(lists_.drives, CB_GETCURSEL, 0, 0), kReaderLine);
        PickDrive(lists_.drives, kRecorderLine);
        const bool picked = WaitUntil([&] { return IsWindowEnabled(burn) != FALSE && ComboItems(lists_.speeds).size() > 1; });
        EXPECT_TRUE(picked) << "the recorder could not be picked";
        return picked ? window : nullptr;
    }
    HWND WaitForDialog() {
        HWND box = nullptr;
        WaitUntil([&] { return (box = OpenDialog(pid_, kTitle)) != nullptr; });
        return box;
    }

    // Chooses the speed, clicks Burn, answers the confirmation; with OK, waits for the end of
    // the burn (answering the completion dialog) until Burn and Close are usable again.
    BurnResult Burn(HWND window, bool confirm = true, std::chrono::seconds guard = 120s) {
        BurnResult result;
        // An earlier burn's lines stay in the log: only the lines added from here on count.
        const auto seen = static_cast<std::ptrdiff_t>(MemoLines(window).size());
        const auto linesSince = [&] {
            const auto lines = MemoLines(window);
            return std::vector<std::string>(lines.begin() + std::min(seen, static_cast<std::ptrdiff_t>(lines.size())),
                                            lines.end());
        };
        SendMessageA(lists_.speeds, CB_SETCURSEL, k48X, 0);
        EXPECT_TRUE(testsupport::ClickButton(window, "Burn"));
        HWND box = WaitForDialog();
        EXPECT_NE(box, nullptr) << "no confirmation";
        if (!box) return result;
        EXPECT_NE(DialogText(box).find("Insert a Blank CD-R and click to start burning."), std::string::npos);
        EXPECT_TRUE(testsupport::ClickButton(box, confirm ? "OK" : "Cancel"));
        if (!confirm) {
            EXPECT_TRUE(WaitUntil([&] { return IsWindow(box) == FALSE; }));
            HWND aborted = WaitForDialog();
            EXPECT_NE(aborted, nullptr);
            if (aborted) {
                EXPECT_NE(DialogText(aborted).find("Burning Process Aborted."), std::string::npos);
                EXPECT_TRUE(testsupport::ClickButton(aborted, "OK"));
            }
            EXPECT_TRUE(WaitUntil([&] { return IsWindow(aborted) == FALSE; }));
            result.memo = linesSince();
            return result;
        }
        HWND burn = ChildButton(window, "Burn"), close = ChildButton(window, "Close");
        // The end: the outcome's last line in the log, and both buttons on again.
        auto over = [&] {
            const auto lines = linesSince();
            const auto failed = std::find(lines.begin(), lines.end(), "Write / Burn Process done with errors");
            return (failed != lines.end() && failed + 1 != lines.end()) || Has(lines, kEjectDone) ||
                   Has(lines, kEjectFailed);
        };
        const bool ended = WaitUntil(
            [&] {
                if (HWND done = OpenDialog(pid_, kTitle)) {
                    if (DialogText(done).find("CD Burn Completed!") != std::string::npos) {
                        result.completedDialog = true;
                        result.dialogThread = GetWindowThreadProcessId(done, nullptr);
                        testsupport::ClickButton(done, "OK");
                        WaitUntil([&] { return IsWindow(done) == FALSE; }, 10s);
                    }
                }
                return over() && IsWindowEnabled(burn) && IsWindowEnabled(close);
            },
            guard);
        EXPECT_TRUE(ended) << "the burn did not end; the log:\n" << MemoText(window);
        result.buttonsUsable = ended;
        result.memo = linesSince();
        return result;
    }

    // Burns as above, with the requests the recorder was sent from the click on.
    BurnResult BurnTraced(HWND window, const BurnFolder& folder, std::chrono::seconds guard = 120s) {
        const std::size_t before = ReadTrace(folder.Path("trace.txt")).size();
        BurnResult result = Burn(window, true, guard);
        const auto trace = ReadTrace(folder.Path("trace.txt"));
        result.requests.assign(trace.begin() + static_cast<std::ptrdiff_t>(std::min(before, trace.size())), trace.end());
        return result;
    }

    // Clicks Burn and confirms; returns once the writer runs (Burn off).
    bool StartBurn(HWND window) {
        SendMessageA(lists_.speeds, CB_SETCURSEL, k48X, 0);
        if (!testsupport::ClickButton(window, "Burn")) return false;
        HWND box = WaitForDialog();
        if (!box || !testsupport::ClickButton(box, "OK")) return false;
        HWND burn = ChildButton(window, "Burn");
        return WaitUntil([&] { return !IsWindowEnabled(burn); });
    }
    // Waits for the end of a burn started by StartBurn, answering its dialog.
    bool WaitForBurnEnd(HWND window) {
        HWND burn = ChildButton(window, "Burn");
        return WaitUntil([&] {
            if (HWND done = OpenDialog(pid_, kTitle)) testsupport::ClickButton(done, "OK");
            return IsWindowEnabled(burn) != FALSE;
        }, 120s);
    }

    void Close(HWND window) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid_);
        ASSERT_TRUE(testsupport::ClickButton(window, "Close"));
        EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
        CloseHandle(process);
    }

    std::unique_ptr<ProcessUnderTest> process_;
    DWORD pid_ = 0;
    Lists lists_;
};

// The image the burn sends, made by the mastering tool from the same folder.
std::string MasteredImage(const std::string& source, const BurnFolder& folder) {
    const std::string image = folder.Path("mastered.iso");
    ProcessUnderTest tool(testsupport::ExecutableFolder() + "burn_mkimage.exe",
                          "\"" + source + "\" \"" + image + "\"", folder.temp.Path());
    EXPECT_TRUE(tool.WaitForExit(60s));
    return ReadAll(image);
}

std::size_t IndexOf(const std::vector<Request>& r, bool (*match)(const Request&), bool last = false) {
    std::size_t found = r.size();
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (match(r[i])) {
            found = i;
            if (!last) break;
        }
    }
    return found;
}

bool IsWrite(const Request& r) { return r.op == 0x2A; }
bool IsGoodWrite(const Request& r) { return r.op == 0x2A && r.ok; }
bool IsFlush(const Request& r) { return r.op == 0x35; }
bool IsClose(const Request& r) { return r.op == 0x5B; }
bool IsLoad(const Request& r) { return r.op == 0x1B && (r.cdb[4] & 3) == 3; }
bool IsEject(const Request& r) { return r.op == 0x1B && (r.cdb[4] & 3) == 2; }
bool IsAllow(const Request& r) { return r.op == 0x1E && (r.cdb[4] & 1) == 0; }
bool IsSpeed(const Request& r) { return r.op == 0xBB; }
bool IsTrackInformation(const Request& r) { return r.op == 0x52; }
// Anything but TEST UNIT READY asks the drive about its disc or changes it.
bool IsQuestion(const Request& r) { return r.op != 0x00; }

// The bar's filled part shows on the screen as lime towards its end; an empty bar has none.
// The bar is painted on the group box, 6 pixels below the log and as wide, 20 pixels high.
int LimePixelsOfTheBar(HWND window) {
    const auto memos = Children(window, "MEMO");
    if (memos.size() != 1) return -1;
    RECT memo;
    GetWindowRect(memos[0], &memo);
    HDC screen = GetDC(nullptr);
    int lime = 0;
    const int y = memo.bottom + 6 + 10;
    for (int x = memo.left; x < memo.right; ++x) {
        const COLORREF c = GetPixel(screen, x, y);
        if (GetGValue(c) > 200 && GetRValue(c) < 100 && GetBValue(c) < 100) ++lime;
    }
    ReleaseDC(nullptr, screen);
    return lime;
}

// Whether the memo's last character is inside its client area.
bool LastLogLineInView(HWND window) {
    const auto memos = Children(window, "MEMO");
    if (memos.size() != 1) return false;
    const auto length = SendMessageA(memos[0], WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return false;
    const LRESULT at = SendMessageA(memos[0], EM_POSFROMCHAR, static_cast<WPARAM>(length - 1), 0);
    RECT client;
    GetClientRect(memos[0], &client);
    const int y = static_cast<short>(HIWORD(at));
    return at != -1 && y >= 0 && y < client.bottom;
}

// Contiguous WRITE (10)s from the session start, at most 31 sectors each; the sectors sent.
std::uint32_t CheckWrites(const std::vector<Request>& r, std::uint32_t sessionStart) {
    std::uint32_t next = sessionStart;
    for (const auto& q : r) {
        if (!IsGoodWrite(q)) continue;
        EXPECT_EQ(q.lba, next) << "writes are contiguous";
        EXPECT_LE(q.blocks, 31);
        next = static_cast<std::uint32_t>(q.lba + q.blocks);
    }
    return next - sessionStart;
}

// The image with the recording dates of every directory's "." and ".." records blanked: the
// only bytes that depend on when it was made.
std::string WithoutDotDates(std::string image) {
    for (std::size_t at = 0; at + 2048 <= image.size(); at += 2048) {
        auto* p = reinterpret_cast<std::uint8_t*>(image.data() + at);
        const bool dots = p[0] == 34 && p[32] == 1 && p[33] == 0 && p[34] == 34 && p[34 + 32] == 1 && p[34 + 33] == 1;
        if (!dots) continue;
        std::fill_n(p + 18, 7, 0);
        std::fill_n(p + 34 + 18, 7, 0);
    }
    return image;
}

// What a good burn leaves behind; the defaults: a first session on a blank disc, ejected.
struct GoodDisc {
    std::uint32_t sessionStart = 0;
    int sessions = 1;
    const char* ejectLine = kEjectDone;
    const char* tray = "open";
    const char* image = "disc.img";  // the recorder's image of the disc in the drive
};

// A successful burn: the texts, the thread of the dialog, the order of the commands, the write
// parameters, the disc left behind; from sector 0, the image the mastering tool makes of the
// same folder, but for the dates of "." and "..".
void CheckGoodBurn(const std::string& source, const BurnFolder& folder, const BurnResult& result, HWND window,
                   const GoodDisc& expected = {}) {
    const std::vector<Request>& r = result.requests;
    EXPECT_TRUE(Has(result.memo, ">>> STARTING WRITE PROCESS ON CD-R AT 48X"));
    EXPECT_TRUE(Has(result.memo, "CD Burning Process Complete"));
    EXPECT_EQ(Count(result.memo, "Closing CD, please wait..."), 1u);
    EXPECT_TRUE(Has(result.memo, expected.ejectLine));
    EXPECT_TRUE(result.completedDialog);
    EXPECT_EQ(result.dialogThread, GetWindowThreadProcessId(window, nullptr)) << "the dialog is the window's thread's";

    const std::string mastered = MasteredImage(source, folder);
    ASSERT_FALSE(mastered.empty());
    EXPECT_EQ(CheckWrites(r, expected.sessionStart), mastered.size() / 2048);
    const std::size_t lastWrite = IndexOf(r, IsWrite, true), close = IndexOf(r, IsClose),
                      allow = IndexOf(r, IsAllow, true), eject = IndexOf(r, IsEject, true);
    ASSERT_LT(lastWrite, r.size());
    std::size_t flush = lastWrite;
    while (flush < r.size() && !IsFlush(r[flush])) ++flush;
    EXPECT_LT(flush, close) << "the writer's flush before the close";
    ASSERT_LT(close, r.size());
    EXPECT_EQ(IndexOf(r, IsClose, true), close) << "one close";
    for (std::size_t i = close + 1; i < r.size(); ++i) EXPECT_NE(r[i].op, 0x2A) << "nothing written after the close";
    // The restore after the close: the plain page, the read speed, the tray closed again.
    std::size_t restoreSelect = r.size();
    for (std::size_t i = close + 1; i < r.size(); ++i)
        if (r[i].op == 0x55) restoreSelect = std::min(restoreSelect, i);
    EXPECT_LT(restoreSelect, r.size()) << "the write parameters restored after the close";
    EXPECT_LT(allow, eject);
    EXPECT_EQ(eject, r.size() - 1) << "the eject is the last command, after the writer's";
    // SET CD SPEED at the writer's start with 48 X.
    bool asked48 = false;
    for (std::size_t i = 0; i < lastWrite; ++i)
        if (IsSpeed(r[i]) && (r[i].cdb[4] << 8 | r[i].cdb[5]) == 48 * 177) asked48 = true;
    EXPECT_TRUE(asked48);
    // Page 5 before the first write: track-at-once, BUFE (the drive can), data block type 8, not multisession.
    std::string page;
    for (std::size_t i = 0; i < IndexOf(r, IsWrite); ++i)
        if (r[i].op == 0x55) page = r[i].data;
    ASSERT_GE(page.size(), 2u * 13);
    const int writeType = std::stoi(page.substr(2 * 10, 2), nullptr, 16);
    const int multisession = std::stoi(page.substr(2 * 11, 2), nullptr, 16);
    const int blockType = std::stoi(page.substr(2 * 12, 2), nullptr, 16);
    EXPECT_EQ(writeType & 0x0F, 1) << page;
    EXPECT_EQ(writeType & 0x40, 0x40) << "BUFE where the drive offers it: " << page;
    EXPECT_EQ(multisession & 0xC0, 0) << page;
    EXPECT_EQ(multisession & 0x0F, 4) << "a data track: " << page;
    EXPECT_EQ(blockType & 0x0F, 8) << page;
    // The recorder's quirk from its selection: the close returns at once, the writer then waits
    // for the fixation.
    EXPECT_EQ(r[close].cdb[1] & 1, 1) << "closed with IMMED";
    EXPECT_TRUE(std::any_of(r.begin() + static_cast<std::ptrdiff_t>(close), r.end(),
                            [](const Request& q) { return q.op == 0x00 && !q.ok; }))
        << "the drive not ready while it fixates, and waited for";

    const auto state = ReadState(folder.Path("disc.state"));
    EXPECT_EQ(state.at("status"), "complete");
    EXPECT_EQ(state.at("tray"), expected.tray);
    EXPECT_EQ(std::count(state.at("sessions").begin(), state.at("sessions").end(), ':'), expected.sessions)
        << state.at("sessions");
    EXPECT_EQ(state.at("track_modes"), expected.sessions == 2 ? "4 4 " : "4 ") << "data tracks on the disc";

    if (expected.sessionStart != 0) return;  // laid out elsewhere than the tool's image
    std::string disc = ReadAll(folder.Path(expected.image));
    ASSERT_GE(disc.size(), mastered.size());
    disc.resize(mastered.size());
    const std::string a = WithoutDotDates(disc), b = WithoutDotDates(mastered);
    const auto differs = std::mismatch(a.begin(), a.end(), b.begin()).first;
    EXPECT_TRUE(differs == a.end()) << "first difference at byte " << (differs - a.begin());
}

// The disc as a user reads it back with the peers (osirrox, 7z and bsdtar against the folder,
// isoinfo through both trees).
void CheckWithPeers(const std::string& source, const BurnFolder& folder) {
    const HostResult peers = RunOnHost("/usr/bin/python3 '" + std::string(IMAGE_CHECKER) + "' disc '" +
                                           HostPath(folder.Path("peers")) + "' '" + HostPath(source) + "' '" +
                                           HostPath(folder.Path("disc.img")) + "'",
                                       folder.temp.Path());
    EXPECT_EQ(peers.code, 0) << peers.output;
    EXPECT_NE(peers.output.find("all checks passed"), std::string::npos) << peers.output;
}

// A burn that ended with an error: its text in the log, nothing after a failed write, the
// buttons usable again, no line of the log beyond a readable length.
void CheckFailedBurn(const BurnResult& result, const std::string& text) {
    const std::vector<Request>& r = result.requests;
    EXPECT_TRUE(result.buttonsUsable);
    const auto at = std::find(result.memo.begin(), result.memo.end(), "Write / Burn Process done with errors");
    ASSERT_NE(at, result.memo.end());
    ASSERT_NE(at + 1, result.memo.end());
    EXPECT_EQ(at[1].rfind(">>> " + text, 0), 0u) << at[1];
    EXPECT_FALSE(Has(result.memo, "CD Burning Process Complete"));
    EXPECT_FALSE(result.completedDialog);
    const std::size_t failed = IndexOf(r, [](const Request& q) { return q.op == 0x2A && !q.ok; });
    for (std::size_t i = failed + 1; i < r.size(); ++i)
        EXPECT_NE(r[i].op, 0x2A) << "nothing written after a failed write";
    EXPECT_EQ(IndexOf(r, IsEject), r.size()) << "no eject after a failure";
    // A failed write is logged; a failed command's line shows at most 257 of its data bytes.
    if (failed < r.size()) {
        EXPECT_TRUE(std::any_of(result.memo.begin(), result.memo.end(),
                                [](const std::string& line) { return line.rfind("<<< WRITE (10)", 0) == 0; }));
    }
    for (const auto& line : result.memo) {
        EXPECT_LE(line.size(), 1100u) << line.substr(0, 200);
        if (line.rfind("<<< WRITE (10)", 0) != 0) continue;
        const std::size_t data = line.find(" | "), end = line.find("= ", data);
        ASSERT_NE(end, std::string::npos) << line;
        EXPECT_EQ(end - (data + 3), 257u * 3) << line;
    }
}

TEST_F(VantburnBurn, SuccessBurnsTheImageAndEjects) {
    BurnFolder folder;
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    CheckGoodBurn(folder.Portfolio(), folder, BurnTraced(window, folder), window);
    Close(window);
}

TEST_F(VantburnBurn, CancelledConfirmationSendsNothing) {
    BurnFolder folder;
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const std::size_t before = ReadTrace(folder.Path("trace.txt")).size();
    Burn(window, false);
    EXPECT_EQ(ReadTrace(folder.Path("trace.txt")).size(), before) << "nothing sent";
    EXPECT_TRUE(IsWindowEnabled(ChildButton(window, "Burn")));
    Close(window);
}

constexpr int kWholeImage = -1;

struct FailureCase {
    const char* name;
    const char* ini;
    const char* text;
    int goodWrites;  // WRITE (10)s that went through, or the whole image
    int closes;      // CLOSE TRACK/SESSIONs sent
};

class VantburnBurnFailure : public VantburnBurn, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(VantburnBurnFailure, EndsWithItsTextAndTheButtonsBack) {
    const FailureCase& c = GetParam();
    BurnFolder folder(c.ini);
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const BurnResult result = BurnTraced(window, folder);
    const auto& r = result.requests;
    CheckFailedBurn(result, c.text);
    if (c.goodWrites == kWholeImage) {
        EXPECT_EQ(CheckWrites(r, 0), MasteredImage(folder.Portfolio(), folder).size() / 2048);
    } else {
        EXPECT_EQ(std::count_if(r.begin(), r.end(), IsGoodWrite), c.goodWrites);
    }
    EXPECT_EQ(std::count_if(r.begin(), r.end(), IsClose), c.closes);
    Close(window);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, VantburnBurnFailure,
    ::testing::Values(
        FailureCase{"NotBlank", "medium=complete\n", "DISC IS NOT BLANK OR APPENDABLE", 0, 0},
        FailureCase{"WriteError", "fault1=op=2A nth=5 sense=03/0C/00\n", "WRITER ERROR [", 4, 0},
        FailureCase{"LossOfStreaming", "underrun_free=0\nfault1=op=2A nth=5 underrun\n", "WRITER ERROR [", 4, 0},
        FailureCase{"TrayOpened", "fault1=op=2A nth=5 tray-open\n", "WRITER ERROR [", 4, 0},
        // The writer sends a refused close once more.
        FailureCase{"CloseSessionFailure", "fault1=op=5B times=2 sense=03/72/00\n",
                    "CLOSE TRACK/SESSION FAILED [MEDIUM ERROR (SESSION FIXATION ERROR)]", kWholeImage, 2},
        // The close with IMMED is taken; the fixation after it fails, told as a deferred error.
        FailureCase{"FixationFailure", "fault1=op=5B fixation-fails\n",
                    "CLOSE TRACK/SESSION FAILED [MEDIUM ERROR (SESSION FIXATION ERROR)]", kWholeImage, 1},
        FailureCase{"AnotherNextWritableAddress", "fault1=op=52 nth=2 nwa=150\n", "NEXT WRITABLE ADDRESS CHANGED", 0, 0},
        FailureCase{"TooLittleCapacity", "capacity=100\n", "NOT ENOUGH SPACE ON DISC", 0, 0}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// A request the drive never ends costs its time-out, not the burn: the disc check's READ DISC
// INFORMATION (the sixth, after the readiness waits of the layout and of the writer) is the
// burn's first request with the shortest time-out, 10 s, whose failure ends it.
TEST_F(VantburnBurn, ARequestThatNeverEndsTimesOutAndEndsTheBurn) {
    BurnFolder folder("fault1=op=51 nth=6 never\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const BurnResult result = BurnTraced(window, folder);
    CheckFailedBurn(result, "ERROR READING DISC INFORMATION [COMMAND TIMEOUT]");
    const auto& r = result.requests;
    const auto never = std::find_if(r.begin(), r.end(), [](const Request& q) { return q.never; });
    ASSERT_NE(never, r.end());
    EXPECT_EQ(never->op, 0x51);
    EXPECT_EQ(never->cdb[8], 34) << "the disc check's";
    EXPECT_EQ(IndexOf(r, IsWrite), r.size()) << "refused before any write";
    Close(window);
}

TEST_F(VantburnBurn, NothingWholeToBurnIsRefusedBeforeTheDriveIsTouched) {
    struct Case {
        const char* name;
        void (*change)(const BurnFolder&);
        const char* text;
    };
    const Case cases[] = {
        {"folder gone", [](const BurnFolder& f) { std::filesystem::remove_all(f.Portfolio()); }, "PORTFOLIO FOLDER NOT FOUND"},
        {"no file",
         [](const BurnFolder& f) {
             std::filesystem::remove_all(f.Portfolio());
             std::filesystem::create_directories(f.Portfolio() + "\\empty");
         },
         "PORTFOLIO FOLDER HOLDS NO FILE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BurnFolder folder;
        HWND window = Start(folder);
        ASSERT_NE(window, nullptr);
        c.change(folder);
        const BurnResult result = BurnTraced(window, folder);
        CheckFailedBurn(result, c.text);
        EXPECT_TRUE(result.requests.empty()) << "nothing sent";
        Close(window);
    }
}

struct TroubleCase {
    const char* name;
    const char* ini;
    int failedWrites;
    const char* absorbed;  // underruns counted by the drive
    GoodDisc disc;
};

class VantburnBurnTrouble : public VantburnBurn, public ::testing::WithParamInterface<TroubleCase> {};

TEST_P(VantburnBurnTrouble, StillEndsInAGoodDisc) {
    const TroubleCase& c = GetParam();
    BurnFolder folder(c.ini);
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const BurnResult result = BurnTraced(window, folder);
    const auto& r = result.requests;
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const Request& q) { return q.op == 0x2A && !q.ok; }),
              c.failedWrites);
    CheckGoodBurn(folder.Portfolio(), folder, result, window, c.disc);
    EXPECT_EQ(ReadState(folder.Path("disc.state"))["underruns_absorbed"], c.absorbed);
    Close(window);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, VantburnBurnTrouble,
    ::testing::Values(TroubleCase{"BusyThreeTimes", "fault1=op=2A times=3 target=08\n", 3, "0", {}},
                      TroubleCase{"UnderrunUnderProtection", "fault1=op=2A nth=5 underrun\n", 0, "1", {}},
                      TroubleCase{"NotReadyThenReady", "fault1=op=00 times=3 sense=02/04/01\n", 0, "0", {}},
                      // The writer's LOAD at its start and at its restore come first.
                      TroubleCase{"EjectRefused", "fault1=op=1B nth=3 sense=05/53/02\n", 0, "0",
                                  {.ejectLine = kEjectFailed, .tray = "closed"}}),
    [](const ::testing::TestParamInfo<TroubleCase>& info) { return std::string(info.param.name); });

// An appendable disc takes the portfolio as a new session at its next writable address.
TEST_F(VantburnBurn, AnAppendableDiscTakesANewSessionAtItsNextWritableAddress) {
    BurnFolder folder("medium=appendable\n");
    // A small portfolio, so that the post-gap pads the session to 300 sectors.
    ASSERT_TRUE(DeleteFileA((folder.Portfolio() + "\\pictures\\one.jpg").c_str()));
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const auto before = ReadState(folder.Path("disc.state"));
    ASSERT_EQ(before.count("next_writable"), 1u);
    const auto start = static_cast<std::uint32_t>(std::stoul(before.at("next_writable")));
    ASSERT_GT(start, 0u);
    const BurnResult result = BurnTraced(window, folder);
    CheckGoodBurn(folder.Portfolio(), folder, result, window, {.sessionStart = start, .sessions = 2});

    // The layout's rule: the files follow the metadata from sector 150 on, or right after it when
    // it ends beyond 150, as it does at any later session start. The tool's image of the folder,
    // laid out at 0, gives both lengths: its metadata ends where its zero padding begins, its
    // files end at its volume size.
    const std::string mastered = MasteredImage(folder.Portfolio(), folder);
    const auto sector = [&](std::uint32_t n) { return std::string_view(mastered).substr(std::size_t{n} * 2048, 2048); };
    const auto* pvd = reinterpret_cast<const std::uint8_t*>(sector(16).data());
    const std::uint32_t length = pvd[80] | pvd[81] << 8 | pvd[82] << 16 | static_cast<std::uint32_t>(pvd[83]) << 24;
    ASSERT_GT(length, kFirstFileSector);
    std::uint32_t metadataEnd = kFirstFileSector;
    while (sector(metadataEnd - 1).find_first_not_of('\0') == std::string_view::npos) --metadataEnd;
    const std::uint32_t end = start + metadataEnd + (length - kFirstFileSector);
    const auto written = static_cast<std::uint32_t>(mastered.size() / 2048);
    EXPECT_LT(end, start + written) << "the volume ends below the sectors written";
    const HostResult info = RunOnHost(
        "isoinfo -d -T " + std::to_string(start) + " -i '" + HostPath(folder.Path("disc.img")) + "'", folder.temp.Path());
    EXPECT_EQ(info.code, 0) << info.output;
    EXPECT_NE(info.output.find("Volume size is: " + std::to_string(end) + "\n"), std::string::npos)
        << "E = " << end << "\n" << info.output;
    Close(window);
}

// Two burns in one window session, a blank disc pushed in between as a user does: the second
// disc holds the folder as it stands then, each file once, none deleted since.
TEST_F(VantburnBurn, ASecondBurnBurnsTheFolderAsItStandsThen) {
    BurnFolder folder("fresh_disc_after_eject=1\nclose_tray=close-tray\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    CheckGoodBurn(folder.Portfolio(), folder, BurnTraced(window, folder), window);
    ASSERT_TRUE(DeleteFileA((folder.Portfolio() + "\\pictures\\two.jpg").c_str()));
    std::ofstream(folder.Path("close-tray")).put('\n');
    CheckGoodBurn(folder.Portfolio(), folder, BurnTraced(window, folder), window, {.image = "disc-1.img"});
    Close(window);
}

TEST_F(VantburnBurn, NoOtherDeviceOrSpeedCanBePickedWhileTheWriterRuns) {
    // Slow writes, so that the burn is seen running.
    BurnFolder folder("fault1=op=2A times=ever delay=100\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    SendMessageA(lists_.speeds, CB_SETCURSEL, k48X, 0);
    ASSERT_TRUE(testsupport::ClickButton(window, "Burn"));
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(testsupport::ClickButton(box, "OK"));
    HWND burn = ChildButton(window, "Burn");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(burn); }));
    EXPECT_FALSE(IsWindowEnabled(lists_.drives));
    EXPECT_FALSE(IsWindowEnabled(lists_.speeds));
    EXPECT_FALSE(IsWindowEnabled(ChildButton(window, "Close")));
    // Once it is over, both lists are back.
    ASSERT_TRUE(WaitUntil([&] {
        if (HWND done = OpenDialog(pid_, kTitle)) testsupport::ClickButton(done, "OK");
        return IsWindowEnabled(burn) != FALSE;
    }, 120s));
    EXPECT_TRUE(IsWindowEnabled(lists_.drives));
    EXPECT_TRUE(IsWindowEnabled(lists_.speeds));
    Close(window);
}

// A blank disc laid on the tray the last burn ejected, confirmed without pushing it in: the
// burn loads it before it asks the drive anything. A burn whose tray is in loads nothing
// before the writer does.
TEST_F(VantburnBurn, ASecondBurnLoadsAFreshDiscLaidOnTheEjectedTray) {
    BurnFolder folder("fresh_disc_after_eject=1\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const BurnResult first = BurnTraced(window, folder);
    CheckGoodBurn(folder.Portfolio(), folder, first, window);
    EXPECT_LT(IndexOf(first.requests, IsTrackInformation), IndexOf(first.requests, IsLoad))
        << "the tray was in: the first LOAD is the writer's";
    const BurnResult second = BurnTraced(window, folder);
    CheckGoodBurn(folder.Portfolio(), folder, second, window, {.image = "disc-1.img"});
    ASSERT_LT(IndexOf(second.requests, IsLoad), second.requests.size());
    EXPECT_EQ(IndexOf(second.requests, IsLoad), IndexOf(second.requests, IsQuestion))
        << "the LOAD comes before any other question";
    Close(window);
}

// A second burn that fails before it writes shows nothing written: neither the first burn's
// full bar nor its "Closing CD" line.
TEST_F(VantburnBurn, ASecondBurnThatFailsBeforeWritingShowsNothingWritten) {
    BurnFolder folder("fresh_disc_after_eject=1\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    CheckGoodBurn(folder.Portfolio(), folder, BurnTraced(window, folder), window);
    EXPECT_GT(LimePixelsOfTheBar(window), 0) << "the first burn's bar is full";
    HANDLE held = CreateFileA((folder.Portfolio() + "\\pictures\\two.jpg").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const BurnResult result = BurnTraced(window, folder);
    CloseHandle(held);
    CheckFailedBurn(result, "CAN'T OPEN FILE \"");
    EXPECT_EQ(Count(result.memo, "Closing CD, please wait..."), 0u);
    EXPECT_EQ(LimePixelsOfTheBar(window), 0) << "the bar shows nothing written";
    Close(window);
}

// Alt+F4, the task bar's Close (its WM_SYSCOMMAND) and WM_CLOSE while the writer runs: the
// window stays, answers at once and says why in its log; once the burn is over Close ends it.
TEST_F(VantburnBurn, ClosingIsRefusedWhileTheBurnRuns) {
    constexpr char kRefused[] = "The burn is still running: the window can be closed once it is done.";
    BurnFolder folder("fault1=op=2A times=ever delay=600\n");  // slow writes: the burn is seen running
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(StartBurn(window));
    const auto refusals = [&] { return Count(MemoLines(window), kRefused); };
    struct Way {
        const char* name;
        void (*close)(HWND);
    };
    const Way ways[] = {
        {"Alt+F4",
         [](HWND w) {
             SetForegroundWindow(w);
             INPUT keys[4] = {};
             for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
             keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
             keys[1].ki.wVk = keys[2].ki.wVk = VK_F4;
             keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
             SendInput(4, keys, sizeof keys[0]);
         }},
        {"the task bar's Close", [](HWND w) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }},
    };
    std::size_t expected = 0;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        way.close(window);
        ++expected;
        EXPECT_TRUE(WaitUntil([&] { return refusals() >= expected; })) << MemoText(window);
        EXPECT_TRUE(IsWindowVisible(window));
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0) << "it answers";
    }
    EXPECT_EQ(refusals(), expected);
    EXPECT_FALSE(IsWindowEnabled(ChildButton(window, "Burn"))) << "still burning";
    ASSERT_TRUE(WaitForBurnEnd(window));
    EXPECT_TRUE(Has(MemoLines(window), kEjectDone));
    Close(window);
}

// However long the log grows, its newest line is in view: lines are added at its end.
TEST_F(VantburnBurn, TheLogKeepsItsNewestLineInView) {
    BurnFolder folder("fault1=op=2A times=ever delay=600\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(StartBurn(window));
    // The refusal of a close adds a line on demand.
    for (int i = 0; i < 40; ++i) PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return MemoLines(window).size() >= 40; }));
    EXPECT_TRUE(LastLogLineInView(window));
    ASSERT_TRUE(WaitForBurnEnd(window));
    EXPECT_TRUE(LastLogLineInView(window));
    Close(window);
}

TEST_F(VantburnBurn, AFileHeldOpenEndsTheBurnBeforeTheDriveIsLoaded) {
    BurnFolder folder;
    // Held by this process, without sharing: vantburn cannot open it.
    HANDLE held = CreateFileA((folder.Portfolio() + "\\pictures\\two.jpg").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const BurnResult result = BurnTraced(window, folder);
    CloseHandle(held);
    CheckFailedBurn(result, "CAN'T OPEN FILE \"");
    EXPECT_EQ(IndexOf(result.requests, IsLoad), result.requests.size()) << "no LOAD";
    EXPECT_EQ(IndexOf(result.requests, IsWrite), result.requests.size()) << "no WRITE";
    Close(window);
}

// The log shows a file's name as it is: the engine's UTF-8 line reaches the ANSI memo converted.
TEST_F(VantburnBurn, AFileHeldOpenIsNamedInTheLogAsItIsNamed) {
    BurnFolder folder;
    const std::string held = folder.Portfolio() + "\\caf\xE9.html";
    WriteFileAt(held, "<html></html>\n");
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const BurnResult result = BurnTraced(window, folder);
    CloseHandle(file);
    CheckFailedBurn(result, "CAN'T OPEN FILE \"");
    EXPECT_TRUE(std::any_of(result.memo.begin(), result.memo.end(), [](const std::string& line) {
        return line.find("\\caf\xE9.html\"") != std::string::npos;
    }));
    Close(window);
}

// Names outside ASCII, in the ANSI code page (1252) of the test's Wine: a program folder under a
// user "José", a portfolio "Zoë" holding "café.html". The window's paths go wide end to end: the
// disc holds every file, read back by the peers, and the window shows the name as it is.
TEST_F(VantburnBurn, APortfolioAndAProgramFolderNamedOutsideAsciiAreBurnt) {
    BurnFolder folder({}, "Zo\xEB", "Jos\xE9");
    WriteFileAt(folder.Portfolio() + "\\caf\xE9.html", "<html><body>Caf&eacute;</body></html>\n");
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    const auto boxes = Children(window, "GROUPBOX");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(testsupport::WindowText(boxes[0]), " Zo\xEB ");
    CheckGoodBurn(folder.Portfolio(), folder, BurnTraced(window, folder), window);
    CheckWithPeers(folder.Portfolio(), folder);
    Close(window);
}

// The site vantrell builds, burnt from its Build & Burn: the disc is what a user reads back with
// the peers. The name has a blank and a letter outside ASCII (ANSI, code page 1252): vantrell
// hands it over whole and intact.
TEST_F(VantburnBurn, BuildAndBurnInVantrellBurnsTheSiteItBuilt) {
    BurnFolder folder;
    const std::string built = testsupport::ExecutableFolder();
    ASSERT_TRUE(CopyFileA((built + "..\\editor\\vantrell.exe").c_str(), folder.Path("vantrell.exe").c_str(), FALSE));
    std::filesystem::create_directories(folder.Path("html"));
    std::filesystem::copy(TEMPLATE_FOLDER, folder.Path("html\\Default"), std::filesystem::copy_options::recursive);
    ProcessUnderTest vantrell(folder.Path("vantrell.exe"), "", folder.temp.Path());
    HWND editor = vantrell.WaitForWindow("Vantrell - Biography");
    ASSERT_NE(editor, nullptr);
    HWND buildAndBurn = ChildButton(editor, "Build && B&urn");
    ASSERT_NE(buildAndBurn, nullptr);
    // The name box: the edit on the button's row.
    HWND name = nullptr;
    RECT button;
    GetWindowRect(buildAndBurn, &button);
    for (HWND edit : Children(GetParent(buildAndBurn), "EDIT")) {
        RECT r;
        GetWindowRect(edit, &r);
        if (std::abs(r.top - button.top) < 10) name = edit;
    }
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Summer Zo\xEB"));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(buildAndBurn) != FALSE; }));
    PostMessageA(buildAndBurn, BM_CLICK, 0, 0);

    HWND window = Attach(WaitForAnyWindow(kWindowCaption));
    ASSERT_NE(window, nullptr) << "vantburn did not come up";
    const std::string site = folder.Path("Distributable\\Summer Zo\xEB");
    CheckGoodBurn(site, folder, BurnTraced(window, folder), window);
    CheckWithPeers(site, folder);
    Close(window);
    PostMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vantrell.WaitForExit(20s));
}

}  // namespace
