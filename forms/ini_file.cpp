#include "forms/ini_file.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/ini_rules.h"
#include "forms/portable/string_list.h"

#include <windows.h>

#include <climits>

namespace forms {

namespace {

constexpr DWORD kValueBufferSize = static_cast<DWORD>(kIniMaxValueLength + 1);

// A whole NUL-separated list: all sections (section null) or all keys of one section.
std::string ReadList(const char* section, const std::string& fileName) {
    return IniReadWholeList([&](char* buffer, std::size_t size) -> std::size_t {
        const DWORD limit = size > static_cast<std::size_t>(INT_MAX) ? static_cast<DWORD>(INT_MAX) : static_cast<DWORD>(size);
        return GetPrivateProfileStringA(section, nullptr, "", buffer, limit, fileName.c_str());
    });
}

void FillWith(TStrings& strings, const std::string& list) {
    strings.BeginUpdate();
    try {
        strings.Clear();
        for (const std::string& name : IniSplitList(list)) strings.Add(name);
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue) const {
    char buffer[kValueBufferSize];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), ident.c_str(), defaultValue.c_str(), buffer,
                                                  kValueBufferSize, fileName_.c_str());
    return std::string(buffer, length);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const {
    return IniReadInteger(ReadString(section, ident, ""), defaultValue);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const {
    return IniReadBool(ReadString(section, ident, ""), defaultValue);
}

double TIniFile::ReadFloat(const std::string& section, const std::string& ident, double defaultValue) const {
    return IniReadFloat(ReadString(section, ident, ""), defaultValue);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    Write(section.c_str(), ident.c_str(), value.c_str());
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IniFormatInteger(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, IniFormatBool(value));
}

void TIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
    WriteString(section, ident, IniFormatFloat(value));
}

void TIniFile::ReadSections(TStrings& strings) const { FillWith(strings, ReadList(nullptr, fileName_)); }

void TIniFile::ReadSection(const std::string& section, TStrings& strings) const {
    FillWith(strings, ReadList(section.c_str(), fileName_));
}

void TIniFile::ReadSectionValues(const std::string& section, TStrings& strings) const {
    TStringList keys;
    ReadSection(section, keys);
    strings.BeginUpdate();
    try {
        strings.Clear();
        for (int i = 0; i < keys.Count(); ++i) strings.Add(keys[i] + "=" + ReadString(section, keys[i], ""));
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

bool TIniFile::SectionExists(const std::string& section) const {
    TStringList sections;
    ReadSections(sections);
    return sections.IndexOf(section) >= 0;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
    TStringList keys;
    ReadSection(section, keys);
    return keys.IndexOf(ident) >= 0;
}

void TIniFile::EraseSection(const std::string& section) { Write(section.c_str(), nullptr, nullptr); }

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr, fileName_.c_str());
}

void TIniFile::UpdateFile() {
    // The flush call answers failure on some platforms even when there was nothing to write.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
}

void TIniFile::Write(const char* section, const char* ident, const char* value) {
    if (!WritePrivateProfileStringA(section, ident, value, fileName_.c_str()))
        throw EIniFileException(Format("Unable to write to %s", fileName_.c_str()));
}

}  // namespace forms
