// What each recorder command sends: the command descriptor block, the direction of its data,
// the data length and how long the caller waits. Built from the wrapper's arguments only, so
// the device and the tests share one definition of every command.
#pragma once

#include <cstdint>

namespace burn {

inline constexpr std::uint32_t kMinCommandTimeoutMs = 10000;

enum class DataDirection : std::uint8_t { None, In, Out };

struct CommandBlock {
    std::uint8_t Cdb[16] = {};
    std::uint8_t CdbLen = 0;
    DataDirection Direction = DataDirection::None;
    std::uint32_t Length = 0;
    std::uint32_t TimeoutMs = 0;
    // SRB flags: the direction bit and event notification; WRITE (10) takes the caller's.
    std::uint8_t Flags = 0;

    std::uint8_t Opcode() const { return Cdb[0]; }
};

CommandBlock TestUnitReadyBlock(std::uint32_t timeoutMs);
CommandBlock RezeroUnitBlock();
CommandBlock RequestSenseBlock(std::uint8_t length);
CommandBlock InquiryBlock();
CommandBlock LoadOrEjectBlock(bool eject);
CommandBlock PreventMediumRemovalBlock(bool allow);
CommandBlock Read10Block(std::uint32_t lba, std::uint16_t blocks, std::uint32_t length);
CommandBlock Write10Block(std::uint32_t lba, std::uint16_t blocks, std::uint8_t flags, std::uint32_t length);
CommandBlock SynchronizeCacheBlock(std::uint32_t timeoutMs, bool immediate);
CommandBlock ReadTocBlock(std::uint8_t format, std::uint8_t track, bool msf, std::uint8_t control, std::uint16_t length);
CommandBlock GetConfigurationBlock(std::uint8_t rt, std::uint16_t feature, std::uint16_t length);
CommandBlock ReadDiscInformationBlock(std::uint16_t length);
CommandBlock ReadTrackInformationBlock(std::uint32_t track);
CommandBlock ReserveTrackBlock(std::uint32_t blocks);
CommandBlock SendOpcBlock();
CommandBlock ModeSelect10Block(std::uint16_t length);
CommandBlock ModeSense10Block(std::uint8_t page, bool defaults, std::uint16_t length);
CommandBlock CloseTrackSessionBlock(bool closeTrack, bool immediate);
CommandBlock ReadBufferCapacityBlock();
CommandBlock SendCueSheetBlock(std::uint16_t length);
CommandBlock SetStreamingBlock(std::uint16_t length);
CommandBlock SetCdSpeedBlock(std::uint16_t readX, std::uint16_t writeX);
CommandBlock SendDvdStructureBlock(std::uint8_t format, std::uint16_t length);

inline constexpr std::uint32_t kTrackInfoLength = 38;
inline constexpr std::uint32_t kBufferCapacityLength = 32;
inline constexpr std::uint32_t kInquiryLength = 128;
inline constexpr std::uint32_t kReserveTrackLength = 8;

}  // namespace burn
