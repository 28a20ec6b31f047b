// Keys pressed as a user presses them: through the system's input queue, to whichever window
// has the keyboard focus.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

// Presses the keys in order, then lets them go in reverse (a chord such as Ctrl+A).
inline void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Types the letters, digits and blanks of the text, each key down and up.
inline void TypeText(const std::string& text) {
    for (char c : text) {
        const SHORT code = VkKeyScanA(c);
        const bool shift = (code >> 8) & 1;
        if (shift) PressKeys({VK_SHIFT, static_cast<WORD>(code & 0xFF)});
        else PressKeys({static_cast<WORD>(code & 0xFF)});
    }
}

}  // namespace testsupport
