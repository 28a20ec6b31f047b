#include "editor/shell_routines.h"

#include "forms/platform_calls.h"

namespace editor {

INT_PTR MyExecuteFile(HWND owner, const ShellRequest& request) {
    if (const std::string problem = ShellRequestProblem(request); !problem.empty()) {
        forms::ShowMessageBox(owner, problem, "Vantrell", MB_OK | MB_ICONERROR);
        return 0;
    }
    return forms::ShellExecuteText(owner, "", request.file, request.parameters, request.folder, request.show);
}

void StartViaShell(HWND owner, const ShellRequest& request) { MyExecuteFile(owner, request); }

}  // namespace editor
