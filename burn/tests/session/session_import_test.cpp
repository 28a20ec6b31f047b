// The session import over images the peers make (genisoimage, xorriso), some patched by
// patch_image.py: every file it enters must be a real one whose data lie at its extent.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "burn/portable/joliet_names.h"
#include "burn/portable/session_import.h"

namespace burn {
namespace {

namespace fs = std::filesystem;

std::string Bytes(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : s) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

std::string Shell(const std::string& command, int* code = nullptr) {
    const fs::path out = fs::temp_directory_path() / ("session-run-" + std::to_string(std::random_device{}()));
    const int status = std::system(("(" + command + ") >'" + out.string() + "' 2>&1").c_str());
    std::ifstream in(out, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    fs::remove(out);
    if (code) *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

struct Imported {
    std::string path;  // Joliet names from the root joined by "/"
    const TFEntry* entry;
};

// A source folder made in a temporary place, mastered by a peer into an image.
class PeerImage : public testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("session-import-" + std::to_string(std::random_device{}()));
        fs::create_directories(work_ / "src");
        tree_.log = [this](const std::string& line, std::uint8_t level) { log_.push_back({line, level}); };
    }
    void TearDown() override { fs::remove_all(work_); }

    void File(const std::string& path, std::size_t size, const char* folder = "src") {
        fs::create_directories((work_ / folder / path).parent_path());
        sources_[path] = Bytes(size, static_cast<unsigned>(sources_.size() + 1));
        std::ofstream(work_ / folder / path, std::ios::binary) << sources_[path];
    }
    void Folder(const std::string& path) { fs::create_directories(work_ / "src" / path); }

    // tool: "genisoimage" or "xorriso -as mkisofs", then its options.
    void Master(const std::string& tool) {
        int code = 0;
        const std::string src = (work_ / "src").string();
        Shell("find '" + src + "' -exec touch -h -d '2021-03-04 05:06:07 UTC' {} +");
        const std::string out = Shell("TZ=UTC " + tool + " -quiet -o '" + Image() + "' '" + src + "'", &code);
        ASSERT_EQ(code, 0) << out;
        Load();
    }
    void Patch(const std::string& args, std::string* printed = nullptr) {
        int code = 0;
        const std::string out = Shell("python3 '" PATCH_IMAGE "' '" + Image() + "' " + args, &code);
        ASSERT_EQ(code, 0) << out;
        if (printed) *printed = out.substr(0, out.find('\n'));
        Load();
    }
    std::string Image() const { return (work_ / "image.iso").string(); }
    void Load() {
        std::ifstream in(Image(), std::ios::binary);
        image_.assign(std::istreambuf_iterator<char>(in), {});
        ASSERT_EQ(image_.size() % 2048, 0u);
    }
    SessionDisc Disc(std::uint32_t start = 0) {
        SessionDisc disc;
        disc.sessionCount = [] { return 1; };
        disc.sessionStart = [start](int, int) { return std::optional<std::uint32_t>(start); };
        disc.recordedEnd = [this] { return std::optional<std::uint32_t>(image_.size() / 2048); };
        disc.read = [this](std::uint32_t lba, std::uint8_t* sector) {
            if (std::uint64_t{lba} * 2048 + 2048 > image_.size()) return false;
            std::copy_n(image_.begin() + std::size_t{lba} * 2048, 2048, sector);
            return true;
        };
        return disc;
    }
    bool Import(int number = 1, std::uint32_t start = 0) { return ImportSession(tree_, number, nullptr, Disc(start)); }

    std::vector<Imported> Entries() const {
        std::vector<Imported> out;
        Walk(tree_.Root(), "", out);
        return out;
    }
    static void Walk(const TDEntry* dir, const std::string& prefix, std::vector<Imported>& out) {
        for (const TFEntry* e = dir->firstChild; e; e = e->next) {
            out.push_back({prefix + Utf8(e->jolietName), e});
            if (e->IsDirectory()) Walk(e->directory, prefix + Utf8(e->jolietName) + "/", out);
        }
    }
    std::vector<std::string> FilePaths() const {
        std::vector<std::string> out;
        for (const auto& i : Entries())
            if (!i.entry->IsDirectory()) out.push_back(i.path);
        std::sort(out.begin(), out.end());
        return out;
    }
    // Every imported file is one of the sources (named as `name` maps it) with its data at its extent.
    void ExpectRealFiles(std::string (*name)(const std::string&)) const {
        std::map<std::string, std::string> byName;
        for (const auto& [path, bytes] : sources_) byName[name(path)] = bytes;
        for (const auto& i : Entries()) {
            SCOPED_TRACE(i.path);
            const TFEntry& e = *i.entry;
            EXPECT_TRUE(e.sourcePath.empty());
            if (e.IsDirectory()) {
                EXPECT_EQ(e.attributes & kAttrDirectory, kAttrDirectory);
                continue;
            }
            const auto it = byName.find(i.path);
            ASSERT_NE(it, byName.end()) << "an entry that is no source file";
            ASSERT_EQ(e.isoSize, it->second.size());
            EXPECT_EQ(e.jolietSize, e.isoSize);
            if (e.isoSize == 0) continue;
            EXPECT_TRUE(e.imported);
            EXPECT_EQ(e.jolietExtent, e.isoExtent);
            ASSERT_LE(std::uint64_t{e.isoExtent} * 2048 + e.isoSize, image_.size());
            EXPECT_TRUE(std::equal(it->second.begin(), it->second.end(), image_.begin() + std::size_t{e.isoExtent} * 2048,
                                   [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
        }
    }
    static std::string SameName(const std::string& path) { return path; }
    // A Joliet file name without a "." gets one in the tree.
    static std::string TreeName(const std::string& path) {
        const std::size_t slash = path.rfind('/') + 1;
        return path.find('.', slash) == std::string::npos ? path + "." : path;
    }
    static std::string IsoName(const std::string& path) { return UpperAscii(path); }
    bool Logged(const std::string& text, std::uint8_t level) const {
        return std::any_of(log_.begin(), log_.end(),
                           [&](const auto& l) { return l.first.find(text) != std::string::npos && l.second == level; });
    }

    fs::path work_;
    std::map<std::string, std::string> sources_;  // path below src: bytes
    std::vector<std::uint8_t> image_;
    FileTree tree_;
    std::vector<std::pair<std::string, std::uint8_t>> log_;
};

TEST_F(PeerImage, OneSessionWithJolietIsImportedWhateverNumberAboveItIsAsked) {
    File("Read Me First.txt", 5000);
    File("photos/Summer Beach 2021.jpeg", 70000);
    File("photos/README", 3);
    File("photos/deep/inner/note.txt", 2048);
    File("empty.dat", 0);
    Master("genisoimage -J");
    ASSERT_TRUE(Import(5));
    EXPECT_TRUE(Logged(">>> IMPORTING SESSION # 1", 1));
    EXPECT_EQ(FilePaths(), (std::vector<std::string>{"Read Me First.txt", "empty.dat", "photos/README.",
                                                      "photos/Summer Beach 2021.jpeg", "photos/deep/inner/note.txt"}));
    ExpectRealFiles(TreeName);
    for (const auto& i : Entries()) {
        EXPECT_EQ(i.entry->date, (LocalDateTime{2021, 3, 4, 5, 6, 7})) << i.path;
    }
    const TDEntry* inner = tree_.FindDir(u"\\photos\\deep\\inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->node->attributes, kAttrDirectory);
    EXPECT_EQ(tree_.FindChild(tree_.Root(), u"Read Me First.txt")->isoName, "READ_ME_FIRST.");
}

// Without a Joliet tree the primary one is read: 8.3 names without their versions, the hidden flag.
TEST_F(PeerImage, SessionWithoutJolietImportsThePrimaryTree) {
    File("alpha.txt", 3000);
    File("secret.txt", 10);
    File("docs/beta.txt", 4097);
    Master("genisoimage -hidden secret.txt");
    ASSERT_TRUE(Import());
    EXPECT_EQ(FilePaths(), (std::vector<std::string>{"ALPHA.TXT", "DOCS/BETA.TXT", "SECRET.TXT"}));
    ExpectRealFiles(IsoName);
    EXPECT_EQ(tree_.FindChild(tree_.Root(), u"SECRET.TXT")->attributes, kAttrHidden);
    EXPECT_EQ(tree_.FindChild(tree_.Root(), u"ALPHA.TXT")->attributes, 0u);
}

// System-use data after the identifier (XA, Rock Ridge) is stepped over by the record length.
TEST_F(PeerImage, PrimaryRecordsWithSystemUseDataAreSteppedByTheirLength) {
    const struct {
        const char* tool;
    } cases[] = {{"genisoimage -XA"}, {"genisoimage -R"}, {"xorriso -as mkisofs -R"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        SetUp();
        for (int i = 0; i < 30; ++i) File("f" + std::to_string(i) + ".txt", 100 + i * 700);
        File("dir/sub.txt", 5);
        Master(c.tool);
        ASSERT_TRUE(Import());
        EXPECT_EQ(FilePaths().size(), 31u);
        ExpectRealFiles(IsoName);
        TearDown();
        sources_.clear();
        tree_.ClearFiles();
    }
}

TEST_F(PeerImage, DirectoryOfSeveralSectorsContinuesInTheNextSector) {
    std::vector<std::string> names;
    for (int i = 0; i < 90; ++i) {
        names.push_back("a rather long picture name number " + std::to_string(100 + i) + ".jpeg");
        File(names.back(), 10 + i);
    }
    Master("genisoimage -J");
    ASSERT_TRUE(Import());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FilePaths(), names);
    ExpectRealFiles(SameName);
}

// The version is the last ";" with digits after it; a ";" inside a name is kept.
TEST_F(PeerImage, OnlyTheVersionIsCutFromAnIdentifier) {
    File("a_b.txt", 40);
    Master("genisoimage -J");
    Patch("joliet a_b.txt rename 'a;b.txt'");
    ASSERT_TRUE(Import());
    EXPECT_EQ(FilePaths(), (std::vector<std::string>{"a;b.txt"}));
}

// A folder whose name holds a path separator would be merged into another folder of that path.
TEST_F(PeerImage, NameWithAPathSeparatorIsSkipped) {
    File("p/q/inner.txt", 10);
    File("p_q/other.txt", 20);
    Master("genisoimage -J");
    Patch("joliet p_q rename 'p\\q'");
    ASSERT_TRUE(Import());
    EXPECT_EQ(FilePaths(), (std::vector<std::string>{"p/q/inner.txt"}));
    EXPECT_TRUE(Logged(">>> ERROR IMPORTING SESSION, INVALID NAME \"\\p\\q\"", 4));
}

TEST_F(PeerImage, RecordsWithoutAUsableNameAreSkippedAndLogged) {
    File("long/" + std::string(103, 'n'), 10);
    File("sub/inner.txt", 20);
    File("kept.txt", 30);
    Master("genisoimage -J -joliet-long");
    // 215 bytes of identifier: too long for a Joliet record; a folder with no name at all.
    Patch("joliet " + std::string(103, 'n') + " length 248");
    Patch("joliet " + std::string(103, 'n') + " idlength 215");
    Patch("joliet sub idlength 0");
    ASSERT_TRUE(Import());
    EXPECT_EQ(FilePaths(), (std::vector<std::string>{"kept.txt"}));
    ExpectRealFiles(SameName);
    EXPECT_TRUE(Logged("\n\rERROR IMPORTING SESSION, FILE NAME LENGTH EXCEEDS 120 CHARS", 4));
    EXPECT_EQ(tree_.FindDir(u"\\long")->firstChild, nullptr);
}

// Two records of one name: an associated file before the file itself, or the parts of a file
// recorded in several extents. Only a whole, real file is imported.
TEST_F(PeerImage, FileOfSeveralRecordsIsImportedOnlyWhole) {
    const struct {
        const char* flags;
        const char* logged;
        bool imported;  // x1.dat is imported, with the second record's data
    } cases[] = {{"4", nullptr, true}, {"128", "FILE OF SEVERAL EXTENTS SKIPPED \"\\x1.dat\"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        SetUp();
        File("x1.dat", 3000);
        File("x2.dat", 5000);
        File("y.dat", 10);
        Master("genisoimage -J");
        Patch(std::string("joliet x1.dat flags ") + c.flags);
        Patch("joliet x2.dat rename x1.dat");
        Import();
        sources_ = {{"x1.dat", sources_["x2.dat"]}, {"y.dat", sources_["y.dat"]}};
        ExpectRealFiles(SameName);
        EXPECT_EQ(FilePaths(), c.imported ? (std::vector<std::string>{"x1.dat", "y.dat"})
                                          : (std::vector<std::string>{"y.dat"}));
        if (c.logged) {
            EXPECT_TRUE(Logged(c.logged, 4));
        }
        TearDown();
        sources_.clear();
        tree_.ClearFiles();
        log_.clear();
    }
}

// Corrupt records end their sector or their branch; nothing imported is garbage.
TEST_F(PeerImage, CorruptRecordsAreBounded) {
    const struct {
        const char* patch;
        const char* logged;  // a level-4 line holding this, or nothing
        bool lostInSector;   // later records of the patched sector are lost
    } cases[] = {
        {"joliet 'picture 120.jpeg' length 0", nullptr, true},
        {"joliet 'picture 120.jpeg' length past", nullptr, true},
        {"joliet 'picture 120.jpeg' length 20", nullptr, true},
        {"joliet 'picture 120.jpeg' extent 4000000", "EXTENT OUTSIDE THE RECORDED AREA", false},
        {"joliet 'picture 120.jpeg' size 4000000000", "EXTENT OUTSIDE THE RECORDED AREA", false},
        {"joliet sub extent 99999", "EXTENT OUTSIDE THE RECORDED AREA", false},
        {"joliet sub loop", "DIRECTORY LOOP", false},
        {"joliet deeper loop", "DIRECTORY LOOP", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.patch);
        SetUp();
        for (int i = 0; i < 60; ++i) File("picture " + std::to_string(100 + i) + ".jpeg", 50 + i);
        File("sub/deeper/x.txt", 7);
        Master("genisoimage -J");
        std::string printed;
        Patch(c.patch, &printed);
        Import();
        ExpectRealFiles(SameName);
        const std::size_t files = FilePaths().size();
        if (c.lostInSector) {
            EXPECT_LT(files, 61u);
            EXPECT_GT(files, 10u);  // the other sectors are read
        } else {
            EXPECT_EQ(files, 60u);  // all but the one patched file, or the one file below sub
        }
        if (c.logged) {
            EXPECT_TRUE(Logged(c.logged, 4));
        }
        EXPECT_LT(tree_.Directories().size(), 5u);
        TearDown();
        sources_.clear();
        tree_.ClearFiles();
        log_.clear();
    }
}

// A directory size far beyond its records, within a DVD-sized recorded area: the walk reads no
// more directory sectors than the largest tree holds, and what it found before stays imported.
TEST_F(PeerImage, AHostileDirectorySizeOnADvdSizedDiscIsReadOnlyAsFarAsATreeCanReach) {
    for (int i = 0; i < 60; ++i) File("picture " + std::to_string(100 + i) + ".jpeg", 50 + i);
    File("sub/deeper/x.txt", 7);
    Master("genisoimage -J");
    Patch("joliet sub size 4294965248");  // 2 097 151 sectors
    static constexpr std::uint32_t kDvdSectors = 2298496;
    std::size_t reads = 0;
    SessionDisc disc = Disc();
    disc.recordedEnd = [] { return std::optional<std::uint32_t>(kDvdSectors); };
    disc.read = [this, &reads](std::uint32_t lba, std::uint8_t* sector) {
        ++reads;
        std::fill_n(sector, 2048, 0);  // the disc's sectors past the image hold nothing
        if (std::uint64_t{lba} * 2048 + 2048 <= image_.size())
            std::copy_n(image_.begin() + std::size_t{lba} * 2048, 2048, sector);
        return true;
    };
    ASSERT_TRUE(ImportSession(tree_, 1, nullptr, disc));
    EXPECT_LT(reads, 20000u);
    EXPECT_TRUE(Logged("DIRECTORIES LARGER THAN THE RECORDED AREA HOLDS \"\\sub\"", 4));
    const auto paths = FilePaths();
    EXPECT_EQ(std::count_if(paths.begin(), paths.end(), [](const std::string& p) { return p.starts_with("picture"); }), 60);
}

// A second session made by each peer: its tree holds the first session's files where they were.
TEST_F(PeerImage, SecondSessionShowsTheFirstSessionsFilesInTheirSectors) {
    const struct {
        const char* what;
        bool xorriso;
    } cases[] = {{"genisoimage -C -M", false}, {"xorriso appending to the image file", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        File("old one.txt", 5000);
        File("photos/old two.jpeg", 9000);
        Master("genisoimage -J -R");  // genisoimage takes the earlier names from Rock Ridge
        const std::size_t firstSectors = image_.size() / 2048;
        File("new one.txt", 3000, "src2");
        File("photos/new two.jpeg", 7000, "src2");
        int code = 0;
        std::uint32_t start = 0;
        const std::string src2 = (work_ / "src2").string();
        if (c.xorriso) {
            const std::string out = Shell("xorriso -dev '" + Image() + "' -joliet on -map '" + src2 + "' / -commit", &code);
            ASSERT_EQ(code, 0) << out;
        } else {
            start = static_cast<std::uint32_t>(firstSectors);
            const std::string second = (work_ / "second.iso").string();
            const std::string out = Shell("genisoimage -quiet -J -R -C 0," + std::to_string(start) + " -M '" + Image() +
                                          "' -o '" + second + "' '" + src2 + "' && cat '" + second + "' >>'" + Image() + "'",
                                          &code);
            ASSERT_EQ(code, 0) << out;
        }
        Load();
        ASSERT_TRUE(Import(1, start));
        EXPECT_EQ(FilePaths(), (std::vector<std::string>{"new one.txt", "old one.txt", "photos/new two.jpeg",
                                                          "photos/old two.jpeg"}));
        ExpectRealFiles(SameName);
        for (const auto& i : Entries()) {
            if (i.path.find("old") != std::string::npos) EXPECT_LT(i.entry->isoExtent, firstSectors) << i.path;
            if (i.path.find("new") != std::string::npos) EXPECT_GE(i.entry->isoExtent, firstSectors) << i.path;
        }
        TearDown();
        sources_.clear();
        tree_.ClearFiles();
    }
}

TEST_F(PeerImage, NoVolumeDescriptorIsAnErrorOfThatSession) {
    File("a.txt", 10);
    Master("genisoimage -J");
    std::fill(image_.begin() + 16 * 2048, image_.begin() + 20 * 2048, 0);
    EXPECT_FALSE(Import());
    EXPECT_TRUE(Logged(">>> ERROR IMPORTING SESSION 1 (ISO IMAGE NOT FOUND)", 4));
    EXPECT_EQ(tree_.Files().size(), 0u);
}

}  // namespace
}  // namespace burn
