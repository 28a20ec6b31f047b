// The file tree: names, lookups, the record-fit and size limits with their log lines, unique ISO names.
#include <gtest/gtest.h>

#include <algorithm>

#include "burn/portable/joliet_names.h"
#include "burn/tests/portable/memory_sources.h"

namespace burn {
namespace {

using testing::Master;

std::vector<std::string> IsoNames(const TDEntry* dir) {
    std::vector<std::string> out;
    for (TFEntry* e = dir->firstChild; e; e = e->next) out.push_back(e->isoName);
    return out;
}

std::vector<std::u16string> JolietNames(const TDEntry* dir) {
    std::vector<std::u16string> out;
    for (TFEntry* e = dir->firstChild; e; e = e->next) out.push_back(e->jolietName);
    return out;
}

bool Logged(const Master& m, const std::string& part, int level) {
    for (const auto& [line, l] : m.log) {
        if (l == level && line.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(FileTree, ExtensionlessFileGetsAFullStopInBothNamesAndAFolderDoesNot) {
    Master m;
    m.disk.AddFile(u"C:\\src\\README", {1, 2, 3});
    m.disk.AddFolder(u"C:\\src\\docs");
    m.Insert();
    const TDEntry* root = m.burner.tree.Root();
    EXPECT_EQ(IsoNames(root), (std::vector<std::string>{"DOCS", "README."}));
    EXPECT_EQ(JolietNames(root), (std::vector<std::u16string>{u"docs", u"README."}));
    EXPECT_EQ(m.burner.tree.FindDir(u"\\docs")->path, u"\\DOCS");
}

TEST(FileTree, SameFolderTwiceAddsNothingAndReplaceRefreshesInPlace) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\a");
    m.disk.AddFile(u"C:\\src\\a\\x.txt", {1});
    m.disk.AddFile(u"C:\\src\\README", {1});
    m.Insert();
    m.Insert();
    EXPECT_EQ(m.burner.tree.Directories().size(), 2u);
    EXPECT_EQ(m.burner.tree.Files().size(), 3u);
    m.disk.SetListedSize(u"C:\\src\\a\\x.txt", 77);
    m.burner.tree.ReplaceFile = true;
    m.Insert();
    EXPECT_EQ(m.burner.tree.Files().size(), 3u);
    TFEntry* x = m.burner.tree.FindChild(m.burner.tree.FindDir(u"\\A"), u"X.TXT");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->isoSize, 77u);
    EXPECT_EQ(x->isoName, "X.TXT");
}

TEST(FileTree, FindDirIgnoresCaseAndATrailingBackslash) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\Photos");
    m.disk.AddFolder(u"C:\\src\\Photos\\Łódź");
    m.Insert();
    const FileTree& t = m.burner.tree;
    EXPECT_EQ(t.FindDir(u"\\photos"), t.FindDir(u"\\PHOTOS\\"));
    EXPECT_NE(t.FindDir(u"\\photos\\ŁóDź"), nullptr);  // Ł and ź lie outside Latin-1 and keep their case
    EXPECT_EQ(t.FindDir(u""), t.Root());
    EXPECT_EQ(t.FindDir(u"\\none"), nullptr);
}

TEST(FileTree, AddDirHandlerRenamesTheTreeNotTheFolderRead) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\old");
    m.disk.AddFile(u"C:\\src\\old\\in.txt", {1});
    m.burner.tree.OnAddDir = [](std::u16string& longName, std::string& shortName, bool&) {
        longName = u"New one";
        shortName = "NEWONE";
    };
    m.Insert();
    const TDEntry* d = m.burner.tree.FindDir(u"\\NEW ONE");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->isoName, "NEWONE");
    EXPECT_EQ(JolietNames(d), std::vector<std::u16string>{u"in.txt"});
}

TEST(FileTree, AlikeIsoNamesGetANumericTailInsideTheStem) {
    Master m;
    m.disk.AddFile(u"C:\\src\\thm_IMG_0001.jpg", {1}, "THM_I~AB.JPG");
    m.disk.AddFile(u"C:\\src\\thm_IMG_0002.jpg", {1}, "THM_I~AB.JPG");
    m.disk.AddFile(u"C:\\src\\thm_IMG_0003.jpg", {1}, "THM_I~AB.JPG");
    m.disk.AddFile(u"C:\\src\\other.jpg", {1}, "THM_I~A2.JPG");  // a real name the tail would have taken
    m.disk.AddFile(u"C:\\src\\ABCDEFGH", {1});
    m.disk.AddFile(u"C:\\src\\abcdefgh", {1});  // same ISO name, another Joliet name (case differs)
    m.disk.AddFolder(u"C:\\src\\folder_one", "FOLDER~1");
    m.disk.AddFolder(u"C:\\src\\folder_two", "FOLDER~1");
    m.Insert();
    EXPECT_EQ(IsoNames(m.burner.tree.Root()),
              (std::vector<std::string>{"FOLDER~1", "FOLDER~2", "THM_I~AB.JPG", "THM_I~A1.JPG", "THM_I~A2.JPG",
                                        "THM_I~A3.JPG", "ABCDEFGH."}));
    EXPECT_EQ(m.burner.tree.Files().size(), 7u) << "abcdefgh is the same Joliet name, ignoring case";
}

// A Joliet file record is 2n + 38 bytes, a folder record 2n + 34: both must fit one length byte.
TEST(FileTree, NamesWhoseRecordsWouldNotFitAreSkippedAndLogged) {
    struct Case {
        std::size_t length;
        bool folder;
        bool kept;
    };
    const Case cases[] = {
        {107, false, true}, {108, false, false}, {127, false, false}, {128, false, false},
        {110, true, true},  {111, true, false},
    };
    for (const Case& c : cases) {
        Master m;
        // the file gets a "." added, which counts: 107 + 1 = 108 fits
        const std::u16string name(c.length, u'n');
        if (c.folder) {
            m.disk.AddFolder(u"C:\\src\\" + name, "NNNNNN~1");
            m.disk.AddFile(u"C:\\src\\" + name + u"\\inside.txt", {1});
        } else {
            m.disk.AddFile(u"C:\\src\\" + name, {1}, "NNNNNN~1");
        }
        m.disk.AddFile(u"C:\\src\\zlast.txt", {1});
        m.Insert();
        const std::size_t expected = 1 + (c.kept ? (c.folder ? 2 : 1) : 0);
        EXPECT_EQ(m.burner.tree.Files().size(), expected) << c.length << (c.folder ? " folder" : " file");
        EXPECT_EQ(Logged(m, std::string(c.length, 'n'), 3), !c.kept) << c.length;
    }
}

TEST(FileTree, SkipLineNamesTheTreePathAsItIsSpelt) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\Photos");
    m.disk.AddFile(u"C:\\src\\Photos\\" + std::u16string(120, u'x') + u".txt", {1});
    m.Insert();
    ASSERT_EQ(m.log.size(), 1u);
    EXPECT_EQ(m.log[0].first, ">>> NAME TOO LONG FOR A DIRECTORY RECORD, SKIPPED \"\\Photos\\" + std::string(120, 'x') + ".txt\"");
}

TEST(FileTree, SkippedLastFileOfASubfolderDoesNotCutOffTheFoldersAfterIt) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\a");
    m.disk.AddFile(u"C:\\src\\a\\" + std::u16string(120, u'x') + u".txt", {1});
    m.disk.AddFolder(u"C:\\src\\b");
    m.disk.AddFile(u"C:\\src\\b\\kept.txt", {1});
    m.disk.AddFile(u"C:\\src\\top.txt", {1});
    m.Insert();
    TDEntry* b = m.burner.tree.FindDir(u"\\B");
    ASSERT_NE(b, nullptr) << "the folder after the skipped file";
    EXPECT_NE(m.burner.tree.FindChild(b, u"kept.txt"), nullptr);
    EXPECT_NE(m.burner.tree.FindChild(m.burner.tree.Root(), u"top.txt"), nullptr);
}

TEST(FileTree, FilesOf4GiBOrMoreAreSkippedAndLogged) {
    Master m;
    m.disk.AddFile(u"C:\\src\\big.bin", {});
    m.disk.AddFile(u"C:\\src\\edge.bin", {});
    m.disk.SetListedSize(u"C:\\src\\big.bin", 0x100000000ull);
    m.disk.SetListedSize(u"C:\\src\\edge.bin", 0xFFFFFFFFull);
    m.Insert();
    EXPECT_EQ(JolietNames(m.burner.tree.Root()), std::vector<std::u16string>{u"edge.bin"});
    EXPECT_TRUE(Logged(m, "big.bin", 3));
}

TEST(FileTree, LimitsOfDirectoriesAndFilesAreLoggedOnce) {
    FileTree t;
    std::vector<std::pair<std::string, int>> log;
    t.log = [&](const std::string& line, std::uint8_t level) { log.emplace_back(line, level); };
    for (std::size_t i = 1; i < kMaxDirectories; ++i) ASSERT_NE(t.MakeDir(t.Root(), u"d" + Utf16(std::to_string(i)), kAttrDirectory), nullptr);
    EXPECT_EQ(t.MakeDir(t.Root(), u"one more", kAttrDirectory), nullptr);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], (std::pair<std::string, int>{">>> MAXIMUM DIRECTORIES CAN BE 8191", 3}));
    TDEntry* d = t.FindDir(u"\\d1");
    std::size_t added = 0;
    for (std::size_t i = 0; t.Files().size() < kMaxFiles; ++i) added += t.AddFile(d, {u"f" + Utf16(std::to_string(i)), "", 1, 0, {}}, false, 0, u"x");
    EXPECT_FALSE(t.AddFile(d, {u"last", "", 1, 0, {}}, false, 0, u"x"));
    EXPECT_EQ(log.back(), (std::pair<std::string, int>{"MAXIMUM FILES CAN BE 65535", 3}));
    // Every file and folder past the limit is refused, with no further line.
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(t.AddFile(d, {u"more" + Utf16(std::to_string(i)), "", 1, 0, {}}, false, 0, u"x"));
    EXPECT_EQ(t.MakeDir(d, u"folder", kAttrDirectory), nullptr);
    const auto fileLines = [&] {
        return std::count(log.begin(), log.end(), std::pair<std::string, int>{"MAXIMUM FILES CAN BE 65535", 3});
    };
    EXPECT_EQ(fileLines(), 1);
    // The next burn starts from a cleared tree: its own limit is said again, once.
    t.ClearFiles();
    for (std::size_t i = 0; t.Files().size() < kMaxFiles; ++i) t.AddFile(t.Root(), {u"f" + Utf16(std::to_string(i)), "", 1, 0, {}}, false, 0, u"x");
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(t.AddFile(t.Root(), {u"again" + Utf16(std::to_string(i)), "", 1, 0, {}}, false, 0, u"x"));
    EXPECT_EQ(fileLines(), 2);
}

TEST(FileTree, KeepSourcePathPlacesTheFolderUnderItsOwnPath) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"C:\\src", u"\\SRC"},
        {u"\\\\server\\share\\src\\", u"\\SRC"},
    };
    for (const auto& [source, treePath] : cases) {
        Master m;
        m.disk.AddFile(u"C:\\src\\a.txt", {1});
        m.disk.AddFile(u"\\\\server\\share\\src\\a.txt", {1});
        EXPECT_TRUE(m.burner.tree.InsertDir(m.burner.tree.Root(), source, false, true, true, 63, u""));
        const TDEntry* d = m.burner.tree.FindDir(treePath);
        ASSERT_NE(d, nullptr) << Utf8(source);
        EXPECT_EQ(JolietNames(d), std::vector<std::u16string>{u"a.txt"});
    }
}

TEST(FileTree, MakeDirAndForceDirBuildEachLevelOnce) {
    FileTree t;
    TDEntry* d = t.ForceDir(u"\\one\\Two words\\three");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->path, u"\\ONE\\TWO WORDS\\THREE");
    EXPECT_EQ(t.ForceDir(u"one\\two words\\three\\"), d);
    EXPECT_EQ(t.Directories().size(), 4u);
    EXPECT_EQ(t.FindDir(u"\\ONE\\TWO WORDS")->isoName, "TWO_WORDS");
    EXPECT_EQ(MakeDirShortName(u"a very long folder name"), "A_VERY_LONG_F");
}

TEST(CDBurner, CacheSizeIsRoundedToSectorsWithAFloor) {
    const std::pair<std::int64_t, std::size_t> cases[] = {
        {1000000, 2097152}, {5000000, 4999168}, {2097152, 2097152}, {4194304, 4194304}, {-1, 2097152}};
    for (const auto& [given, expected] : cases) {
        testing::Master m;
        m.burner.SetCacheSize(given);
        EXPECT_EQ(m.burner.CacheSize(), expected) << given;
    }
}

}  // namespace
}  // namespace burn
