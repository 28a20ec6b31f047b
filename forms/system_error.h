// The system's own text for a Win32 error code, and the exceptions that carry one.
#pragma once
#include <windows.h>

#include <string>

#include "forms/portable/exceptions.h"

namespace forms {

// A failed system call: Message says which, ErrorCode holds GetLastError's answer.
class EOSError : public Exception {
public:
    EOSError(std::string message, DWORD code) : Exception(std::move(message)), ErrorCode(code) {}
    DWORD ErrorCode;
};

// The system's message for code, without the line break and full stop it ends with.
std::string SystemErrorMessage(DWORD code);

// Raises EOSError for the calling thread's last error: "System Error.  Code: N." and the
// system's message on the next line.
[[noreturn]] void RaiseLastOSError();

// Raises EOSError with the caller's text, then the line "Win32: <system message> (<code>)".
[[noreturn]] void RaiseWin32Error(const std::string& text, DWORD code);

}  // namespace forms
