// The pass-through layer over a machine of fake drive letters, some backed by the virtual
// recorder: the drive table, the host-adapter answers, and requests turned into pass-through calls.
#include <gtest/gtest.h>

#include <cstring>

#include "burn/portable/scsi_device.h"
#include "burn/portable/sense_text.h"
#include "burn/tests/portable/fake_drives.h"
#include "burn/tests/portable/virtual_clock.h"

namespace burn {
namespace {

using namespace testing_support;

SrbExecute Execute(std::uint8_t ha, std::uint8_t target, std::vector<std::uint8_t> cdb, std::uint8_t flags,
                   std::uint8_t* buffer, std::uint32_t length) {
    SrbExecute s{};
    s.Header = {kSrbExecute, 0, ha, flags, 0};
    s.Target = target;
    s.BufLen = length;
    s.BufPointer = buffer;
    s.SenseLen = 14;
    s.CdbLen = static_cast<std::uint8_t>(cdb.size());
    std::memcpy(s.Cdb, cdb.data(), cdb.size());
    return s;
}

TEST(SptiLayer, DriveTableFromTheProbe) {
    FakeDrives m;
    m.Drives['C'].Type = 3;  // fixed
    FakeDrive& d = m.Cd('D');
    d.HasAddress = true;
    d.Address = {8, 1, 0, 4, 0};
    m.Cd('E');  // no address
    m.Cd('G');  // no address
    m.Drives['H'].Type = kDriveTypeCdRom;  // answers no pass-through call: not listed
    m.Cd('K').ReadWriteOpenFails = true;   // opened read-only instead, no address
    SptiLayer spti(m.Platform());
    EXPECT_EQ(spti.SPTISupportInfo(), 0xE800u);
    EXPECT_EQ(spti.SPTIInitialize(), 4);
    EXPECT_EQ(spti.SPTIInitialize(), 0);  // once
    EXPECT_TRUE(m.Open.empty()) << "the probe closes what it opens";
    // The real adapter is 1, so the address-less drives share adapter 2 with targets 0, 1, 2.
    EXPECT_EQ(spti.AdapterCount(), 3);
    EXPECT_EQ(spti.SPTISupportInfo(), 0x103u);
    const std::pair<std::array<int, 3>, char> expected[] = {
        {{1, 4, 0}, 'D'}, {{2, 0, 0}, 'E'}, {{2, 1, 0}, 'G'}, {{2, 2, 0}, 'K'},
    };
    for (const auto& [address, letter] : expected) {
        EXPECT_EQ(spti.FindDrive(address[0], address[1], address[2]), letter - 'A') << letter;
    }
    EXPECT_EQ(spti.FindDrive(0, 0, 250), 0);
    EXPECT_NE(std::find(m.Opens.begin(), m.Opens.end(), "\\\\.\\K: r"), m.Opens.end());
}

TEST(SptiLayer, TwoDrivesWithoutAddressOnNoRealAdapter) {
    FakeDrives m;
    m.Cd('E');
    m.Cd('F');
    SptiLayer spti(m.Platform());
    ASSERT_EQ(spti.SPTIInitialize(), 2);
    EXPECT_EQ(spti.AdapterCount(), 2);
    EXPECT_EQ(spti.FindDrive(1, 0, 0), 'E' - 'A');
    EXPECT_EQ(spti.FindDrive(1, 1, 0), 'F' - 'A');
}

TEST(SptiLayer, HostAdapterAndDeviceTypeAnswers) {
    FakeDrives m;
    m.Cd('E');
    SptiLayer spti(m.Platform());
    ASSERT_EQ(spti.SPTIInitialize(), 1);
    SrbHaInquiry ha{};
    std::memset(ha.AdapterText, 'x', sizeof ha.AdapterText);
    EXPECT_EQ(spti.SPTISendCommand(&ha), kSsComp);
    EXPECT_EQ(ha.HaCount, 2);
    EXPECT_EQ(std::string(ha.AdapterText, 16), std::string("SPTI 0") + std::string(10, '\0'));
    EXPECT_EQ(std::string(ha.LayerText, 16).size(), 16u);
    EXPECT_EQ(ha.Unique[3], 8);
    EXPECT_EQ(ha.Unique[6], 0xFF);
    ha.Header.HaId = 1;
    EXPECT_EQ(spti.SPTISendCommand(&ha), kSsComp);
    EXPECT_EQ(ha.AdapterText[5], '1');
    ha.Header.HaId = 2;
    EXPECT_EQ(spti.SPTISendCommand(&ha), kSsInvalidHa);

    SrbGetDeviceType type{};
    type.Header = {kSrbGetDeviceType, 0, 1, 0, 0};
    EXPECT_EQ(spti.SPTISendCommand(&type), kSsComp);
    EXPECT_EQ(type.PeripheralType, 5);
    type.Target = 1;
    EXPECT_EQ(spti.SPTISendCommand(&type), kSsNoDevice);
    EXPECT_EQ(type.PeripheralType, 0x1F);
    EXPECT_EQ(spti.SPTISendCommand(nullptr), kSsErr);
}

TEST(SptiLayer, InquiryComesFromTheProbeAndFitsTheBuffer) {
    FakeDrives m;
    m.Cd('E');
    SptiLayer spti(m.Platform());
    ASSERT_EQ(spti.SPTIInitialize(), 1);
    const int ioctls = m.Ioctls;
    for (std::uint32_t length : {128u, 36u, 8u, 0u}) {
        SCOPED_TRACE(length);
        std::vector<std::uint8_t> buffer(length + 16, 0xEE);
        SrbExecute s = Execute(1, 0, {0x12, 0, 0, 0, std::uint8_t(length), 0}, 0x48, buffer.data(), length);
        EXPECT_EQ(spti.SPTISendCommand(&s), kSsComp);
        const std::size_t copied = std::min<std::uint32_t>(length, 36);
        if (copied >= 16) {
            EXPECT_EQ(std::string(buffer.begin() + 8, buffer.begin() + 16), "VANTRELL");
        }
        for (std::size_t i = copied; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE) << "byte " << i;
    }
    EXPECT_EQ(m.Ioctls, ioctls) << "the drive was asked again";
}

TEST(SptiLayer, RequestBecomesAPassThroughCall) {
    struct Case {
        std::uint8_t flags;
        std::uint32_t timeoutMs, seconds;
        std::uint8_t dataIn;
    };
    const Case cases[] = {
        {0x48, 10000, 120, kPassThroughDataIn}, {0x50, 300000, 300, kPassThroughDataOut},
        {0x40, 180000, 180, kPassThroughDataUnspecified}, {0x40, 1800000, 1800, kPassThroughDataUnspecified},
        {0x48, 120500, 121, kPassThroughDataIn},
    };
    for (const auto& c : cases) {
        FakeDrives m;
        m.Cd('E');
        SptiLayer spti(m.Platform());
        ASSERT_EQ(spti.SPTIInitialize(), 1);
        m.Requests.clear();
        std::uint8_t buffer[38] = {};
        SrbExecute s = Execute(1, 0, {0x52, 1, 0, 0, 0, 0xFF, 0, 0, 38, 0}, c.flags, buffer, sizeof buffer);
        spti.SPTISendCommand(&s, c.timeoutMs);
        ASSERT_EQ(m.Requests.size(), 1u);
        const ScsiPassThroughDirect& r = m.Requests[0].Spt;
        EXPECT_EQ(r.Length, sizeof(ScsiPassThroughDirect));
        EXPECT_EQ(r.SenseInfoOffset, 60u);
        EXPECT_EQ(r.CdbLength, 10);
        EXPECT_EQ(r.SenseInfoLength, 14);
        EXPECT_EQ(r.DataIn, c.dataIn);
        EXPECT_EQ(r.DataTransferLength, 38u);
        EXPECT_EQ(r.DataBuffer, buffer);
        EXPECT_EQ(r.TimeOutValue, c.seconds);
        EXPECT_EQ(r.Cdb[0], 0x52);
        EXPECT_EQ(r.Cdb[5], 0xFF);
        EXPECT_EQ(r.PathId + r.TargetId + r.Lun, 0);
    }
}

TEST(SptiLayer, OnlyAZeroStatusWithNoneOrAFullSenseIsClean) {
    struct Case {
        const char* name;
        bool callOk;
        std::uint8_t scsiStatus, senseLength;
        std::uint8_t status;
        std::size_t senseCopied;
        const char* message;
    };
    const Case cases[] = {
        {"clean", true, 0, 0, kSsComp, 0, ""},
        {"clean with a full sense area", true, 0, 32, kSsComp, 0, ""},
        {"status 0 with 18 sense bytes", true, 0, 18, kSsErr, 18, "END OF MEDIA"},
        {"check condition", true, 2, 18, kSsErr, 18, "END OF MEDIA"},
        {"sense length past the area", true, 2, 200, kSsErr, 32, "END OF MEDIA"},
        {"the call itself failed", false, 0, 0, kSsErr, 0, "CHECK CONDITION"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDrives m;
        FakeDrive& d = m.Cd('E');
        SptiLayer spti(m.Platform());
        ASSERT_EQ(spti.SPTIInitialize(), 1);
        d.Override = true;
        d.OverrideCallOk = c.callOk;
        d.OverrideScsiStatus = c.scsiStatus;
        d.OverrideSenseLength = c.senseLength;
        SrbExecute s = Execute(1, 0, {0x00, 0, 0, 0, 0, 0}, 0x40, nullptr, 0);
        std::memset(s.SenseArea, 0, sizeof s.SenseArea);
        s.SenseArea[32] = 0xEE;
        EXPECT_EQ(spti.SPTISendCommand(&s), c.status);
        EXPECT_EQ(s.Header.Status, c.status);
        for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(s.SenseArea[i], i < c.senseCopied ? 0x70 : 0) << i;
        EXPECT_EQ(s.SenseArea[32], 0xEE);
        if (c.status != kSsComp) {
            EXPECT_EQ(s.TargStat, c.scsiStatus);
            EXPECT_EQ(FailureMessage(s.Header.Status, s.HaStat, s.TargStat, s.SenseArea).Text.rfind(c.message, 0), 0u);
        }
    }
}

TEST(SptiLayer, HandlesStayOpenOrCloseAfterEachCommand) {
    for (bool closeAfter : {false, true}) {
        SCOPED_TRACE(closeAfter);
        FakeDrives m;
        m.Cd('E');
        SptiLayer spti(m.Platform());
        ASSERT_EQ(spti.SPTIInitialize(), 1);
        spti.CloseAfterCommand = closeAfter;
        m.Opens.clear();
        for (int i = 0; i < 3; ++i) {
            SrbExecute s = Execute(1, 0, {0x00, 0, 0, 0, 0, 0}, 0x40, nullptr, 0);
            EXPECT_EQ(spti.SPTISendCommand(&s), kSsComp);
        }
        EXPECT_EQ(m.Opens.size(), closeAfter ? 3u : 1u);
        EXPECT_EQ(m.Open.size(), closeAfter ? 0u : 1u);
        EXPECT_TRUE(spti.SPTIClose());
        EXPECT_TRUE(m.Open.empty());
        EXPECT_FALSE(spti.SPTIClose());
        EXPECT_EQ(spti.SPTISupportInfo(), 0xE800u);
    }
}

TEST(SptiLayer, DeviceCommandsThroughThePassThroughLayer) {
    FakeDrives m;
    m.Cd('E');
    SptiLayer spti(m.Platform());
    ASSERT_EQ(spti.SPTIInitialize(), 1);
    AspiLayer layer;
    layer.ASPIInitialized = true;
    layer.SendCommandEntry = [&](void* s) { return spti.SPTISendCommand(s); };
    layer.SendTimedCommandEntry = [&](void* s, std::uint32_t ms) { return spti.SPTISendCommand(s, ms); };
    VirtualClock clock;
    TSCSIDevice device(layer, clock);
    device.HaId = 1;
    device.Target = 0;
    device.Lun = 0;
    device.FinalizeDisc = true;
    ASSERT_TRUE(device.SetWriteParameters(false, false, 2)) << device.LastError;
    std::vector<std::uint8_t> sectors(2 * 2048, 0x42);
    EXPECT_TRUE(device.Write10(0, 2, 0x50, 4096, sectors.data())) << device.LastError;
    EXPECT_FALSE(device.Write10(0, 2, 0x50, 4096, sectors.data()));
    EXPECT_EQ(device.LastError, "ILLEGAL REQUEST (33,2)");
    EXPECT_TRUE(device.SynchronizeCache(300000, false));
    EXPECT_EQ(m.Requests.back().Spt.TimeOutValue, 300u);
    EXPECT_TRUE(device.CloseTrackSession(false, false));
    EXPECT_EQ(m.Drives['E'].Core->State().Status, vcdr::DiscStatus::Complete);
}

}  // namespace
}  // namespace burn
