// The build-time writer of skin archives and LHA members (the inverse of skin/portable/skin_reader).
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skin_pack {

struct SkinEntry {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The archive's bytes: version 20000, the name list's length, two zero words, the names
// joined by CR LF, one int32 size per entry, then the entries. No checks: tests lay out
// forged archives with it too.
std::vector<std::uint8_t> ArchiveBytes(const std::vector<SkinEntry>& entries, std::int32_t version = 20000);

// Refuses (std::invalid_argument) names outside [a-z0-9._-], an empty or repeated name, and
// anything but exactly one name containing ".ini", which must come first.
void CheckSkinEntries(const std::vector<SkinEntry>& entries);

// The checked archive, packed into a skin stream.
std::vector<std::uint8_t> WriteSkinStream(const std::vector<SkinEntry>& entries);

// One level-0 "-lh1-" LHA member holding coded (the LZHUF bits of original) under name, with
// the CRC-16 of original and a fixed time stamp.
struct LhaMember {
    std::string name;
    std::span<const std::uint8_t> original;
    std::span<const std::uint8_t> coded;
};
// The members in order, then the archive's end mark.
std::vector<std::uint8_t> LhaArchive(const std::vector<LhaMember>& members);

std::uint16_t Crc16(std::span<const std::uint8_t> bytes);

}  // namespace skin_pack
