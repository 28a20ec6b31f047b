#include "burn/portable/speed.h"

#include <algorithm>
#include <cmath>

namespace burn {

namespace {
constexpr double kKBsPerX = 176.46;    // 1X as drives report it
constexpr std::uint32_t kSentKBsPerX = 177;  // 1X as drives are asked for it
constexpr std::uint16_t kDriveMaximum = 0xFFFF;
}  // namespace

std::uint16_t SpeedXFromKBs(std::uint32_t kbs) {
    return static_cast<std::uint16_t>(std::nearbyint(kbs / kKBsPerX));
}

std::uint16_t SpeedFieldFromX(std::uint16_t x) {
    if (x == 0) return kDriveMaximum;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(x * kSentKBsPerX, kDriveMaximum));
}

}  // namespace burn
