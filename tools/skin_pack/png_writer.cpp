#include "tools/skin_pack/png_writer.h"

#include <algorithm>
#include <array>

namespace skin_pack {

namespace {

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Big32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int k = 3; k >= 0; --k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& body) {
    Big32(out, static_cast<std::uint32_t>(body.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    Big32(out, Crc32(typed.data(), typed.size()));
}

}  // namespace

std::vector<std::uint8_t> PngBytes(const skin_pack::Rgb24Picture& picture) {
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t c = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
            raw.push_back(static_cast<std::uint8_t>(c));
            raw.push_back(static_cast<std::uint8_t>(c >> 8));
            raw.push_back(static_cast<std::uint8_t>(c >> 16));
        }
    }
    std::vector<std::uint8_t> z = {0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        if (raw.empty()) break;
    }
    Big32(z, (b << 16) | a);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Big32(header, static_cast<std::uint32_t>(picture.width));
    Big32(header, static_cast<std::uint32_t>(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

}  // namespace skin_pack
