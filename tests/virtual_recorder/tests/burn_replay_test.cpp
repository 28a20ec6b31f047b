// The recorder's self-test: the command sequence of a burn of a genisoimage image stores that
// image byte for byte, and isoinfo reads the stored copy.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/virtual_recorder/portable/recorder_core.h"
#include "tests/virtual_recorder/tests/recorder_test_support.h"

namespace vcdr {
namespace {

using namespace testing_support;

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        pclose(p);
    }
    return out;
}

void MakeSourceTree(const std::filesystem::path& root) {
    std::filesystem::create_directories(root / "files" / "gallery");
    const std::pair<const char*, std::size_t> files[] = {
        {"index.html", 3000}, {"files/biography.html", 5000}, {"files/gallery/A rather long picture name.jpg", 200000},
        {"files/gallery/thm_1.jpg", 7000}, {"empty.txt", 0},
    };
    unsigned seed = 1;
    for (const auto& [name, size] : files) {
        const auto bytes = Pattern(size, seed++);
        std::ofstream(root / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), size);
    }
}

TEST(BurnReplay, GenisoimageImageStoredByteForByte) {
    TempDir dir;
    MakeSourceTree(dir.Path() / "site");
    const std::string iso = dir / "site.iso";
    Shell("genisoimage -J -quiet -V PORTFOLIO -o '" + iso + "' '" + (dir / "site") + "' 2>&1");
    const std::string image = ReadFile(iso);
    ASSERT_GT(image.size(), 200000u) << "genisoimage made no image";
    ASSERT_EQ(image.size() % kSector, 0u);

    DeviceConfig config;
    config.ImagePath = dir / "disc.img";
    config.StatePath = dir / "disc.state";
    RecorderCore core(config);
    Drive drive{core};
    Answer a;
    EXPECT_EQ(drive.In({0x12, 0, 0, 0, 128, 0}, 128)[0], 5);
    drive.In({0x5A, 0, 0xAA, 0, 0, 0, 0, 0, 128, 0}, 128, &a);
    ASSERT_EQ(a.SrbStatus, 1);
    ASSERT_EQ(drive.Run({0x1B, 0, 0, 0, 3, 0}).SrbStatus, 1);
    ASSERT_EQ(drive.Run({0xBB, 0, 0xFF, 0xFF, 0x05, 0x88, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
    ASSERT_EQ(drive.Run({0x00, 0, 0, 0, 0, 0}).SrbStatus, 1);
    drive.In({0x51, 0, 0, 0, 0, 0, 0, 0, 56, 0}, 56, &a);
    ASSERT_EQ(a.SrbStatus, 1);
    auto page = drive.In({0x5A, 0, 0x05, 0, 0, 0, 0, 2, 0, 0}, 512);
    ASSERT_EQ(page[8], 5);
    std::vector<std::uint8_t> list(8, 0);
    list.insert(list.end(), page.begin() + 8, page.begin() + 8 + 52);
    list[10] = 0x01;
    list[11] = 0x04;  // finalized, data track
    list[12] = 0x08;
    ASSERT_EQ(drive.Run({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, Transfer::Out, &list).SrbStatus, 1);
    const std::uint32_t start = Be32(drive.In({0x52, 1, 0, 0, 0, 0xFF, 0, 0, 38, 0}, 38), 12);
    ASSERT_EQ(start, 0u);

    constexpr std::size_t kBlock = 31 * kSector;
    std::uint32_t sectors = 0;
    for (std::size_t at = 0; at < image.size(); at += kBlock) {
        if (sectors % (5 * 31) == 0) drive.In({0x5C, 0, 0, 0, 0, 0, 0, 0, 32, 0}, 32);
        const std::size_t n = std::min(kBlock, image.size() - at);
        const Answer w = drive.Write(start + sectors, std::vector<std::uint8_t>(image.begin() + at, image.begin() + at + n));
        ASSERT_EQ(w.SrbStatus, 1) << "at sector " << sectors;
        sectors += static_cast<std::uint32_t>(n / kSector);
    }
    ASSERT_EQ(drive.Run({0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
    ASSERT_EQ(drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);

    EXPECT_TRUE(ReadFile(config.ImagePath) == image) << "the stored image differs";
    EXPECT_NE(ReadFile(config.StatePath).find("status=complete\n"), std::string::npos);
    const std::string info = Shell("isoinfo -d -i '" + config.ImagePath + "' 2>&1");
    EXPECT_NE(info.find("Volume id: PORTFOLIO"), std::string::npos) << info;
    EXPECT_NE(info.find("Joliet"), std::string::npos) << info;
    const std::string listing = Shell("isoinfo -J -f -i '" + config.ImagePath + "' 2>&1");
    EXPECT_NE(listing.find("/files/gallery/A rather long picture name.jpg"), std::string::npos) << listing;
}

}  // namespace
}  // namespace vcdr
