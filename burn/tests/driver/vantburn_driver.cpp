#include "burn/tests/driver/vantburn_driver.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vantburn_driver {

namespace {

constexpr char kOverrides[] = "WINEDLLOVERRIDES";

}  // namespace

ProgramFolder::ProgramFolder(const std::string& ini, const std::string& name)
    : root(name.empty() ? temp.Path() : temp.Path() + name + "\\") {
    if (!name.empty()) CreateDirectoryA(root.c_str(), nullptr);
    const std::string built = testsupport::ExecutableFolder();
    CopyFileA((built + "vantburn.exe").c_str(), Exe().c_str(), FALSE);
    CopyFileA((built + "..\\tests\\virtual_recorder\\WNASPI32.dll").c_str(), Path("WNASPI32.dll").c_str(), FALSE);
    std::ofstream(Path("vcdr.ini")) << ini;
    CreateDirectoryA(Path("Distributable").c_str(), nullptr);
}

std::string DllOverrides() {
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(kOverrides, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

std::vector<HWND> Children(HWND parent, const char* classPart) {
    struct Collect {
        std::string part;
        std::vector<HWND> found;
    } collect{classPart, {}};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        std::string name(cls);
        for (auto& ch : name) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        if (name.find(c->part) != std::string::npos) c->found.push_back(wnd);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) break;  // the list changed under us; the caller polls again
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            std::max<LRESULT>(0, SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data())))));
        std::string text(wide.size() * 2, '\0');
        text.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                                 text.data(), static_cast<int>(text.size()), nullptr,
                                                                 nullptr)));
        items.push_back(text);
    }
    return items;
}

HWND ChildButton(HWND parent, const std::string& caption) {
    for (HWND b : Children(parent, "BUTTON"))
        if (testsupport::WindowText(b) == caption) return b;
    return nullptr;
}

std::string MemoText(HWND window) {
    const auto memos = Children(window, "MEMO");
    if (memos.size() != 1) return "(no memo)";
    // The whole text, however long: a failed command's log line carries its data.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(memos[0], WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "(no answer)";
    std::string text(length + 1, '\0');
    SendMessageTimeoutA(memos[0], WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<std::string> MemoLines(HWND window) {
    std::vector<std::string> lines;
    const std::string text = MemoText(window);
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find("\r\n", from);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

Lists FindLists(HWND window) {
    auto combos = Children(window, "COMBOBOX");
    if (combos.size() != 2) return {};
    RECT a, b;
    GetWindowRect(combos[0], &a);
    GetWindowRect(combos[1], &b);
    return a.left < b.left ? Lists{combos[0], combos[1]} : Lists{combos[1], combos[0]};
}

Lists WaitForLists(HWND window, std::size_t drives) {
    Lists found;
    WaitUntil([&] {
        found = FindLists(window);
        return found.drives && ComboItems(found.drives).size() == drives && !ComboItems(found.speeds).empty();
    });
    return found.drives && ComboItems(found.drives).size() == drives ? found : Lists{};
}

namespace {

struct TopLevelSearch {
    DWORD process;  // 0: any
    const char* windowClass;  // nullptr: any
    std::string title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND wnd, LPARAM param) {
    auto* s = reinterpret_cast<TopLevelSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if ((s->process && owner != s->process) || !IsWindowVisible(wnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (s->windowClass && std::string(cls) != s->windowClass) return TRUE;
    if (testsupport::WindowText(wnd) != s->title) return TRUE;
    s->found = wnd;
    return FALSE;
}

}  // namespace

HWND OpenDialog(DWORD process, const std::string& title) {
    TopLevelSearch search{process, "#32770", title};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForAnyWindow(const std::string& title, std::chrono::milliseconds timeout) {
    TopLevelSearch search{0, nullptr, title};
    WaitUntil([&] {
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeout);
    return search.found;
}

void PickDrive(HWND drives, int index) {
    SendMessageA(drives, CB_SETCURSEL, index, 0);
    SendMessageA(GetParent(drives), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(drives), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(drives));
}

std::string HostPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(LPCWSTR);
    static const auto convert =
        reinterpret_cast<Convert>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) return {};
    std::wstring wide(windowsPath.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, windowsPath.data(),
                                                             static_cast<int>(windowsPath.size()), wide.data(),
                                                             static_cast<int>(wide.size()))));
    char* host = convert(wide.c_str());
    if (host == nullptr) return {};
    std::string path(host);
    HeapFree(GetProcessHeap(), 0, host);
    return path;
}

HostResult RunOnHost(const std::string& command, const std::string& scratchFolder, std::chrono::milliseconds timeout) {
    const std::string output = scratchFolder + "host-output.txt", exit = scratchFolder + "host-exit.txt";
    DeleteFileA(output.c_str());
    DeleteFileA(exit.c_str());
    const std::string hostOutput = HostPath(output), hostExit = HostPath(exit);
    HostResult result;
    if (hostOutput.empty() || hostExit.empty()) return {-1, "no host path for " + scratchFolder};
    // Wine starts a host program but hands back no process to wait on: the exit code is the
    // file the shell writes last, renamed into place whole.
    std::string line = "/bin/sh -c \"(" + command + ") >'" + hostOutput + "' 2>&1; echo $? >'" + hostExit +
                       ".new'; mv '" + hostExit + ".new' '" + hostExit + "'\"";
    // Wide from UTF-8: through the ANSI call a host path outside ASCII would reach the shell mangled.
    std::wstring wideLine(line.size() + 1, L'\0');
    wideLine.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                                                 wideLine.data(), static_cast<int>(wideLine.size()))));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\sh", wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return {-1, "the host's shell did not start: " + std::to_string(GetLastError())};
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    if (!WaitUntil([&] { return GetFileAttributesA(exit.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout))
        return {-1, "no end within the deadline: " + command};
    std::ifstream code(exit);
    code >> result.code;
    std::ifstream text(output, std::ios::binary);
    result.output.assign(std::istreambuf_iterator<char>(text), {});
    return result;
}

}  // namespace vantburn_driver
