// Where a mode page starts in an answer, the write-parameters page patched for a burn,
// and the speed arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "burn/portable/mode_pages.h"
#include "burn/portable/speed.h"

namespace burn {
namespace {

TEST(ModePages, PageStart) {
    struct Case {
        int at16, at8, at7;
        std::size_t start;
    };
    const Case cases[] = {
        {5, 0, 0, 16}, {5, 5, 5, 16}, {0, 5, 0, 8}, {0, 0, 5, 7}, {0, 5, 5, 8}, {0, 0, 0, 8},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> answer(64, 0);
        answer[16] = c.at16;
        answer[8] = c.at8;
        answer[7] = c.at7;
        EXPECT_EQ(ModePageStart(answer, 5), c.start) << c.at16 << c.at8 << c.at7;
    }
    EXPECT_EQ(ModePageStart(std::vector<std::uint8_t>(4, 0), 5), 8u);
}

TEST(ModePages, WriteParametersPerMediumAndOption) {
    struct Case {
        const char* name;
        WriteParamsChoice choice;
        std::uint8_t b2, b3, b4, b5;
    };
    const std::uint32_t both = kCapUnderrunFree | kCapTestWrite;
    const Case cases[] = {
        // Every CD data burn: track mode 4 (data, uninterrupted) with data block type 8 (mode 1).
        {"CD TAO multisession", {false, false, 2, false, false, false, false, both}, 0x01, 0xC4, 8, 0},
        {"CD TAO finalized", {false, false, 2, false, true, false, false, both}, 0x01, 0x04, 8, 0},
        {"CD SAO BUFE", {false, true, 2, true, true, false, false, both}, 0x42, 0x04, 8, 0},
        {"CD SAO multisession", {false, false, 2, true, false, false, false, both}, 0x02, 0xC4, 8, 0},
        {"BUFE needs the capability", {false, true, 2, false, true, false, false, kCapTestWrite}, 0x01, 0x04, 8, 0},
        {"test write", {true, false, 2, false, false, false, false, both}, 0x11, 0x04, 8, 0},
        {"test write needs the capability", {true, false, 2, false, false, false, false, 0}, 0x01, 0x04, 8, 0},
        {"link size quirk", {false, false, 2, false, true, true, false, 0}, 0x21, 0x04, 8, 0},
        {"DVD+R", {false, false, 10, false, true, false, false, 0}, 0x22, 0x04, 8, 16},
        {"DVD-R protected", {false, true, 5, false, false, false, false, 0}, 0x42, 0x05, 8, 0},
        {"DVD-RW unprotected", {false, false, 7, false, false, false, false, 0}, 0x02, 0x05, 8, 0},
        {"DVR quirk", {false, false, 2, false, false, false, true, 0}, 0x41, 0xC4, 8, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::array<std::uint8_t, kWriteParamsPageSize> page{};
        page[0] = 5;
        page[3] = 0x30;  // stale bits the drive had (fixed packets, copy) and audio, as the probe leaves it
        for (int i = 5; i < 14; ++i) page[i] = 0xEE;
        page[20] = 0x77;
        PatchWriteParamsPage(page, c.choice);
        EXPECT_EQ(page[1], 0x32);
        EXPECT_EQ(page[2], c.b2);
        EXPECT_EQ(page[3], c.b3);
        EXPECT_EQ(page[4], c.b4);
        EXPECT_EQ(page[5], c.b5);
        for (int i = 6; i < 14; ++i) EXPECT_EQ(page[i], 0) << i;
        EXPECT_EQ(page[20], 0x77);
    }
}

TEST(ModePages, ModeSelectListIsHeaderAndPage) {
    std::array<std::uint8_t, kWriteParamsPageSize> page{};
    page[0] = 5;
    page[1] = 0x32;
    page[51] = 0x99;
    page[52] = 0x55;  // past the page length
    const auto list = ModeSelectList(page);
    ASSERT_EQ(list.size(), 0x32u + 10);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(list[i], 0);
    EXPECT_EQ(list[8], 5);
    EXPECT_EQ(list.back(), 0x99);
}

TEST(Speed, XFromKBsAndBack) {
    EXPECT_EQ(SpeedXFromKBs(7056), 40);
    EXPECT_EQ(SpeedXFromKBs(1411), 8);
    EXPECT_EQ(SpeedXFromKBs(0), 0);
    EXPECT_EQ(SpeedXFromKBs(176), 1);
    EXPECT_EQ(SpeedFieldFromX(0), 0xFFFF);
    EXPECT_EQ(SpeedFieldFromX(8), 1416);
    EXPECT_EQ(SpeedFieldFromX(52), 9204);
    EXPECT_EQ(SpeedFieldFromX(1000), 0xFFFF);
}

}  // namespace
}  // namespace burn
