// How INI values are read and written: the rules TIniFile applies around the profile calls,
// kept apart so that they can be tested without Win32.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

// A value read back is at most this long (the read buffer holds 2048 characters with its NUL).
constexpr std::size_t kIniMaxValueLength = 2047;
// First size of the buffer for lists of sections or keys; it grows until the list fits.
constexpr std::size_t kIniListBufferSize = 16 * 1024;

// Decimal, or hexadecimal after "0x" (or "$"), with leading blanks and a sign allowed; hexadecimal
// covers the 32 bits (0xFFFFFFFF is -1). Anything else, or a value out of range, is the default.
int IniReadInteger(std::string_view text, int defaultValue);
// Non-zero integers are true; a value that is no integer is the default.
bool IniReadBool(std::string_view text, bool defaultValue);
// A decimal number with '.' as separator; anything else is the default.
double IniReadFloat(std::string_view text, double defaultValue);

std::string IniFormatInteger(int value);
std::string IniFormatBool(bool value);
// Shortest text that reads back as the same double.
std::string IniFormatFloat(double value);

// The value as a read gives it back: cut to kIniMaxValueLength.
std::string IniCapValue(std::string_view value);

// Names of a NUL-separated list ("a\0b\0\0"), empty names skipped.
std::vector<std::string> IniSplitList(std::string_view list);

// Calls fetch(buffer, size) with a growing buffer until the answer fits. fetch answers the
// characters copied like GetPrivateProfileStringA for a list: size - 2 means "cut short".
// Answers the list without its final NULs.
std::string IniReadWholeList(const std::function<std::size_t(char* buffer, std::size_t size)>& fetch,
                             std::size_t initialSize = kIniListBufferSize);

}  // namespace forms
