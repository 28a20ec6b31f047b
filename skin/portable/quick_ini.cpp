#include "skin/portable/quick_ini.h"

#include "forms/portable/ini_rules.h"
#include "forms/portable/text_case.h"

namespace skin {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool IsHeader(std::string_view line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

}  // namespace

void TQuickIni::LoadFromStream(forms::TMemoryStream& stream) {
    const std::int64_t at = stream.Position();
    const std::int64_t size = stream.Size();
    LoadFromText(at < size ? std::string_view(reinterpret_cast<const char*>(stream.Memory()) + at, size - at)
                           : std::string_view());
}

void TQuickIni::LoadFromText(std::string_view text) {
    lines.clear();
    sections.clear();
    index_.clear();
    Section* current = nullptr;  // null inside a repeated section: only the first is searched
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        if (!line.empty() && line.front() != ';') {
            if (IsHeader(line)) {
                const int at = static_cast<int>(lines.size());
                sections.emplace_back(std::string(line), at);
                const auto [it, fresh] = index_.try_emplace(forms::LowerAscii(line.substr(1, line.size() - 2)));
                if (fresh) it->second.header = at;
                current = fresh ? &it->second : nullptr;
            } else if (const std::size_t eq = line.find('='); current != nullptr && eq != std::string_view::npos) {
                // A line without "=" has an empty key and matches nothing.
                current->values.try_emplace(forms::LowerAscii(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1)));
            }
            lines.emplace_back(line);
        }
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

const TQuickIni::Section* TQuickIni::Find(std::string_view name) const {
    const auto it = index_.find(forms::LowerAscii(name));
    return it == index_.end() ? nullptr : &it->second;
}

int TQuickIni::SectionIndex(std::string_view name) const {
    const Section* section = Find(name);
    return section != nullptr ? section->header : -1;
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key, const std::string& defaultValue) const {
    const Section* found = Find(section);
    if (found == nullptr) return defaultValue;
    const auto it = found->values.find(forms::LowerAscii(key));
    return it == found->values.end() || it->second.empty() ? defaultValue : it->second;
}

int TQuickIni::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    return SkinIniInteger(ReadString(section, key, ""), defaultValue);
}

void TQuickIni::ReadSections(std::vector<std::string>& names) const {
    names.clear();
    for (const auto& [text, index] : sections) names.emplace_back(Trim(std::string_view(text).substr(1, text.size() - 2)));
}

int SkinIniInteger(std::string_view text, int defaultValue) {
    // Hexadecimal spells at most the 32 bits: more digits are no integer, whatever their value.
    constexpr std::size_t kMaxHexDigits = 8;
    std::string_view digits;
    if (text.starts_with('$')) digits = text.substr(1);
    else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) digits = text.substr(2);
    if (digits.size() > kMaxHexDigits) return defaultValue;
    return forms::IniReadInteger(text, defaultValue);
}

std::uint32_t ParseColourText(std::string_view text, std::uint32_t defaultValue) {
    if (text.empty()) return defaultValue;
    std::uint32_t parts[3] = {0, 0, 0};
    int filled = 0;
    std::uint32_t number = 0;  // kept modulo 256, so no text can overflow it
    bool pending = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            number = (number * 10 + static_cast<std::uint32_t>(c - '0')) & 0xFF;
            pending = true;
        } else if (pending) {
            if (filled < 3) parts[filled++] = number;
            number = 0;
            pending = false;
        }
    }
    if (pending && filled == 2) parts[filled++] = number;
    return parts[0] | (parts[1] << 8) | (parts[2] << 16);
}

std::uint32_t ReadColour(const TQuickIni& ini, std::string_view section, std::string_view key, std::uint32_t defaultValue) {
    return ParseColourText(ini.ReadString(section, key, ""), defaultValue);
}

std::optional<std::uint32_t> ReadColourTriple(const TQuickIni& ini, std::string_view section, std::string_view name) {
    int parts[3];
    const char* suffix[3] = {"R", "G", "B"};
    for (int k = 0; k < 3; ++k) {
        parts[k] = ini.ReadInteger(section, std::string(name) + suffix[k], -1);
        if (parts[k] < 0) return std::nullopt;
    }
    // Components above 255 spill into the next, as the sum has always done; unsigned, so no overflow.
    return static_cast<std::uint32_t>(parts[0]) + 256u * static_cast<std::uint32_t>(parts[1]) +
           65536u * static_cast<std::uint32_t>(parts[2]);
}

std::string ImageEntryName(std::string_view value) {
    const std::size_t slash = value.find_last_of("\\/");
    if (slash != std::string_view::npos) value.remove_prefix(slash + 1);
    if (!value.ends_with(".bmp")) return {};
    return std::string(value);
}

}  // namespace skin
