#include "editor/portable/shell_request.h"

namespace editor {

std::string ShellRequestProblem(const ShellRequest& request) {
    const struct { const std::string& text; const char* what; } parts[] = {
        {request.file, "name"}, {request.parameters, "parameters"}, {request.folder, "folder"},
    };
    for (const auto& part : parts)
        if (part.text.size() > kShellStringLimit)
            return "Cannot open " + request.file + ": its " + part.what + " is longer than " +
                   std::to_string(kShellStringLimit) + " characters.";
    if (request.file.empty()) return "Cannot open an empty name.";
    return {};
}

}  // namespace editor
