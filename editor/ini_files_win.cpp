#include "editor/ini_files_win.h"

#include "forms/ini_file.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/string_list.h"

#include <windows.h>

namespace editor {

std::vector<std::string> WinIniFiles::Sections(const std::string& file) {
    forms::TStringList sections;
    forms::TIniFile(file).ReadSections(sections);
    std::vector<std::string> names;
    names.reserve(sections.Count());
    for (int i = 0; i < sections.Count(); ++i) names.push_back(sections[i]);
    return names;
}

std::string WinIniFiles::Read(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue) {
    return forms::TIniFile(file).ReadString(section, key, defaultValue);
}

void WinIniFiles::Write(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    forms::TIniFile(file).WriteString(section, key, value);
}

void WinIniFiles::EraseSection(const std::string& file, const std::string& section) {
    forms::TIniFile(file).EraseSection(section);
}

IniEntries WinIniFiles::ReadSection(const std::string& file, const std::string& section) {
    // The call says a buffer was too small by filling it to two short of its size.
    std::string buffer(32768, '\0');
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
        if (length + 2 < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    IniEntries entries;
    for (size_t at = 0; at < length;) {
        const std::string line(buffer.c_str() + at);
        at += line.size() + 1;
        const auto equals = line.find('=');
        if (equals != std::string::npos) entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return entries;
}

void WinIniFiles::WriteSection(const std::string& file, const std::string& section, const IniEntries& entries) {
    std::string lines;
    for (const auto& [key, value] : entries) lines += key + "=" + value + '\0';
    lines += '\0';
    if (!WritePrivateProfileSectionA(section.c_str(), lines.c_str(), file.c_str()))
        throw forms::EIniFileException("Unable to write to " + file);
}

void WinIniFiles::Flush(const std::string& file) { forms::TIniFile(file).UpdateFile(); }

}  // namespace editor
