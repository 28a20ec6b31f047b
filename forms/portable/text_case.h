// Letter case in one place. The ASCII rules are the platform's for file, section, key,
// keyword and component names; lists a user reads are ordered by the code page instead
// (forms/text_compare.h).
#pragma once
#include <string>
#include <string_view>

namespace forms {

char UpperAscii(char c);
std::string UpperAscii(std::string_view text);
char LowerAscii(char c);
std::string LowerAscii(std::string_view text);

// Ordering with ASCII letters folded to lower case, other bytes compared unsigned: -1, 0, 1.
int CompareTextAscii(std::string_view a, std::string_view b);
bool SameTextAscii(std::string_view a, std::string_view b);
bool StartsWithTextAscii(std::string_view text, std::string_view prefix);
bool EndsWithTextAscii(std::string_view text, std::string_view suffix);

// Case-sensitive ordering that keeps a word next to its other-case forms: "a" < "A" < "b".
int CompareTextCased(std::string_view a, std::string_view b);

}  // namespace forms
