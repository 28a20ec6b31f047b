#include "forms/portable/exif_orientation.h"

#include <algorithm>
#include <cstddef>

namespace forms {
namespace {

constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kEntryBytes = 12;

// Reads 16- and 32-bit numbers of either byte order; every offset is checked by the caller.
struct Tiff {
    std::span<const std::uint8_t> bytes;
    bool bigEndian;

    bool Has(std::size_t at, std::size_t count) const { return at <= bytes.size() && count <= bytes.size() - at; }
    std::uint32_t U16(std::size_t at) const {
        return bigEndian ? (bytes[at] << 8 | bytes[at + 1]) : (bytes[at + 1] << 8 | bytes[at]);
    }
    std::uint32_t U32(std::size_t at) const {
        return bigEndian ? (U16(at) << 16 | U16(at + 2)) : (U16(at + 2) << 16 | U16(at));
    }
};

}  // namespace

int ExifOrientation(std::span<const std::uint8_t> app1) {
    if (app1.size() < sizeof kExifHeader || !std::equal(std::begin(kExifHeader), std::end(kExifHeader), app1.begin()))
        return kUprightOrientation;
    Tiff tiff{app1.subspan(sizeof kExifHeader), false};
    if (!tiff.Has(0, 8)) return kUprightOrientation;
    if (tiff.bytes[0] == 'I' && tiff.bytes[1] == 'I') tiff.bigEndian = false;
    else if (tiff.bytes[0] == 'M' && tiff.bytes[1] == 'M') tiff.bigEndian = true;
    else return kUprightOrientation;
    if (tiff.U16(2) != 42) return kUprightOrientation;

    const std::size_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2)) return kUprightOrientation;
    const std::size_t entries = tiff.U16(ifd);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + i * kEntryBytes;
        if (!tiff.Has(entry, kEntryBytes)) return kUprightOrientation;
        if (tiff.U16(entry) != kOrientationTag) continue;
        // One SHORT, held in the first two bytes of the value field.
        if (tiff.U16(entry + 2) != kShortType || tiff.U32(entry + 4) != 1) return kUprightOrientation;
        const std::uint32_t value = tiff.U16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : kUprightOrientation;
    }
    return kUprightOrientation;
}

}  // namespace forms
