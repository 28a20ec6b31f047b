// A second session on the virtual recorder: the first one mastered here, the import through
// READ TOC and READ (10), the new session burnt at the next writable address, and both
// sessions read back from the table of contents.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "burn/portable/session_toc.h"
#include "burn/tests/portable/burner_fixture.h"
#include "burn/tests/portable/device_fixture.h"
#include "burn/tests/portable/memory_sources.h"

namespace burn {
namespace {

namespace fs = std::filesystem;
using testing_support::DeviceOnRecorder;

struct Found {
    const TFEntry* entry;
    std::u16string name;
};

std::vector<Found> FilesOf(const FileTree& tree) {
    std::vector<Found> out;
    for (const auto& d : tree.Directories())
        for (const TFEntry* e = d->firstChild; e; e = e->next)
            if (!e->IsDirectory()) out.push_back({e, d->path + u"\\" + e->jolietName});
    return out;
}

class SecondSession : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = fs::temp_directory_path() / ("session-toc-" + std::to_string(std::random_device{}()) + ".img");
        // The first session: our own image of two files, on a disc left appendable.
        testing::Master first;
        first.disk.AddFolder(u"C:\\src\\photos\\");
        first.disk.AddFolder(u"C:\\src\\set.2020\\");
        first.disk.AddFile(u"C:\\src\\set.2020\\x.txt", testing::Pattern(10, 5));
        first.disk.AddFile(u"C:\\src\\a.txt", testing::Pattern(3000, 1));
        first.disk.AddFile(u"C:\\src\\photos\\Beach Day.jpeg", testing::Pattern(70000, 2));
        first.Insert();
        first.Prepare();
        testing::MemorySink sink;
        ASSERT_EQ(first.burner.BurnImageFile(sink), "");
        std::ofstream(image_, std::ios::binary).write(reinterpret_cast<const char*>(sink.bytes.data()),
                                                      static_cast<std::streamsize>(sink.bytes.size()));
        firstSectors_ = static_cast<std::uint32_t>(sink.bytes.size() / 2048);
        disc_.Status = vcdr::DiscStatus::Appendable;
        disc_.EarlierSessionBlocks = firstSectors_;
        disc_.ImagePath = image_.string();
    }
    void TearDown() override { fs::remove(image_); }

    fs::path image_;
    std::uint32_t firstSectors_ = 0;
    vcdr::DeviceConfig disc_;
};

TEST_F(SecondSession, ImportedFilesKeepTheirSectorsBesideTheNewOnes) {
    testing_support::BurnerOnRecorder b(disc_);
    b.disk.AddFolder(u"C:\\src\\photos\\");
    b.disk.AddFile(u"C:\\src\\c.txt", testing::Pattern(5000, 3));
    b.disk.AddFile(u"C:\\src\\photos\\New One.jpeg", testing::Pattern(9000, 4));
    b.burner.FinalizeDisc = false;
    b.burner.SetSessionToImport(0xFFFF);
    ASSERT_TRUE(b.Burn());
    ASSERT_EQ(b.doneText, "");
    const std::uint32_t start = b.burner.Layout().sessionStart;
    EXPECT_EQ(start, firstSectors_ + 11400) << "the next writable address after the first session";
    EXPECT_TRUE(b.Logged(">>> IMPORTING SESSION # 1"));
    EXPECT_EQ(b.Core().State().Status, vcdr::DiscStatus::Appendable);

    TSCSIDevice& device = b.burner;
    ASSERT_EQ(device.SessionCount(), 2);
    const SessionDisc disc = DeviceSessionDisc(device);
    EXPECT_EQ(disc.sessionStart(1, 2), std::optional<std::uint32_t>(0));
    EXPECT_EQ(disc.sessionStart(2, 2), std::optional<std::uint32_t>(start));
    EXPECT_EQ(disc.recordedEnd(), std::optional<std::uint32_t>(start + b.burner.ImageSectors()));

    // The last session shows all four files, the old ones still in the first session's sectors.
    const struct {
        int session;
        std::vector<std::u16string> names;
    } cases[] = {
        {-1, {u"\\.\\c.txt", u"\\.\\a.txt", u"\\PHOTOS\\New One.jpeg", u"\\PHOTOS\\Beach Day.jpeg",
              u"\\SET.2020\\x.txt"}},
        {1, {u"\\.\\a.txt", u"\\PHOTOS\\Beach Day.jpeg", u"\\SET.2020\\x.txt"}},
    };
    const std::map<std::u16string, std::pair<std::size_t, unsigned>> content = {
        {u"a.txt", {3000, 1}}, {u"Beach Day.jpeg", {70000, 2}}, {u"c.txt", {5000, 3}}, {u"New One.jpeg", {9000, 4}},
        {u"x.txt", {10, 5}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.session);
        FileTree tree;
        std::vector<std::string> log;
        tree.log = [&](const std::string& line, std::uint8_t) { log.push_back(line); };
        ASSERT_TRUE(ImportSession(tree, c.session, nullptr, disc));
        EXPECT_EQ(log.size(), 1u) << "nothing but the import's first line";
        std::vector<std::u16string> names;
        for (const Found& file : FilesOf(tree)) {
            const std::u16string path = (file.name.starts_with(u"\\\\") ? u"\\." : u"") + file.name.substr(
                file.name.starts_with(u"\\\\") ? 1 : 0);
            names.push_back(path);
            const auto [size, seed] = content.at(file.entry->jolietName);
            ASSERT_EQ(file.entry->isoSize, size);
            const bool old = seed <= 2 || seed == 5;
            EXPECT_EQ(file.entry->isoExtent < start, old) << "old files in the first session, new ones in the second";
            std::vector<std::uint8_t> bytes((size + 2047) / 2048 * 2048);
            for (std::size_t s = 0; s < bytes.size() / 2048; ++s)
                ASSERT_TRUE(disc.read(file.entry->isoExtent + static_cast<std::uint32_t>(s), &bytes[s * 2048]));
            bytes.resize(size);
            EXPECT_EQ(bytes, testing::Pattern(size, seed));
        }
        std::sort(names.begin(), names.end());
        auto expected = c.names;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    }
}

// A name the new session already holds keeps the new entry: an older file does not replace
// it even with ReplaceFile, and an older folder does not stand beside a new file of its name.
TEST_F(SecondSession, NewEntriesKeepTheirNamesOverTheDiscsOlderOnes) {
    DeviceOnRecorder f({disc_});
    testing::Master second;
    second.disk.AddFile(u"C:\\src\\a.txt", testing::Pattern(100, 9));
    second.disk.AddFile(u"C:\\src\\set.2020", testing::Pattern(200, 8));
    second.Insert();
    second.burner.tree.ReplaceFile = true;
    second.burner.SetSessionToImport(1);
    DeviceQueries device;
    device.session = DeviceSessionDisc(f.device);
    second.burner.PrepareImage(device, {}, 0);
    std::map<std::u16string, int> named;
    for (const TFEntry* e = second.burner.tree.Root()->firstChild; e; e = e->next) ++named[e->jolietName];
    EXPECT_EQ(named, (std::map<std::u16string, int>{{u"a.txt", 1}, {u"photos", 1}, {u"set.2020", 1}}));
    const TFEntry* a = second.burner.tree.FindChild(second.burner.tree.Root(), u"a.txt");
    EXPECT_FALSE(a->imported);
    EXPECT_EQ(a->sourcePath, u"C:\\src\\a.txt");
    EXPECT_EQ(a->isoSize, 100u);
    EXPECT_FALSE(second.burner.tree.FindChild(second.burner.tree.Root(), u"set.2020")->IsDirectory());
    EXPECT_NE(second.burner.tree.FindChild(second.burner.tree.FindDir(u"\\photos"), u"Beach Day.jpeg"), nullptr);
}

// Without a table of contents, or with an unreadable one, nothing is imported and the session
// is reported; the image is still laid out.
TEST_F(SecondSession, AnUnreadableTableOfContentsImportsNothing) {
    const struct {
        const char* fault;
        const char* logged;
    } cases[] = {
        {"op=43 times=ever sense=05/24/00", nullptr},  // no session count: nothing to do
        {"op=43 nth=2 sense=05/24/00", ">>> ERROR IMPORTING SESSION # 1"},  // the session's start
        {"op=43 nth=3 sense=05/24/00", ">>> ERROR IMPORTING SESSION # 1"},  // the end of the recorded area
        {"op=28 times=ever sense=03/11/00", ">>> ERROR IMPORTING SESSION 1 (ISO IMAGE NOT FOUND)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        vcdr::DeviceConfig d = disc_;
        d.Faults.push_back(vcdr::ParseFault(c.fault));
        DeviceOnRecorder f({d});
        testing::Master second;
        second.disk.AddFile(u"C:\\src\\c.txt", testing::Pattern(5000, 3));
        second.Insert();
        second.burner.SetSessionToImport(1);
        DeviceQueries device;
        device.session = DeviceSessionDisc(f.device);
        second.burner.PrepareImage(device, {}, 0);
        EXPECT_EQ(second.burner.tree.Files().size(), 1u);  // c.txt alone
        if (c.logged) {
            EXPECT_EQ(second.log.back(), (std::pair<std::string, int>{c.logged, 4}));
        } else {
            EXPECT_TRUE(second.log.empty());
        }
    }
}

TEST(SessionToc, AnswersTooShortForTheirDescriptorsGiveNothing) {
    const std::vector<std::uint8_t> sessionInfo = {0, 10, 1, 2, 0, 0x14, 2, 0, 0, 3, 1, 2};
    EXPECT_EQ(LastSessionStartFromToc(sessionInfo), std::optional<std::uint32_t>(3 * 4500 + 75 + 2 - 150));
    EXPECT_EQ(LastSessionStartFromToc({sessionInfo.data(), 10}), std::nullopt);
    std::vector<std::uint8_t> claimsLess = sessionInfo;
    claimsLess[1] = 4;
    EXPECT_EQ(LastSessionStartFromToc(claimsLess), std::nullopt);
    const std::vector<std::uint8_t> before150 = {0, 10, 1, 1, 0, 0x14, 1, 0, 0, 0, 1, 0};
    EXPECT_EQ(LastSessionStartFromToc(before150), std::nullopt);

    // Session 2 names track 5 as its first; its A0 point must be found before the track.
    std::vector<std::uint8_t> full = {0, 35, 1, 2};
    const std::uint8_t a0[] = {2, 0x14, 0, 0xA0, 0, 0, 0, 0, 5, 0, 0};
    const std::uint8_t t5[] = {2, 0x14, 0, 5, 0, 0, 0, 0, 4, 2, 3};
    const std::uint8_t t1[] = {1, 0x14, 0, 1, 0, 0, 0, 0, 0, 2, 0};
    full.insert(full.end(), std::begin(t1), std::end(t1));
    full.insert(full.end(), std::begin(a0), std::end(a0));
    full.insert(full.end(), std::begin(t5), std::end(t5));
    EXPECT_EQ(SessionStartFromFullToc(full, 2), std::optional<std::uint32_t>(4 * 4500 + 2 * 75 + 3 - 150));
    EXPECT_EQ(SessionStartFromFullToc(full, 1), std::nullopt) << "session 1 has no A0 point";
    EXPECT_EQ(SessionStartFromFullToc({full.data(), full.size() - 1}, 2), std::nullopt);
}

}  // namespace
}  // namespace burn
