// What a recorder can do and what is in it: the capability mask built from the capabilities
// page and two configuration features, the medium type from a profile or the ATIP, and the
// quirks of a few drive models named by their INQUIRY strings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace burn {

inline constexpr std::uint32_t kCapWritesCdR = 0x200;
inline constexpr std::uint32_t kCapWritesDvdR = 0x1000;
inline constexpr std::uint32_t kCapWritesDvdRam = 0x4000;
// A drive that can burn one of these may be offered the Burn button.
inline constexpr std::uint32_t kCapAnyWrite = kCapWritesCdR | kCapWritesDvdR | kCapWritesDvdRam;

// One configuration feature as GET CONFIGURATION answered it.
struct FeatureAnswer {
    bool Present = false;
    std::uint8_t FirstDataByte = 0;
};

struct CapabilitySources {
    std::uint8_t ReadByte = 0;       // page 0x2A byte 2
    std::uint8_t WriteByte = 0;      // page 0x2A byte 3
    std::uint8_t Byte4 = 0;          // page 0x2A byte 4: bit 7 underrun-free recording
    bool Page30Present = false;      // the drive answers the page 0x30 probe
    bool QuirkForceUnderrunFree = false;
    FeatureAnswer DvdPlusRw;         // feature 0x2A
    FeatureAnswer DvdRw;             // feature 0x2F
};

std::uint32_t CapabilityMask(const CapabilitySources& sources);

// Medium type codes: 0 unknown, 1 CD-ROM, 2 CD-R, 3 CD-RW, 4 DVD-ROM and up are DVD media.
inline constexpr std::uint8_t kFirstDvdType = 4;
std::uint8_t DeviceTypeFromProfile(std::uint16_t profile);
// ATIP byte 6: bit 7 clear is a pressed disc, bit 6 marks a rewritable one.
std::uint8_t DeviceTypeFromAtip(std::uint8_t atipByte6);
// "UNKNOWN" for codes outside the table.
std::string_view DeviceTypeName(std::uint8_t type);

// Maximum speed in X from the page's kB/s field; a DVD-RAM writer reporting none counts as 1.
std::uint16_t MaxSpeedXFromField(std::uint16_t kbs, bool writesDvdRam);

struct DriveQuirks {
    bool ForceUnderrunFree = false, LinkSize = false, DvrRw = false;
    bool SlowReady = false, CloseImmediate = false;
};

// From the INQUIRY answer whose zero bytes 8..55 were already turned into blanks.
DriveQuirks QuirksFromInquiry(std::span<const std::uint8_t> inquiry);

}  // namespace burn
