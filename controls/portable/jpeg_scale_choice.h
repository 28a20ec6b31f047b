// The reduced-size decoding a thumbnail cell asks for: by the picture file's size in bytes,
// and by the picture's own size against the box it is shown in.
#pragma once
#include <cstdint>

namespace controls {

// 1 up to 1,000,000 bytes, 2 up to 4,000,000, 4 up to 7,000,000, 8 above.
int JpegScaleForFileSize(std::uint64_t fileSize);

// The largest of libjpeg's reduced decodings (1/2, 1/4, 1/8) of a width x height picture that
// stays at least twice boxWidth x boxHeight on both sides, else 1: the resample from it looks
// the same as from the full picture.
int JpegScaleForBox(int width, int height, int boxWidth, int boxHeight);

// A cell's: the larger reduction of the two rules, never less than the file size gives.
int JpegScaleForCell(std::uint64_t fileSize, int width, int height, int boxWidth, int boxHeight);

}  // namespace controls
