#include "tools/skin_pack/bmp_writer.h"

#include <stdexcept>

namespace skin_pack {

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

}  // namespace

std::vector<std::uint8_t> Bmp24Bytes(const Rgb24Picture& picture) {
    if (picture.width < 0 || picture.height < 0 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height)
        throw std::invalid_argument("picture size does not match its pixels");
    const std::uint32_t stride = (static_cast<std::uint32_t>(picture.width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.height);
    constexpr std::uint32_t kHeaders = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(kHeaders + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put(out, kHeaders + imageSize, 4);
    Put(out, 0, 4);
    Put(out, kHeaders, 4);
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(picture.width), 4);
    Put(out, static_cast<std::uint32_t>(picture.height), 4);
    Put(out, 1, 2);   // planes
    Put(out, 24, 2);  // bits per pixel
    Put(out, 0, 4);   // uncompressed
    Put(out, imageSize, 4);
    Put(out, 2835, 4);  // 72 dpi
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t c = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
            out.push_back(static_cast<std::uint8_t>(c >> 16));  // blue
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c));
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(picture.width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace skin_pack
