#include "forms/accel_char.h"

namespace forms {

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

char AccelChar(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return Lower(caption[i + 1]);
    }
    return 0;
}

bool IsAccel(char key, std::string_view caption) {
    char accel = AccelChar(caption);
    return accel != 0 && accel == Lower(key);
}

}  // namespace forms
