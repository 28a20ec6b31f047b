// The image layout read back from the metadata it writes: positions, descriptors, path tables,
// directory records and the boot catalog.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>

#include "burn/portable/joliet_names.h"
#include "burn/tests/portable/iso_reader.h"
#include "burn/tests/portable/memory_sources.h"

namespace burn {
namespace {

using testing::ImageView;
using testing::Master;
using testing::Ucs2;

ImageView View(const Master& m) { return {m.burner.MetadataStream(), m.burner.Layout().sessionStart}; }

std::vector<std::string> Ids(const std::vector<testing::Record>& records) {
    std::vector<std::string> out;
    for (const auto& r : records) out.push_back(r.id);
    return out;
}

std::vector<testing::Record> RootRecords(const Master& m, bool joliet) {
    const ImageLayout& l = m.burner.Layout();
    const TDEntry& root = *m.burner.tree.Root();
    return joliet ? View(m).Directory(l.jolietDirArea, static_cast<std::uint32_t>(root.jolietSize))
                  : View(m).Directory(l.isoDirArea, static_cast<std::uint32_t>(root.isoSize));
}

TEST(IsoLayout, EmptyTreeWithAndWithoutJoliet) {
    struct Case {
        bool joliet;
        std::uint32_t terminator, isoL, isoDirArea;
    };
    for (const Case& c : {Case{true, 18, 19, 23}, Case{false, 17, 18, 20}}) {
        Master m;
        m.burner.JolietFileSystem = c.joliet;
        m.Prepare();
        const ImageLayout& l = m.burner.Layout();
        const ImageView v = View(m);
        EXPECT_EQ(l.pvd, 16u);
        EXPECT_EQ(l.terminator, c.terminator);
        EXPECT_EQ(v.Sector(c.terminator)[0], 255);
        EXPECT_EQ(l.isoL, c.isoL);
        EXPECT_EQ(l.isoDirArea, c.isoDirArea);
        EXPECT_EQ(l.firstFile, 150u);
        EXPECT_EQ(l.ImageLength(), 150u);
        EXPECT_EQ(m.burner.ImageSectors(), 300u);
        EXPECT_EQ(m.burner.MetadataStream().size(), (c.isoDirArea + 1 + (c.joliet ? 1 : 0)) * 2048u);
        const std::uint8_t* pvd = v.Sector(16);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd), 7), std::string("\1CD001\1", 7));
        EXPECT_EQ(testing::Both32(pvd + 80), 150u) << "the volume size stays below the 300 sectors written";
        EXPECT_EQ(testing::Both32(pvd + 132), 10u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 88), 3), std::string(3, '\0'));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 813), 17), std::string("1899123000000000\0", 17));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(pvd + 40), 32), std::string(32, ' '));
        const auto root = RootRecords(m, false);
        ASSERT_EQ(root.size(), 2u);
        EXPECT_EQ(root[0].extent, c.isoDirArea);
        EXPECT_EQ(root[1].extent, c.isoDirArea);
        EXPECT_EQ(v.PathTable(l.isoL, l.isoPathTableSize).size(), 1u);
        if (c.joliet) {
            const std::uint8_t* svd = v.Sector(17);
            EXPECT_EQ(svd[0], 2);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(svd + 88), 3), "%/@");
            EXPECT_EQ(testing::Both32(svd + 80), 150u);
            EXPECT_EQ(testing::LE32(svd + 158), l.jolietDirArea);
        }
    }
}

TEST(IsoLayout, PathTableOfOneSectorAndOfOneRecordByteMore) {
    // Path records have even lengths: 2048 bytes fit one sector, 2050 need two.
    for (const auto& [lastName, sectors] : {std::pair{std::string(30, 'L'), 1u}, std::pair{std::string(32, 'L'), 2u}}) {
        Master m;
        for (int i = 0; i < 125; ++i) m.disk.AddFolder(u"C:\\src\\d" + Utf16(std::to_string(i)), "D" + std::to_string(1000000 + i));
        m.disk.AddFolder(u"C:\\src\\last", lastName);
        m.Insert();
        m.Prepare();
        const ImageLayout& l = m.burner.Layout();
        EXPECT_EQ(l.isoPathTableSize, sectors == 1 ? 2048u : 2050u);
        EXPECT_EQ(l.isoM - l.isoL, sectors);
        EXPECT_EQ(View(m).PathTable(l.isoL, l.isoPathTableSize).back().id, lastName);
    }
}

TEST(IsoLayout, DirectoryRecordsFillASectorAndTheNextOneStartsAnother) {
    for (const bool oneMore : {false, true}) {
        Master m;
        m.burner.JolietFileSystem = false;
        for (int i = 0; i < 40; ++i) m.disk.AddFile(u"C:\\src\\f" + Utf16(std::to_string(i)), {1}, "F" + std::to_string(1000000 + i) + ".TXT");
        m.disk.AddFile(u"C:\\src\\g", {1}, std::string(20, 'G') + ".TXT");  // a 60-byte record: 68 + 40 x 48 + 60 = 2048
        if (oneMore) m.disk.AddFile(u"C:\\src\\h", {1}, "H.TXT");
        m.Insert();
        m.Prepare();
        EXPECT_EQ(m.burner.tree.Root()->isoSize, oneMore ? 4096u : 2048u);
        const auto records = RootRecords(m, false);
        ASSERT_EQ(records.size(), oneMore ? 44u : 43u);
        for (const auto& r : records) {
            const std::size_t length = 33 + r.id.size() + (r.id.size() % 2 == 0);
            EXPECT_EQ(r.offset / 2048, (r.offset + length - 1) / 2048) << r.id;
        }
        EXPECT_EQ(records.back().offset, oneMore ? 2048u : 2048u - 60);
    }
}

// Walked from each descriptor's root record, as a reader does: every record lies inside one
// sector, "." names its own directory and ".." its parent (the root's, itself), and every
// directory holds its own records and no other.
TEST(IsoLayout, EachTreeWalkedFromItsRootFindsItsRecordsWhole) {
    Master m;
    // Names of many lengths, so that records of several sizes meet every sector end.
    for (int i = 0; i < 150; ++i) {
        const std::string stem = std::string(1 + i % 8, static_cast<char>('A' + i % 26)) + std::to_string(i);
        m.disk.AddFile(u"C:\\src\\" + Utf16(std::string(1 + i * 7 % 60, 'n') + std::to_string(i)) + u".txt", {1},
                       stem.substr(0, 8) + ".TXT");
    }
    m.disk.AddFolder(u"C:\\src\\one");
    m.disk.AddFolder(u"C:\\src\\one\\two");
    m.disk.AddFolder(u"C:\\src\\one\\two\\three");
    m.disk.AddFolder(u"C:\\src\\other");
    for (int i = 0; i < 70; ++i)
        m.disk.AddFile(u"C:\\src\\one\\two\\" + Utf16(std::string(10 + i % 40, 'x') + std::to_string(i)), {1});
    m.disk.AddFile(u"C:\\src\\other\\o.txt", {1});
    m.Insert();
    m.Prepare();
    const ImageView v = View(m);
    for (const bool joliet : {false, true}) {
        SCOPED_TRACE(joliet ? "Joliet" : "ISO");
        const std::uint8_t* root = v.Sector(joliet ? 17 : 16) + 156;
        struct Visit {
            std::uint32_t extent, size, parentExtent, parentSize;
            std::size_t children;  // records the tree says the directory holds
        };
        const auto childrenOf = [](const TDEntry& d) {
            std::size_t n = 0;
            for (const TFEntry* e = d.firstChild; e; e = e->next) ++n;
            return n;
        };
        std::map<std::uint32_t, const TDEntry*> byExtent;
        const ImageLayout& l = m.burner.Layout();
        for (const auto& d : m.burner.tree.Directories())
            byExtent[(joliet ? l.jolietDirArea + d->jolietStart : l.isoDirArea + d->isoStart)] = d.get();
        std::vector<Visit> pending{{testing::Both32(root + 2), testing::Both32(root + 10), testing::Both32(root + 2),
                                    testing::Both32(root + 10), childrenOf(*m.burner.tree.Root())}};
        std::size_t walked = 0;
        while (!pending.empty()) {
            const Visit d = pending.back();
            pending.pop_back();
            ++walked;
            ASSERT_EQ(d.size % 2048, 0u);
            const auto records = v.Directory(d.extent, d.size);
            ASSERT_EQ(records.size(), d.children + 2) << "at " << d.extent;
            EXPECT_EQ(records[0].id, std::string(1, '\0'));
            EXPECT_EQ(records[0].extent, d.extent) << "\".\" names its own directory";
            EXPECT_EQ(records[0].size, d.size);
            EXPECT_EQ(records[1].id, std::string(1, '\1'));
            EXPECT_EQ(records[1].extent, d.parentExtent) << "\"..\" of the directory at " << d.extent;
            EXPECT_EQ(records[1].size, d.parentSize);
            for (const auto& r : records) {
                const std::size_t length = v.Sector(d.extent)[r.offset];
                EXPECT_EQ(r.offset / 2048, (r.offset + length - 1) / 2048) << "a record across a sector end at " << r.offset;
                EXPECT_LT(r.offset + length, std::size_t{d.size} + 1);
            }
            for (std::size_t i = 2; i < records.size(); ++i) {
                if (!(records[i].flags & 2)) continue;
                const auto found = byExtent.find(records[i].extent);
                ASSERT_NE(found, byExtent.end()) << "a directory record at no directory";
                pending.push_back({records[i].extent, records[i].size, d.extent, d.size, childrenOf(*found->second)});
            }
        }
        EXPECT_EQ(walked, m.burner.tree.Directories().size());
    }
}

TEST(IsoLayout, ZooAndAppleAreOrderedByEachTablesOwnNames) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\Zoo", "ZOO");
    m.disk.AddFolder(u"C:\\src\\Zoo\\zsub", "ZSUB");
    m.disk.AddFolder(u"C:\\src\\apple", "APPLE");
    m.disk.AddFolder(u"C:\\src\\apple\\asub", "ASUB");
    m.Insert();
    m.Prepare();
    const ImageLayout& l = m.burner.Layout();
    const auto iso = View(m).PathTable(l.isoL, l.isoPathTableSize);
    const auto joliet = View(m).PathTable(l.jolietL, l.jolietPathTableSize);
    std::vector<std::pair<std::string, int>> isoSeen, jolietSeen;
    for (const auto& r : iso) isoSeen.emplace_back(r.id, r.parent);
    for (const auto& r : joliet) jolietSeen.emplace_back(r.id, r.parent);
    EXPECT_EQ(isoSeen, (std::vector<std::pair<std::string, int>>{
                           {std::string(1, '\0'), 1}, {"APPLE", 1}, {"ZOO", 1}, {"ASUB", 2}, {"ZSUB", 3}}));
    EXPECT_EQ(jolietSeen, (std::vector<std::pair<std::string, int>>{
                              {std::string(1, '\0'), 1}, {Ucs2(u"Zoo"), 1}, {Ucs2(u"apple"), 1}, {Ucs2(u"zsub"), 2},
                              {Ucs2(u"asub"), 3}}));
    // The big-endian table says the same.
    const std::uint8_t* m0 = View(m).Sector(l.isoM);
    EXPECT_EQ(testing::BE32(m0 + 2), l.isoDirArea);
    EXPECT_EQ(m0[17], 1);  // APPLE's parent, big-endian
}

TEST(IsoLayout, RecordsAreSortedByNameThenExtensionWhileDataKeepTableOrder) {
    Master m;
    const std::pair<const char16_t*, const char*> files[] = {
        {u"b.txt", ""}, {u"Zeta.txt", ""}, {u"a.b.txt", "AB~1.TXT"}, {u"a.txt", ""}, {u"a-b.txt", ""}};
    for (const auto& [name, alt] : files) m.disk.AddFile(u"C:\\src\\" + std::u16string(name), {1}, alt);
    m.disk.AddFolder(u"C:\\src\\sub");
    m.Insert();
    m.Prepare();
    const auto iso = RootRecords(m, false);
    const auto joliet = RootRecords(m, true);
    EXPECT_EQ(Ids(iso), (std::vector<std::string>{std::string(1, '\0'), "\1", "A.TXT;1", "A-B.TXT;1", "AB~1.TXT;1",
                                                 "B.TXT;1", "SUB", "ZETA.TXT;1"}));
    EXPECT_EQ(Ids(joliet), (std::vector<std::string>{std::string(1, '\0'), "\1", Ucs2(u"Zeta.txt;1"), Ucs2(u"a.txt;1"),
                                                    Ucs2(u"a-b.txt;1"), Ucs2(u"a.b.txt;1"), Ucs2(u"b.txt;1"),
                                                    Ucs2(u"sub")}));
    const std::uint32_t f = m.burner.Layout().firstFile;
    const std::map<std::string, std::uint32_t> expected = {
        {"B.TXT;1", f}, {"ZETA.TXT;1", f + 1}, {"AB~1.TXT;1", f + 2}, {"A.TXT;1", f + 3}, {"A-B.TXT;1", f + 4}};
    for (const auto& r : iso) {
        if (expected.contains(r.id)) {
            EXPECT_EQ(r.extent, expected.at(r.id)) << r.id;
        }
    }
}

TEST(IsoLayout, LaterSessionIsAbsoluteWithoutPaddingAndCountsTheWholeVolume) {
    Master m;
    m.disk.AddFile(u"C:\\src\\a.txt", testing::Pattern(5000, 1));
    m.disk.AddFile(u"C:\\src\\empty.txt", {});
    m.Insert();
    m.Prepare(1000);
    const ImageLayout& l = m.burner.Layout();
    EXPECT_EQ(l.sessionStart, 1000u);
    EXPECT_EQ(l.pvd, 1016u);
    EXPECT_EQ(l.firstFile, l.paddingStart) << "no padding past sector 150";
    EXPECT_EQ(l.end, l.firstFile + 3);
    EXPECT_EQ(l.ImageLength(), l.end - 1000);
    const ImageView v = View(m);
    EXPECT_EQ(testing::Both32(v.Sector(l.pvd) + 80), l.end);
    EXPECT_EQ(testing::Both32(v.Sector(l.svd) + 80), l.end);
    EXPECT_EQ(testing::Both32(v.Sector(l.pvd) + 158), l.isoDirArea);
    EXPECT_EQ(v.PathTable(l.isoL, l.isoPathTableSize)[0].extent, l.isoDirArea);
    const auto root = RootRecords(m, false);
    EXPECT_EQ(root[0].extent, l.isoDirArea);
    EXPECT_EQ(root[2].id, "A.TXT;1");
    EXPECT_EQ(root[2].extent, l.firstFile);
    EXPECT_EQ(root[3].id, "EMPTY.TXT;1");
    EXPECT_EQ(root[3].extent, 0u) << "an empty file lies at extent 0";
}

TEST(IsoLayout, FlagsAndDateBytesOfRecords) {
    struct Case {
        int bias;
        LocalDateTime date;
        std::array<std::uint8_t, 7> bytes;
    };
    const Case cases[] = {
        {0, {2021, 1, 15, 12, 30, 45}, {121, 1, 15, 12, 30, 45, 0}},
        {300, {2021, 1, 15, 12, 30, 45}, {121, 1, 15, 12, 30, 45, 0xEC}},
        {-330, {2021, 1, 15, 12, 30, 45}, {121, 1, 15, 12, 30, 45, 22}},
        {0, {1850, 6, 1, 1, 1, 1}, {0, 1, 1, 0, 0, 0, 0}},
        {0, {2200, 6, 1, 1, 1, 1}, {255, 12, 31, 23, 59, 59, 0}},
        {0, {1899, 12, 30, 0, 0, 0}, {0, 1, 1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Master m;
        m.disk.AddFile(u"C:\\src\\hidden.txt", {1}, "", kAttrHidden | kAttrArchive, c.date);
        m.disk.AddFile(u"C:\\src\\plain.txt", {1}, "", kAttrArchive, c.date);
        m.disk.AddFolder(u"C:\\src\\sub");
        m.Insert();
        m.Prepare(0, c.bias);
        for (const bool joliet : {false, true}) {
            const auto records = RootRecords(m, joliet);
            ASSERT_EQ(records.size(), 5u);
            EXPECT_EQ(records[2].flags, 1) << "hidden";
            EXPECT_EQ(records[3].flags, 0);
            EXPECT_EQ(records[4].flags, 2);
            EXPECT_EQ(std::vector<std::uint8_t>(records[2].date, records[2].date + 7),
                      std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()))
                << c.date.year << " bias " << c.bias;
            EXPECT_EQ(records[0].date[6], c.bytes[6]);
        }
    }
}

TEST(IsoLayout, JolietNamesAreWrittenAsTheirUtf16Units) {
    Master m;
    m.disk.AddFile(u"C:\\src\\Łódź.txt", {1}, "LODZ~1.TXT");
    m.disk.AddFolder(u"C:\\src\\Ébène");
    m.disk.AddFolder(u"C:\\src\\Łąka");
    m.Insert();
    m.Prepare();
    EXPECT_EQ(Ids(RootRecords(m, true))[2], Ucs2(u"Ébène"));
    EXPECT_EQ(Ids(RootRecords(m, true))[3], Ucs2(u"Łódź.txt;1")) << "U+00F3 before U+0105";
    const ImageLayout& l = m.burner.Layout();
    const auto table = View(m).PathTable(l.jolietL, l.jolietPathTableSize);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1].id, Ucs2(u"Ébène")) << "U+00C9 before U+0141";
    EXPECT_EQ(Ids(RootRecords(m, false))[2], "LODZ~1.TXT;1");
}

TEST(IsoLayout, BootCatalogFollowsTheDirectoriesWithItsChecksum) {
    Master m;
    m.disk.AddFile(u"C:\\boot.img", testing::Pattern(1474560, 3));
    m.burner.Bootable = true;
    m.burner.BootImage = u"C:\\boot.img";
    m.Prepare();
    const ImageLayout& l = m.burner.Layout();
    ASSERT_TRUE(l.bootable);
    EXPECT_EQ(l.bootRecord, 17u);
    EXPECT_EQ(l.svd, 18u);
    EXPECT_EQ(l.bootCatalog, l.jolietDirArea + 1);
    EXPECT_EQ(l.bootImage, l.bootCatalog + 1);
    EXPECT_EQ(l.firstFile, l.bootImage + 720);
    const ImageView v = View(m);
    const std::uint8_t* br = v.Sector(17);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(br + 7), 23), "EL TORITO SPECIFICATION");
    EXPECT_EQ(testing::LE32(br + 71), l.bootCatalog);
    const std::uint8_t* cat = v.Sector(l.bootCatalog);
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) sum += testing::LE16(cat + 2 * i);
    EXPECT_EQ(sum & 0xFFFF, 0u);
    EXPECT_EQ(cat[30], 0x55);
    EXPECT_EQ(cat[31], 0xAA);
    EXPECT_EQ(cat[32], 0x88);
    EXPECT_EQ(cat[33], 2) << "1.44 MB floppy";
    EXPECT_EQ(testing::LE32(cat + 40), l.bootImage);
    EXPECT_EQ(m.burner.MetadataStream().size(), (l.bootCatalog + 1) * 2048u);
}

TEST(IsoLayout, BootImageThatCannotBeOpenedIsLeftOutWithALogLine) {
    Master m;
    m.burner.Bootable = true;
    m.burner.BootImage = u"C:\\missing.img";
    m.Prepare();
    EXPECT_FALSE(m.burner.Layout().bootable);
    EXPECT_EQ(View(m).Sector(17)[0], 2) << "the Joliet descriptor follows the primary one";
    ASSERT_FALSE(m.log.empty());
    EXPECT_NE(m.log.back().first.find("missing.img"), std::string::npos);
}

TEST(IsoLayout, NoDeviceMeansSessionZeroAndAFailedQueryIsLogged) {
    Master m;
    DeviceQueries failing;
    failing.nextWritableAddress = [] { return std::optional<std::uint32_t>{}; };
    m.burner.PrepareImage(failing, {}, 0);
    EXPECT_EQ(m.burner.Layout().sessionStart, 0u);
    EXPECT_EQ(m.log.back(), (std::pair<std::string, int>{">>> ERROR GETTING NEXT WRITABLE ADDRESS", 0}));
    DeviceQueries dvd;
    dvd.deviceType = 10;
    dvd.nextWritableAddress = [] { return std::optional<std::uint32_t>{5000}; };
    m.burner.PrepareImage(dvd, {}, 0);
    EXPECT_EQ(m.burner.Layout().sessionStart, 0u) << "a DVD is not asked";
}

}  // namespace
}  // namespace burn
