// The portfolio's INI files through the platform's private-profile calls (TIniFile).
#pragma once

#include "editor/portable/ini_files.h"

namespace editor {

class WinIniFiles : public IniFiles {
public:
    std::vector<std::string> Sections(const std::string& file) override;
    std::string Read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& defaultValue) override;
    void Write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;
    void EraseSection(const std::string& file, const std::string& section) override;
    IniEntries ReadSection(const std::string& file, const std::string& section) override;
    void WriteSection(const std::string& file, const std::string& section, const IniEntries& entries) override;
    void Flush(const std::string& file) override;
};

}  // namespace editor
