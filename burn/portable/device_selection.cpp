// Listing the devices on every adapter, selecting one by its list line and reading what it can
// do: capabilities, speeds, medium type and the write modes it accepts.
#include <algorithm>
#include <cstring>

#include "burn/portable/big_endian.h"
#include "burn/portable/device_line.h"
#include "burn/portable/scsi_device.h"
#include "burn/portable/speed.h"

namespace burn {

namespace {

constexpr std::uint16_t kModeSenseLength = 128;
constexpr std::uint16_t kWriteModesSenseLength = 512;
constexpr std::uint8_t kPage30 = 0x30;
constexpr std::uint16_t kFeatureDvdPlusRw = 0x2A, kFeatureDvdRw = 0x2F;
constexpr std::uint16_t kConfigurationLength = 114;
constexpr std::uint8_t kOneFeature = 2;
constexpr std::uint8_t kAtipFormat = 4;
constexpr std::uint16_t kDiscInfoLength = 34;
constexpr std::uint32_t kTypeReadyTimeoutMs = 5000;
constexpr std::uint8_t kAdaptersWhenNoneCounted = 7;
constexpr std::uint8_t kTargetsPerAdapter = 8, kLunsPerTarget = 8;
constexpr std::uint16_t kDvdRamWriteKBs = 177;
constexpr std::uint16_t kAudioPauseBlocks = 150;

// Where the page starts in a MODE SENSE answer when none of the usual places holds it.
constexpr std::size_t kPageStartUnknown = 15;

bool Holds(const std::vector<std::uint8_t>& answer, std::size_t at, std::uint8_t page) {
    return answer.size() > at && answer[at] == page;
}

std::string Trim(std::string text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string FixedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

struct WriteMode {
    std::uint8_t WriteType, DataBlockType, Bit;
};
constexpr WriteMode kWriteModes[] = {{3, 1, 0x1}, {2, 0, 0x2}, {1, 0, 0x4}};  // raw, SAO, TAO

}  // namespace

bool TSCSIDevice::InitializeASPI(bool preferSpti) {
    bool loaded = false;
    try {
        loaded = LoadLayer && LoadLayer(preferSpti);
    } catch (const std::exception&) {
        loaded = false;
    }
    if (!loaded) return false;
    QueryHostAdapters(0);
    EnumerateDevices();
    return true;
}

void TSCSIDevice::QueryHostAdapters(std::uint8_t haId) {
    AdapterInquiry = {};
    AdapterInquiry.Header.Cmd = kSrbHaInquiry;
    AdapterInquiry.Header.HaId = haId;
    if (!layer_.ASPIInitialized || !layer_.SendCommandEntry) {
        HostAdapterCount = -1;
        return;
    }
    layer_.SendCommandEntry(&AdapterInquiry);
    if (AdapterInquiry.Header.Status != kSsComp) {
        HostAdapterCount = -1;
        return;
    }
    // Some layers count no adapters yet answer on them: scan the usual seven.
    HostAdapterCount = static_cast<std::int8_t>(AdapterInquiry.HaCount ? AdapterInquiry.HaCount : kAdaptersWhenNoneCounted);
}

void TSCSIDevice::EnumerateDevices() {
    Devices.clear();
    const std::uint8_t ha = HaId, target = Target, lun = Lun;
    Lun = 0;
    if (DoDebug) DebugMessage(">>> " + layer_.ASPILayerName, 1);
    const int adapters = HostAdapterCount;
    for (int a = 0; a < adapters; ++a) {
        QueryHostAdapters(static_cast<std::uint8_t>(a));
        if (DoDebug)
            DebugMessage(">>> " + std::string(AdapterInquiry.LayerText, sizeof AdapterInquiry.LayerText) + " (" +
                             Trim(FixedText(AdapterInquiry.AdapterText, sizeof AdapterInquiry.AdapterText)) + ")",
                         1);
        for (std::uint8_t t = 0; t < kTargetsPerAdapter; ++t) {
            for (std::uint8_t l = 0; l < kLunsPerTarget; ++l) {
                HaId = static_cast<std::uint8_t>(a);
                Target = t;
                Lun = l;
                InquiryBuffer.fill(0);
                if (!Inquiry()) continue;
                if (InquiryBuffer[0] != kPeripheralCdDvd && InquiryBuffer[0] != kPeripheralWriteOnce) continue;
                Devices.push_back(DeviceLine({HaId, Target, Lun}, GetDriveLetter(), InquiryBuffer));
            }
        }
    }
    HaId = ha;
    Target = target;
    Lun = lun;
    LastError.clear();
}

void TSCSIDevice::ClearSelection() {
    HaId = Target = Lun = kNoDevice;
    DeviceName.clear();
}

void TSCSIDevice::SetDevice(const std::string& line) {
    const auto address = ParseDeviceLine(line);
    if (!address) {
        if (!line.empty()) DebugMessage(kInvalidDeviceMessage, 0);
        ClearSelection();
        return;
    }
    HaId = address->HaId;
    Target = address->Target;
    Lun = address->Lun;
    DeviceName = line;

    GetCapabilities();
    if (!Inquiry()) {
        DeviceDescription = LastError;
        // A device that does not answer is no recorder, whatever the last one was.
        PeripheralType = kNoPeripheral;
    } else {
        PeripheralType = InquiryBuffer[0];
        std::replace(InquiryBuffer.begin() + 8, InquiryBuffer.begin() + 56, std::uint8_t{0}, std::uint8_t{' '});
        DeviceDescription = burn::DeviceDescription(InquiryBuffer);
    }
    if (PeripheralType != kPeripheralCdDvd && PeripheralType != kPeripheralWriteOnce) {
        DebugMessage(kInvalidDeviceMessage, 0);
        ClearSelection();
        return;
    }
    const DriveQuirks q = QuirksFromInquiry(InquiryBuffer);
    QuirkForceUnderrunFree = q.ForceUnderrunFree;
    QuirkLinkSize = q.LinkSize;
    SlowReadyQuirk = q.SlowReady;
    CloseImmediateQuirk = q.CloseImmediate;
    QuirkDvrRw = q.DvrRw;
    if (OnDeviceChange) OnDeviceChange(*this);
    ProbeWriteModes();
}

char TSCSIDevice::GetDriveLetter() {
    if (HaId == kNoDevice) return 0;
    if (VolumeLetter) {
        if (const char letter = VolumeLetter(HaId, Target)) return letter;
    }
    if (!layer_.ASPIInitialized || !layer_.SendCommandEntry) return 0;
    SrbGetDiskInfo srb{};
    srb.Header.Cmd = kSrbGetDiskInfo;
    srb.Header.HaId = HaId;
    srb.Target = Target;
    srb.Lun = Lun;
    layer_.SendCommandEntry(&srb);
    return srb.Header.Status == kSsComp ? static_cast<char>('A' + srb.DriveNumber) : 0;
}

bool TSCSIDevice::GetCapabilities() {
    Capabilities = 0;
    DeviceMaxWriteSpeed = DeviceMaxReadSpeed = 0;
    CapabilitiesPage.fill(0);
    CapabilityValues = {};

    std::vector<std::uint8_t> answer(kModeSenseLength);
    std::size_t defaultStart = kPageStartUnknown;
    if (ModeSense10(kCapabilitiesPageCode, answer.data(), true, kModeSenseLength, kModeSenseLength - 1)) {
        if (Holds(answer, 16, kCapabilitiesPageCode)) defaultStart = 16;
        else if (!Holds(answer, 8, kCapabilitiesPageCode) && Holds(answer, 7, kCapabilitiesPageCode)) defaultStart = 7;
        else defaultStart = 8;
        std::copy_n(answer.begin() + defaultStart, kCapabilitiesPageSize, CapabilitiesPage.begin());
    }

    CapabilitySources sources;
    sources.ReadByte = CapabilitiesPage[2];
    sources.WriteByte = CapabilitiesPage[3];
    sources.Byte4 = CapabilitiesPage[4];
    std::vector<std::uint8_t> page30(kModeSenseLength);
    sources.Page30Present = ModeSense10(kPage30, page30.data(), false, kModeSenseLength, kModeSenseLength - 1) &&
                            (page30[16] == kPage30 || page30[8] == kPage30 || page30[7] == kPage30);
    sources.QuirkForceUnderrunFree = QuirkForceUnderrunFree;
    const bool writesDvdRam = CapabilityMask(sources) & kCapWritesDvdRam;
    DeviceMaxWriteSpeed = MaxSpeedXFromField(GetBE16(&CapabilitiesPage[18]), writesDvdRam);
    DeviceMaxReadSpeed = MaxSpeedXFromField(GetBE16(&CapabilitiesPage[8]), writesDvdRam);

    auto feature = [&](std::uint16_t code) {
        std::vector<std::uint8_t> config(kConfigurationLength);
        FeatureAnswer f;
        if (GetConfiguration(kOneFeature, code, kConfigurationLength, config.data()) && GetBE16(&config[8]) == code) {
            f.Present = true;
            f.FirstDataByte = config[12];
        }
        return f;
    };
    sources.DvdPlusRw = feature(kFeatureDvdPlusRw);
    sources.DvdRw = feature(kFeatureDvdRw);
    Capabilities = CapabilityMask(sources);

    std::fill(answer.begin(), answer.end(), 0);
    if (!ModeSense10(kCapabilitiesPageCode, answer.data(), false, kModeSenseLength, kModeSenseLength - 1)) return false;
    std::size_t start = defaultStart;
    for (std::size_t at : {16, 8, 7}) {
        if (Holds(answer, at, kCapabilitiesPageCode)) {
            start = at;
            break;
        }
    }
    std::copy_n(answer.begin() + start, kCapabilitiesPageSize, CapabilitiesPage.begin());
    auto& v = CapabilityValues;
    if (Capabilities & kCapWritesDvdRam) {
        v.MaxWriteKBs = v.CurrentWriteKBs = kDvdRamWriteKBs;
    } else {
        v.MaxWriteKBs = GetBE16(&CapabilitiesPage[18]);
        v.CurrentWriteKBs = GetBE16(&CapabilitiesPage[20]);
    }
    v.MaxReadKBs = GetBE16(&CapabilitiesPage[8]);
    v.BufferKB = GetBE16(&CapabilitiesPage[12]);
    v.CurrentReadKBs = GetBE16(&CapabilitiesPage[14]);
    DeviceMaxWriteSpeed = std::max(DeviceMaxWriteSpeed, SpeedXFromKBs(v.MaxWriteKBs));
    DeviceMaxReadSpeed = std::max(DeviceMaxReadSpeed, SpeedXFromKBs(v.MaxReadKBs));
    return true;
}

std::uint16_t TSCSIDevice::MaxWriteSpeedX() { return GetCapabilities() ? SpeedXFromKBs(CapabilityValues.MaxWriteKBs) : 0; }

std::uint16_t TSCSIDevice::MaxReadSpeedX() { return GetCapabilities() ? SpeedXFromKBs(CapabilityValues.MaxReadKBs) : 0; }

std::uint16_t TSCSIDevice::CurrentWriteSpeedX() {
    return GetCapabilities() ? SpeedXFromKBs(CapabilityValues.CurrentWriteKBs) : 0;
}

std::uint8_t TSCSIDevice::DeviceType() {
    std::vector<std::uint8_t> config(kConfigurationLength);
    std::uint8_t type = 0;
    if (GetConfiguration(kOneFeature, 0, kConfigurationLength, config.data())) {
        type = DeviceTypeFromProfile(GetBE16(&config[6]));
        if (type == 8) type = 7;
    }
    if (type == 0 && ReadToc(kAtipFormat, Atip.data(), 0, true, 0, kAtipSize)) type = DeviceTypeFromAtip(Atip[6]);
    if (type == 0) {
        std::uint8_t disc[kDiscInfoLength] = {};
        if (ReadDiscInformation(disc, sizeof disc)) type = (disc[2] & 0x10) ? 3 : 2;
    }
    if (type == 0 && TestUnitReady(kTypeReadyTimeoutMs)) type = 1;
    return type;
}

void TSCSIDevice::ProbeWriteModes() {
    WriteModes = 0;
    for (const auto& mode : kWriteModes) {
        std::vector<std::uint8_t> answer(kWriteModesSenseLength);
        ModeSense10(kWriteParamsPageCode, answer.data(), false, kWriteModesSenseLength, kWriteModesSenseLength - 1);
        const std::size_t start = answer[16] == kWriteParamsPageCode ? 16 : 8;
        std::copy_n(answer.begin() + start, kWriteParamsPageSize, WriteParamsPage.begin());
        auto& p = WriteParamsPage;
        p[2] = static_cast<std::uint8_t>((p[2] & 0xF0) | mode.WriteType);
        p[3] = 0;
        p[4] = static_cast<std::uint8_t>((p[4] & 0xF0) | mode.DataBlockType);
        p[8] = 0;
        p[9] = 0;
        PutBE16(&p[14], kAudioPauseBlocks);
        const std::vector<std::uint8_t> list = ModeSelectList(WriteParamsPage);
        if (ModeSelect10(list.data(), static_cast<std::uint16_t>(list.size()))) WriteModes |= mode.Bit;
    }
}

void TSCSIDevice::SetWriteSpeed(std::uint16_t x) {
    SetCDSpeed(ReadSpeed, x);
    writeSpeed_ = x;
}

}  // namespace burn
