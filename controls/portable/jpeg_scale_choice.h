// The reduced-size decoding a thumbnail cell asks for, by the picture file's size in bytes.
#pragma once
#include <cstdint>

namespace controls {

// 1 up to 1,000,000 bytes, 2 up to 4,000,000, 4 up to 7,000,000, 8 above.
int JpegScaleForFileSize(std::uint64_t fileSize);

}  // namespace controls
