// Recorder speeds in CD "X" units.
#pragma once

#include <cstdint>

namespace burn {

// X from a drive's kB/s figure, rounded to the nearest (halves to even).
std::uint16_t SpeedXFromKBs(std::uint32_t kbs);

// Speed field of SET CD SPEED: X times 177 kB/s; 0 asks for the drive's maximum (0xFFFF).
std::uint16_t SpeedFieldFromX(std::uint16_t x);

}  // namespace burn
