// What the editor asks the shell to open, checked before it is sent.
#pragma once

#include <string>

namespace editor {

// The longest file name, parameter text or folder the editor hands to the shell. Longer
// ones are refused whole: a shortened name would open some other file or program.
inline constexpr size_t kShellStringLimit = 254;

struct ShellRequest {
    std::string file;
    std::string parameters;
    std::string folder;
    int show = 1;  // SW_SHOWNORMAL
};

// Empty when the request can be sent; otherwise the message telling the user why not.
std::string ShellRequestProblem(const ShellRequest& request);

}  // namespace editor
