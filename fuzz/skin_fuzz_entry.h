// Inputs of the skin fuzz targets. Neither raises for any input: refusals are answers, and
// anything else (a crash, a sanitizer report, an exception) is a fault.
//   FuzzSkinStreamOnce: the bytes as a skin stream, unpacked and indexed, every entry read.
//   FuzzSkinTextOnce: the bytes up to the first zero as a skin's description text, the rest as
//   a bitmap entry "f.bmp", parsed beside a few good bitmaps; it answers what the input cost.
// A hostile text may also be slow or greedy: an input past the bounds below is a fault too.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

struct InputCost {
    std::size_t peakBytes = 0;  // the most held through operator new during the input, beyond what was held before
    double seconds = 0;
};

// A fixed allowance, and a few copies of the input's bytes: the archive, the reader's data, an
// entry read out and its decoded pixels each hold about as many.
constexpr std::size_t kFixedBytesBound = 16u << 20;
constexpr std::size_t kBytesPerInputByte = 16;
constexpr double kSecondsBound = 2.0;

void FuzzSkinStreamOnce(const std::uint8_t* data, std::size_t size);
InputCost FuzzSkinTextOnce(const std::uint8_t* data, std::size_t size);
// What an input of inputSize bytes went past, or empty.
std::string ExceededMemory(const InputCost& cost, std::size_t inputSize);
std::string ExceededTime(const InputCost& cost);

}  // namespace fuzz
