// The device layers under Wine: burn_replay.exe and our WNASPI32.DLL of the Windows tree run
// from a program folder of their own, as a user would start them, and the stored image is
// checked here with the peers (cmp, isovfy, isoinfo).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "burn/tests/replay/replay_pattern.h"

namespace burn {
namespace {

namespace fs = std::filesystem;

const fs::path kWinTree = VANTRELL_WIN_TREE;

struct Result {
    int Code = -1;
    std::string Output;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Output goes through a file: Wine's service processes inherit the caller's handles and
// outlive it, and would hold a pipe open.
Result Shell(const std::string& command) {
    char name[] = "/tmp/vcdr-shell-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    Result r;
    const int status = std::system((command + " >" + name + " 2>&1 </dev/null").c_str());
    r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Output = ReadFile(name);
    std::remove(name);
    return r;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string Prefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix ? prefix : VANTRELL_WINE_PREFIX;
}

std::string WineEnvironment(const std::string& overrides) {
    return "WINEPREFIX=" + Quote(Prefix()) + " WINEDEBUG=-all WINEDLLOVERRIDES=" + Quote("mscoree,mshtml=;" + overrides);
}

// A program folder holding burn_replay.exe, our WNASPI32.DLL and its vcdr.ini.
class ProgramFolder : public testing::Test {
protected:
    void SetUp() override {
        const fs::path exe = kWinTree / "burn" / "burn_replay.exe";
        const fs::path dll = kWinTree / "tests" / "virtual_recorder" / "WNASPI32.dll";
        ASSERT_TRUE(fs::exists(exe) && fs::exists(dll)) << "build the Windows tree first (./build.sh)";
        std::random_device rd;
        folder_ = fs::temp_directory_path() / ("vcdr-wine-" + std::to_string(rd()));
        fs::create_directories(folder_);
        fs::copy_file(exe, folder_ / "burn_replay.exe");
        fs::copy_file(dll, folder_ / "WNASPI32.DLL");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void WriteIni(bool asynchronous, const std::string& more = "") {
        std::ofstream(folder_ / "vcdr.ini") << "[recorder]\nasynchronous=" << asynchronous
                                            << "\n[device0]\naddress=0:1:0\nletter=E\nmedium=blank\n"
                                               "image=disc.img\nstate=disc.state\ntrace=trace.txt\n"
                                            << more;
    }
    Result Replay(const std::string& args, const std::string& overrides = "wnaspi32=n") {
        return Shell("cd " + Quote(folder_.string()) + " && " + WineEnvironment(overrides) +
                     " timeout 300 wine burn_replay.exe " + args);
    }
    fs::path folder_;
};

TEST_F(ProgramFolder, BurnThroughOurLibraryAtOnceAndFromItsThread) {
    for (bool asynchronous : {false, true}) {
        SCOPED_TRACE(asynchronous ? "asynchronous" : "at once");
        std::error_code ignored;
        fs::remove(folder_ / "disc.img", ignored);
        fs::remove(folder_ / "trace.txt", ignored);
        WriteIni(asynchronous);
        const Result r = Replay("--pattern 300");
        ASSERT_EQ(r.Code, 0) << r.Output;
        EXPECT_NE(r.Output.find("burned 300 sectors at 0"), std::string::npos) << r.Output;
        const auto pattern = testing_support::ReplayPattern(300);
        EXPECT_TRUE(ReadFile(folder_ / "disc.img") == std::string(pattern.begin(), pattern.end()));
        EXPECT_NE(ReadFile(folder_ / "disc.state").find("status=complete\n"), std::string::npos);
        const std::string trace = ReadFile(folder_ / "trace.txt");
        std::size_t writes = 0;
        for (std::size_t at = 0; (at = trace.find(" WRITE (10) 2A ", at)) != std::string::npos; ++at) ++writes;
        EXPECT_EQ(writes, 10u) << trace;
        for (const char* command : {" INQUIRY 12 ", " MODE SENSE (10) 5A ", " READ DISC INFORMATION 51 ",
                                    " READ TRACK INFORMATION 52 ", " SYNCHRONIZE CACHE 35 ", " CLOSE TRACK/SESSION 5B "}) {
            EXPECT_NE(trace.find(command), std::string::npos) << command;
        }
    }
}

// Each start of a program loads our library afresh: the disc a burn left in disc.img stays as
// it is, and the next start's blank disc goes to the next numbered image.
TEST_F(ProgramFolder, ALaterStartKeepsTheDiscAnEarlierBurnLeft) {
    WriteIni(false);
    const std::pair<const char*, std::size_t> burns[] = {{"disc.img", 300}, {"disc-1.img", 120}, {"disc-2.img", 40}};
    for (const auto& [name, sectors] : burns) {
        const Result r = Replay("--pattern " + std::to_string(sectors));
        ASSERT_EQ(r.Code, 0) << r.Output;
        const std::string state = ReadFile(folder_ / "disc.state");
        EXPECT_TRUE(state.find(std::string("\\") + name + "\n") != std::string::npos ||
                    state.find(std::string("/") + name + "\n") != std::string::npos)
            << "the state names the image of the disc in the drive: " << state;
    }
    for (const auto& [name, sectors] : burns) {
        const auto pattern = testing_support::ReplayPattern(sectors);
        EXPECT_TRUE(ReadFile(folder_ / name) == std::string(pattern.begin(), pattern.end())) << name;
    }
}

TEST_F(ProgramFolder, GenisoimageImageIsStoredByteForByteAndReadable) {
    const fs::path site = folder_ / "site";
    fs::create_directories(site / "files" / "gallery");
    std::mt19937 gen(7);
    const std::pair<const char*, std::size_t> files[] = {
        {"index.html", 4000}, {"files/about.html", 2500}, {"files/gallery/Summer shoot, beach.jpg", 300000},
        {"files/gallery/thm_Summer shoot, beach.jpg", 9000},
    };
    for (const auto& [name, size] : files) {
        std::string bytes(size, '\0');
        for (auto& b : bytes) b = static_cast<char>(gen());
        std::ofstream(site / name, std::ios::binary) << bytes;
    }
    const Result made = Shell("genisoimage -J -quiet -V PORTFOLIO -o " + Quote((folder_ / "site.iso").string()) + " " +
                              Quote(site.string()));
    ASSERT_EQ(made.Code, 0) << made.Output;
    WriteIni(false);
    const Result r = Replay("--image site.iso");
    ASSERT_EQ(r.Code, 0) << r.Output;
    const std::string image = (folder_ / "disc.img").string();
    EXPECT_EQ(Shell("cmp " + Quote((folder_ / "site.iso").string()) + " " + Quote(image)).Code, 0);
    const Result vfy = Shell("isovfy " + Quote(image));
    EXPECT_EQ(vfy.Code, 0) << vfy.Output;
    EXPECT_NE(vfy.Output.find("No errors found"), std::string::npos) << vfy.Output;
    const Result info = Shell("isoinfo -d -i " + Quote(image));
    EXPECT_NE(info.Output.find("Volume id: PORTFOLIO"), std::string::npos) << info.Output;
    EXPECT_NE(info.Output.find("Joliet with UCS level 3 found"), std::string::npos) << info.Output;
    const Result names = Shell("isoinfo -J -f -i " + Quote(image));
    EXPECT_NE(names.Output.find("/files/gallery/Summer shoot, beach.jpg"), std::string::npos) << names.Output;
}

// The system's event wait: a request the recorder never ends fails as a time-out after the
// 10 s floor, aborted and ended by the abort from the recorder's own thread.
TEST_F(ProgramFolder, RequestThatNeverEndsTimesOutAfterTheFloor) {
    WriteIni(true, "fault1=op=00 never\n");
    const Result r = Replay("--ready");
    ASSERT_EQ(r.Code, 0) << r.Output;
    const std::string timedOut = "ready=0 error=COMMAND TIMEOUT ms=";
    const auto at = r.Output.find(timedOut);
    ASSERT_NE(at, std::string::npos) << r.Output;
    const unsigned long ms = std::stoul(r.Output.substr(at + timedOut.size()));
    EXPECT_GE(ms, 9900u);
    EXPECT_LT(ms, 10000u + 5000u) << "the abort ends the request at once";
    EXPECT_NE(r.Output.find(" abandoned=0"), std::string::npos) << r.Output;
    EXPECT_NE(ReadFile(folder_ / "trace.txt").find(" TEST UNIT READY 00 cdb=000000000000 -> 01/00/00 sense=0/00/00 never"),
              std::string::npos);
}

// Wine's own library takes an execute request, leaves it pending and never signals it, nor
// ends it on an abort: after the time-out and the abort's grace the request is left alive.
TEST_F(ProgramFolder, RequestWinesLibraryNeverEndsIsLeftAlive) {
    WriteIni(false);
    const Result r = Replay("--ready 0:0", "");
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_NE(r.Output.find("ready=0 error=COMMAND TIMEOUT ms="), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find(" abandoned=1"), std::string::npos) << r.Output;
}

TEST_F(ProgramFolder, BadIniLeavesNoAdaptersAndSaysWhy) {
    std::ofstream(folder_ / "vcdr.ini") << "[device0]\nmedium=floppy\n";
    const Result r = Replay("--load");
    EXPECT_NE(r.Output.find("loaded=1 layer=WNASPI32.DLL support=E800"), std::string::npos) << r.Output;
    EXPECT_NE(ReadFile(folder_ / "vcdr-error.txt").find("unknown medium \"floppy\""), std::string::npos);
}

TEST_F(ProgramFolder, WithTheLibraryDisabledTheLoadFails) {
    WriteIni(false);
    // A fresh prefix has only C: and Z:, both fixed: the pass-through layer finds no drive either.
    const Result r = Replay("--load", "wnaspi32=d");
    EXPECT_NE(r.Output.find("loaded=0 layer= "), std::string::npos) << r.Output;
}

TEST_F(ProgramFolder, WithoutTheOverrideWinesOwnLibraryAnswersNoAdapters) {
    WriteIni(false);
    const Result r = Replay("--load", "");
    EXPECT_NE(r.Output.find("loaded=1 layer=WNASPI32.DLL support=E800"), std::string::npos) << r.Output;
    EXPECT_FALSE(fs::exists(folder_ / "disc.state")) << "our library answered";
}

// A CD-ROM letter backed by a folder: the platform calls it a CD-ROM drive, but the drive
// answers no pass-through request, so the layer does not list it.
TEST_F(ProgramFolder, FolderBackedCdRomLetterIsNotListed) {
    const fs::path link = fs::path(Prefix()) / "dosdevices" / "d:";
    std::error_code error;
    if (fs::is_symlink(link, error) || fs::exists(link, error)) GTEST_SKIP() << "the prefix already has a D: drive";
    const fs::path backing = folder_ / "cd";
    fs::create_directories(backing);
    const std::string env = WineEnvironment("");
    const std::string restart = "wineserver -k; wineserver -w; ";
    fs::create_directory_symlink(backing, link);
    Shell(env + " wine reg add 'HKLM\\Software\\Wine\\Drives' /v d: /d cdrom /f");
    // The mount manager reads drive types when it starts.
    Shell(env + " sh -c " + Quote(restart));
    const Result r = Replay("--spti", "");
    Shell(env + " wine reg delete 'HKLM\\Software\\Wine\\Drives' /v d: /f");
    fs::remove(link, error);
    // Back to one lasting server, as the test run keeps it, with its services started here:
    // a service started later by another test's program would hold that program's pipes.
    Shell(env + " sh -c " + Quote(restart + "wineserver -p"));
    Shell(env + " wine cmd /c exit 0");
    EXPECT_NE(r.Output.find("type D:=5 drives=0"), std::string::npos) << r.Output;
}

// The burner's own burn: a folder mastered and burnt with BurnCD, the cache thread and the writer
// at their priorities and the system's clock and events, through our library answering from its
// own thread. The stored disc is read back by the peers. The waits for the drive to be ready
// make it last about 9 s.
TEST_F(ProgramFolder, BurnCDBurnsAFolderThatThePeersReadBack) {
    const fs::path site = folder_ / "site";
    fs::create_directories(site / "files" / "gallery");
    std::mt19937 gen(11);
    const std::pair<const char*, std::size_t> files[] = {
        {"index.html", 4000}, {"files/about.html", 2500}, {"files/gallery/Summer shoot, beach.jpg", 700000},
        {"files/gallery/thm_Summer shoot, beach.jpg", 9000}, {"files/empty.txt", 0},
    };
    for (const auto& [name, size] : files) {
        std::string bytes(size, '\0');
        for (auto& b : bytes) b = static_cast<char>(gen());
        std::ofstream(site / name, std::ios::binary) << bytes;
    }
    std::string source = "Z:" + site.string();
    std::replace(source.begin(), source.end(), '/', '\\');
    WriteIni(true);
    const Result r = Replay("--burn " + Quote(source));
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_NE(r.Output.find(">>> STARTING WRITE PROCESS ON CD-R AT 48X"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("started=1 done=1 on another thread"), std::string::npos) << r.Output;
    EXPECT_NE(ReadFile(folder_ / "disc.state").find("status=complete\n"), std::string::npos);

    const std::string trace = ReadFile(folder_ / "trace.txt");
    const std::size_t lastWrite = trace.rfind(" WRITE (10) 2A "), flush = trace.find(" SYNCHRONIZE CACHE 35 ", lastWrite),
                      close = trace.find(" CLOSE TRACK/SESSION 5B ", flush),
                      allow = trace.find(" PREVENT/ALLOW REMOVAL 1E ", close);
    ASSERT_NE(lastWrite, std::string::npos) << trace;
    EXPECT_NE(flush, std::string::npos) << "the flush after the last write";
    EXPECT_NE(close, std::string::npos) << "the close after the flush";
    EXPECT_NE(allow, std::string::npos) << "the restore after the close";

    const std::string image = (folder_ / "disc.img").string();
    const Result vfy = Shell("isovfy " + Quote(image));
    EXPECT_NE(vfy.Output.find("No errors found"), std::string::npos) << vfy.Output;
    const Result extract = Shell("7z x -o" + Quote((folder_ / "out").string()) + " " + Quote(image));
    ASSERT_EQ(extract.Code, 0) << extract.Output;
    const Result diff = Shell("diff -r " + Quote(site.string()) + " " + Quote((folder_ / "out").string()));
    EXPECT_EQ(diff.Code, 0) << diff.Output;
}

}  // namespace
}  // namespace burn

namespace burn {
namespace {

// A disc holding a genisoimage -J session left appendable gets a second session: the last
// session imported, new files added and the result written at the next writable address. The
// peers read the old files from their first-session sectors beside the new ones.
TEST_F(ProgramFolder, SecondSessionShowsTheFirstSessionsFilesBesideTheNewOnes) {
    std::mt19937 gen(11);
    std::map<std::string, std::string> sources;  // path in the volume: bytes
    auto make = [&](const fs::path& root, const std::string& name, std::size_t size) {
        std::string bytes(size, '\0');
        for (auto& b : bytes) b = static_cast<char>(gen());
        fs::create_directories((root / name).parent_path());
        std::ofstream(root / name, std::ios::binary) << bytes;
        sources["/" + name] = bytes;
    };
    make(folder_ / "first", "old one.txt", 5000);
    make(folder_ / "first", "photos/old two.jpeg", 70000);
    make(folder_ / "more", "new one.txt", 3000);
    make(folder_ / "more", "photos/new two.jpeg", 9000);
    const std::string image = (folder_ / "disc.img").string();
    const Result made = Shell("genisoimage -J -quiet -o " + Quote(image) + " " + Quote((folder_ / "first").string()));
    ASSERT_EQ(made.Code, 0) << made.Output;
    const std::string first = ReadFile(image);
    const std::size_t firstSectors = first.size() / 2048;
    WriteIni(false, "medium=appendable\nearlier_session=" + std::to_string(firstSectors) + "\n");

    const Result r = Replay("--append more");
    ASSERT_EQ(r.Code, 0) << r.Output;
    EXPECT_NE(r.Output.find("[1] >>> IMPORTING SESSION # 1"), std::string::npos) << r.Output;
    unsigned sectors = 0, start = 0, end = 0;
    const auto at = r.Output.find("appended ");
    ASSERT_NE(at, std::string::npos) << r.Output;
    ASSERT_EQ(std::sscanf(r.Output.c_str() + at, "appended %u sectors at %u, volume end %u", &sectors, &start, &end), 3);
    EXPECT_EQ(start, firstSectors + 11400) << "the next writable address after the first session";
    EXPECT_EQ(ReadFile(image).substr(0, first.size()), first) << "the first session is untouched";
    EXPECT_NE(ReadFile(folder_ / "disc.state").find("status=appendable\n"), std::string::npos);

    const std::string sb = std::to_string(start);
    const Result names = Shell("isoinfo -T " + sb + " -J -f -i " + Quote(image));
    for (const auto& [path, bytes] : sources) EXPECT_NE(names.Output.find(path + ";1\n"), std::string::npos) << path << names.Output;
    // Each file's extent: the old ones in the first session, the new ones in the second.
    const Result listing = Shell("isoinfo -T " + sb + " -J -l -i " + Quote(image));
    std::istringstream lines(listing.Output);
    int placed = 0;
    for (std::string line; std::getline(lines, line);) {
        const auto open = line.find('['), close = line.find(" 00]");
        if (open == std::string::npos || close == std::string::npos || line[0] == 'd') continue;
        const unsigned extent = std::stoul(line.substr(open + 1, close - open - 1));
        const std::string name = line.substr(close + 6);
        if (name.starts_with("old")) EXPECT_LT(extent, firstSectors) << line;
        if (name.starts_with("new")) EXPECT_GE(extent, start) << line;
        ++placed;
    }
    EXPECT_EQ(placed, 4) << listing.Output;
    const fs::path out = folder_ / "extracted";
    const Result extracted = Shell("osirrox -indev " + Quote(image) + " -load sbsector " + sb + " -extract / " +
                                   Quote(out.string()));
    ASSERT_EQ(extracted.Code, 0) << extracted.Output;
    for (const auto& [path, bytes] : sources) EXPECT_TRUE(ReadFile(out.string() + path) == bytes) << path;
    const Result info = Shell("isoinfo -d -T " + sb + " -i " + Quote(image));
    EXPECT_NE(info.Output.find("Volume size is: " + std::to_string(end) + "\n"), std::string::npos) << info.Output;
}

}  // namespace
}  // namespace burn
