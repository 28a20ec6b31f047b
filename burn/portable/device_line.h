// The line that names one device in the device list ("0:1:0,E: VENDOR  PRODUCT  REV"),
// and its address read back when the user picks it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace burn {

inline constexpr std::uint8_t kPeripheralCdDvd = 5;
inline constexpr std::uint8_t kPeripheralWriteOnce = 4;
inline constexpr char kNotSupportedSuffix[] = " (not supported)";

struct DeviceAddress {
    std::uint8_t HaId = 0, Target = 0, Lun = 0;
    bool operator==(const DeviceAddress&) const = default;
};

// letter 0: the drive letter is unknown and shows as "?".
std::string DeviceLine(const DeviceAddress& address, char letter, std::span<const std::uint8_t> inquiry);

// The address of a list line: single digits at 0, 2 and 4; nullopt for a line too short or
// holding something else there.
std::optional<DeviceAddress> ParseDeviceLine(std::string_view line);

// Vendor (8) + " " + product (16) + " " + revision (4), zero bytes shown as blanks.
std::string DeviceDescription(std::span<const std::uint8_t> inquiry);

}  // namespace burn
