#include "tools/skin_pack/skin_archive.h"

#include <set>
#include <stdexcept>

#include "tools/skin_pack/lzh_encoder.h"

namespace skin_pack {

namespace {

void PutInt32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

bool IsIni(const std::string& name) { return name.find(".ini") != std::string::npos; }

}  // namespace

std::vector<std::uint8_t> ArchiveBytes(const std::vector<SkinEntry>& entries, std::int32_t version) {
    std::string names;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) names += "\r\n";
        names += entries[i].name;
    }
    std::vector<std::uint8_t> out;
    PutInt32(out, static_cast<std::uint32_t>(version));
    PutInt32(out, static_cast<std::uint32_t>(names.size()));
    PutInt32(out, 0);
    PutInt32(out, 0);
    out.insert(out.end(), names.begin(), names.end());
    for (const SkinEntry& e : entries) PutInt32(out, static_cast<std::uint32_t>(e.bytes.size()));
    for (const SkinEntry& e : entries) out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

void CheckSkinEntries(const std::vector<SkinEntry>& entries) {
    std::set<std::string> seen;
    int inis = 0;
    for (const SkinEntry& e : entries) {
        if (e.name.empty()) throw std::invalid_argument("skin entry with an empty name");
        for (char c : e.name) {
            const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
            if (!ok) throw std::invalid_argument("skin entry name \"" + e.name + "\" is not lower-case [a-z0-9._-]");
        }
        if (!seen.insert(e.name).second) throw std::invalid_argument("skin entry \"" + e.name + "\" appears twice");
        inis += IsIni(e.name) ? 1 : 0;
    }
    if (inis != 1) throw std::invalid_argument("a skin needs exactly one entry whose name contains \".ini\"");
    if (!IsIni(entries.front().name)) throw std::invalid_argument("the skin's INI text must be its first entry");
}

std::vector<std::uint8_t> WriteSkinStream(const std::vector<SkinEntry>& entries) {
    CheckSkinEntries(entries);
    return PackSkinStream(ArchiveBytes(entries));
}

std::uint16_t Crc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0;
    for (std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

std::vector<std::uint8_t> LhaArchive(const std::vector<LhaMember>& members) {
    constexpr std::uint32_t kJanuary1980 = 0x00210000;  // DOS date 1980-01-01, time 00:00
    std::vector<std::uint8_t> out;
    for (const LhaMember& m : members) {
        if (m.name.size() > 200) throw std::invalid_argument("LHA member name too long");
        std::vector<std::uint8_t> h;
        for (char c : std::string("-lh1-")) h.push_back(static_cast<std::uint8_t>(c));
        PutInt32(h, static_cast<std::uint32_t>(m.coded.size()));
        PutInt32(h, static_cast<std::uint32_t>(m.original.size()));
        PutInt32(h, kJanuary1980);
        h.push_back(0x20);  // archive attribute
        h.push_back(0);     // header level
        h.push_back(static_cast<std::uint8_t>(m.name.size()));
        h.insert(h.end(), m.name.begin(), m.name.end());
        const std::uint16_t crc = Crc16(m.original);
        h.push_back(static_cast<std::uint8_t>(crc));
        h.push_back(static_cast<std::uint8_t>(crc >> 8));

        std::uint8_t sum = 0;
        for (std::uint8_t b : h) sum = static_cast<std::uint8_t>(sum + b);
        out.push_back(static_cast<std::uint8_t>(h.size()));
        out.push_back(sum);
        out.insert(out.end(), h.begin(), h.end());
        out.insert(out.end(), m.coded.begin(), m.coded.end());
    }
    out.push_back(0);  // end of archive
    return out;
}

}  // namespace skin_pack
