// The recorder commands of TSCSIDevice: one thin wrapper per command, and the few that
// combine commands. Each keeps its data in buffers of its own call.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "burn/portable/big_endian.h"
#include "burn/portable/scsi_device.h"

namespace burn {

namespace {

constexpr std::uint32_t kFreeSizeUnknown = 0xFFFFFFFF;
constexpr std::uint8_t kDvdRam = 6;
constexpr std::uint16_t kModePageAnswerLength = 512;
constexpr std::uint16_t kDiscInformationLength = 56;
constexpr std::uint8_t kTocSessionInfo = 1;
constexpr std::uint8_t kTimeStampFormat = 0x0F;
constexpr std::uint16_t kTimeStampLength = 22;
constexpr std::uint8_t kNotReadyAsc = 0x04;
constexpr std::uint32_t kReadyPollMs = 5000;
constexpr std::int64_t kSlowReadyStepMs = 1500;
constexpr std::uint8_t kReadySenseLength = 40;

void CopyIn(const std::vector<std::uint8_t>& data, std::uint8_t* buffer, std::size_t length) {
    if (buffer != nullptr) std::copy_n(data.begin(), std::min(data.size(), length), buffer);
}

}  // namespace

bool TSCSIDevice::TestUnitReady(std::uint32_t timeoutMs) { return ExecCommand(TestUnitReadyBlock(timeoutMs)) == kSsComp; }

bool TSCSIDevice::RezeroUnit() { return ExecCommand(RezeroUnitBlock()) == kSsComp; }

bool TSCSIDevice::RequestSense(std::uint8_t* buffer, std::uint8_t length) {
    std::vector<std::uint8_t> data;
    const bool ok = ExecCommand(RequestSenseBlock(length), {}, &data) == kSsComp;
    CopyIn(data, buffer, length);
    return ok;
}

bool TSCSIDevice::Inquiry() {
    std::vector<std::uint8_t> data;
    const bool ok = ExecCommand(InquiryBlock(), {}, &data) == kSsComp;
    CopyIn(data, InquiryBuffer.data(), InquiryBuffer.size());
    return ok;
}

bool TSCSIDevice::LoadOrEject(bool eject) { return ExecCommand(LoadOrEjectBlock(eject)) == kSsComp; }

bool TSCSIDevice::PreventMediumRemoval(bool allow) { return ExecCommand(PreventMediumRemovalBlock(allow)) == kSsComp; }

bool TSCSIDevice::Read10(std::uint32_t lba, std::uint16_t blocks, std::uint32_t length, std::uint8_t* buffer) {
    std::vector<std::uint8_t> data;
    const bool ok = ExecCommand(Read10Block(lba, blocks, length), {}, &data) == kSsComp;
    CopyIn(data, buffer, length);
    return ok;
}

bool TSCSIDevice::Write10(std::uint32_t lba, std::uint16_t blocks, std::uint8_t flags, std::uint32_t length,
                          const std::uint8_t* buffer) {
    // Only a completed write counts: a request that was never sent or never ended wrote nothing.
    return ExecCommand(Write10Block(lba, blocks, flags, length), {buffer, buffer ? length : 0}) == kSsComp;
}

bool TSCSIDevice::SynchronizeCache(std::uint32_t timeoutMs, bool immediate) {
    return ExecCommand(SynchronizeCacheBlock(timeoutMs, immediate)) == kSsComp;
}

bool TSCSIDevice::ReadToc(std::uint8_t format, std::uint8_t* buffer, std::uint8_t track, bool msf,
                          std::uint8_t control, std::uint16_t length) {
    std::vector<std::uint8_t> data;
    const bool ok = ExecCommand(ReadTocBlock(format, track, msf, control, length), {}, &data) == kSsComp;
    CopyIn(data, buffer, length);
    return ok;
}

bool TSCSIDevice::GetConfiguration(std::uint8_t rt, std::uint16_t feature, std::uint16_t length, std::uint8_t* buffer) {
    std::vector<std::uint8_t> data;
    const bool ok = ExecCommand(GetConfigurationBlock(rt, feature, length), {}, &data) == kSsComp;
    CopyIn(data, buffer, length);
    return ok;
}

bool TSCSIDevice::ReadDiscInformation(std::uint8_t* buffer, std::uint16_t length) {
    std::vector<std::uint8_t> data;
    const bool ok = ExecCommand(ReadDiscInformationBlock(length), {}, &data) == kSsComp;
    CopyIn(data, buffer, length);
    return ok;
}

bool TSCSIDevice::ReadTrackInformation(std::uint32_t track) {
    std::vector<std::uint8_t> d;
    if (ExecCommand(ReadTrackInformationBlock(track), {}, &d) != kSsComp) return false;
    d.resize(sizeof(TTrackInfo), 0);
    std::memcpy(&TrackInfo, d.data(), sizeof TrackInfo);
    TrackInfo.DataLength = GetBE16(&d[0]);
    TrackInfo.TrackStart = GetBE32(&d[8]);
    TrackInfo.NextWritable = GetBE32(&d[12]);
    TrackInfo.FreeBlocks = GetBE32(&d[16]);
    TrackInfo.FixedPacketSize = GetBE32(&d[20]);
    TrackInfo.TrackSize = GetBE32(&d[24]);
    TrackInfo.LastRecorded = GetBE32(&d[28]);
    return true;
}

bool TSCSIDevice::ReserveTrack(std::uint32_t blocks) { return ExecCommand(ReserveTrackBlock(blocks)) == kSsComp; }

bool TSCSIDevice::SendOPC() { return ExecCommand(SendOpcBlock()) == kSsComp; }

bool TSCSIDevice::ModeSelect10(const std::uint8_t* page, std::uint16_t length) {
    return ExecCommand(ModeSelect10Block(length), {page, page ? length : 0u}) == kSsComp;
}

bool TSCSIDevice::ModeSense10(std::uint8_t page, std::uint8_t* buffer, bool defaults, std::uint16_t length,
                              std::uint16_t clear) {
    if (buffer != nullptr) std::fill_n(buffer, std::size_t{clear} + 1, 0);
    std::vector<std::uint8_t> data;
    if (ExecCommand(ModeSense10Block(page, defaults, length), {}, &data) != kSsComp) return false;
    CopyIn(data, buffer, length);
    return true;
}

bool TSCSIDevice::CloseTrackSession(bool closeTrack, bool immediate) {
    return ExecCommand(CloseTrackSessionBlock(closeTrack, immediate)) == kSsComp;
}

bool TSCSIDevice::ReadBufferCapacity(std::uint32_t& size, std::uint32_t& free) {
    std::vector<std::uint8_t> d;
    if (ExecCommand(ReadBufferCapacityBlock(), {}, &d) != kSsComp) {
        DeviceFreeBufferSize = 0;
        return false;
    }
    DeviceBufferSize = GetBE32(&d[4]);
    DeviceFreeBufferSize = GetBE32(&d[8]);
    if (DeviceFreeBufferSize == kFreeSizeUnknown) DeviceFreeBufferSize = DeviceBufferSize;
    size = DeviceBufferSize;
    free = DeviceFreeBufferSize;
    return true;
}

bool TSCSIDevice::SendCueSheet(const std::uint8_t* buffer, std::uint16_t length) {
    return ExecCommand(SendCueSheetBlock(length), {buffer, buffer ? length : 0u}) == kSsComp;
}

bool TSCSIDevice::SetStreaming(const std::uint8_t* buffer, std::uint16_t length) {
    return ExecCommand(SetStreamingBlock(length), {buffer, buffer ? length : 0u}) == kSsComp;
}

bool TSCSIDevice::SetCDSpeed(std::uint16_t readX, std::uint16_t writeX) {
    return ExecCommand(SetCdSpeedBlock(readX, writeX)) == kSsComp;
}

bool TSCSIDevice::SendDvdStructure(std::uint8_t format, const std::uint8_t* buffer, std::uint16_t length) {
    return ExecCommand(SendDvdStructureBlock(format, length), {buffer, buffer ? length : 0u}) == kSsComp;
}

bool TSCSIDevice::UnitFinished() {
    std::uint8_t info[kDiscInformationLength] = {};
    return ReadDiscInformation(info, sizeof info);
}

std::uint8_t TSCSIDevice::SessionCount() {
    std::uint8_t toc[4] = {};
    return ReadToc(kTocSessionInfo, toc, 0, false, 0, sizeof toc) ? toc[3] : 0;
}

bool TSCSIDevice::SendTimeStamp(const TimeStamp& when) {
    // Header of the time-stamp structure: 20 bytes follow the length field.
    std::uint8_t structure[kTimeStampLength] = {0x00, 0x14};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", when.Year % 10000, when.Month % 100, when.Day % 100,
                  when.Hour % 100, when.Minute % 100, when.Second % 100);
    std::memcpy(structure + 8, text, 14);
    return SendDvdStructure(kTimeStampFormat, structure, sizeof structure);
}

bool TSCSIDevice::SetWriteParameters(bool testWrite, bool underrunProtection, std::uint8_t deviceType) {
    if (deviceType == kDvdRam) return true;
    std::vector<std::uint8_t> answer(kModePageAnswerLength, 0);
    if (!ModeSense10(kWriteParamsPageCode, answer.data(), false, kModePageAnswerLength, kModePageAnswerLength - 1)) {
        return false;
    }
    const std::size_t start = ModePageStart(answer, kWriteParamsPageCode);
    std::copy_n(answer.begin() + start, kWriteParamsPageSize, WriteParamsPage.begin());
    WriteParamsChoice choice;
    choice.TestWrite = testWrite;
    choice.UnderrunProtection = underrunProtection;
    choice.DeviceType = deviceType;
    choice.SessionAtOnce = SessionAtOnce;
    choice.FinalizeDisc = FinalizeDisc;
    choice.QuirkLinkSize = QuirkLinkSize;
    choice.QuirkDvrRw = QuirkDvrRw;
    choice.Capabilities = Capabilities;
    PatchWriteParamsPage(WriteParamsPage, choice);
    const std::vector<std::uint8_t> list = ModeSelectList(WriteParamsPage);
    return ModeSelect10(list.data(), static_cast<std::uint16_t>(list.size()));
}

bool TSCSIDevice::WaitUnitReady(std::int64_t totalMs, std::int64_t intervalMs) {
    const auto interval = static_cast<std::uint32_t>(intervalMs);
    if (QuirkDvrRw || SlowReadyQuirk) {
        do {
            clock_.Sleep(kSlowReadyStepMs);
            totalMs -= kSlowReadyStepMs;
            if (totalMs < 0) break;
            TestUnitReady(kReadyPollMs);
        } while (AdditionalSenseCode() == kNotReadyAsc);
    }
    bool markedNotReady = false;
    if (CurrentDiscType == kDvdRam) {
        markedNotReady = true;
    } else {
        do {
            clock_.Sleep(interval);
            UnitFinished();
            totalMs -= intervalMs;
            if (totalMs < 0) return false;
        } while (AdditionalSenseCode() == kNotReadyAsc);
    }
    if (TestUnitReady(kReadyPollMs) && !markedNotReady) return true;
    do {
        clock_.Sleep(interval);
        totalMs -= intervalMs;
        if (totalMs < 0) return false;
        TestUnitReady(kReadyPollMs);
    } while (AdditionalSenseCode() == kNotReadyAsc);
    for (;;) {
        std::uint8_t sense[kReadySenseLength] = {};
        RequestSense(sense, sizeof sense);
        totalMs -= intervalMs;
        if (totalMs < 0) return false;
        const std::uint8_t asc = sense[0] == 0xF0 ? kNotReadyAsc : sense[12];
        if (asc == 0) return true;
        if (asc == kNotReadyAsc) clock_.Sleep(interval);
    }
}

}  // namespace burn
