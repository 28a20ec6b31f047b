// TQuickIni: the small INI reader of a skin's description text, and the value forms the skin
// data component reads through it (integers, colour texts, colour triples, image names).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "forms/portable/streams.h"

namespace skin {

class TQuickIni {
public:
    // Reads from the stream's position to its end (or its first zero byte) and parses.
    void LoadFromStream(forms::TMemoryStream& stream);
    void LoadFromText(std::string_view text);

    // The first entry of key in the first section called section; its value when not empty.
    std::string ReadString(std::string_view section, std::string_view key, const std::string& defaultValue) const;
    // Decimal, or 1 to 8 hexadecimal digits after "$" or "0x" as a 32-bit two's-complement value.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Section names in file order, brackets removed and trimmed.
    void ReadSections(std::vector<std::string>& names) const;
    // Index in lines of the header "[name]", or -1.
    int SectionIndex(std::string_view name) const;

    std::vector<std::string> lines;
    // Header line as written, and its index in lines.
    std::vector<std::pair<std::string, int>> sections;

private:
    // Built once per load, so that a lookup costs the same however many sections a text has.
    struct Section {
        int header = -1;
        // Lower-cased key -> the first entry's value.
        std::unordered_map<std::string, std::string> values;
    };
    // The first section of each lower-cased name (the text inside the brackets).
    std::unordered_map<std::string, Section> index_;
    const Section* Find(std::string_view name) const;
};

// The integer rule of description values; defaultValue for anything else.
int SkinIniInteger(std::string_view text, int defaultValue);

// Three decimal numbers (red, green, blue) separated by any other characters, each taken
// modulo 256, as red + 256 green + 65536 blue; an empty text gives defaultValue.
std::uint32_t ParseColourText(std::string_view text, std::uint32_t defaultValue);
std::uint32_t ReadColour(const TQuickIni& ini, std::string_view section, std::string_view key, std::uint32_t defaultValue);
// The keys <name>R, <name>G, <name>B, used only when all three are 0 or more.
std::optional<std::uint32_t> ReadColourTriple(const TQuickIni& ini, std::string_view section, std::string_view name);
// The archive entry an image value names: the part after the last path separator when it ends
// exactly in ".bmp", else empty.
std::string ImageEntryName(std::string_view value);

}  // namespace skin
