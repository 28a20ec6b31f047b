#include "forms/portable/text_case.h"

namespace forms {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

// Ordering folds to lower case, as the lists always have: "_" sorts before letters.
int CompareTextAscii(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameTextAscii(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareTextAscii(a, b) == 0; }

bool StartsWithTextAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

bool EndsWithTextAscii(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && SameTextAscii(text.substr(text.size() - suffix.size()), suffix);
}

int CompareTextCased(std::string_view a, std::string_view b) {
    if (const int folded = CompareTextAscii(a, b); folded != 0) return folded;
    // Same letters: the first difference in case decides, lower case first.
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return (a[i] >= 'a' && a[i] <= 'z') ? -1 : 1;
    }
    return 0;
}

}  // namespace forms
