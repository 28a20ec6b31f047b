// Calls that leave the process or block on the user, replaceable by tests in-process. The
// defaults are the real Win32 calls.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>

namespace forms {

// MessageBoxA(owner, text, caption, type): the button pressed (IDOK, IDYES...).
using MessageBoxFunction = std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
// ShellExecuteA(owner, operation, file, parameters, directory, show): > 32 on success.
using ShellExecuteFunction = std::function<INT_PTR(HWND owner, const std::string& operation, const std::string& file,
                                                   const std::string& parameters, const std::string& directory, int show)>;

// SHFileOperationA(operation): 0 on success; the structure's results filled in.
using ShellFileOperationFunction = std::function<int(SHFILEOPSTRUCTA& operation)>;

extern MessageBoxFunction MessageBoxCall;
extern ShellExecuteFunction ShellExecuteCall;
extern ShellFileOperationFunction ShellFileOperationCall;

// Convenience callers (an empty std::string stands for a null pointer in ShellExecuteA).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
INT_PTR ShellExecuteText(HWND owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory, int show);

// The real calls, for tests that put the defaults back.
int RealMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
INT_PTR RealShellExecute(HWND owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory, int show);
int RealShellFileOperation(SHFILEOPSTRUCTA& operation);

}  // namespace forms
