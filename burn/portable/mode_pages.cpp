#include "burn/portable/mode_pages.h"

#include <algorithm>

namespace burn {

namespace {

constexpr std::size_t kModeHeaderSize = 8;
constexpr std::uint8_t kPageLength = 0x32;
constexpr std::uint8_t kWriteTypeTao = 0x01;
constexpr std::uint8_t kWriteTypeSao = 0x02;
constexpr std::uint8_t kBufe = 0x40;
constexpr std::uint8_t kTestWriteBit = 0x10;
constexpr std::uint8_t kMultiSession = 0xC0;
constexpr std::uint8_t kDataMode1 = 8;
constexpr std::uint8_t kDataTrackMode = 4;  // data, recorded uninterrupted
constexpr std::uint8_t kLinkSizeValid = 0x20;
constexpr std::uint8_t kDvdPlusR = 10;

bool IsDvdMinus(std::uint8_t type) { return type == 5 || type == 7 || type == 8; }

void SetBits(std::uint8_t& byte, std::uint8_t bits, bool on) {
    byte = static_cast<std::uint8_t>(on ? byte | bits : byte & ~bits);
}

}  // namespace

std::size_t ModePageStart(std::span<const std::uint8_t> answer, std::uint8_t page) {
    auto at = [&](std::size_t i) { return i < answer.size() ? answer[i] : 0; };
    if (at(16) == page) return 16;
    if (at(8) != page && at(7) == page) return 7;
    return 8;
}

void PatchWriteParamsPage(std::array<std::uint8_t, kWriteParamsPageSize>& p, const WriteParamsChoice& c) {
    const bool multiSession = !c.TestWrite && !c.FinalizeDisc;
    const bool bufe = (c.Capabilities & kCapUnderrunFree) && c.UnderrunProtection;
    p[1] = kPageLength;
    p[2] = c.SessionAtOnce ? kWriteTypeSao : kWriteTypeTao;
    // A data disc in either write type: mode 1 blocks of 2048 bytes on an uninterrupted data
    // track (no fixed packets), whatever the drive's page held: the write-mode probe leaves it
    // at audio.
    p[3] = static_cast<std::uint8_t>((p[3] & kMultiSession) | kDataTrackMode);
    p[4] = kDataMode1;
    if (c.DeviceType == kDvdPlusR) {
        p[2] = 0x22;
        p[3] = 4;
    }
    if (c.QuirkLinkSize) p[2] = static_cast<std::uint8_t>(p[2] + kLinkSizeValid);
    SetBits(p[3], kMultiSession, multiSession);
    SetBits(p[2], kBufe, bufe);
    if (IsDvdMinus(c.DeviceType)) {
        p[3] = 5;
        p[2] = c.UnderrunProtection ? 0x42 : 0x02;
        p[4] = kDataMode1;
    } else if (c.QuirkDvrRw) {
        p[2] = 0x41;
        SetBits(p[3], kMultiSession, multiSession);
    }
    SetBits(p[2], kTestWriteBit, (c.Capabilities & kCapTestWrite) && c.TestWrite);
    std::fill(p.begin() + 5, p.begin() + 14, 0);
    if (c.DeviceType == kDvdPlusR) p[5] = 16;
}

std::vector<std::uint8_t> ModeSelectList(std::span<const std::uint8_t> page) {
    const std::size_t pageBytes = std::min<std::size_t>(page.size(), std::size_t{page[1]} + 2);
    std::vector<std::uint8_t> list(kModeHeaderSize + pageBytes, 0);
    std::copy_n(page.begin(), pageBytes, list.begin() + kModeHeaderSize);
    return list;
}

}  // namespace burn
