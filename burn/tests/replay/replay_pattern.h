// The bytes the replay program burns when asked for a pattern: every sector different, the
// same on both sides of the test.
#pragma once

#include <cstdint>
#include <vector>

namespace burn::testing_support {

inline std::vector<std::uint8_t> ReplayPattern(std::uint32_t sectors) {
    std::vector<std::uint8_t> v(std::size_t{sectors} * 2048);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint8_t>((i / 2048) * 31 + i * 7 + (i >> 11));
    return v;
}

}  // namespace burn::testing_support
