// IniFiles in memory for tests: sections and keys match without regard to case, as the
// platform's calls match them; files can be made read-only to see a failed write.
#pragma once

#include "editor/portable/ini_files.h"
#include "forms/portable/text_case.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace editor::testing_files {

class MemoryIniFiles : public IniFiles {
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

    // Writes to this file raise as a locked file's would.
    void Lock(const std::string& file) { locked_.insert(forms::UpperAscii(file)); }
    void Unlock(const std::string& file) { locked_.erase(forms::UpperAscii(file)); }
    // The file as "[section]" and "key=value" lines, for comparisons.
    std::string Text(const std::string& file) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    Section* Find(const std::string& file, const std::string& section);

    std::map<std::string, std::vector<Section>> files_;  // by upper-case path
    std::set<std::string> locked_;
};

}  // namespace editor::testing_files
