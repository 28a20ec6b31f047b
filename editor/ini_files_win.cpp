#include "editor/ini_files_win.h"

#include "forms/ini_file.h"
#include "forms/portable/string_list.h"

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

void WinIniFiles::Flush(const std::string& file) { forms::TIniFile(file).UpdateFile(); }

}  // namespace editor
