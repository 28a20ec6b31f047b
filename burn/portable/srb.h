// The request records that travel through the two ASPI entry points, and the Windows
// pass-through request. Shared by the engine and the virtual recorder, so both sides agree on
// every byte. Byte-packed as the layers expect, pointers pointer-sized (64-bit build).
#pragma once

#include <cstddef>
#include <cstdint>

namespace burn {

// SRB commands.
inline constexpr std::uint8_t kSrbHaInquiry = 0x00;
inline constexpr std::uint8_t kSrbGetDeviceType = 0x01;
inline constexpr std::uint8_t kSrbExecute = 0x02;
inline constexpr std::uint8_t kSrbAbort = 0x03;
inline constexpr std::uint8_t kSrbGetDiskInfo = 0x06;

// SRB flags.
inline constexpr std::uint8_t kSrbDirIn = 0x08;
inline constexpr std::uint8_t kSrbDirOut = 0x10;
inline constexpr std::uint8_t kSrbEventNotify = 0x40;

// SRB status values.
inline constexpr std::uint8_t kSsPending = 0x00;
inline constexpr std::uint8_t kSsComp = 0x01;
inline constexpr std::uint8_t kSsAborted = 0x02;
inline constexpr std::uint8_t kSsAbortFail = 0x03;
inline constexpr std::uint8_t kSsErr = 0x04;
inline constexpr std::uint8_t kSsInvalidCmd = 0x80;
inline constexpr std::uint8_t kSsInvalidHa = 0x81;
inline constexpr std::uint8_t kSsNoDevice = 0x82;
inline constexpr std::uint8_t kSsInvalidSrb = 0xE0;
inline constexpr std::uint8_t kSsBufferAlign = 0xE1;
inline constexpr std::uint8_t kSsAspiBusy = 0xE5;
inline constexpr std::uint8_t kSsBufferTooBig = 0xE6;
inline constexpr std::uint8_t kSsNoAdapters = 0xE8;

// Host adapter status: the request ran out of time.
inline constexpr std::uint8_t kHaStatTimeout = 0x09;

inline constexpr std::size_t kSenseAreaSize = 33;
inline constexpr std::size_t kCdbSize = 16;

#pragma pack(push, 1)

struct SrbHeader {
    std::uint8_t Cmd;
    std::uint8_t Status;
    std::uint8_t HaId;
    std::uint8_t Flags;
    std::uint32_t Reserved;
};

struct SrbHaInquiry {
    SrbHeader Header;
    std::uint8_t HaCount;
    std::uint8_t HaScsiId;
    char LayerText[16];
    char AdapterText[16];
    std::uint8_t Unique[16];
    std::uint8_t Reserved[2];
};

struct SrbGetDeviceType {
    SrbHeader Header;
    std::uint8_t Target;
    std::uint8_t Lun;
    std::uint8_t PeripheralType;
    std::uint8_t Reserved;
};

struct SrbGetDiskInfo {
    SrbHeader Header;
    std::uint8_t Target;
    std::uint8_t Lun;
    std::uint8_t DriveFlags;
    std::uint8_t DriveNumber;
    std::uint8_t Reserved[12];
};

struct SrbAbort {
    SrbHeader Header;
    void* ToAbort;
};

struct SrbExecute {
    SrbHeader Header;
    std::uint8_t Target;
    std::uint8_t Lun;
    std::uint8_t Reserved1[2];
    std::uint32_t BufLen;
    std::uint8_t* BufPointer;
    std::uint8_t SenseLen;
    std::uint8_t CdbLen;
    std::uint8_t HaStat;
    std::uint8_t TargStat;
    void* PostProc;
    std::uint8_t Reserved2[20];
    std::uint8_t Cdb[kCdbSize];
    std::uint8_t SenseArea[kSenseAreaSize];
};

#pragma pack(pop)

static_assert(sizeof(void*) == 8, "the records are laid out for the 64-bit build");
static_assert(sizeof(SrbHeader) == 8);
static_assert(sizeof(SrbHaInquiry) == 60);
static_assert(offsetof(SrbHaInquiry, LayerText) == 10 && offsetof(SrbHaInquiry, AdapterText) == 26);
static_assert(offsetof(SrbHaInquiry, Unique) == 42);
static_assert(sizeof(SrbGetDeviceType) == 12 && offsetof(SrbGetDeviceType, PeripheralType) == 10);
static_assert(sizeof(SrbGetDiskInfo) == 24 && offsetof(SrbGetDiskInfo, DriveNumber) == 11);
static_assert(sizeof(SrbAbort) == 16 && offsetof(SrbAbort, ToAbort) == 8);
static_assert(sizeof(SrbExecute) == 105);
static_assert(offsetof(SrbExecute, BufLen) == 12 && offsetof(SrbExecute, BufPointer) == 16);
static_assert(offsetof(SrbExecute, SenseLen) == 24 && offsetof(SrbExecute, CdbLen) == 25);
static_assert(offsetof(SrbExecute, HaStat) == 26 && offsetof(SrbExecute, TargStat) == 27);
static_assert(offsetof(SrbExecute, PostProc) == 28 && offsetof(SrbExecute, Cdb) == 56);
static_assert(offsetof(SrbExecute, SenseArea) == 72);

// The platform's SCSI_PASS_THROUGH_DIRECT in its natural (not packed) layout.
struct ScsiPassThroughDirect {
    std::uint16_t Length;
    std::uint8_t ScsiStatus;
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
    std::uint8_t CdbLength;
    std::uint8_t SenseInfoLength;
    std::uint8_t DataIn;
    std::uint32_t DataTransferLength;
    std::uint32_t TimeOutValue;
    void* DataBuffer;
    std::uint32_t SenseInfoOffset;
    std::uint8_t Cdb[16];
};

inline constexpr std::size_t kPassThroughSenseSize = 32;

// What goes to the driver: the record, a filler, and the sense area the record points at.
struct PassThroughRequest {
    ScsiPassThroughDirect Spt;
    std::uint32_t Filler;
    std::uint8_t Sense[kPassThroughSenseSize];
};

struct ScsiAddress {
    std::uint32_t Length;
    std::uint8_t PortNumber;
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
};

static_assert(sizeof(ScsiPassThroughDirect) == 56);
static_assert(offsetof(ScsiPassThroughDirect, DataTransferLength) == 12);
static_assert(offsetof(ScsiPassThroughDirect, DataBuffer) == 24);
static_assert(offsetof(ScsiPassThroughDirect, SenseInfoOffset) == 32);
static_assert(offsetof(ScsiPassThroughDirect, Cdb) == 36);
static_assert(offsetof(PassThroughRequest, Sense) == 60);
static_assert(sizeof(ScsiAddress) == 8);

inline constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x4D014;
inline constexpr std::uint32_t kIoctlScsiGetAddress = 0x41018;
inline constexpr std::uint32_t kPassThroughDataOut = 0;
inline constexpr std::uint32_t kPassThroughDataIn = 1;
inline constexpr std::uint32_t kPassThroughDataUnspecified = 2;

}  // namespace burn
