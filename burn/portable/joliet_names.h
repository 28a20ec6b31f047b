// Text helpers of the file tree: names are kept as UTF-16 (Joliet writes them as they are),
// ISO names are ASCII, log lines are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace burn {

// Upper case for comparing tree names: ASCII and the Latin-1 letters.
std::u16string UpperName(std::u16string_view s);
std::string UpperAscii(std::string_view s);

std::string Utf8(std::u16string_view s);
std::u16string Utf16(std::string_view utf8);

}  // namespace burn
