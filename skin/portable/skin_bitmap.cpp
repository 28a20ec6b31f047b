#include "skin/portable/skin_bitmap.h"

#include <cstring>

namespace skin {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kMinInfoHeaderSize = 40;

std::uint32_t U32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

forms::PixelBuffer DecodeSkinBitmap(const std::uint8_t* bytes, std::size_t size) {
    const forms::PixelBuffer none(0, 0, 3);
    if (size < kFileHeaderSize + kMinInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return none;
    const std::uint8_t* info = bytes + kFileHeaderSize;
    const std::uint32_t offset = U32(bytes + 10);
    const std::uint32_t infoSize = U32(info);
    const std::int32_t width = static_cast<std::int32_t>(U32(info + 4));
    const std::int32_t rawHeight = static_cast<std::int32_t>(U32(info + 8));
    const int bits = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);
    if (infoSize < kMinInfoHeaderSize || infoSize > size - kFileHeaderSize) return none;
    if (U16(info + 12) != 1 || compression != 0 || (bits != 24 && bits != 32)) return none;
    if (rawHeight == INT32_MIN) return none;
    const bool topDown = rawHeight < 0;
    const std::int32_t height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSkinBitmapSide || height > kMaxSkinBitmapSide) return none;
    const int bpp = bits / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bpp + 3) & ~std::size_t(3);
    if (offset < kFileHeaderSize + infoSize || offset > size || stride * height > size - offset) return none;

    forms::PixelBuffer picture(width, height, 3);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bytes + offset + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        std::uint8_t* out = picture.row(y);
        if (bpp == 3) {
            std::memcpy(out, row, static_cast<std::size_t>(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x) std::memcpy(out + 3 * x, row + 4 * x, 3);
    }
    return picture;
}

}  // namespace skin
