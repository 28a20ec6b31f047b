#include "burn/portable/device_capabilities.h"

#include <algorithm>
#include <array>
#include <utility>

#include "burn/portable/mode_pages.h"
#include "burn/portable/speed.h"

namespace burn {

namespace {

struct PageBit {
    int byte;  // 2 read, 3 write, 4 underrun
    std::uint8_t bit;
    std::uint32_t mask;
};

constexpr PageBit kPageBits[] = {
    {2, 0x01, 0x1},    {2, 0x02, 0x2},    {2, 0x04, 0x4},    {2, 0x08, 0x8},
    {2, 0x10, 0x30},   {2, 0x20, 0x40},   {3, 0x01, 0x200},  {3, 0x02, 0x400},
    {3, 0x04, 0x800},  {3, 0x10, 0x3000}, {3, 0x20, 0x4000}, {4, 0x80, 0x40000},
};

// Feature present, then present with its first data byte 1 (the drive writes that medium).
constexpr std::uint32_t kDvdPlusRwReads = 0x180, kDvdPlusRwWrites = 0x18000;
constexpr std::uint32_t kDvdRwReads = 0x30, kDvdRwWrites = 0x3000;

std::uint32_t FeatureBits(const FeatureAnswer& feature, std::uint32_t reads, std::uint32_t writes) {
    if (!feature.Present) return 0;
    return feature.FirstDataByte == 1 ? reads | writes : reads;
}

constexpr std::pair<std::uint16_t, std::uint8_t> kProfileTypes[] = {
    {0x08, 1}, {0x09, 2}, {0x0A, 3}, {0x10, 4}, {0x11, 5}, {0x12, 6}, {0x13, 7},
    {0x14, 7}, {0x1A, 9}, {0x1B, 10}, {0x20, 11}, {0x21, 12}, {0x22, 13},
};

constexpr std::array<std::string_view, 14> kTypeNames = {
    "UNKNOWN", "CD-ROM", "CD-R",   "CD-RW", "DVD-ROM",  "DVD-R",  "DVD-RAM",
    "DVD-RW",  "DVD-RW", "DVD+RW", "DVD+R", "DDCD-ROM", "DDCD-R", "DDCD-RW",
};

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view Field(std::span<const std::uint8_t> inquiry, std::size_t at, std::size_t length) {
    if (inquiry.size() < at + length) return {};
    return {reinterpret_cast<const char*>(inquiry.data() + at), length};
}

}  // namespace

std::uint32_t CapabilityMask(const CapabilitySources& s) {
    const std::uint8_t bytes[] = {0, 0, s.ReadByte, s.WriteByte, s.Byte4};
    std::uint32_t mask = 0;
    for (const auto& b : kPageBits)
        if (bytes[b.byte] & b.bit) mask |= b.mask;
    if (s.Page30Present || s.QuirkForceUnderrunFree) mask |= kCapUnderrunFree;
    mask |= FeatureBits(s.DvdPlusRw, kDvdPlusRwReads, kDvdPlusRwWrites);
    mask |= FeatureBits(s.DvdRw, kDvdRwReads, kDvdRwWrites);
    return mask;
}

std::uint8_t DeviceTypeFromProfile(std::uint16_t profile) {
    for (const auto& [code, type] : kProfileTypes)
        if (code == profile) return type;
    return 0;
}

std::uint8_t DeviceTypeFromAtip(std::uint8_t b) {
    if (!(b & 0x80)) return 1;
    return (b & 0x40) ? 3 : 2;
}

std::string_view DeviceTypeName(std::uint8_t type) {
    return type < kTypeNames.size() ? kTypeNames[type] : kTypeNames[0];
}

std::uint16_t MaxSpeedXFromField(std::uint16_t kbs, bool writesDvdRam) {
    if (kbs != 0) return SpeedXFromKBs(kbs);
    return writesDvdRam ? 1 : 0;
}

DriveQuirks QuirksFromInquiry(std::span<const std::uint8_t> inquiry) {
    const std::string_view rawProduct = Field(inquiry, 16, 16);
    const std::string_view product = Trimmed(rawProduct);
    std::string_view vendor = Trimmed(Field(inquiry, 8, 8));
    if (vendor.size() < 3) vendor = "     ";
    DriveQuirks q;
    q.ForceUnderrunFree = product == "CD-W512EB";
    q.LinkSize = product == "CRX175E" || product == "CD-RW  CRX800E";
    q.SlowReady = product.starts_with("UJDA") || vendor.starts_with("TDK");
    q.CloseImmediate = product != "CDRW321040X";
    q.DvrRw = rawProduct == "DVD-RW  DVR-103 " || rawProduct == "DVD-RW  DVR-104 ";
    if (q.DvrRw) q.CloseImmediate = true;
    return q;
}

}  // namespace burn
