// burn_mkimage.exe of the Windows tree masters fixture trees under Wine, and check_image.py reads
// each image back with the peers (isovfy, isoinfo, osirrox, 7z, bsdtar, pycdlib, xorriso).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace burn {
namespace {

namespace fs = std::filesystem;

struct Result {
    int code = -1;
    std::string output;
};

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Output goes through a file: Wine's service processes outlive the program and would hold a pipe.
Result Shell(const std::string& command) {
    char name[] = "/tmp/vburn-peers-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    const int status = std::system((command + " >" + name + " 2>&1 </dev/null").c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(name, std::ios::binary);
    r.output.assign(std::istreambuf_iterator<char>(in), {});
    std::remove(name);
    return r;
}

Result Check(const std::string& fixture) {
    const fs::path exe = fs::path(VANTRELL_WIN_TREE) / "burn" / "burn_mkimage.exe";
    if (!fs::exists(exe)) return {-1, "build the Windows tree first (./build.sh)"};
    const char* prefix = std::getenv("WINEPREFIX");
    const fs::path work = fs::path(MASTERING_WORK) / fixture;
    return Shell("WINEPREFIX=" + Quote(prefix ? prefix : VANTRELL_WINE_PREFIX) + " /usr/bin/python3 " +
                 Quote(MASTERING_CHECKER) + " " + fixture + " " + Quote(work.string()) + " " + Quote(exe.string()) +
                 " " + Quote(SAMPLE_SITE) + " " + Quote(TEMPLATE_FOLDER));
}

class MasteredImage : public ::testing::TestWithParam<const char*> {};

TEST_P(MasteredImage, ReadsBackThroughEveryPeer) {
    const Result r = Check(GetParam());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("all checks passed"), std::string::npos) << r.output;
}

// awkward: blanks, cp1252 and other letters, README, empty and block-sized files, names at the
// record-fit limits, a hidden file, ";", ten levels, 1500 thumbnails in one folder.
// portfolio: a site built by the site build from the shipped Default template. empty: nothing.
// dates: January files mastered under two time zones.
INSTANTIATE_TEST_SUITE_P(Fixtures, MasteredImage, ::testing::Values("awkward", "portfolio", "empty", "dates"));

}  // namespace
}  // namespace burn
