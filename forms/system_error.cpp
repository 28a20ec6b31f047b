#include "forms/system_error.h"

namespace forms {

std::string SystemErrorMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (static_cast<unsigned char>(message.back()) <= ' ' || message.back() == '.')) message.pop_back();
    return message;
}

void RaiseLastOSError() {
    const DWORD code = GetLastError();
    throw EOSError(Format("System Error.  Code: %lu.\r\n%s", static_cast<unsigned long>(code), SystemErrorMessage(code).c_str()), code);
}

void RaiseWin32Error(const std::string& text, DWORD code) {
    throw EOSError(text + "\r\n" + Format("Win32: %s (%lu)", SystemErrorMessage(code).c_str(), static_cast<unsigned long>(code)), code);
}

}  // namespace forms
