// Opening documents, addresses and programs through the shell.
#pragma once

#include "editor/portable/shell_request.h"

#include <windows.h>

namespace editor {

// Asks the shell to open the request's file with its default verb, owner window as given.
// An over-long request is refused with a message box and not sent. Returns the shell's
// answer (> 32 on success), 0 when refused.
INT_PTR MyExecuteFile(HWND owner, const ShellRequest& request);
// The same, for callers that do not look at the answer.
void StartViaShell(HWND owner, const ShellRequest& request);

}  // namespace editor
