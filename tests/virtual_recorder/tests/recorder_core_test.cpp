// The virtual recorder's own behaviour: the write checks, speeds, disc states, tray and the
// faults, answered as a drive would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "burn/portable/srb.h"
#include "tests/virtual_recorder/portable/recorder_core.h"
#include "tests/virtual_recorder/tests/recorder_test_support.h"

namespace vcdr {
namespace {

using namespace testing_support;

struct SenseTriple {
    int key, asc, ascq;
    bool operator==(const SenseTriple&) const = default;
};

SenseTriple SenseOf(const Answer& a) { return {a.Sense[2] & 0x0F, a.Sense[12], a.Sense[13]}; }

std::ostream& operator<<(std::ostream& os, const SenseTriple& s) {
    return os << std::hex << s.key << "/" << s.asc << "/" << s.ascq;
}

TEST(RecorderCore, WriteIsCheckedInItsOrder) {
    struct Case {
        const char* name;
        std::function<void(DeviceConfig&)> configure;
        bool selectPage;
        std::uint32_t lba;
        std::uint16_t blocks;
        std::size_t bytes;
        SenseTriple sense;
    };
    const Case cases[] = {
        {"no medium before anything", [](DeviceConfig& d) { d.Medium = MediumKind::None; }, false, 5, 1, 100, {2, 0x3A, 1}},
        {"complete disc before the page", [](DeviceConfig& d) { d.Status = DiscStatus::Complete; }, false, 5, 1, 100, {5, 0x30, 5}},
        {"page before the address", [](DeviceConfig&) {}, false, 5, 1, 100, {5, 0x2C, 0}},
        {"address before the capacity", [](DeviceConfig& d) { d.CapacityBlocks = 10; }, true, 5, 20, 100, {5, 0x21, 2}},
        {"capacity before the length", [](DeviceConfig& d) { d.CapacityBlocks = 10; }, true, 0, 11, 100, {5, 0x21, 0}},
        {"length", [](DeviceConfig&) {}, true, 0, 2, 2048, {5, 0x24, 0}},
        {"all good", [](DeviceConfig&) {}, true, 0, 2, 4096, {0, 0, 0}},
        {"fits exactly", [](DeviceConfig& d) { d.CapacityBlocks = 2; }, true, 0, 2, 4096, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceConfig config;
        c.configure(config);
        RecorderCore core(config);
        Drive drive{core};
        if (c.selectPage) {
            ASSERT_EQ(drive.SelectWritePage().SrbStatus, 1);
        }
        std::vector<std::uint8_t> data(c.bytes, 1);
        const Answer a = drive.Run(Write10Cdb(c.lba, c.blocks), Transfer::Out, &data);
        EXPECT_EQ(SenseOf(a), c.sense);
        EXPECT_EQ(a.SrbStatus, c.sense.key == 0 ? 1 : 4);
    }
}

TEST(RecorderCore, SetCdSpeedSnapsDownAndShowsInTheCapabilitiesPage) {
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {0xFFFF, 8467}, {1416, 1411}, {9000, 8467}, {5000, 4234}, {7056, 7056}, {100, 706}, {0, 706},
    };
    for (const auto& [asked, kbs] : cases) {
        RecorderCore core(DeviceConfig{});
        Drive drive{core};
        ASSERT_EQ(drive.Run({0xBB, 0, 0xFF, 0xFF, std::uint8_t(asked >> 8), std::uint8_t(asked), 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
        const auto page = drive.In({0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 128, 0}, 128);
        ASSERT_EQ(page[8], 0x2A);
        EXPECT_EQ(page[8 + 20] << 8 | page[8 + 21], kbs) << "asked " << asked;
        EXPECT_EQ(page[8 + 18] << 8 | page[8 + 19], 8467);  // the maximum stays
    }
}

TEST(RecorderCore, ReadOnlyDriveShowsNoWriteBitsAndRefusesWriting) {
    DeviceConfig config;
    config.Writer = false;
    RecorderCore core(config);
    Drive drive{core};
    const auto page = drive.In({0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 128, 0}, 128);
    ASSERT_EQ(page[8], 0x2A);
    EXPECT_EQ(page[8 + 3], 0);     // no CD-R, CD-RW, test or DVD write
    EXPECT_NE(page[8 + 2], 0);     // it still reads
    const Answer select = drive.SelectWritePage();
    EXPECT_EQ(select.SrbStatus, burn::kSsErr);
    EXPECT_EQ(select.Sense[12], 0x26);
    const Answer write = drive.Write(0, std::vector<std::uint8_t>(kSector, 1));
    EXPECT_EQ(write.SrbStatus, burn::kSsErr);
    EXPECT_EQ(write.Sense[2], 5);
    EXPECT_EQ(write.Sense[12], 0x20);
    EXPECT_EQ(drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0}).Sense[12], 0x20);
}

TEST(RecorderCore, DiscInformationOfEachMedium) {
    struct Case {
        const char* name;
        MediumKind kind;
        DiscStatus status;
        int byte2, sessions;
        std::uint32_t nwa;
        int atip6;
    };
    const Case cases[] = {
        {"blank CD-R", MediumKind::CdR, DiscStatus::Blank, 0x00, 1, 0, 0x80},
        {"blank CD-RW", MediumKind::CdRw, DiscStatus::Blank, 0x10, 1, 0, 0xC0},
        {"appendable", MediumKind::CdR, DiscStatus::Appendable, 0x01, 2, 1000 + 11400, 0x80},
        {"complete", MediumKind::CdR, DiscStatus::Complete, 0x0E, 1, 0, 0x80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceConfig config;
        config.Medium = c.kind;
        config.Status = c.status;
        RecorderCore core(config);
        Drive drive{core};
        const auto info = drive.In({0x51, 0, 0, 0, 0, 0, 0, 0, 56, 0}, 56);
        EXPECT_EQ(info[2], c.byte2);
        EXPECT_EQ(info[4], c.sessions);
        Answer a;
        const auto track = drive.In({0x52, 1, 0, 0, 0, 0xFF, 0, 0, 38, 0}, 38, &a);
        ASSERT_EQ(a.SrbStatus, 1);
        EXPECT_EQ((track[7] & 1) != 0, c.status != DiscStatus::Complete);
        if (c.status != DiscStatus::Complete) {
            EXPECT_EQ(Be32(track, 12), c.nwa);
        }
        const auto atip = drive.In({0x43, 2, 4, 0, 0, 0, 0, 0, 26, 0}, 26);
        EXPECT_EQ(atip[6], c.atip6);
        const auto config46 = drive.In({0x46, 2, 0, 0, 0, 0, 0, 0, 114, 0}, 114);
        EXPECT_EQ(config46[7], c.kind == MediumKind::CdRw ? 0x0A : 0x09);
    }
}

TEST(RecorderCore, TrayEjectLoadAndUnitAttention) {
    DeviceConfig config;
    RecorderCore core(config);
    Drive drive{core};
    ASSERT_EQ(drive.Run({0x1E, 0, 0, 0, 1, 0}).SrbStatus, 1);
    EXPECT_EQ(SenseOf(drive.Run({0x1B, 0, 0, 0, 2, 0})), (SenseTriple{5, 0x53, 2}));  // removal prevented
    ASSERT_EQ(drive.Run({0x1E, 0, 0, 0, 0, 0}).SrbStatus, 1);
    ASSERT_EQ(drive.Run({0x1B, 0, 0, 0, 2, 0}).SrbStatus, 1);
    EXPECT_EQ(SenseOf(drive.Run({0x00, 0, 0, 0, 0, 0})), (SenseTriple{2, 0x3A, 2}));
    ASSERT_EQ(drive.Run({0x1B, 0, 0, 0, 3, 0}).SrbStatus, 1);
    EXPECT_EQ(SenseOf(drive.Run({0x00, 0, 0, 0, 0, 0})), (SenseTriple{6, 0x28, 0}));  // once
    EXPECT_EQ(drive.Run({0x00, 0, 0, 0, 0, 0}).SrbStatus, 1);
    // Loading a closed tray tells nothing new.
    ASSERT_EQ(drive.Run({0x1B, 0, 0, 0, 3, 0}).SrbStatus, 1);
    EXPECT_EQ(drive.Run({0x00, 0, 0, 0, 0, 0}).SrbStatus, 1);
}

TEST(RecorderCore, RequestSenseGivesThePendingSenseOnce) {
    DeviceConfig config;
    config.Medium = MediumKind::None;
    RecorderCore core(config);
    Drive drive{core};
    std::vector<std::uint8_t> page(60, 0);
    EXPECT_EQ(drive.Run({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, Transfer::Out, &page).SrbStatus, 4);  // page 0
    auto sense = drive.In({0x03, 0, 0, 0, 18, 0}, 18);
    EXPECT_EQ(sense[0], 0x70);
    EXPECT_EQ(sense[12], 0x26);  // page 0 is no page it knows
    sense = drive.In({0x03, 0, 0, 0, 18, 0}, 18);
    EXPECT_EQ(sense[12], 0x3A);  // then the lasting condition
}

TEST(RecorderCore, SenseLastsUntilTheNextCommand) {
    RecorderCore core(DeviceConfig{});
    Drive drive{core};
    std::vector<std::uint8_t> page(60, 0);
    EXPECT_EQ(drive.Run({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, Transfer::Out, &page).SrbStatus, 4);
    EXPECT_EQ(drive.Run({0x00, 0, 0, 0, 0, 0}).SrbStatus, 1);
    const auto sense = drive.In({0x03, 0, 0, 0, 18, 0}, 18);
    EXPECT_EQ(sense[2], 0);
    EXPECT_EQ(sense[12], 0);
}

TEST(RecorderCore, FaultsAnswerAsConfigured) {
    struct Case {
        const char* name;
        const char* fault;
        bool bufe;
        // results of three writes of one sector each
        int status[3];
        SenseTriple sense;  // of the first failure
        int targStat;
    };
    const Case cases[] = {
        {"write error on the second", "op=2A nth=2 sense=03/0C/00", false, {1, 4, 1}, {3, 0x0C, 0}, 2},
        {"busy twice by status", "op=2A times=2 target=08", false, {4, 4, 1}, {0, 0, 0}, 8},
        {"busy twice by sense", "op=2A times=2 sense=02/04/08", false, {4, 4, 1}, {2, 4, 8}, 2},
        {"from an address on, for ever", "op=2A lba=1 times=ever sense=03/0C/00", false, {1, 4, 4}, {3, 0x0C, 0}, 2},
        {"loss of streaming without BUFE", "op=2A nth=2 underrun", false, {1, 4, 1}, {3, 0x0C, 9}, 2},
        {"streaming kept with BUFE", "op=2A nth=2 underrun", true, {1, 1, 1}, {0, 0, 0}, 0},
        {"tray opened mid-burn", "op=2A nth=2 tray-open", false, {1, 4, 4}, {2, 0x3A, 2}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceConfig config;
        config.Faults.push_back(ParseFault(c.fault));
        RecorderCore core(config);
        Drive drive{core};
        ASSERT_EQ(drive.SelectWritePage(true, c.bufe).SrbStatus, 1);
        Answer firstFailure;
        bool failed = false;
        std::uint32_t lba = 0;
        for (int i = 0; i < 3; ++i) {
            const Answer a = drive.Write(lba, Pattern(kSector, i));
            EXPECT_EQ(a.SrbStatus, c.status[i]) << "write " << i;
            if (a.SrbStatus == 1) ++lba;
            if (a.SrbStatus != 1 && !failed) {
                firstFailure = a;
                failed = true;
            }
        }
        EXPECT_EQ(SenseOf(firstFailure), c.sense);
        EXPECT_EQ(firstFailure.TargStat, c.targStat);
        EXPECT_EQ(core.State().UnderrunsAbsorbed, c.bufe ? 1u : 0u);
    }
}

TEST(RecorderCore, OtherNextWritableAddressAtTheSecondTrackInformation) {
    DeviceConfig config;
    config.Faults.push_back(ParseFault("op=52 nth=2 nwa=500"));
    RecorderCore core(config);
    Drive drive{core};
    const std::vector<std::uint8_t> rti = {0x52, 1, 0, 0, 0, 0xFF, 0, 0, 38, 0};
    EXPECT_EQ(Be32(drive.In(rti, 38), 12), 0u);
    EXPECT_EQ(Be32(drive.In(rti, 38), 12), 500u);
    ASSERT_EQ(drive.SelectWritePage().SrbStatus, 1);
    EXPECT_EQ(SenseOf(drive.Write(0, Pattern(kSector, 1))), (SenseTriple{5, 0x21, 2}));
    EXPECT_EQ(drive.Write(500, Pattern(kSector, 1)).SrbStatus, 1);
}

TEST(RecorderCore, NeverCompletesAndDelayAreFlagsOfTheAnswer) {
    DeviceConfig config;
    config.Faults.push_back(ParseFault("op=35 never"));
    config.Faults.push_back(ParseFault("op=00 delay=250"));
    RecorderCore core(config);
    Drive drive{core};
    EXPECT_TRUE(drive.Run({0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}).NeverCompletes);
    const Answer a = drive.Run({0x00, 0, 0, 0, 0, 0});
    EXPECT_EQ(a.DelayMs, 250u);
    EXPECT_EQ(a.SrbStatus, 1);
}

TEST(RecorderCore, CloseSessionFinalizesOrLeavesTheDiscAppendable) {
    for (bool finalize : {true, false}) {
        SCOPED_TRACE(finalize);
        RecorderCore core(DeviceConfig{});
        Drive drive{core};
        ASSERT_EQ(drive.SelectWritePage(finalize).SrbStatus, 1);
        const std::vector<std::uint8_t> close = {0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(SenseOf(drive.Run(close)), (SenseTriple{5, 0x2C, 0}));  // nothing written yet
        ASSERT_EQ(drive.Write(0, Pattern(3 * kSector, 3)).SrbStatus, 1);
        ASSERT_EQ(drive.Run(close).SrbStatus, 1);
        const DriveState s = core.State();
        EXPECT_EQ(s.Status, finalize ? DiscStatus::Complete : DiscStatus::Appendable);
        ASSERT_EQ(s.ClosedSessions.size(), 1u);
        EXPECT_EQ(s.ClosedSessions[0], (std::pair<std::uint32_t, std::uint32_t>{0, 3}));
        const auto toc = drive.In({0x43, 0, 1, 0, 0, 0, 0, 0, 12, 0}, 12);
        EXPECT_EQ(toc[3], 1);
    }
}

TEST(RecorderCore, CloseSessionFailureFault) {
    DeviceConfig config;
    config.Faults.push_back(ParseFault("op=5B sense=03/72/00"));
    RecorderCore core(config);
    Drive drive{core};
    ASSERT_EQ(drive.SelectWritePage().SrbStatus, 1);
    ASSERT_EQ(drive.Write(0, Pattern(kSector, 1)).SrbStatus, 1);
    EXPECT_EQ(SenseOf(drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0})), (SenseTriple{3, 0x72, 0}));
    EXPECT_EQ(core.State().Status, DiscStatus::Blank);
}

// Page 5 as a drive checks it when it is selected; a refusal leaves the stored page as it was.
TEST(RecorderCore, PageFiveIsCheckedWhenItIsSelected) {
    struct Case {
        const char* name;
        std::function<void(DeviceConfig&)> configure;
        std::uint8_t b2, b3, b4, b5;
        bool accepted;
    };
    const auto any = [](DeviceConfig&) {};
    const Case cases[] = {
        {"track-at-once data", any, 0x01, 0x04, 8, 0, true},
        {"session-at-once data, multisession", any, 0x02, 0xC4, 8, 0, true},
        {"incremental data track", any, 0x01, 0x05, 8, 0, true},
        {"raw, as the probe sends it", any, 0x03, 0x00, 1, 0, true},
        {"track-at-once audio, as the probe sends it", any, 0x01, 0x00, 0, 0, true},
        {"mode 1 blocks on an audio track", any, 0x01, 0x00, 8, 0, false},
        {"raw blocks on a data track", any, 0x01, 0x04, 0, 0, false},
        {"reserved data block type", any, 0x01, 0x04, 5, 0, false},
        {"packet writing is not offered", any, 0x00, 0x04, 8, 0, false},
        {"write type the drive does not offer", [](DeviceConfig& d) { d.WriteTypes = {1}; }, 0x02, 0x04, 8, 0, false},
        {"test write where the drive can", any, 0x11, 0x04, 8, 0, true},
        {"test write where it cannot", [](DeviceConfig& d) { d.TestWrite = false; }, 0x11, 0x04, 8, 0, false},
        {"reserved multisession value", any, 0x01, 0x84, 8, 0, false},
        {"no next session on a CD", any, 0x01, 0x44, 8, 0, true},
        {"no next session on a DVD", [](DeviceConfig& d) { d.Medium = MediumKind::DvdR; }, 0x01, 0x45, 8, 0, false},
        {"a CD's link size", any, 0x21, 0x04, 8, 7, true},
        {"a DVD's link size on a CD", any, 0x21, 0x04, 8, 16, false},
        {"a DVD's link size", [](DeviceConfig& d) { d.Medium = MediumKind::DvdR; }, 0x22, 0x04, 8, 16, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceConfig config;
        c.configure(config);
        RecorderCore core(config);
        Drive drive{core};
        ASSERT_EQ(drive.SelectPage(0x01, 0x05, 8).SrbStatus, 1);  // an earlier page, an incremental track
        const Answer a = drive.SelectPage(c.b2, c.b3, c.b4, c.b5);
        const auto page = core.State().Page5;
        ASSERT_EQ(page.size(), 52u);
        if (c.accepted) {
            EXPECT_EQ(a.SrbStatus, 1);
            EXPECT_EQ(page[2], c.b2);
            EXPECT_EQ(page[3], c.b3);
        } else {
            EXPECT_EQ(SenseOf(a), (SenseTriple{5, 0x26, 0}));
            EXPECT_EQ(page[2], 0x01) << "the stored page stays";
            EXPECT_EQ(page[3], 0x05);
            EXPECT_EQ(page[4], 8);
        }
    }
}

// A WRITE (10) carries whole blocks of the size the stored page's data block type gives.
TEST(RecorderCore, WriteTransferFitsTheBlockSize) {
    struct Case {
        const char* name;
        std::uint8_t b3, b4;
        std::size_t bytesPerBlock;
        bool accepted;
    };
    const Case cases[] = {
        {"mode 1, 2048", 0x04, 8, 2048, true},
        {"raw audio, 2352", 0x00, 0, 2352, true},
        {"2048 bytes for raw audio blocks", 0x00, 0, 2048, false},
        {"2352 bytes for mode 1 blocks", 0x04, 8, 2352, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecorderCore core(DeviceConfig{});
        Drive drive{core};
        ASSERT_EQ(drive.SelectPage(0x01, c.b3, c.b4).SrbStatus, 1);
        std::vector<std::uint8_t> data(2 * c.bytesPerBlock, 7);
        const Answer a = drive.Run(Write10Cdb(0, 2), Transfer::Out, &data);
        EXPECT_EQ(SenseOf(a), (c.accepted ? SenseTriple{0, 0, 0} : SenseTriple{5, 0x24, 0}));
    }
}

// The track mode the writes used: in READ TRACK INFORMATION, in the control field of each TOC
// format and in the state file.
TEST(RecorderCore, TheTrackModeOfTheWriteShowsInTrackInformationTocAndState) {
    for (const std::uint8_t mode : {std::uint8_t{4}, std::uint8_t{5}}) {
        SCOPED_TRACE(int{mode});
        TempDir dir;
        DeviceConfig config;
        config.StatePath = dir / "disc.state";
        RecorderCore core(config);
        Drive drive{core};
        ASSERT_EQ(drive.SelectPage(0x01, static_cast<std::uint8_t>(0xC0 | mode), 8).SrbStatus, 1);
        ASSERT_EQ(drive.Write(0, Pattern(2 * kSector, 1)).SrbStatus, 1);
        // A later page changes nothing of the track already written.
        ASSERT_EQ(drive.SelectPage(0x01, static_cast<std::uint8_t>(0xC0 | (mode ^ 1)), 8).SrbStatus, 1);
        EXPECT_EQ(drive.In({0x52, 1, 0, 0, 0, 0xFF, 0, 0, 38, 0}, 38)[5] & 0x0F, mode) << "the open track";
        ASSERT_EQ(drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
        EXPECT_EQ(drive.In({0x52, 1, 0, 0, 0, 1, 0, 0, 38, 0}, 38)[5] & 0x0F, mode) << "the closed track";
        const std::uint8_t control = static_cast<std::uint8_t>(0x10 | mode);
        EXPECT_EQ(drive.In({0x43, 0, 0, 0, 0, 0, 0, 0, 20, 0}, 20)[5], control) << "format 0";
        EXPECT_EQ(drive.In({0x43, 0, 1, 0, 0, 0, 0, 0, 12, 0}, 12)[5], control) << "format 1";
        const auto full = drive.In({0x43, 2, 2, 0, 0, 0, 0, 0, 48, 0}, 48);
        for (int point = 0; point < 4; ++point) EXPECT_EQ(full[4 + 11 * point + 1], control) << "format 2, " << point;
        EXPECT_NE(ReadFile(dir / "disc.state").find("track_modes=" + std::to_string(mode) + " \n"), std::string::npos)
            << ReadFile(dir / "disc.state");
    }
}

// A close with IMMED is taken at once; the drive fixates over the next requests, meanwhile not
// ready ("operation in progress") with the disc still open. A failed fixation is the deferred
// error of the next command, and the session stays incomplete.
TEST(RecorderCore, ImmediateCloseFixatesInTheBackground) {
    const std::vector<std::uint8_t> testUnitReady = {0x00, 0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> discInformation = {0x51, 0, 0, 0, 0, 0, 0, 0, 34, 0};
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "fixation fails" : "fixation succeeds");
        DeviceConfig config;
        config.FixationRequests = 3;
        if (fails) config.Faults.push_back(ParseFault("op=5B fixation-fails"));
        RecorderCore core(config);
        Drive drive{core};
        ASSERT_EQ(drive.SelectWritePage().SrbStatus, 1);
        ASSERT_EQ(drive.Write(0, Pattern(3 * kSector, 3)).SrbStatus, 1);
        ASSERT_EQ(drive.Run({0x5B, 1, 2, 0, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
        // Three requests: the disc information, answered, then two readiness polls.
        Answer a;
        EXPECT_EQ(drive.In(discInformation, 34, &a)[2] & 0x0F, 0x05) << "incomplete disc, incomplete session";
        EXPECT_EQ(a.SrbStatus, 1);
        for (int i = 0; i < 2; ++i) EXPECT_EQ(SenseOf(drive.Run(testUnitReady)), (SenseTriple{2, 4, 7})) << i;
        const Answer after = drive.Run(testUnitReady);
        if (fails) {
            EXPECT_EQ(SenseOf(after), (SenseTriple{3, 0x72, 0}));
            EXPECT_EQ(after.Sense[0], 0x71) << "a deferred error";
            EXPECT_EQ(drive.Run(testUnitReady).SrbStatus, 1) << "told once";
            EXPECT_EQ(drive.In(discInformation, 34)[2] & 0x0F, 0x05) << "the session stays incomplete";
            EXPECT_EQ(core.State().Status, DiscStatus::Blank);
        } else {
            EXPECT_EQ(after.SrbStatus, 1);
            EXPECT_EQ(drive.In(discInformation, 34)[2] & 0x0F, 0x0E) << "complete";
            EXPECT_EQ(core.State().Status, DiscStatus::Complete);
        }
    }
    // Without IMMED the close itself answers the failure.
    DeviceConfig config;
    config.Faults.push_back(ParseFault("op=5B fixation-fails"));
    RecorderCore core(config);
    Drive drive{core};
    ASSERT_EQ(drive.SelectWritePage().SrbStatus, 1);
    ASSERT_EQ(drive.Write(0, Pattern(kSector, 3)).SrbStatus, 1);
    const Answer close = drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(SenseOf(close), (SenseTriple{3, 0x72, 0}));
    EXPECT_EQ(close.Sense[0], 0x70);
}

// A start never empties the image a burn of an earlier run left: its blank disc takes the next
// numbered image.
TEST(RecorderCore, AStartKeepsTheDiscsOfEarlierRuns) {
    TempDir dir;
    DeviceConfig config;
    config.ImagePath = dir / "disc.img";
    config.StatePath = dir / "disc.state";
    const auto burn = [&](unsigned seed) {
        RecorderCore core(config);
        Drive drive{core};
        EXPECT_EQ(drive.SelectWritePage().SrbStatus, 1);
        EXPECT_EQ(drive.Write(0, Pattern(2 * kSector, seed)).SrbStatus, 1);
        return core.CurrentImagePath();
    };
    EXPECT_EQ(burn(1), dir / "disc.img");
    {
        RecorderCore idle(config);  // a start that burns nothing leaves an empty image
        EXPECT_EQ(idle.CurrentImagePath(), dir / "disc-1.img");
    }
    EXPECT_EQ(burn(2), dir / "disc-1.img") << "an empty image is taken again";
    EXPECT_EQ(burn(3), dir / "disc-2.img");
    const std::pair<const char*, unsigned> discs[] = {{"disc.img", 1}, {"disc-1.img", 2}, {"disc-2.img", 3}};
    for (const auto& [name, seed] : discs) {
        const auto bytes = Pattern(2 * kSector, seed);
        EXPECT_EQ(ReadFile(dir / name), std::string(bytes.begin(), bytes.end())) << name;
    }
}

TEST(RecorderCore, FaultTriggerCounting) {
    struct Case {
        const char* text;
        std::vector<std::pair<int, std::int64_t>> requests;  // opcode, lba
        std::vector<bool> fires;
    };
    const Case cases[] = {
        {"op=2A sense=03/0C/00", {{0x2A, 0}, {0x2A, 1}}, {true, false}},
        {"op=2A nth=3 times=2 srb=82", {{0x2A, 0}, {0x00, -1}, {0x2A, 1}, {0x2A, 2}, {0x2A, 3}, {0x2A, 4}},
         {false, false, false, true, true, false}},
        {"op=2A lba=100 sense=03/0C/00", {{0x2A, 99}, {0x2A, 100}, {0x2A, 101}}, {false, true, false}},
        {"op=2A lba=100 nth=2 times=ever host=11", {{0x2A, 100}, {0x2A, 50}, {0x2A, 131}, {0x2A, 162}},
         {false, false, true, true}},
        {"times=2 never", {{0x00, -1}, {0x12, -1}, {0x2A, 0}}, {true, true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Fault f = ParseFault(c.text);
        for (std::size_t i = 0; i < c.requests.size(); ++i) {
            EXPECT_EQ(f.Fires(static_cast<std::uint8_t>(c.requests[i].first), c.requests[i].second), c.fires[i]) << i;
        }
    }
}

TEST(RecorderCore, BadFaultTextsAreRefused) {
    for (const char* text : {"", "op=2A", "op=ZZ never", "sense=3/C/0", "nth=0 never", "bogus"}) {
        EXPECT_THROW(ParseFault(text), std::invalid_argument) << text;
    }
}

// After an eject the tray closes on a fresh blank disc, whether a LOAD closes it or a user pushes
// it in (the file a test drops, taken once by the next request); each disc keeps its image.
TEST(RecorderCore, FreshDiscAfterEjectKeepsEachDiscsImage) {
    const std::vector<std::uint8_t> testUnitReady = {0x00, 0, 0, 0, 0, 0};
    for (const bool pushedIn : {false, true}) {
        SCOPED_TRACE(pushedIn ? "pushed in" : "loaded");
        TempDir dir;
        DeviceConfig config;
        config.FreshDiscAfterEject = true;
        config.ImagePath = dir / "disc.img";
        config.StatePath = dir / "disc.state";
        config.CloseTrayPath = dir / "close-tray";
        RecorderCore core(config);
        Drive drive{core};
        const auto first = Pattern(2 * kSector, 1), second = Pattern(3 * kSector, 2);
        for (const auto* image : {&first, &second}) {
            ASSERT_EQ(drive.SelectWritePage().SrbStatus, 1);
            ASSERT_EQ(drive.Write(0, *image).SrbStatus, 1);
            ASSERT_EQ(drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
            ASSERT_EQ(drive.Run({0x1B, 0, 0, 0, 2, 0}).SrbStatus, 1);
            if (pushedIn) {
                EXPECT_EQ(drive.Run(testUnitReady).Sense[12], 0x3A) << "no medium while the tray is out";
                std::ofstream(config.CloseTrayPath).put('\n');
            } else {
                ASSERT_EQ(drive.Run({0x1B, 0, 0, 0, 3, 0}).SrbStatus, 1);
            }
            EXPECT_EQ(drive.Run(testUnitReady).Sense[12], 0x28) << "the unit attention of the new disc";
            EXPECT_FALSE(std::filesystem::exists(config.CloseTrayPath)) << "taken once";
            EXPECT_FALSE(core.State().TrayOpen);
        }
        EXPECT_EQ(ReadFile(dir / "disc.img"), std::string(first.begin(), first.end()));
        EXPECT_EQ(ReadFile(dir / "disc-1.img"), std::string(second.begin(), second.end()));
        EXPECT_EQ(core.State().DiscNumber, 2u);
        EXPECT_EQ(core.State().Status, DiscStatus::Blank);
        EXPECT_NE(ReadFile(dir / "disc.state").find("disc_number=2"), std::string::npos);
    }
}

TEST(RecorderCore, StateFileCarriesTheDiscToTheNextRun) {
    TempDir dir;
    DeviceConfig config;
    config.ImagePath = dir / "disc.img";
    config.StatePath = dir / "disc.state";
    config.TracePath = dir / "trace.txt";
    {
        RecorderCore core(config);
        Drive drive{core};
        ASSERT_EQ(drive.SelectWritePage(false).SrbStatus, 1);
        ASSERT_EQ(drive.Write(0, Pattern(4 * kSector, 9)).SrbStatus, 1);
        ASSERT_EQ(drive.Run({0x5B, 0, 2, 0, 0, 0, 0, 0, 0, 0}).SrbStatus, 1);
    }
    const std::string state = ReadFile(dir / "disc.state");
    EXPECT_NE(state.find("status=appendable\n"), std::string::npos) << state;
    EXPECT_NE(state.find("sessions=0:4 \n"), std::string::npos) << state;
    const std::string trace = ReadFile(dir / "trace.txt");
    EXPECT_NE(trace.find("WRITE (10) 2A cdb=2A000000000000000400 -> 01/00/00 sense=0/00/00 lba=0 blocks=4"),
              std::string::npos) << trace;
    // The page the host asked for, as it was sent: track-at-once, multisession, data block type 8.
    EXPECT_NE(trace.find(" data=00000000000000000532" "01C408"), std::string::npos) << trace;

    config.ResumeState = true;
    RecorderCore again(config);
    Drive drive{again};
    EXPECT_EQ(again.State().Status, DiscStatus::Appendable);
    EXPECT_EQ(again.State().NextWritable, 4u + 11400);
    ASSERT_EQ(again.State().Page5.size(), 52u);
    EXPECT_EQ(drive.Write(4 + 11400, Pattern(kSector, 3)).SrbStatus, 1);  // the page came back too
    // The second session lands at its address; the first stays as it was.
    const std::string image = ReadFile(dir / "disc.img");
    ASSERT_EQ(image.size(), (4 + 11400 + 1) * std::size_t{kSector});
    const auto first = Pattern(4 * kSector, 9), second = Pattern(kSector, 3);
    EXPECT_TRUE(image.compare(0, first.size(), std::string(first.begin(), first.end())) == 0);
    EXPECT_TRUE(image.compare((4 + 11400) * std::size_t{kSector}, kSector, std::string(second.begin(), second.end())) == 0);
}

}  // namespace
}  // namespace vcdr
