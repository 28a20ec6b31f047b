// One input of the JPEG fuzz target: the codec's header probe, the Exif orientation read,
// and a decode at every scale and pixel size under a small pixel limit. Raises nothing for
// any input: the codec's refusals are its answers; anything else is a fault.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fuzz {

void FuzzJpegOnce(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
