// The speed choices offered for a recorder: "Max" and every speed the drive accepts from its
// maximum down to 1X, and the speed a chosen line asks for.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace burn {

inline constexpr char kMaxSpeedText[] = "Max";

// DVD media are listed in DVD X (seven CD X each); a type below 4 is a CD or unknown.
std::uint16_t SpeedDivisor(std::uint8_t deviceType);

// "48X (7,200 KB/s)": accepted is the CD X the drive took.
std::string SpeedLine(std::uint16_t accepted, std::uint16_t divisor);

// accept(K) sets K X and gives the speed the drive then reports. Lines repeat no text.
std::vector<std::string> BuildSpeedList(std::uint16_t maxX, std::uint16_t divisor,
                                        const std::function<std::uint16_t(std::uint16_t)>& accept);

// The index to select after a rebuild: the remembered one while it is still inside the list,
// else "Max" at 0.
int RestoredSpeedIndex(int remembered, std::size_t count);

// CD X to send for a list line; 0 (the drive's maximum) for "Max". Throws on another text.
std::uint16_t GetSpeed(std::string_view text, std::uint8_t deviceType);

}  // namespace burn
