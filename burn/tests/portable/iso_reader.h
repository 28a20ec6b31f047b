// Reads back what the layout wrote: descriptor fields, path tables and directory records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace burn::testing {

inline std::uint32_t LE32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}
inline std::uint32_t BE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
inline std::uint16_t LE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// A both-endian 32-bit field whose two halves agree, or ~0 when they do not.
inline std::uint32_t Both32(const std::uint8_t* p) { return LE32(p) == BE32(p + 4) ? LE32(p) : ~0u; }

struct Record {
    std::string id;  // raw identifier bytes
    std::uint32_t extent, size;
    std::uint8_t flags;
    std::uint8_t date[7];
    std::size_t offset;  // within the extent
};

// image: bytes whose first byte is sector `first`.
struct ImageView {
    const std::vector<std::uint8_t>& bytes;
    std::uint32_t first = 0;

    const std::uint8_t* Sector(std::uint32_t s) const { return bytes.data() + std::size_t{s - first} * 2048; }

    std::vector<Record> Directory(std::uint32_t extent, std::uint32_t size) const {
        std::vector<Record> out;
        const std::uint8_t* base = Sector(extent);
        for (std::size_t at = 0; at < size;) {
            const std::uint8_t len = base[at];
            if (len == 0) {
                at = (at / 2048 + 1) * 2048;
                continue;
            }
            Record r{std::string(reinterpret_cast<const char*>(base + at + 33), base[at + 32]), Both32(base + at + 2),
                     Both32(base + at + 10), base[at + 25], {}, at};
            std::copy_n(base + at + 18, 7, r.date);
            out.push_back(r);
            at += len;
        }
        return out;
    }

    struct PathRecord {
        std::string id;
        std::uint32_t extent;
        std::uint16_t parent;
    };
    std::vector<PathRecord> PathTable(std::uint32_t sector, std::uint32_t size) const {
        std::vector<PathRecord> out;
        const std::uint8_t* p = Sector(sector);
        for (std::size_t at = 0; at < size;) {
            const std::uint8_t len = p[at];
            out.push_back({std::string(reinterpret_cast<const char*>(p + at + 8), len), LE32(p + at + 2),
                           LE16(p + at + 6)});
            at += 8 + len + len % 2;
        }
        return out;
    }
};

inline std::string Ucs2(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

}  // namespace burn::testing
