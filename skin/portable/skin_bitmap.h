// Skin bitmaps as archive entries: Windows bitmap files, uncompressed, 24 or 32 bits per pixel.
#pragma once
#include <cstddef>
#include <cstdint>

#include "forms/portable/pixels.h"

namespace skin {

constexpr int kMaxSkinBitmapSide = 8192;

// The pixels as a 24-bit top-down picture; an empty picture for anything malformed (header,
// sizes, bit count, compression, pixel offset or rows running past the data) and for a side
// of 0 or above kMaxSkinBitmapSide.
forms::PixelBuffer DecodeSkinBitmap(const std::uint8_t* bytes, std::size_t size);

}  // namespace skin
