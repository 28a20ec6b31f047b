// The device list, selection by list line, capabilities, speeds and medium type, read from the
// virtual recorder through the same commands a real drive gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "burn/portable/speed_list.h"
#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using testing_support::DeviceOnRecorder;

vcdr::DeviceConfig Device(std::uint8_t ha, std::uint8_t target, std::uint8_t type, const char* product, char letter) {
    vcdr::DeviceConfig d;
    d.HaId = ha;
    d.Target = target;
    d.PeripheralType = type;
    d.Product = product;
    d.DriveLetter = letter;
    return d;
}

// A writer, a disk the list leaves out, and a write-once device on a second adapter.
std::vector<vcdr::DeviceConfig> ThreeDevices() {
    return {Device(0, 1, 5, "VIRTUAL CD-R    ", 'E'), Device(0, 3, 0, "SOME DISK       ", 'C'),
            Device(1, 0, 4, "WORM            ", 'F')};
}

TEST(DeviceSelection, ListsEveryCdDvdDeviceOnEveryAdapter) {
    DeviceOnRecorder r(ThreeDevices());
    r.device.HaId = r.device.Target = r.device.Lun = kNoDevice;
    r.device.DoDebug = true;
    r.device.QueryHostAdapters(0);
    EXPECT_EQ(r.device.HostAdapterCount, 2);
    r.device.EnumerateDevices();
    EXPECT_EQ(r.device.Devices, (std::vector<std::string>{"0:1:0,E: VANTRELLVIRTUAL CD-R    1.0 ",
                                                          "1:0:0,F: VANTRELLWORM            1.0  (not supported)"}));
    EXPECT_EQ(r.device.HaId, kNoDevice) << "the selection before the scan comes back";
    EXPECT_TRUE(r.device.LastError.empty()) << "the empty addresses' failures are forgotten";
    ASSERT_GE(r.log.size(), 3u);
    EXPECT_EQ(r.log[0].Text, ">>> WNASPI32.DLL");
    EXPECT_EQ(r.log[0].Level, 1);
    EXPECT_EQ(r.log[1].Text.substr(0, 4), ">>> ");
    EXPECT_EQ(r.log[1].Text.substr(20), " (VCDR 0)");
}

TEST(DeviceSelection, AdapterInquiryFailureListsNothing) {
    DeviceOnRecorder r(ThreeDevices());
    r.layer.ASPIInitialized = false;
    r.device.QueryHostAdapters(0);
    EXPECT_EQ(r.device.HostAdapterCount, -1);
    r.device.EnumerateDevices();
    EXPECT_TRUE(r.device.Devices.empty());
}

TEST(DeviceSelection, InitializeRunsTheScanOnlyWhenTheLayerLoads) {
    DeviceOnRecorder r(ThreeDevices());
    r.device.LoadLayer = [](bool) -> bool { throw std::runtime_error("layer broke"); };
    EXPECT_FALSE(r.device.InitializeASPI(true));
    EXPECT_TRUE(r.device.Devices.empty());
    bool asked = false;
    r.device.LoadLayer = [&](bool preferSpti) { return asked = preferSpti; };
    EXPECT_TRUE(r.device.InitializeASPI(true));
    EXPECT_EQ(r.device.Devices.size(), 2u);
}

TEST(DeviceSelection, ADeviceMadeOnceTheLayerIsLoadedListsTheDevicesAtOnce) {
    DeviceOnRecorder r(ThreeDevices());
    EXPECT_TRUE(r.device.Devices.empty()) << "made before its layer was loaded";
    TSCSIDevice later(r.layer, r.clock);
    EXPECT_EQ(later.HostAdapterCount, 2);
    EXPECT_EQ(later.Devices, (std::vector<std::string>{"0:1:0,E: VANTRELLVIRTUAL CD-R    1.0 ",
                                                       "1:0:0,F: VANTRELLWORM            1.0  (not supported)"}));
    EXPECT_EQ(later.HaId, kNoDevice) << "nothing selected";
}

TEST(DeviceSelection, SelectingTheWriter) {
    DeviceOnRecorder r(ThreeDevices());
    int changes = 0;
    r.device.OnDeviceChange = [&](TSCSIDevice&) { ++changes; };
    r.device.SetDevice("0:1:0,E: VANTRELLVIRTUAL CD-R    1.0 ");
    EXPECT_EQ(r.device.Target, 1);
    EXPECT_EQ(r.device.DeviceName, "0:1:0,E: VANTRELLVIRTUAL CD-R    1.0 ");
    EXPECT_EQ(r.device.DeviceDescription, "VANTRELL VIRTUAL CD-R     1.0 ");
    EXPECT_EQ(r.device.PeripheralType, 5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(r.device.WriteModes, 7);
    EXPECT_EQ(r.device.Capabilities & (kCapWritesCdR | 0x800 | 0x40000), kCapWritesCdR | 0x800 | 0x40000);
    EXPECT_EQ(r.device.DeviceMaxWriteSpeed, 48);
    EXPECT_EQ(r.device.DeviceMaxReadSpeed, 48);
    EXPECT_EQ(r.device.GetDriveLetter(), 'E');
    r.device.VolumeLetter = [](std::uint8_t, std::uint8_t) { return 'Q'; };
    EXPECT_EQ(r.device.GetDriveLetter(), 'Q');
}

TEST(DeviceSelection, LinesThatSelectNothing) {
    struct Case {
        const char* line;
        bool logged;
    };
    const Case cases[] = {
        {"", false},
        {"0:1:", true},
        {"x:1:0,E: VANTRELL", true},
        {"0:5:0,?: nothing there", true},       // no device answers
        {"0:3:0,C: SOME DISK", true},           // not a CD or DVD device
    };
    for (const auto& c : cases) {
        DeviceOnRecorder r(ThreeDevices());
        r.device.SetDevice("0:1:0,E: VANTRELLVIRTUAL CD-R    1.0 ");
        r.log.clear();
        r.device.SetDevice(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(r.device.HaId, kNoDevice);
        EXPECT_EQ(r.device.Target, kNoDevice);
        EXPECT_TRUE(r.device.DeviceName.empty());
        const bool logged = !r.log.empty() && r.log.back().Text == kInvalidDeviceMessage;
        EXPECT_EQ(logged, c.logged);
    }
}

TEST(DeviceSelection, SpeedListOfTheWriter) {
    DeviceOnRecorder r;
    const auto maxX = r.device.MaxWriteSpeedX();
    EXPECT_EQ(maxX, 48);
    std::vector<std::uint16_t> accepted;
    const auto list = BuildSpeedList(maxX, SpeedDivisor(r.device.DeviceType()), [&](std::uint16_t k) {
        r.device.SetWriteSpeed(k);
        accepted.push_back(r.device.CurrentWriteSpeedX());
        return accepted.back();
    });
    EXPECT_EQ(list, (std::vector<std::string>{"Max", "48X (7,200 KB/s)", "40X (6,000 KB/s)", "32X (4,800 KB/s)",
                                              "24X (3,600 KB/s)", "16X (2,400 KB/s)", "08X (1,200 KB/s)",
                                              "04X (600 KB/s)"}));
    EXPECT_EQ(accepted.size(), 48u);
    EXPECT_EQ(r.device.WriteSpeed(), 1);
}

TEST(DeviceSelection, MediumTypeFromProfileThenAtip) {
    struct Case {
        vcdr::MediumKind medium;
        std::uint8_t type;
    };
    const Case cases[] = {{vcdr::MediumKind::CdR, 2}, {vcdr::MediumKind::CdRw, 3}, {vcdr::MediumKind::DvdR, 5}};
    for (const auto& c : cases) {
        vcdr::DeviceConfig d;
        d.Medium = c.medium;
        DeviceOnRecorder r({d});
        EXPECT_EQ(r.device.DeviceType(), c.type) << int(c.type);
    }
}

TEST(DeviceSelection, DvdWriterFeatures) {
    vcdr::DeviceConfig d;
    d.Medium = vcdr::MediumKind::DvdR;
    DeviceOnRecorder r({d});
    ASSERT_TRUE(r.device.GetCapabilities());
    EXPECT_EQ(r.device.Capabilities & 0x3030, 0x3030u);
    EXPECT_TRUE(r.device.Capabilities & kCapAnyWrite);
}

}  // namespace
}  // namespace burn
