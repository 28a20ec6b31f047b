#include "burn/portable/device_line.h"

#include <algorithm>

namespace burn {

namespace {

constexpr std::size_t kVendorAt = 8, kVendorSize = 8;
constexpr std::size_t kProductAt = 16, kProductSize = 16;
constexpr std::size_t kRevisionAt = 32, kRevisionSize = 4;
constexpr std::size_t kShortestLine = 5;

// A field up to its first zero byte, as the drive pads it.
std::string UpToZero(std::span<const std::uint8_t> inquiry, std::size_t at, std::size_t size) {
    std::string text;
    for (std::size_t i = at; i < at + size && i < inquiry.size() && inquiry[i] != 0; ++i)
        text += static_cast<char>(inquiry[i]);
    return text;
}

std::string Blanked(std::span<const std::uint8_t> inquiry, std::size_t at, std::size_t size) {
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size && at + i < inquiry.size(); ++i)
        if (inquiry[at + i] != 0) text[i] = static_cast<char>(inquiry[at + i]);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string DeviceLine(const DeviceAddress& a, char letter, std::span<const std::uint8_t> inquiry) {
    std::string line = std::to_string(a.HaId) + ":" + std::to_string(a.Target) + ":" + std::to_string(a.Lun) + ",";
    line += letter ? std::string(1, letter) + ":" : std::string("?:");
    line += " " + UpToZero(inquiry, kVendorAt, kVendorSize) + UpToZero(inquiry, kProductAt, kProductSize) +
            UpToZero(inquiry, kRevisionAt, kRevisionSize);
    if (!inquiry.empty() && inquiry[0] == kPeripheralWriteOnce) line += kNotSupportedSuffix;
    return line;
}

std::optional<DeviceAddress> ParseDeviceLine(std::string_view line) {
    if (line.size() < kShortestLine || !IsDigit(line[0]) || !IsDigit(line[2]) || !IsDigit(line[4]))
        return std::nullopt;
    return DeviceAddress{static_cast<std::uint8_t>(line[0] - '0'), static_cast<std::uint8_t>(line[2] - '0'),
                         static_cast<std::uint8_t>(line[4] - '0')};
}

std::string DeviceDescription(std::span<const std::uint8_t> inquiry) {
    return Blanked(inquiry, kVendorAt, kVendorSize) + " " + Blanked(inquiry, kProductAt, kProductSize) + " " +
           Blanked(inquiry, kRevisionAt, kRevisionSize);
}

}  // namespace burn
