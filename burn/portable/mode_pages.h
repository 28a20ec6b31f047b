// Mode pages the recorder commands read and patch: where a page starts in a MODE SENSE (10)
// answer, and the write-parameters page (5) prepared for a burn.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace burn {

inline constexpr std::size_t kWriteParamsPageSize = 54;
inline constexpr std::uint8_t kWriteParamsPageCode = 0x05;
inline constexpr std::uint8_t kCapabilitiesPageCode = 0x2A;
inline constexpr std::uint32_t kCapUnderrunFree = 0x40000;
inline constexpr std::uint32_t kCapTestWrite = 0x800;

// Drives put the page behind an 8-byte header, some behind a block descriptor (16), a few at 7.
std::size_t ModePageStart(std::span<const std::uint8_t> answer, std::uint8_t page);

struct WriteParamsChoice {
    bool TestWrite = false;
    bool UnderrunProtection = false;
    std::uint8_t DeviceType = 0;
    bool SessionAtOnce = false;
    bool FinalizeDisc = false;
    bool QuirkLinkSize = false;
    bool QuirkDvrRw = false;
    std::uint32_t Capabilities = 0;
};

// The page as the drive gave it, patched for the chosen write.
void PatchWriteParamsPage(std::array<std::uint8_t, kWriteParamsPageSize>& page, const WriteParamsChoice& choice);

// The MODE SELECT (10) parameter list of a page: an 8-byte zero header, then page length + 2 bytes.
std::vector<std::uint8_t> ModeSelectList(std::span<const std::uint8_t> page);

}  // namespace burn
