#include "tests/support/memory_ini_files.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/text_case.h"

#include <algorithm>

namespace editor::testing_files {

MemoryIniFiles::Section* MemoryIniFiles::Find(const std::string& file, const std::string& section) {
    const auto found = files_.find(forms::UpperAscii(file));
    if (found == files_.end()) return nullptr;
    for (auto& s : found->second)
        if (forms::UpperAscii(s.name) == forms::UpperAscii(section)) return &s;
    return nullptr;
}

std::vector<std::string> MemoryIniFiles::Sections(const std::string& file) {
    std::vector<std::string> names;
    const auto found = files_.find(forms::UpperAscii(file));
    if (found != files_.end())
        for (const auto& s : found->second) names.push_back(s.name);
    return names;
}

std::string MemoryIniFiles::Read(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& defaultValue) {
    if (const Section* s = Find(file, section))
        for (const auto& [name, value] : s->keys)
            if (forms::UpperAscii(name) == forms::UpperAscii(key)) return value;
    return defaultValue;
}

void MemoryIniFiles::Write(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& value) {
    if (locked_.count(forms::UpperAscii(file))) throw forms::EIniFileException("Unable to write to " + file);
    Section* s = Find(file, section);
    if (!s) s = &files_[forms::UpperAscii(file)].emplace_back(Section{section, {}});
    for (auto& [name, stored] : s->keys)
        if (forms::UpperAscii(name) == forms::UpperAscii(key)) {
            stored = value;
            return;
        }
    s->keys.emplace_back(key, value);
}

void MemoryIniFiles::EraseSection(const std::string& file, const std::string& section) {
    if (locked_.count(forms::UpperAscii(file))) throw forms::EIniFileException("Unable to write to " + file);
    const auto found = files_.find(forms::UpperAscii(file));
    if (found == files_.end()) return;
    std::erase_if(found->second, [&](const Section& s) { return forms::UpperAscii(s.name) == forms::UpperAscii(section); });
}

IniEntries MemoryIniFiles::ReadSection(const std::string& file, const std::string& section) {
    const Section* s = Find(file, section);
    return s ? s->keys : IniEntries{};
}

void MemoryIniFiles::WriteSection(const std::string& file, const std::string& section, const IniEntries& entries) {
    if (locked_.count(forms::UpperAscii(file))) throw forms::EIniFileException("Unable to write to " + file);
    Section* s = Find(file, section);
    if (!s) s = &files_[forms::UpperAscii(file)].emplace_back(Section{section, {}});
    s->keys = entries;
}

void MemoryIniFiles::Flush(const std::string&) {}

std::string MemoryIniFiles::Text(const std::string& file) const {
    std::string text;
    const auto found = files_.find(forms::UpperAscii(file));
    if (found == files_.end()) return text;
    for (const auto& s : found->second) {
        text += "[" + s.name + "]\n";
        for (const auto& [name, value] : s.keys) text += name + "=" + value + "\n";
    }
    return text;
}

}  // namespace editor::testing_files
