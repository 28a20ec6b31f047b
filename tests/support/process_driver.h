// End-to-end helpers: start a program as a process, find and drive its windows, and observe
// what it starts through the shell.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A started process; ends it (if still running) and closes its handles when destroyed.
class ProcessUnderTest {
public:
    ProcessUnderTest(const std::string& exe, const std::string& args, const std::string& folder);
    ~ProcessUnderTest();
    ProcessUnderTest(const ProcessUnderTest&) = delete;
    ProcessUnderTest& operator=(const ProcessUnderTest&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    // The process's visible top-level window with this exact title; nullptr at time-out.
    HWND WaitForWindow(const std::string& title, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // The process's dialog (message box) with this title; nullptr at time-out.
    HWND WaitForDialog(const std::string& title, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // The process's open pop-up menu; nullptr at time-out.
    HWND WaitForPopupMenu(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // True when the process ended within the time-out; its exit code in *code.
    bool WaitForExit(std::chrono::milliseconds timeout, DWORD* code = nullptr) const;

private:
    PROCESS_INFORMATION info_{};
};

// The text of a window; the texts of its child windows of a class (e.g. "Static", "Button").
std::string WindowText(HWND wnd);
std::vector<std::string> ChildTexts(HWND parent, const std::string& windowClass);
// The first visible child window of a class (and caption, when given); null when none.
HWND FindChild(HWND parent, const char* windowClass, const std::string& caption = {});
// FindChild until it finds one: a window may be hidden for a moment (its drawing switched off
// while a skin change runs on its timer after start-up); nullptr at time-out.
HWND WaitForChild(HWND parent, const char* windowClass, const std::string& caption = {},
                  std::chrono::milliseconds timeout = std::chrono::seconds(20));
// The first child of a class once it has stayed the same window over several looks (a grid
// makes its cells anew as its page first shows); nullptr at time-out.
HWND WaitForSteadyChild(HWND parent, const char* windowClass, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Asks until the condition holds, every 20 ms; false at time-out.
bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(20));
// A window's class name.
std::string ClassOf(HWND wnd);
// Every child window of a class at any depth (only the visible ones when asked).
std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& windowClass, bool visibleOnly = false);
// The centre of a window, in screen coordinates.
POINT CentreOf(HWND wnd);
// Clicks the child button (a system or a form-library one) with this caption (as a user
// would: BM_CLICK); false when absent.
bool ClickButton(HWND parent, const std::string& caption);

// Associates document types and URL schemes (".pdf", ".html", "http") with
// shell_recorder.exe (restored afterwards), and points the recorder at a fresh log file.
class ShellRecorder {
public:
    explicit ShellRecorder(const std::vector<std::string>& kinds);
    ~ShellRecorder();
    // One entry per launch: the working folder, then the arguments.
    std::vector<std::vector<std::string>> Launches() const;
    std::string LogPath() const { return log_; }

private:
    struct Saved { std::string key, value; bool existed; };
    std::vector<Saved> saved_;
    std::string log_;
};

// Whether a named kernel object of that kind exists now (opened and closed again at once).
bool NamedMutexExists(const std::string& name);
bool NamedMappingExists(const std::string& name);
// The unit-version registry's objects a process makes at start, by its process id.
std::string UnitVersioningMutexOf(DWORD processId);
std::string UnitVersioningMappingOf(DWORD processId);

// Folder of the running test executable, with a trailing backslash.
std::string ExecutableFolder();
// A new empty folder under the temporary folder; removed with everything in it by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path_; }  // trailing backslash
private:
    std::string path_;
};

}  // namespace testsupport
