// Every recorder command through ExecCommand against the virtual recorder: what reaches the
// layer, how long the command waits, and the answers in host order.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using namespace testing_support;

struct WrapperCase {
    std::string name;
    std::function<bool(TSCSIDevice&)> call;
    std::vector<std::uint8_t> cdb;  // the CdbLen bytes that reach the layer
    std::uint8_t flags;
    std::uint32_t bufLen;
    std::uint32_t waitMs;  // time-out of the event wait
};

std::uint8_t g_buffer[512];
const std::uint8_t g_page[60] = {0, 0, 0, 0, 0, 0, 0, 0, 0x05, 0x32, 0x01, 0x04, 0x08};

std::vector<WrapperCase> Cases() {
    return {
        {"TestUnitReady", [](TSCSIDevice& d) { return d.TestUnitReady(5000); }, {0x00, 0, 0, 0, 0, 0}, 0x40, 0, 10000},
        {"TestUnitReady long", [](TSCSIDevice& d) { return d.TestUnitReady(25000); }, {0x00, 0, 0, 0, 0, 0}, 0x40, 0, 25000},
        {"RezeroUnit", [](TSCSIDevice& d) { return d.RezeroUnit(); }, {0x01, 0, 0, 0, 0, 0}, 0x40, 0, 10000},
        {"RequestSense", [](TSCSIDevice& d) { return d.RequestSense(g_buffer, 40); }, {0x03, 0, 0, 0, 40, 0}, 0x48, 40, 10000},
        {"Inquiry", [](TSCSIDevice& d) { return d.Inquiry(); }, {0x12, 0, 0, 0, 128, 0}, 0x48, 128, 10000},
        {"Load", [](TSCSIDevice& d) { return d.LoadOrEject(false); }, {0x1B, 0, 0, 0, 3, 0}, 0x40, 0, 20000},
        {"Prevent", [](TSCSIDevice& d) { return d.PreventMediumRemoval(false); }, {0x1E, 0, 0, 0, 1, 0}, 0x40, 0, 10000},
        {"Read10", [](TSCSIDevice& d) { return d.Read10(0, 1, 2048, nullptr); },
         {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 0x48, 2048, 10000},
        {"SynchronizeCache", [](TSCSIDevice& d) { return d.SynchronizeCache(300000, false); },
         {0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x40, 0, 300000},
        {"GetConfiguration", [](TSCSIDevice& d) { return d.GetConfiguration(2, 0x2A, 114, g_buffer); },
         {0x46, 2, 0, 0x2A, 0, 0, 0, 0, 114, 0}, 0x48, 114, 30000},
        {"ReadDiscInformation", [](TSCSIDevice& d) { return d.ReadDiscInformation(g_buffer, 56); },
         {0x51, 0, 0, 0, 0, 0, 0, 0, 56, 0}, 0x48, 56, 10000},
        {"ReadTrackInformation", [](TSCSIDevice& d) { return d.ReadTrackInformation(255); },
         {0x52, 1, 0, 0, 0, 255, 0, 0, 38, 0}, 0x48, 38, 60000},
        {"ReserveTrack", [](TSCSIDevice& d) { return d.ReserveTrack(300); },
         {0x53, 0, 0, 0, 0, 0, 0, 0x01, 0x2C, 0}, 0x48, 8, 10000},
        {"SendOPC", [](TSCSIDevice& d) { return d.SendOPC(); }, {0x54, 1, 0, 0, 0, 0, 0, 0, 0, 0}, 0x40, 0, 150000},
        {"ModeSelect10", [](TSCSIDevice& d) { return d.ModeSelect10(g_page, 60); },
         {0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, 0x50, 60, 10000},
        {"ModeSense10", [](TSCSIDevice& d) { return d.ModeSense10(0x2A, g_buffer, true, 128, 127); },
         {0x5A, 0, 0xAA, 0, 0, 0, 0, 0, 128, 0}, 0x48, 128, 20000},
        {"ReadBufferCapacity", [](TSCSIDevice& d) { std::uint32_t a, b; return d.ReadBufferCapacity(a, b); },
         {0x5C, 0, 0, 0, 0, 0, 0, 0, 32, 0}, 0x48, 32, 10000},
        {"SendCueSheet", [](TSCSIDevice& d) { return d.SendCueSheet(g_buffer, 16); },
         {0x5D, 0, 0, 0, 0, 0, 0, 0, 16, 0}, 0x50, 16, 30000},
        {"SetStreaming", [](TSCSIDevice& d) { return d.SetStreaming(g_buffer, 28); },
         {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0}, 0x50, 28, 10000},
        {"SetCDSpeed", [](TSCSIDevice& d) { return d.SetCDSpeed(0, 8); },
         {0xBB, 0, 0xFF, 0xFF, 0x05, 0x88, 0, 0, 0, 0, 0, 0}, 0x40, 0, 10000},
        {"SendDvdStructure", [](TSCSIDevice& d) { return d.SendDvdStructure(0x0F, g_buffer, 22); },
         {0xBF, 0, 0, 0, 0, 0, 0, 0x0F, 0, 22, 0, 0}, 0x50, 22, 10000},
        {"SessionCount", [](TSCSIDevice& d) { return d.SessionCount() == 1; },
         {0x43, 0, 1, 0, 0, 0, 0, 0, 4, 0}, 0x48, 4, 10000},
    };
}

TEST(RecorderCommands, WhatReachesTheLayerAndTheAnswer) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        vcdr::DeviceConfig config;
        config.Status = vcdr::DiscStatus::Appendable;  // so that every read command has an answer
        DeviceOnRecorder f({config});
        f.device.Lun = 0;
        EXPECT_TRUE(c.call(f.device)) << f.device.LastError;
        EXPECT_EQ(f.device.LastError, "");
        ASSERT_EQ(f.sent.size(), 1u);
        const SrbExecute& s = f.sent[0];
        ASSERT_EQ(s.CdbLen, c.cdb.size());
        EXPECT_EQ(std::vector<std::uint8_t>(s.Cdb, s.Cdb + s.CdbLen), c.cdb);
        EXPECT_EQ(s.Header.Flags, c.flags);
        EXPECT_EQ(+s.BufLen, c.bufLen);
        EXPECT_EQ(s.SenseLen, 14);
        EXPECT_EQ(s.Header.Cmd, kSrbExecute);
        EXPECT_TRUE(f.clock.Waits.empty()) << "the recorder answered at once";
    }
}

// The same commands against a drive that never answers: each waits its own time-out, at least
// 10 s, then is aborted, and fails as a time-out.
TEST(RecorderCommands, EachWaitsItsTimeoutThenFailsAsTimeout) {
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.name);
        DeviceOnRecorder f({WithFault("times=ever never")});
        EXPECT_FALSE(c.call(f.device));
        // The recorder ends an aborted request at once: the grace wait for its event takes no time.
        EXPECT_EQ(f.clock.Waits, (std::vector<std::uint32_t>{c.waitMs, kAbortGraceMs}));
        EXPECT_EQ(f.clock.Now, c.waitMs);
        EXPECT_EQ(f.device.LastError, "COMMAND TIMEOUT");
        EXPECT_EQ(f.front.PendingCount(), 0u) << "the abort ended the request";
    }
}

TEST(RecorderCommands, LunGoesIntoTheCdbAndTheAddressIntoTheRequest) {
    vcdr::DeviceConfig config;
    config.HaId = 1;
    config.Target = 3;
    config.Lun = 2;
    DeviceOnRecorder f({config});
    f.device.HaId = 1;
    f.device.Target = 3;
    f.device.Lun = 2;
    ASSERT_TRUE(f.device.SynchronizeCache(120000, true));
    EXPECT_EQ(f.sent[0].Cdb[1], 0x40 | 0x02);
    EXPECT_EQ(f.sent[0].Header.HaId, 1);
    EXPECT_EQ(f.sent[0].Target, 3);
    EXPECT_EQ(f.sent[0].Lun, 2);
}

TEST(RecorderCommands, AnswersInHostOrder) {
    vcdr::DeviceConfig config;
    config.Status = vcdr::DiscStatus::Appendable;
    config.EarlierSessionBlocks = 0x10203;
    config.CapacityBlocks = 0x0A0B0C0D;
    config.BufferBytes = 0x00123456;
    DeviceOnRecorder f({config});
    TSCSIDevice& d = f.device;
    ASSERT_TRUE(d.ReadTrackInformation(255));
    EXPECT_EQ(+d.TrackInfo.DataLength, 34);
    EXPECT_EQ(+d.TrackInfo.TrackNumber, 2);
    EXPECT_EQ(+d.TrackInfo.NextWritable, 0x10203u + 11400);
    EXPECT_EQ(+d.TrackInfo.TrackStart, 0x10203u + 11400);
    EXPECT_EQ(+d.TrackInfo.FreeBlocks, 0x0A0B0C0Du - 0x10203 - 11400);
    EXPECT_EQ(d.TrackInfo.Valid & 1, 1);
    std::uint32_t size = 0, free = 0;
    ASSERT_TRUE(d.ReadBufferCapacity(size, free));
    EXPECT_EQ(d.DeviceBufferSize, 0x123456u);
    EXPECT_EQ(d.DeviceFreeBufferSize, 0x123456u);
    EXPECT_EQ(size, 0x123456u);
    EXPECT_EQ(d.SessionCount(), 1);
    ASSERT_TRUE(d.Inquiry());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.InquiryBuffer.data()) + 16, 12), "VIRTUAL CD-R");
}

TEST(RecorderCommands, FailedBufferCapacityClearsTheFreeSize) {
    DeviceOnRecorder f({WithFault("op=5C sense=02/04/01")});
    f.device.DeviceFreeBufferSize = 99;
    std::uint32_t size = 0, free = 0;
    EXPECT_FALSE(f.device.ReadBufferCapacity(size, free));
    EXPECT_EQ(f.device.DeviceFreeBufferSize, 0u);
}

TEST(RecorderCommands, ModeSenseCopiesTheAnswerOnlyOnSuccess) {
    DeviceOnRecorder f({WithFault("op=5A nth=2 sense=05/24/00")});
    std::uint8_t page[128];
    std::fill(std::begin(page), std::end(page), 0xEE);
    ASSERT_TRUE(f.device.ModeSense10(0x2A, page, false, 128, 127));
    EXPECT_EQ(page[8], 0x2A);
    std::fill(std::begin(page), std::end(page), 0xEE);
    EXPECT_FALSE(f.device.ModeSense10(0x2A, page, false, 128, 15));
    EXPECT_EQ(page[15], 0);     // cleared for Clear + 1 bytes
    EXPECT_EQ(page[16], 0xEE);  // and nothing of the failed answer copied
}

TEST(RecorderCommands, SetCdSpeedReachesTheDriveAsItsNearestSpeed) {
    DeviceOnRecorder f;
    ASSERT_TRUE(f.device.SetCDSpeed(0, 8));
    EXPECT_EQ(f.Core().State().WriteSpeedKBs, 1411);
}

TEST(RecorderCommands, WriteParametersGoToTheDrive) {
    struct Case {
        const char* name;
        bool testWrite, underrun, finalize, sessionAtOnce;
        std::uint32_t caps;
        std::uint8_t b2, b3;
    };
    const Case cases[] = {
        {"track at once, finalized", false, false, true, false, 0, 0x01, 0x04},
        {"multisession", false, false, false, false, 0, 0x01, 0xC4},
        {"underrun protected", false, true, true, false, kCapUnderrunFree, 0x41, 0x04},
        {"session at once test write", true, false, false, true, kCapTestWrite, 0x12, 0x04},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceOnRecorder f;
        f.device.FinalizeDisc = c.finalize;
        f.device.SessionAtOnce = c.sessionAtOnce;
        f.device.Capabilities = c.caps;
        ASSERT_TRUE(f.device.SetWriteParameters(c.testWrite, c.underrun, 2)) << f.device.LastError;
        const auto page = f.Core().State().Page5;
        ASSERT_EQ(page.size(), 52u);
        EXPECT_EQ(page[2], c.b2);
        EXPECT_EQ(page[3], c.b3);
        EXPECT_EQ(f.device.WriteParamsPage[2], c.b2);
        ASSERT_EQ(f.sent.size(), 2u);
        EXPECT_EQ(+f.sent[1].BufLen, 60u);
    }
    DeviceOnRecorder dvdRam;
    EXPECT_TRUE(dvdRam.device.SetWriteParameters(false, false, 6));
    EXPECT_TRUE(dvdRam.sent.empty());
}

// The recorder's "not ready, then ready" and a disc just loaded, as the burn start meets them.
TEST(RecorderCommands, WaitUnitReadyOnTheRecorder) {
    {
        DeviceOnRecorder f({WithFault("op=00 times=3 sense=02/04/01")});
        EXPECT_TRUE(f.device.WaitUnitReady(10000, 1000));
        EXPECT_EQ(f.clock.Now, 4000u);  // one disc poll, then three more unit polls
    }
    {
        DeviceOnRecorder f({WithFault("op=51 times=ever sense=02/04/01")});
        EXPECT_FALSE(f.device.WaitUnitReady(10000, 1000));
        EXPECT_EQ(f.clock.Now, 11000u);
    }
    DeviceOnRecorder f;
    ASSERT_TRUE(f.device.LoadOrEject(true));
    EXPECT_FALSE(f.device.TestUnitReady(5000));
    EXPECT_EQ(f.device.LastError, "NOT READY (MEDIUM NOT PRESENT - TRAY OPEN)");
    ASSERT_TRUE(f.device.LoadOrEject(false));
    EXPECT_FALSE(f.device.RezeroUnit());
    EXPECT_EQ(f.device.LastError, "UNIT ATTENTION (NOT READY TO READY CHANGE, MEDIUM MAY HAVE CHANGED)");
    EXPECT_TRUE(f.device.WaitUnitReady(10000, 1000));
}

TEST(RecorderCommands, TimeStampStructure) {
    DeviceOnRecorder f;
    std::vector<std::uint8_t> seen;
    f.layer.SendCommandEntry = [&](void* srb) {
        auto* s = static_cast<SrbExecute*>(srb);
        seen.assign(s->BufPointer, s->BufPointer + s->BufLen);
        return f.front.Send(srb);
    };
    ASSERT_TRUE(f.device.SendTimeStamp({2026, 12, 10, 9, 5, 7}));
    ASSERT_EQ(seen.size(), 22u);
    EXPECT_EQ(seen[1], 0x14);
    EXPECT_EQ(std::string(seen.begin() + 8, seen.end()), "20261210090507");
}

}  // namespace
}  // namespace burn
