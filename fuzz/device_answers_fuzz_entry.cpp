#include "fuzz/device_answers_fuzz_entry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

#include "burn/portable/device_capabilities.h"
#include "burn/portable/device_line.h"
#include "burn/portable/mode_pages.h"
#include "burn/portable/next_writable_address.h"
#include "burn/portable/scsi_device.h"
#include "burn/portable/sense_text.h"
#include "burn/portable/session_import.h"
#include "burn/portable/session_toc.h"
#include "burn/portable/write_thread.h"

namespace fuzz {
namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}
    bool Empty() const { return at_ >= bytes_.size(); }
    std::uint8_t Byte() { return Empty() ? 0 : bytes_[at_++]; }
    std::uint16_t Word() {
        const std::uint16_t high = Byte();
        return static_cast<std::uint16_t>(high << 8 | Byte());
    }
    // Up to n bytes: fewer at the end of the input.
    std::span<const std::uint8_t> Take(std::size_t n) {
        const std::size_t k = std::min(n, bytes_.size() - std::min(at_, bytes_.size()));
        const auto part = bytes_.subspan(std::min(at_, bytes_.size()), k);
        at_ += k;
        return part;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// The layer answers at once: no request waits, and none outlives its command.
class AnsweredEvent final : public burn::CommandEvent {
public:
    void* Handle() override { return this; }
    void Reset() override {}
    bool Wait(std::uint32_t) override { return true; }
};

class NoTime final : public burn::CommandClock {
public:
    void Sleep(std::uint32_t) override {}
    std::unique_ptr<burn::CommandEvent> NewEvent() override { return std::make_unique<AnsweredEvent>(); }
};

// Each parser of answers once, on bytes of a length the input chooses.
void Parsers(Input& in) {
    const auto inquiry = in.Take(in.Byte());
    (void)burn::DeviceLine({1, 2, 3}, 'E', inquiry);
    (void)burn::DeviceDescription(inquiry);
    (void)burn::QuirksFromInquiry(inquiry);
    (void)burn::ParseDeviceLine(std::string_view(reinterpret_cast<const char*>(inquiry.data()), inquiry.size()));

    const std::uint8_t status = in.Byte(), haStat = in.Byte(), targStat = in.Byte();
    const auto sense = in.Take(in.Byte());
    (void)burn::FailureMessage(status, haStat, targStat, sense);
    (void)burn::CheckConditionText(sense);
    std::array<std::uint8_t, burn::kSenseAreaSize> senseArea{};
    std::copy_n(sense.begin(), std::min(sense.size(), senseArea.size()), senseArea.begin());
    (void)burn::IsBusyAnswer(false, senseArea.data());

    const auto modeAnswer = in.Take(in.Byte());
    (void)burn::ModePageStart(modeAnswer, burn::kWriteParamsPageCode);
    (void)burn::ModePageStart(modeAnswer, burn::kCapabilitiesPageCode);
    burn::CapabilitySources sources;
    sources.ReadByte = in.Byte();
    sources.WriteByte = in.Byte();
    sources.Byte4 = in.Byte();
    (void)burn::CapabilityMask(sources);

    std::array<std::uint8_t, burn::kWriteParamsPageSize> page{};
    const auto pageBytes = in.Take(page.size());
    std::copy(pageBytes.begin(), pageBytes.end(), page.begin());
    const std::uint8_t flags = in.Byte();
    burn::WriteParamsChoice choice;
    choice.TestWrite = flags & 1;
    choice.UnderrunProtection = flags & 2;
    choice.SessionAtOnce = flags & 4;
    choice.FinalizeDisc = flags & 8;
    choice.QuirkLinkSize = flags & 16;
    choice.QuirkDvrRw = flags & 32;
    choice.DeviceType = in.Byte();
    choice.Capabilities = std::uint32_t{in.Word()} << 4;
    burn::PatchWriteParamsPage(page, choice);
    (void)burn::ModeSelectList(page);

    (void)burn::LastSessionStartFromToc(in.Take(in.Byte()));
    const int session = in.Byte();
    (void)burn::SessionStartFromFullToc(in.Take(in.Word()), session);
    (void)burn::LeadOutFromToc(in.Take(in.Word()));
    (void)burn::DeviceTypeFromProfile(in.Word());
    (void)burn::DeviceTypeFromAtip(in.Byte());
}

// One answer of the drive to a request: a status (good, check condition or any other with its
// host and target status), sense bytes, and as many data bytes as the input says.
std::uint32_t Answer(Input& in, std::uint8_t adapters, void* p) {
    auto* header = static_cast<burn::SrbHeader*>(p);
    if (header->Cmd == burn::kSrbHaInquiry) {
        auto& ha = *static_cast<burn::SrbHaInquiry*>(p);
        ha.HaCount = adapters;
        return header->Status = header->HaId < adapters ? burn::kSsComp : burn::kSsInvalidHa;
    }
    if (header->Cmd != burn::kSrbExecute || in.Empty()) return header->Status = burn::kSsNoDevice;
    auto& srb = *static_cast<burn::SrbExecute*>(p);
    const std::uint8_t kind = in.Byte();
    std::uint8_t status = burn::kSsComp;
    if (kind % 4 == 1) {
        status = burn::kSsErr;
        srb.TargStat = 2;
    } else if (kind % 4 == 2) {
        status = in.Byte();
        srb.HaStat = in.Byte();
        srb.TargStat = in.Byte();
    }
    if (status != burn::kSsComp) {
        const auto sense = in.Take(std::min<std::size_t>({in.Byte(), srb.SenseLen, sizeof srb.SenseArea}));
        std::copy(sense.begin(), sense.end(), srb.SenseArea);
    } else if ((header->Flags & burn::kSrbDirIn) && srb.BufPointer != nullptr) {
        const auto data = in.Take(std::min<std::size_t>(in.Word(), srb.BufLen));
        std::copy(data.begin(), data.end(), static_cast<std::uint8_t*>(srb.BufPointer));
    }
    return header->Status = status;
}

// A device listed, selected and asked what the window and a burn ask of it.
void Device(Input& in) {
    const std::uint8_t adapters = in.Byte() % 3;
    burn::AspiLayer layer;
    layer.ASPIInitialized = true;
    layer.ASPILayerName = "WNASPI32.DLL";
    layer.SendCommandEntry = [&](void* p) { return Answer(in, adapters, p); };
    NoTime clock;
    burn::TSCSIDevice device(layer, clock);
    device.SetDevice(device.Devices.empty() ? std::string("0:0:0,E: FUZZ") : device.Devices.front());
    if (device.HaId == burn::kNoDevice) device.HaId = device.Target = device.Lun = 0;
    const std::uint8_t type = device.DeviceType();
    (void)device.MaxWriteSpeedX();
    (void)device.MaxReadSpeedX();
    (void)device.CurrentWriteSpeedX();
    const std::uint8_t flags = in.Byte();
    device.FinalizeDisc = flags & 1;
    device.SessionAtOnce = flags & 2;
    for (const std::uint8_t t : {type, std::uint8_t{2}, std::uint8_t{5}, std::uint8_t{10}})
        device.SetWriteParameters(flags & 4, true, t);
    (void)burn::GetNextWritableAddress(device, false, true, type);
    std::uint32_t size = 0, free = 0;
    device.ReadBufferCapacity(size, free);
    device.UnitFinished();
    (void)device.SessionCount();
    const burn::SessionDisc disc = burn::DeviceSessionDisc(device);
    const int sessions = disc.sessionCount();
    (void)disc.sessionStart(1, sessions);
    (void)disc.sessionStart(sessions, sessions);
    (void)disc.recordedEnd();
    device.ReadTrackInformation(1);
    device.WaitUnitReady(60000, 5000);
}

}  // namespace

void FuzzDeviceAnswersOnce(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    Parsers(in);
    Device(in);
}

}  // namespace fuzz
