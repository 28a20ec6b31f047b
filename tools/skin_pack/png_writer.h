// PNG files of 24-bit pictures for people to look at (previews); stored, uncompressed deflate.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin_pack/bmp_writer.h"

namespace skin_pack {

std::vector<std::uint8_t> PngBytes(const skin_pack::Rgb24Picture& picture);

}  // namespace skin_pack
