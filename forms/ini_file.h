// TIniFile: an INI file read and written through the platform's private-profile calls.
// Made for one operation and dropped after it; every write goes to the file at once.
#pragma once
#include <string>

namespace forms {

class TStrings;

class TIniFile {
public:
    // A name without a folder is looked up by the platform in the Windows folder, so callers
    // pass a full path.
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // At most 2047 characters come back (the default too).
    std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue) const;
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const;
    double ReadFloat(const std::string& section, const std::string& ident, double defaultValue) const;

    // A failed write raises EIniFileException "Unable to write to <file name>".
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    void WriteFloat(const std::string& section, const std::string& ident, double value);

    // Replace the contents of strings: section names in file order; the key names of a
    // section; its entries as name=value.
    void ReadSections(TStrings& strings) const;
    void ReadSection(const std::string& section, TStrings& strings) const;
    void ReadSectionValues(const std::string& section, TStrings& strings) const;
    // Names match without regard to case; a section with no keys exists when it is listed.
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;

    void EraseSection(const std::string& section);
    // Removing a key that is not there is not an error.
    void DeleteKey(const std::string& section, const std::string& ident);
    // Asks the platform to write out any profile data it still holds.
    void UpdateFile();

private:
    void Write(const char* section, const char* ident, const char* value);

    std::string fileName_;
};

}  // namespace forms
