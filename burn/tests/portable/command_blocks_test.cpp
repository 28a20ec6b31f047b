// What every recorder command sends: CDB bytes, direction, data length and time-out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "burn/portable/command_blocks.h"

namespace burn {
namespace {

struct BlockCase {
    std::string name;
    std::function<CommandBlock()> make;
    std::vector<std::uint8_t> cdb;  // the first CdbLen bytes
    DataDirection direction;
    std::uint32_t length;
    std::uint32_t timeoutMs;
};

std::vector<BlockCase> Cases() {
    using D = DataDirection;
    return {
        {"TestUnitReady", [] { return TestUnitReadyBlock(5000); }, {0x00, 0, 0, 0, 0, 0}, D::None, 0, 5000},
        {"RezeroUnit", [] { return RezeroUnitBlock(); }, {0x01, 0, 0, 0, 0, 0}, D::None, 0, 10000},
        {"RequestSense", [] { return RequestSenseBlock(40); }, {0x03, 0, 0, 0, 40, 0}, D::In, 40, 10000},
        {"Inquiry", [] { return InquiryBlock(); }, {0x12, 0, 0, 0, 128, 0}, D::In, 128, 10000},
        {"Eject", [] { return LoadOrEjectBlock(true); }, {0x1B, 0, 0, 0, 2, 0}, D::None, 0, 20000},
        {"Load", [] { return LoadOrEjectBlock(false); }, {0x1B, 0, 0, 0, 3, 0}, D::None, 0, 20000},
        {"Prevent", [] { return PreventMediumRemovalBlock(false); }, {0x1E, 0, 0, 0, 1, 0}, D::None, 0, 10000},
        {"Allow", [] { return PreventMediumRemovalBlock(true); }, {0x1E, 0, 0, 0, 0, 0}, D::None, 0, 10000},
        {"Read10", [] { return Read10Block(0x01020304, 0x0506, 2048); },
         {0x28, 0, 1, 2, 3, 4, 0, 5, 6, 0}, D::In, 2048, 10000},
        {"Write10", [] { return Write10Block(0x00ABCDEF, 31, 0x50, 63488); },
         {0x2A, 0, 0, 0xAB, 0xCD, 0xEF, 0, 0, 31, 0}, D::Out, 63488, 120000},
        {"SyncImmediate", [] { return SynchronizeCacheBlock(300000, true); },
         {0x35, 2, 0, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 300000},
        {"Sync", [] { return SynchronizeCacheBlock(120000, false); },
         {0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 120000},
        {"ReadTocAtip", [] { return ReadTocBlock(4, 0, true, 0, 26); },
         {0x43, 2, 4, 0, 0, 0, 0, 0, 26, 0}, D::In, 26, 10000},
        {"ReadTocSessions", [] { return ReadTocBlock(1, 3, false, 0x40, 4); },
         {0x43, 0, 1, 0, 0, 0, 3, 0, 4, 0x40}, D::In, 4, 10000},
        {"GetConfiguration", [] { return GetConfigurationBlock(2, 0x2A, 114); },
         {0x46, 2, 0, 0x2A, 0, 0, 0, 0, 114, 0}, D::In, 114, 30000},
        {"ReadDiscInformation", [] { return ReadDiscInformationBlock(56); },
         {0x51, 0, 0, 0, 0, 0, 0, 0, 56, 0}, D::In, 56, 10000},
        {"ReadTrackInformation", [] { return ReadTrackInformationBlock(255); },
         {0x52, 1, 0, 0, 0, 255, 0, 0, 38, 0}, D::In, 38, 60000},
        {"ReserveTrack", [] { return ReserveTrackBlock(0x12345); },
         {0x53, 0, 0, 0, 0, 0, 0x01, 0x23, 0x45, 0}, D::In, 8, 10000},
        {"SendOpc", [] { return SendOpcBlock(); }, {0x54, 1, 0, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 150000},
        {"ModeSelect", [] { return ModeSelect10Block(60); },
         {0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, D::Out, 60, 10000},
        {"ModeSenseDefaults", [] { return ModeSense10Block(0x2A, true, 128); },
         {0x5A, 0, 0xAA, 0, 0, 0, 0, 0, 128, 0}, D::In, 128, 20000},
        {"ModeSenseCurrent", [] { return ModeSense10Block(5, false, 512); },
         {0x5A, 0, 5, 0, 0, 0, 0, 2, 0, 0}, D::In, 512, 20000},
        {"CloseSession", [] { return CloseTrackSessionBlock(false, true); },
         {0x5B, 1, 2, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 180000},
        {"CloseTrack", [] { return CloseTrackSessionBlock(true, false); },
         {0x5B, 0, 1, 0, 0, 0, 0, 0, 0, 0}, D::None, 0, 180000},
        {"ReadBufferCapacity", [] { return ReadBufferCapacityBlock(); },
         {0x5C, 0, 0, 0, 0, 0, 0, 0, 32, 0}, D::In, 32, 10000},
        {"SendCueSheet", [] { return SendCueSheetBlock(0x0102); },
         {0x5D, 0, 0, 0, 0, 0, 0, 1, 2, 0}, D::Out, 0x102, 30000},
        {"SetStreaming", [] { return SetStreamingBlock(28); },
         {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0}, D::Out, 28, 10000},
        {"SetCdSpeedMaxRead", [] { return SetCdSpeedBlock(0, 8); },
         {0xBB, 0, 0xFF, 0xFF, 0x05, 0x88, 0, 0, 0, 0, 0, 0}, D::None, 0, 10000},
        {"SetCdSpeedBoth", [] { return SetCdSpeedBlock(2, 0); },
         {0xBB, 0, 0x01, 0x62, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, D::None, 0, 10000},
        {"SendDvdStructure", [] { return SendDvdStructureBlock(0x0F, 22); },
         {0xBF, 0, 0, 0, 0, 0, 0, 0x0F, 0, 22, 0, 0}, D::Out, 22, 10000},
    };
}

TEST(CommandBlocks, EachCommandSendsItsBytesDirectionLengthAndTimeout) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        const CommandBlock b = c.make();
        ASSERT_EQ(b.CdbLen, c.cdb.size());
        EXPECT_EQ(std::vector<std::uint8_t>(b.Cdb, b.Cdb + b.CdbLen), c.cdb);
        for (int i = b.CdbLen; i < 16; ++i) EXPECT_EQ(b.Cdb[i], 0) << "byte " << i;
        EXPECT_EQ(b.Direction, c.direction);
        EXPECT_EQ(b.Length, c.length);
        EXPECT_EQ(b.TimeoutMs, c.timeoutMs);
    }
}

TEST(CommandBlocks, FlagsAskForTheEventAndNameTheDirectionWriteTakesTheCallers) {
    EXPECT_EQ(InquiryBlock().Flags, 0x48);
    EXPECT_EQ(ModeSelect10Block(60).Flags, 0x50);
    EXPECT_EQ(TestUnitReadyBlock(1).Flags, 0x40);
    EXPECT_EQ(Write10Block(0, 1, 0x50, 2048).Flags, 0x50);
    EXPECT_EQ(Write10Block(0, 1, 0x10, 2048).Flags, 0x10);
}

}  // namespace
}  // namespace burn
