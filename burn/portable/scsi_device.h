// TSCSIDevice: one CD/DVD recorder as the engine sees it. Every drive command goes through
// ExecCommand, which sends the request through the loaded layer, waits for it and turns a
// failure into the upper-case message in LastError (empty: success).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "burn/portable/aspi_layer.h"
#include "burn/portable/command_blocks.h"
#include "burn/portable/command_clock.h"
#include "burn/portable/debug_log.h"
#include "burn/portable/mode_pages.h"
#include "burn/portable/srb.h"
#include "burn/portable/device_capabilities.h"

namespace burn {

inline constexpr std::uint8_t kNoDevice = 254;
inline constexpr char kNotSentMessage[] = "NO DEVICE SELECTED";
// After a time-out the request is aborted and given this much longer to finish.
inline constexpr std::uint32_t kAbortGraceMs = 5000;
inline constexpr char kInvalidDeviceMessage[] = "INVALID DEVICE ID / NOT A CD OR DVD DRIVE";
inline constexpr std::uint8_t kNoPeripheral = 0x1F;
inline constexpr std::size_t kCapabilitiesPageSize = 22;
inline constexpr std::size_t kAtipSize = 26;

// The speed and buffer fields of the capabilities page, in host order (kB/s, kB).
struct CapabilityFields {
    std::uint16_t MaxReadKBs = 0, BufferKB = 0, CurrentReadKBs = 0, MaxWriteKBs = 0, CurrentWriteKBs = 0;
};

#pragma pack(push, 1)
// READ TRACK INFORMATION answer with its multi-byte fields in host order.
struct TTrackInfo {
    std::uint16_t DataLength;
    std::uint8_t TrackNumber;
    std::uint8_t SessionNumber;
    std::uint8_t Reserved1;
    std::uint8_t TrackMode;   // damage, copy, track mode
    std::uint8_t DataMode;    // RT, blank, packet, FP, data mode
    std::uint8_t Valid;       // LRA_V, NWA_V
    std::uint32_t TrackStart;
    std::uint32_t NextWritable;
    std::uint32_t FreeBlocks;
    std::uint32_t FixedPacketSize;
    std::uint32_t TrackSize;
    std::uint32_t LastRecorded;
    std::uint8_t TrackNumberMsb;
    std::uint8_t SessionNumberMsb;
    std::uint8_t Reserved2[4];
};
#pragma pack(pop)
static_assert(sizeof(TTrackInfo) == 38);

struct TimeStamp {
    int Year, Month, Day, Hour, Minute, Second;
};

// A request with everything the layer may touch while it runs: its block, data and event.
struct CommandRequest {
    SrbExecute Srb{};
    std::vector<std::uint8_t> Data;
    std::unique_ptr<CommandEvent> Event;
};

class TSCSIDevice {
public:
    // With a layer already loaded, the devices are listed at once.
    TSCSIDevice(AspiLayer& layer, CommandClock& clock);
    virtual ~TSCSIDevice() = default;

    // Address of the selected device; 254 each: none selected.
    std::uint8_t HaId = kNoDevice, Target = kNoDevice, Lun = kNoDevice;
    std::string LastError;
    std::array<std::uint8_t, kSenseAreaSize> LastSense{};
    bool Busy = false;
    std::array<std::uint8_t, kWriteParamsPageSize> WriteParamsPage{};
    std::array<std::uint8_t, 131> InquiryBuffer{};
    TTrackInfo TrackInfo{};
    std::uint32_t Capabilities = 0;
    std::uint32_t DeviceBufferSize = 0, DeviceFreeBufferSize = 0;
    bool FinalizeDisc = false;
    bool QuirkDvrRw = false, QuirkForceUnderrunFree = false, QuirkLinkSize = false;
    bool SlowReadyQuirk = false, CloseImmediateQuirk = false;
    std::uint16_t CurrentDiscType = 0;
    bool SessionAtOnce = false;
    // Gets every line of DebugMessage first, when set; its owner keeps it alive or clears it.
    DebugLog* DebugWindow = nullptr;
    std::function<void(TSCSIDevice& sender, const std::string& message, std::uint8_t level)> OnDebugMessage;

    // Device list and selection.
    std::int8_t HostAdapterCount = -1;   // -1: the adapter inquiry failed
    std::array<std::uint8_t, kCapabilitiesPageSize> CapabilitiesPage{};
    CapabilityFields CapabilityValues;   // the page's speed fields in host order
    std::string DeviceName, DeviceDescription;
    std::uint8_t PeripheralType = kNoPeripheral;
    bool DoDebug = false, UnderrunProtection = false, TestWrite = false;
    std::vector<std::string> Devices;
    std::function<void(TSCSIDevice& sender)> OnDeviceChange;
    SrbHaInquiry AdapterInquiry{};
    std::array<std::uint8_t, kAtipSize> Atip{};
    std::uint16_t DeviceMaxWriteSpeed = 0, DeviceMaxReadSpeed = 0;
    std::uint8_t WriteModes = 0;   // bit 0 raw, 1 session-at-once, 2 track-at-once
    std::uint16_t ReadSpeed = 0;
    // Loads the device layer (the program wires the loader); exceptions count as failure.
    std::function<bool(bool preferSpti)> LoadLayer;
    // The letter of the volume on this adapter and target as the platform's volumes report it;
    // 0 when none does (always so under Wine).
    std::function<char(std::uint8_t haId, std::uint8_t target)> VolumeLetter;

    // A device layer is loaded.
    bool ASPIInitialized() const { return layer_.ASPIInitialized; }
    bool InitializeASPI(bool preferSpti);
    void QueryHostAdapters(std::uint8_t haId);
    void EnumerateDevices();
    void SetDevice(const std::string& line);
    char GetDriveLetter();
    bool GetCapabilities();
    std::uint16_t MaxWriteSpeedX();
    std::uint16_t MaxReadSpeedX();
    std::uint16_t CurrentWriteSpeedX();
    std::uint8_t DeviceType();
    void ProbeWriteModes();
    std::uint16_t WriteSpeed() const { return writeSpeed_; }
    void SetWriteSpeed(std::uint16_t x);

    void DebugMessage(const std::string& text, std::uint8_t level);

    // Sends one command; out: the data it sends, in: receives the data it reads (resized to the
    // command's length) once the request has ended. Gives the final SRB status.
    std::uint8_t ExecCommand(const CommandBlock& block, std::span<const std::uint8_t> out = {},
                             std::vector<std::uint8_t>* in = nullptr);

    bool TestUnitReady(std::uint32_t timeoutMs);
    bool RezeroUnit();
    bool RequestSense(std::uint8_t* buffer, std::uint8_t length);
    bool Inquiry();
    bool LoadOrEject(bool eject);
    bool PreventMediumRemoval(bool allow);
    bool Read10(std::uint32_t lba, std::uint16_t blocks, std::uint32_t length, std::uint8_t* buffer);
    bool Write10(std::uint32_t lba, std::uint16_t blocks, std::uint8_t flags, std::uint32_t length,
                 const std::uint8_t* buffer);
    bool SynchronizeCache(std::uint32_t timeoutMs, bool immediate);
    bool ReadToc(std::uint8_t format, std::uint8_t* buffer, std::uint8_t track, bool msf, std::uint8_t control,
                 std::uint16_t length);
    bool GetConfiguration(std::uint8_t rt, std::uint16_t feature, std::uint16_t length, std::uint8_t* buffer);
    bool ReadDiscInformation(std::uint8_t* buffer, std::uint16_t length);
    bool ReadTrackInformation(std::uint32_t track);
    bool ReserveTrack(std::uint32_t blocks);
    bool SendOPC();
    bool ModeSelect10(const std::uint8_t* page, std::uint16_t length);
    bool ModeSense10(std::uint8_t page, std::uint8_t* buffer, bool defaults, std::uint16_t length, std::uint16_t clear);
    bool CloseTrackSession(bool closeTrack, bool immediate);
    bool ReadBufferCapacity(std::uint32_t& size, std::uint32_t& free);
    bool SendCueSheet(const std::uint8_t* buffer, std::uint16_t length);
    bool SetStreaming(const std::uint8_t* buffer, std::uint16_t length);
    bool SetCDSpeed(std::uint16_t readX, std::uint16_t writeX);
    bool SendDvdStructure(std::uint8_t format, const std::uint8_t* buffer, std::uint16_t length);

    bool UnitFinished();
    std::uint8_t SessionCount();
    bool SendTimeStamp(const TimeStamp& when);
    bool SetWriteParameters(bool testWrite, bool underrunProtection, std::uint8_t deviceType);
    bool WaitUnitReady(std::int64_t totalMs, std::int64_t intervalMs);

protected:
    AspiLayer& layer_;
    CommandClock& clock_;

private:
    void ClearSelection();
    std::uint16_t writeSpeed_ = 0;
    std::uint8_t AdditionalSenseCode() const { return LastSense[12]; }
};

// Requests that outlived their time-out and their abort: kept alive for the rest of the process,
// since the layer may still write into them.
std::size_t AbandonedRequestCount();

}  // namespace burn
