#include "burn/win_platform.h"

#include <windows.h>

#include <stdexcept>

namespace burn {

namespace {

class WinEvent : public CommandEvent {
public:
    WinEvent() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        if (handle_ == nullptr) throw std::runtime_error("CAN'T CREATE EVENT");
    }
    ~WinEvent() override { CloseHandle(handle_); }
    WinEvent(const WinEvent&) = delete;
    WinEvent& operator=(const WinEvent&) = delete;

    void* Handle() override { return handle_; }
    void Reset() override { ResetEvent(handle_); }
    bool Wait(std::uint32_t ms) override { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

private:
    HANDLE handle_;
};

std::intptr_t ToHandle(HANDLE h) {
    return h == INVALID_HANDLE_VALUE ? kInvalidDeviceHandle : reinterpret_cast<std::intptr_t>(h);
}

}  // namespace

void WinCommandClock::Sleep(std::uint32_t ms) { ::Sleep(ms); }

std::unique_ptr<CommandEvent> WinCommandClock::NewEvent() { return std::make_unique<WinEvent>(); }

SptiPlatform WindowsSptiPlatform() {
    SptiPlatform p;
    p.DriveType = [](const std::string& root) -> std::uint32_t { return GetDriveTypeA(root.c_str()); };
    p.Open = [](const std::string& path, bool readWrite) {
        const DWORD access = readWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
        const DWORD share = readWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
        return ToHandle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    p.DeviceIoControl = [](std::intptr_t h, std::uint32_t code, void* in, std::uint32_t inSize, void* out,
                           std::uint32_t outSize, std::uint32_t* returned) {
        DWORD got = 0;
        const BOOL ok = ::DeviceIoControl(reinterpret_cast<HANDLE>(h), code, in, inSize, out, outSize, &got, nullptr);
        if (returned) *returned = got;
        return ok != FALSE;
    };
    p.CloseHandle = [](std::intptr_t h) { return ::CloseHandle(reinterpret_cast<HANDLE>(h)) != FALSE; };
    return p;
}

LibraryPlatform WindowsLibraryPlatform() {
    LibraryPlatform p;
    p.Load = [](const std::string& name) { return reinterpret_cast<std::uintptr_t>(LoadLibraryA(name.c_str())); };
    p.Find = [](std::uintptr_t library, const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
    };
    p.Free = [](std::uintptr_t library) { return FreeLibrary(reinterpret_cast<HMODULE>(library)) != FALSE; };
    p.SetErrorMode = [](std::uint32_t mode) -> std::uint32_t { return ::SetErrorMode(mode); };
    return p;
}

}  // namespace burn
