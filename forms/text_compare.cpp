#include "forms/text_compare.h"

#include <windows.h>

#include <climits>

#include "forms/portable/exceptions.h"
#include "forms/portable/text_case.h"

namespace forms {

namespace {

int Length(std::string_view s) {
    if (s.size() > static_cast<std::size_t>(INT_MAX)) throw EConvertError("Text too long to compare");
    return static_cast<int>(s.size());
}

// The system refuses a null pointer even for no characters.
const char* Characters(std::string_view s) { return s.empty() ? "" : s.data(); }

}  // namespace

int CompareTextLocale(std::string_view a, std::string_view b) {
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Characters(a), Length(a), Characters(b), Length(b));
    if (result == 0) return CompareTextAscii(a, b);  // the system could not compare them
    if (result != CSTR_EQUAL) return result - CSTR_EQUAL;
    return CompareTextAscii(a, b);
}

}  // namespace forms
