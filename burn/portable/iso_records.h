// Byte encoders of ISO 9660 structures: both-endian numbers, dates, directory and path-table records.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "burn/portable/file_tree.h"

namespace burn {

constexpr std::size_t kSectorSize = 2048;

void PutLE16(std::uint8_t* p, std::uint32_t v);
void PutLE32(std::uint8_t* p, std::uint32_t v);
void PutBoth16(std::uint8_t* p, std::uint32_t v);  // 4 bytes: little- then big-endian
void PutBoth32(std::uint8_t* p, std::uint32_t v);  // 8 bytes

// The 7 date bytes of a directory record: the year is clamped to what its byte can hold
// (1900 to 2155); the offset from GMT in 15-minute units from the bias in minutes.
void PutRecordDate(std::uint8_t* p, const LocalDateTime& t, int biasMinutes);
// 16 digits and a zero offset byte, as in the volume descriptors.
void PutDescriptorDate(std::uint8_t* p, const LocalDateTime& t);

// Identifier bytes of a record: the ISO name as it is, the Joliet name in UCS-2 big-endian;
// files get ";1".
std::string IsoIdentifier(const TFEntry& e);
std::string JolietIdentifier(const TFEntry& e);
std::string Ucs2BE(std::u16string_view s);

constexpr std::size_t RecordLength(std::size_t idLength) { return 33 + idLength + (idLength % 2 == 0 ? 1 : 0); }
constexpr std::size_t PathRecordLength(std::size_t idLength) { return 8 + idLength + (idLength % 2); }

struct DirRecord {
    std::string_view identifier;
    std::uint32_t extent = 0;
    std::uint32_t size = 0;
    LocalDateTime date;
    std::uint8_t flags = 0;
};
// Writes one record at p; returns its length.
std::size_t PutDirRecord(std::uint8_t* p, const DirRecord& r, int biasMinutes);

// Writes one path-table record at p (little- or big-endian numbers); returns its length.
std::size_t PutPathRecord(std::uint8_t* p, std::string_view identifier, std::uint32_t extent, std::uint32_t parent,
                          bool bigEndian);

}  // namespace burn
