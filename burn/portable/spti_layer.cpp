#include "burn/portable/spti_layer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "burn/portable/srb.h"

namespace burn {

namespace {

constexpr std::uint8_t kNoAddressLun = 250;  // marks a drive whose SCSI address could not be read
constexpr std::uint32_t kMinPassThroughSeconds = 120;
constexpr std::size_t kProbeInquiryLength = 96;
constexpr std::size_t kProbeBufferSize = 1025;
constexpr std::size_t kCachedInquiryBytes = 36;
constexpr std::uint8_t kProbeSenseLength = 24;
constexpr char kLayerText[17] = "REVADI32 SPTI   ";

std::string DevicePath(std::uint8_t driveNumber) { return std::string("\\\\.\\") + char('A' + driveNumber) + ":"; }

void PreparePassThrough(PassThroughRequest& r) {
    std::memset(&r, 0, sizeof r);
    r.Spt.Length = sizeof(ScsiPassThroughDirect);
    r.Spt.SenseInfoOffset = offsetof(PassThroughRequest, Sense);
}

}  // namespace

SptiLayer::SptiLayer(SptiPlatform platform) : platform_(std::move(platform)) {}

SptiLayer::~SptiLayer() {
    if (initialized_) SPTIClose();
}

std::intptr_t SptiLayer::OpenDrive(std::uint8_t driveNumber) const {
    const std::string path = DevicePath(driveNumber);
    std::intptr_t h = platform_.Open(path, true);
    if (h == kInvalidDeviceHandle) h = platform_.Open(path, false);
    return h;
}

std::uint8_t SptiLayer::SPTIInitialize() {
    if (initialized_) return 0;
    pseudoTargetCounter_ = 0;
    drives_ = {};
    std::uint8_t found = 0;
    for (std::uint8_t n = kFirstDrive; n < kFirstDrive + kDrives; ++n) {
        const std::string root = std::string(1, char('A' + n)) + ":\\";
        if (platform_.DriveType(root) != kDriveTypeCdRom) continue;
        Probe(n);
        if (Entry(n)->Used) ++found;
    }
    ComputeAdapterCount();
    // Drives without an address share one extra adapter behind the real ones.
    if (pseudoTargetCounter_ != 0) {
        for (auto& d : drives_) {
            if (d.Used && d.Lun == kNoAddressLun) {
                d.Lun = 0;
                d.HaId = adapterCount_;
            }
        }
        ComputeAdapterCount();
    }
    initialized_ = true;
    return found;
}

void SptiLayer::ComputeAdapterCount() {
    std::uint8_t highest = 0;
    for (const auto& d : drives_) highest = std::max(highest, d.HaId);
    adapterCount_ = static_cast<std::uint8_t>(highest + 1);
}

void SptiLayer::Probe(std::uint8_t n) {
    const std::intptr_t h = OpenDrive(n);
    if (h == kInvalidDeviceHandle) return;
    std::vector<std::uint8_t> inquiry(kProbeBufferSize, 0);
    PassThroughRequest r;
    PreparePassThrough(r);
    r.Spt.CdbLength = 6;
    r.Spt.SenseInfoLength = kProbeSenseLength;
    r.Spt.DataIn = kPassThroughDataIn;
    r.Spt.DataTransferLength = kProbeInquiryLength;
    r.Spt.TimeOutValue = kMinPassThroughSeconds;
    r.Spt.DataBuffer = inquiry.data();
    const std::uint8_t cdb[] = {0x12, 0, 0, 0, static_cast<std::uint8_t>(kProbeInquiryLength), 0};
    std::memcpy(r.Spt.Cdb, cdb, sizeof cdb);
    std::uint32_t returned = 0;
    if (!platform_.DeviceIoControl(h, kIoctlScsiPassThroughDirect, &r, sizeof r, &r, sizeof r, &returned)) {
        platform_.CloseHandle(h);
        return;
    }
    DriveEntry& e = *Entry(n);
    std::copy_n(inquiry.begin(), e.InquiryData.size(), e.InquiryData.begin());
    ScsiAddress address{};
    address.Length = sizeof address;
    e.Used = true;
    if (platform_.DeviceIoControl(h, kIoctlScsiGetAddress, nullptr, 0, &address, sizeof address, &returned)) {
        e.HaId = address.PortNumber;
        e.Target = address.TargetId;
        e.Lun = address.Lun;
    } else {
        e.HaId = 0;
        e.Target = pseudoTargetCounter_++;
        e.Lun = kNoAddressLun;
    }
    e.DriveNumber = n;
    e.Handle = kInvalidDeviceHandle;
    platform_.CloseHandle(h);
}

bool SptiLayer::SPTIClose() {
    if (!initialized_) return false;
    std::lock_guard lock(handles_);
    for (auto& d : drives_) {
        if (d.Handle != kInvalidDeviceHandle) platform_.CloseHandle(d.Handle);
    }
    drives_ = {};
    adapterCount_ = 0;
    pseudoTargetCounter_ = 0;
    CloseAfterCommand = false;
    initialized_ = false;
    return true;
}

std::uint32_t SptiLayer::SPTISupportInfo() const {
    return adapterCount_ != 0 ? 0x100u + adapterCount_ : std::uint32_t{kSsNoAdapters} << 8;
}

std::uint8_t SptiLayer::FindDrive(std::uint8_t haId, std::uint8_t target, std::uint8_t lun) const {
    for (const auto& d : drives_) {
        if (d.Used && d.HaId == haId && d.Target == target && d.Lun == lun) return d.DriveNumber;
    }
    return 0;
}

std::uint32_t SptiLayer::SPTISendCommand(void* srb, std::uint32_t timeoutMs) {
    if (srb == nullptr) return kSsErr;
    auto& header = *static_cast<SrbHeader*>(srb);
    switch (header.Cmd) {
        case kSrbHaInquiry: {
            auto& s = *static_cast<SrbHaInquiry*>(srb);
            s.HaCount = adapterCount_;
            if (s.Header.HaId >= adapterCount_) return s.Header.Status = kSsInvalidHa;
            s.HaScsiId = 7;
            std::memcpy(s.LayerText, kLayerText, sizeof s.LayerText);
            std::memset(s.AdapterText, 0, sizeof s.AdapterText);
            std::memcpy(s.AdapterText, "SPTI ", 5);
            s.AdapterText[5] = static_cast<char>('0' + s.Header.HaId);
            std::memset(s.Unique, 0, sizeof s.Unique);
            s.Unique[0] = 7;     // buffer alignment mask
            s.Unique[3] = 8;     // targets
            s.Unique[6] = 0xFF;  // 0x00FF0000 bytes per transfer at most
            return s.Header.Status = kSsComp;
        }
        case kSrbGetDeviceType: {
            auto& s = *static_cast<SrbGetDeviceType*>(srb);
            const bool found = FindDrive(s.Header.HaId, s.Target, s.Lun) != 0;
            s.PeripheralType = found ? 5 : 0x1F;
            return s.Header.Status = found ? kSsComp : kSsNoDevice;
        }
        case kSrbExecute: return Execute(srb, timeoutMs);
        case kSrbGetDiskInfo: header.Status = kSsPending; return kSsErr;
        default: header.Status = kSsErr; return kSsErr;
    }
}

std::uint32_t SptiLayer::Execute(void* p, std::uint32_t timeoutMs) {
    auto& s = *static_cast<SrbExecute*>(p);
    const std::uint8_t n = FindDrive(s.Header.HaId, s.Target, s.Lun);
    if (n == 0) return s.Header.Status = kSsNoDevice;
    DriveEntry& e = *Entry(n);
    if (s.Cdb[0] == 0x12) {
        // Answered from the probe; the drive is not asked again.
        if (s.Header.HaId >= adapterCount_) return s.Header.Status = kSsInvalidHa;
        if (s.BufPointer != nullptr) std::memcpy(s.BufPointer, e.InquiryData.data(), std::min<std::size_t>(s.BufLen, kCachedInquiryBytes));
        return s.Header.Status = kSsComp;
    }
    std::intptr_t handle;
    {
        std::lock_guard lock(handles_);
        if (e.Handle == kInvalidDeviceHandle) e.Handle = OpenDrive(n);
        handle = e.Handle;
    }
    PassThroughRequest r;
    PreparePassThrough(r);
    r.Spt.DataIn = (s.Header.Flags & kSrbDirIn)    ? kPassThroughDataIn
                   : (s.Header.Flags & kSrbDirOut) ? kPassThroughDataOut
                                                   : kPassThroughDataUnspecified;
    r.Spt.CdbLength = std::min<std::uint8_t>(s.CdbLen, sizeof r.Spt.Cdb);
    r.Spt.SenseInfoLength = std::min<std::uint8_t>(s.SenseLen, kPassThroughSenseSize);
    r.Spt.DataTransferLength = s.BufLen;
    // Whole seconds of the caller's wait, so long flushes and closes are not cut short.
    r.Spt.TimeOutValue = std::max(kMinPassThroughSeconds, (timeoutMs + 999) / 1000);
    r.Spt.DataBuffer = s.BufPointer;
    std::memcpy(r.Spt.Cdb, s.Cdb, r.Spt.CdbLength);
    std::uint32_t returned = 0;
    const bool called = platform_.DeviceIoControl(handle, kIoctlScsiPassThroughDirect, &r, sizeof r, &r, sizeof r, &returned);
    const std::uint8_t senseLength = r.Spt.SenseInfoLength;
    if (called && r.Spt.ScsiStatus == 0 && (senseLength == 0 || senseLength == kPassThroughSenseSize)) {
        s.Header.Status = kSsComp;
    } else {
        const std::size_t copied = std::min<std::size_t>({senseLength, kPassThroughSenseSize, kSenseAreaSize});
        std::memcpy(s.SenseArea, r.Sense, copied);
        s.TargStat = r.Spt.ScsiStatus;
        s.Header.Status = kSsErr;
    }
    if (CloseAfterCommand) {
        std::lock_guard lock(handles_);
        if (e.Handle != kInvalidDeviceHandle && platform_.CloseHandle(e.Handle)) e.Handle = kInvalidDeviceHandle;
    }
    return s.Header.Status;
}

}  // namespace burn
