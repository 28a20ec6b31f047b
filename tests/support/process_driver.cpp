#include "tests/support/process_driver.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testsupport {
namespace {

struct WindowSearch {
    DWORD process;
    std::string title;
    std::string windowClass;  // empty: any
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != search->process || !IsWindowVisible(wnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (!search->windowClass.empty() && search->windowClass != cls) return TRUE;
    if (WindowText(wnd) != search->title) return TRUE;
    search->found = wnd;
    return FALSE;
}

HWND PollForWindow(DWORD process, const std::string& title, const std::string& windowClass,
                   std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        WindowSearch search{process, title, windowClass, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return nullptr;
}

// Default value of a key under HKEY_CLASSES_ROOT (Wine's classes do not merge the user's).
bool ReadClassValue(const std::string& key, std::string* value) {
    char buffer[1024] = {};
    LONG size = sizeof buffer;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), buffer, &size) != ERROR_SUCCESS) return false;
    *value = buffer;
    return true;
}

void WriteClassValue(const std::string& key, const std::string& value) {
    if (RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size())) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write registry key " + key);
}

std::string CommandKey(const std::string& kind) {
    const bool scheme = kind.front() != '.';
    return (scheme ? kind : "VantrellTest" + kind.substr(1)) + "\\shell\\open\\command";
}

}  // namespace

ProcessUnderTest::ProcessUnderTest(const std::string& exe, const std::string& args, const std::string& folder) {
    std::string command = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + exe);
}

ProcessUnderTest::~ProcessUnderTest() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND ProcessUnderTest::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const {
    return PollForWindow(info_.dwProcessId, title, "", timeout);
}

HWND ProcessUnderTest::WaitForDialog(const std::string& title, std::chrono::milliseconds timeout) const {
    return PollForWindow(info_.dwProcessId, title, "#32770", timeout);
}

HWND ProcessUnderTest::WaitForPopupMenu(std::chrono::milliseconds timeout) const {
    return PollForWindow(info_.dwProcessId, "", "#32768", timeout);
}

bool ProcessUnderTest::WaitForExit(std::chrono::milliseconds timeout, DWORD* code) const {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(info_.hProcess, code);
    return true;
}

std::string WindowText(HWND wnd) {
    char text[1024] = {};
    // WM_GETTEXT works across processes where GetWindowText does not read a foreign control.
    SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::vector<std::string> ChildTexts(HWND parent, const std::string& windowClass) {
    struct Collect { std::string cls; std::vector<std::string> texts; } collect{windowClass, {}};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpiA(cls, c->cls.c_str()) == 0) c->texts.push_back(WindowText(wnd));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&collect));
    return collect.texts;
}

HWND FindChild(HWND parent, const char* windowClass, const std::string& caption) {
    struct Find { const char* cls; std::string caption; HWND found; } find{windowClass, caption, nullptr};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpiA(cls, f->cls) != 0 || !IsWindowVisible(wnd)) return TRUE;
        if (!f->caption.empty() && WindowText(wnd) != f->caption) return TRUE;
        f->found = wnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string ClassOf(HWND wnd) {
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    return cls;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& windowClass, bool visibleOnly) {
    struct Collect { std::string cls; bool visibleOnly; std::vector<HWND> found; } collect{windowClass, visibleOnly, {}};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(param);
        if (ClassOf(wnd) == c->cls && (!c->visibleOnly || IsWindowVisible(wnd))) c->found.push_back(wnd);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

POINT CentreOf(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND WaitForChild(HWND parent, const char* windowClass, const std::string& caption, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        if (HWND found = FindChild(parent, windowClass, caption)) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return nullptr;
}

HWND WaitForSteadyChild(HWND parent, const char* windowClass, std::chrono::milliseconds timeout) {
    HWND child = nullptr;
    int steady = 0;
    const bool found = PollUntil([&] {
        HWND now = FindChild(parent, windowClass);
        steady = now != nullptr && now == child ? steady + 1 : 0;
        child = now;
        return steady >= 6;
    }, timeout);
    return found ? child : nullptr;
}

bool ClickButton(HWND parent, const std::string& caption) {
    struct Find { std::string caption; HWND found; } find{caption, nullptr};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        // The system's buttons, and ours, which are a class of their own over it.
        const bool button = lstrcmpiA(cls, "Button") == 0 || lstrcmpiA(cls, "TButton") == 0;
        if (button && WindowText(wnd) == f->caption) { f->found = wnd; return FALSE; }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&find));
    if (!find.found) return false;
    PostMessageA(find.found, BM_CLICK, 0, 0);
    return true;
}

ShellRecorder::ShellRecorder(const std::vector<std::string>& kinds) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    log_ = std::string(temp) + "shell_recorder_" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("VANTRELL_SHELL_LOG", log_.c_str());
    const std::string command = "\"" + ExecutableFolder() + "shell_recorder.exe\" \"%1\"";
    for (const auto& kind : kinds) {
        // Remember what we overwrite, so the prefix is as it was after the test.
        for (const auto& key : {kind, CommandKey(kind)}) {
            Saved saved{key, "", false};
            saved.existed = ReadClassValue(key, &saved.value);
            saved_.push_back(saved);
        }
        if (kind.front() == '.') WriteClassValue(kind, "VantrellTest" + kind.substr(1));
        WriteClassValue(CommandKey(kind), command);
    }
}

ShellRecorder::~ShellRecorder() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->existed) WriteClassValue(it->key, it->value);
        else if (it->key.rfind("VantrellTest", 0) == 0) RegDeleteTreeA(HKEY_CLASSES_ROOT, it->key.substr(0, it->key.find('\\')).c_str());
    }
    DeleteFileA(log_.c_str());
}

std::vector<std::vector<std::string>> ShellRecorder::Launches() const {
    std::vector<std::vector<std::string>> launches;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '|')) fields.push_back(field);
        launches.push_back(fields);
    }
    return launches;
}

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

TempFolder::TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    path_ = std::string(temp) + "vantrell_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + "\\";
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool NamedMutexExists(const std::string& name) {
    HANDLE h = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (h != nullptr) CloseHandle(h);
    return h != nullptr;
}

bool NamedMappingExists(const std::string& name) {
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (h != nullptr) CloseHandle(h);
    return h != nullptr;
}

std::string UnitVersioningMutexOf(DWORD processId) { return "MutexUnitVersioning_" + std::to_string(processId); }
std::string UnitVersioningMappingOf(DWORD processId) { return "ShmUnitVersioning_" + std::to_string(processId); }

}  // namespace testsupport
