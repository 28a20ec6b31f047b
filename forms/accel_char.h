// Mnemonics: the character after a single '&' in a caption ("&&" is a literal ampersand).
#pragma once
#include <string_view>

namespace forms {

// The mnemonic of a caption, lower-cased, or 0 when it has none.
char AccelChar(std::string_view caption);
// Whether key (any letter case) is the caption's mnemonic.
bool IsAccel(char key, std::string_view caption);

}  // namespace forms
