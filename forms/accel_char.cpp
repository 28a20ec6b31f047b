#include "forms/accel_char.h"

#include "forms/portable/text_case.h"

namespace forms {

char AccelChar(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return LowerAscii(caption[i + 1]);
    }
    return 0;
}

bool IsAccel(char key, std::string_view caption) {
    char accel = AccelChar(caption);
    return accel != 0 && accel == LowerAscii(key);
}

}  // namespace forms
