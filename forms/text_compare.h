// Text in the order the user's language sorts it: the system's comparison of text in the
// ANSI code page, letter case ignored. Beside it stands the ASCII-only CompareTextAscii
// (portable/text_case.h), for names that must compare the same everywhere.
#pragma once
#include <string_view>

namespace forms {

// Negative, zero or positive as a sorts before, with or after b. Texts the system finds
// equal but that differ in more than letter case (characters the language ignores) are
// ordered by CompareTextAscii, so that only case-folded equal texts answer zero.
int CompareTextLocale(std::string_view a, std::string_view b);

}  // namespace forms
