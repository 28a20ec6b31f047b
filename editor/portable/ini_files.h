// The INI files of the portfolio folder as the record store sees them: sections in file
// order, string values, section removal and a flush. Names of sections and keys match
// without regard to case. The program passes the platform's private-profile calls, tests an
// in-memory version.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace editor {

// A section's keys and values in file order.
using IniEntries = std::vector<std::pair<std::string, std::string>>;

class IniFiles {
public:
    virtual ~IniFiles() = default;
    // Section names in file order; none when the file is missing.
    virtual std::vector<std::string> Sections(const std::string& file) = 0;
    virtual std::string Read(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue) = 0;
    // Raises "Unable to write to <file>" when the value cannot be written.
    virtual void Write(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    virtual void EraseSection(const std::string& file, const std::string& section) = 0;
    // The section's entries; none when it or the file is missing.
    virtual IniEntries ReadSection(const std::string& file, const std::string& section) = 0;
    // Replaces the section's entries with these in one write, so either all of them are
    // stored or none; a missing section is added. Raises "Unable to write to <file>".
    virtual void WriteSection(const std::string& file, const std::string& section, const IniEntries& entries) = 0;
    // Asks for anything still held to be written out.
    virtual void Flush(const std::string& file) = 0;
};

}  // namespace editor
