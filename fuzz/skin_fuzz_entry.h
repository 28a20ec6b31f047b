// Inputs of the skin fuzz targets. Neither raises for any input: refusals are answers, and
// anything else (a crash, a sanitizer report, an exception) is a fault.
//   FuzzSkinStreamOnce: the bytes as a skin stream, unpacked and indexed, every entry read.
//   FuzzSkinTextOnce: the bytes up to the first zero as a skin's description text, the rest as
//   a bitmap entry "f.bmp", parsed beside a few good bitmaps.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fuzz {

void FuzzSkinStreamOnce(const std::uint8_t* data, std::size_t size);
void FuzzSkinTextOnce(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
