#include "burn/portable/iso_records.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "burn/portable/big_endian.h"

namespace burn {

void PutLE16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutLE32(std::uint8_t* p, std::uint32_t v) {
    PutLE16(p, v);
    PutLE16(p + 2, v >> 16);
}

void PutBoth16(std::uint8_t* p, std::uint32_t v) {
    PutLE16(p, v);
    PutBE16(p + 2, v);
}

void PutBoth32(std::uint8_t* p, std::uint32_t v) {
    PutLE32(p, v);
    PutBE32(p + 4, v);
}

void PutRecordDate(std::uint8_t* p, const LocalDateTime& t, int biasMinutes) {
    static constexpr LocalDateTime kFirst{1900, 1, 1, 0, 0, 0}, kLast{2155, 12, 31, 23, 59, 59};
    const LocalDateTime& d = t.year < kFirst.year ? kFirst : t.year > kLast.year ? kLast : t;
    p[0] = static_cast<std::uint8_t>(d.year - 1900);
    p[1] = static_cast<std::uint8_t>(d.month);
    p[2] = static_cast<std::uint8_t>(d.day);
    p[3] = static_cast<std::uint8_t>(d.hour);
    p[4] = static_cast<std::uint8_t>(d.minute);
    p[5] = static_cast<std::uint8_t>(d.second);
    p[6] = static_cast<std::uint8_t>(static_cast<std::int8_t>(-biasMinutes / 15));
}

void PutDescriptorDate(std::uint8_t* p, const LocalDateTime& t) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d00", std::clamp(t.year, 0, 9999), t.month, t.day,
                  t.hour, t.minute, t.second);
    std::memcpy(p, digits, 16);
    p[16] = 0;
}

std::string Ucs2BE(std::u16string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (char16_t c : s) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

std::string IsoIdentifier(const TFEntry& e) { return e.IsDirectory() ? e.isoName : e.isoName + ";1"; }

std::string JolietIdentifier(const TFEntry& e) {
    return Ucs2BE(e.IsDirectory() ? e.jolietName : e.jolietName + u";1");
}

std::size_t PutDirRecord(std::uint8_t* p, const DirRecord& r, int biasMinutes) {
    const std::size_t length = RecordLength(r.identifier.size());
    std::memset(p, 0, length);
    p[0] = static_cast<std::uint8_t>(length);
    PutBoth32(p + 2, r.extent);
    PutBoth32(p + 10, r.size);
    PutRecordDate(p + 18, r.date, biasMinutes);
    p[25] = r.flags;
    PutBoth16(p + 28, 1);
    p[32] = static_cast<std::uint8_t>(r.identifier.size());
    std::memcpy(p + 33, r.identifier.data(), r.identifier.size());
    return length;
}

std::size_t PutPathRecord(std::uint8_t* p, std::string_view identifier, std::uint32_t extent, std::uint32_t parent,
                          bool bigEndian) {
    const std::size_t length = PathRecordLength(identifier.size());
    std::memset(p, 0, length);
    p[0] = static_cast<std::uint8_t>(identifier.size());
    if (bigEndian) {
        PutBE32(p + 2, extent);
        PutBE16(p + 6, parent);
    } else {
        PutLE32(p + 2, extent);
        PutLE16(p + 6, parent);
    }
    std::memcpy(p + 8, identifier.data(), identifier.size());
    return length;
}

}  // namespace burn
