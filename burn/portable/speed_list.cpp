#include "burn/portable/speed_list.h"

#include <algorithm>
#include <stdexcept>

#include "burn/portable/device_capabilities.h"

namespace burn {

namespace {
constexpr std::uint16_t kDvdXInCdX = 7;
constexpr std::uint32_t kKBsPerListedX = 150;

std::string Thousands(std::uint32_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}
}  // namespace

std::uint16_t SpeedDivisor(std::uint8_t deviceType) { return deviceType < kFirstDvdType ? 1 : kDvdXInCdX; }

std::string SpeedLine(std::uint16_t accepted, std::uint16_t divisor) {
    const unsigned x = accepted / divisor;
    std::string number = std::to_string(x);
    if (x < 10) number.insert(0, 2 - number.size(), '0');
    return number + "X (" + Thousands(accepted * kKBsPerListedX) + " KB/s)";
}

std::vector<std::string> BuildSpeedList(std::uint16_t maxX, std::uint16_t divisor,
                                        const std::function<std::uint16_t(std::uint16_t)>& accept) {
    std::vector<std::string> lines{kMaxSpeedText};
    for (std::uint16_t k = maxX; k >= 1; --k) {
        std::string line = SpeedLine(accept(k), divisor);
        if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(std::move(line));
    }
    return lines;
}

int RestoredSpeedIndex(int remembered, std::size_t count) {
    return remembered >= 0 && static_cast<std::size_t>(remembered) < count ? remembered : 0;
}

std::uint16_t GetSpeed(std::string_view text, std::uint8_t deviceType) {
    if (text == kMaxSpeedText) return 0;
    const auto x = text.find('X');
    const std::string_view number = text.substr(0, x);
    if (x == std::string_view::npos || number.empty() ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw std::invalid_argument("not a speed: " + std::string(text));
    const unsigned long value = std::stoul(std::string(number)) * (deviceType < kFirstDvdType ? 1 : kDvdXInCdX);
    return static_cast<std::uint16_t>(value);
}

}  // namespace burn
