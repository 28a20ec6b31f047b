#include "forms/platform_calls.h"

#include <shellapi.h>

namespace forms {

namespace {
const char* OrNull(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }
}  // namespace

int RealMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

INT_PTR RealShellExecute(HWND owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory, int show) {
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, OrNull(operation), file.c_str(), OrNull(parameters), OrNull(directory), show));
}

int RealShellFileOperation(SHFILEOPSTRUCTA& operation) { return SHFileOperationA(&operation); }

MessageBoxFunction MessageBoxCall = RealMessageBox;
ShellExecuteFunction ShellExecuteCall = RealShellExecute;
ShellFileOperationFunction ShellFileOperationCall = RealShellFileOperation;

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBoxCall ? MessageBoxCall(owner, text, caption, type) : RealMessageBox(owner, text, caption, type);
}

INT_PTR ShellExecuteText(HWND owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory, int show) {
    return ShellExecuteCall ? ShellExecuteCall(owner, operation, file, parameters, directory, show)
                            : RealShellExecute(owner, operation, file, parameters, directory, show);
}

}  // namespace forms
