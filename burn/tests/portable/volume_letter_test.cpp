// The recorder's letter by SCSI address: the first letter whose address matches, opened
// read-only when it cannot be opened for writing, and every handle closed again.
#include <gtest/gtest.h>

#include <algorithm>

#include "burn/portable/volume_letter.h"
#include "burn/tests/portable/fake_drives.h"

namespace burn {
namespace {

using namespace testing_support;

TEST(VolumeLetter, FirstLetterWithThatPortAndTarget) {
    FakeDrives m;
    m.Drives['C'].Type = 3;  // a fixed disk without an address
    FakeDrive& e = m.Cd('E');
    e.HasAddress = true;
    e.Address = {8, 1, 0, 0, 0};
    FakeDrive& f = m.Cd('F');
    f.HasAddress = true;
    f.Address = {8, 0, 0, 1, 0};
    f.ReadWriteOpenFails = true;
    FakeDrive& g = m.Cd('G');
    g.HasAddress = true;
    g.Address = {8, 0, 0, 1, 0};  // the same address again: F comes first
    m.Cd('H');                    // no address, as under Wine
    const SptiPlatform platform = m.Platform();

    struct Case {
        std::uint8_t ha, target;
        char letter;
    };
    const Case cases[] = {{1, 0, 'E'}, {0, 1, 'F'}, {0, 0, 0}, {2, 1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(FindVolumeLetter(platform, c.ha, c.target), c.letter) << int(c.ha) << ":" << int(c.target);
        EXPECT_TRUE(m.Open.empty()) << "a handle was left open";
    }
    EXPECT_NE(std::find(m.Opens.begin(), m.Opens.end(), "\\\\.\\F: r"), m.Opens.end());
}

}  // namespace
}  // namespace burn
