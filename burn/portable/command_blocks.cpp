#include "burn/portable/command_blocks.h"

#include "burn/portable/big_endian.h"
#include "burn/portable/speed.h"
#include "burn/portable/srb.h"

namespace burn {

namespace {

// The CDB length follows from the opcode's group, as the standards define it.
std::uint8_t CdbLengthOf(std::uint8_t opcode) {
    switch (opcode >> 5) {
        case 0: return 6;
        case 1: case 2: return 10;
        case 4: return 16;
        default: return 12;
    }
}

CommandBlock Block(std::uint8_t opcode, DataDirection dir, std::uint32_t length, std::uint32_t timeoutMs) {
    CommandBlock b;
    b.Cdb[0] = opcode;
    b.CdbLen = CdbLengthOf(opcode);
    b.Direction = dir;
    b.Length = length;
    b.TimeoutMs = timeoutMs;
    static constexpr std::uint8_t kDirFlag[] = {0, kSrbDirIn, kSrbDirOut};
    b.Flags = kSrbEventNotify | kDirFlag[static_cast<int>(dir)];
    return b;
}

}  // namespace

CommandBlock TestUnitReadyBlock(std::uint32_t timeoutMs) { return Block(0x00, DataDirection::None, 0, timeoutMs); }

CommandBlock RezeroUnitBlock() { return Block(0x01, DataDirection::None, 0, 10000); }

CommandBlock RequestSenseBlock(std::uint8_t length) {
    auto b = Block(0x03, DataDirection::In, length, 10000);
    b.Cdb[4] = length;
    return b;
}

CommandBlock InquiryBlock() {
    auto b = Block(0x12, DataDirection::In, kInquiryLength, 10000);
    b.Cdb[4] = kInquiryLength;
    return b;
}

CommandBlock LoadOrEjectBlock(bool eject) {
    auto b = Block(0x1B, DataDirection::None, 0, 20000);
    b.Cdb[4] = eject ? 2 : 3;
    return b;
}

CommandBlock PreventMediumRemovalBlock(bool allow) {
    auto b = Block(0x1E, DataDirection::None, 0, 10000);
    b.Cdb[4] = allow ? 0 : 1;
    return b;
}

CommandBlock Read10Block(std::uint32_t lba, std::uint16_t blocks, std::uint32_t length) {
    auto b = Block(0x28, DataDirection::In, length, 10000);
    PutBE32(b.Cdb + 2, lba);
    PutBE16(b.Cdb + 7, blocks);
    return b;
}

CommandBlock Write10Block(std::uint32_t lba, std::uint16_t blocks, std::uint8_t flags, std::uint32_t length) {
    auto b = Block(0x2A, DataDirection::Out, length, 120000);
    PutBE32(b.Cdb + 2, lba);
    PutBE16(b.Cdb + 7, blocks);
    b.Flags = flags;
    return b;
}

CommandBlock SynchronizeCacheBlock(std::uint32_t timeoutMs, bool immediate) {
    auto b = Block(0x35, DataDirection::None, 0, timeoutMs);
    b.Cdb[1] = immediate ? 2 : 0;
    return b;
}

CommandBlock ReadTocBlock(std::uint8_t format, std::uint8_t track, bool msf, std::uint8_t control, std::uint16_t length) {
    auto b = Block(0x43, DataDirection::In, length, 10000);
    b.Cdb[1] = msf ? 2 : 0;
    b.Cdb[2] = format;
    b.Cdb[6] = track;
    PutBE16(b.Cdb + 7, length);
    b.Cdb[9] = control;
    return b;
}

CommandBlock GetConfigurationBlock(std::uint8_t rt, std::uint16_t feature, std::uint16_t length) {
    auto b = Block(0x46, DataDirection::In, length, 30000);
    b.Cdb[1] = rt;
    b.Cdb[3] = static_cast<std::uint8_t>(feature);
    PutBE16(b.Cdb + 7, length);
    return b;
}

CommandBlock ReadDiscInformationBlock(std::uint16_t length) {
    auto b = Block(0x51, DataDirection::In, length, 10000);
    PutBE16(b.Cdb + 7, length);
    return b;
}

CommandBlock ReadTrackInformationBlock(std::uint32_t track) {
    auto b = Block(0x52, DataDirection::In, kTrackInfoLength, 60000);
    b.Cdb[1] = 1;  // address is a track number
    PutBE32(b.Cdb + 2, track);
    PutBE16(b.Cdb + 7, kTrackInfoLength);
    return b;
}

CommandBlock ReserveTrackBlock(std::uint32_t blocks) {
    auto b = Block(0x53, DataDirection::In, kReserveTrackLength, 10000);
    PutBE32(b.Cdb + 5, blocks);
    return b;
}

CommandBlock SendOpcBlock() {
    auto b = Block(0x54, DataDirection::None, 0, 150000);
    b.Cdb[1] = 1;
    return b;
}

CommandBlock ModeSelect10Block(std::uint16_t length) {
    auto b = Block(0x55, DataDirection::Out, length, 10000);
    b.Cdb[1] = 0x10;  // page format
    PutBE16(b.Cdb + 7, length);
    return b;
}

CommandBlock ModeSense10Block(std::uint8_t page, bool defaults, std::uint16_t length) {
    auto b = Block(0x5A, DataDirection::In, length, 20000);
    b.Cdb[2] = static_cast<std::uint8_t>(page | (defaults ? 0x80 : 0));
    PutBE16(b.Cdb + 7, length);
    return b;
}

CommandBlock CloseTrackSessionBlock(bool closeTrack, bool immediate) {
    auto b = Block(0x5B, DataDirection::None, 0, 180000);
    b.Cdb[1] = immediate ? 1 : 0;
    b.Cdb[2] = closeTrack ? 1 : 2;
    return b;
}

CommandBlock ReadBufferCapacityBlock() {
    auto b = Block(0x5C, DataDirection::In, kBufferCapacityLength, 10000);
    PutBE16(b.Cdb + 7, kBufferCapacityLength);
    return b;
}

CommandBlock SendCueSheetBlock(std::uint16_t length) {
    auto b = Block(0x5D, DataDirection::Out, length, 30000);
    PutBE16(b.Cdb + 7, length);
    return b;
}

CommandBlock SetStreamingBlock(std::uint16_t length) {
    auto b = Block(0xB6, DataDirection::Out, length, 10000);
    PutBE16(b.Cdb + 9, length);
    return b;
}

CommandBlock SetCdSpeedBlock(std::uint16_t readX, std::uint16_t writeX) {
    auto b = Block(0xBB, DataDirection::None, 0, 10000);
    PutBE16(b.Cdb + 2, SpeedFieldFromX(readX));
    PutBE16(b.Cdb + 4, SpeedFieldFromX(writeX));
    return b;
}

CommandBlock SendDvdStructureBlock(std::uint8_t format, std::uint16_t length) {
    auto b = Block(0xBF, DataDirection::Out, length, 10000);
    b.Cdb[7] = format;
    PutBE16(b.Cdb + 8, length);
    return b;
}

}  // namespace burn
