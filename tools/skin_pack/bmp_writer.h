// 24-bit Windows bitmap files, the only kind the skins carry.
#pragma once
#include <cstdint>
#include <vector>

namespace skin_pack {

// A picture of 0x00BBGGRR colours, rows top to bottom.
struct Rgb24Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// A bottom-up BMP file: 14-byte file header, 40-byte info header, rows padded to 4 bytes.
std::vector<std::uint8_t> Bmp24Bytes(const Rgb24Picture& picture);

}  // namespace skin_pack
