// Driving vantburn's burn window from another process: a program folder of its own beside the
// virtual recorder, the window's lists, buttons and log read back through messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/process_driver.h"

namespace vantburn_driver {

// A program folder with vantburn.exe, our WNASPI32.DLL and its vcdr.ini, and an empty
// Distributable\: the temporary folder itself, or its subfolder of that name (ANSI).
struct ProgramFolder {
    testsupport::TempFolder temp;
    explicit ProgramFolder(const std::string& ini, const std::string& name = {});
    std::string Exe() const { return Path("vantburn.exe"); }
    std::string Path(const std::string& name) const { return root + name; }
    std::string root;  // trailing backslash
};

// The DLL overrides this test program was started with; the programs it starts inherit them
// from Wine's own environment (a change made here would not reach them).
std::string DllOverrides();

std::vector<HWND> Children(HWND parent, const char* classPart);
// Read through the wide messages: across processes Wine hands CB_GETLBTEXT's ANSI buffer wide
// characters, twice the length asked for.
std::vector<std::string> ComboItems(HWND combo);
HWND ChildButton(HWND parent, const std::string& caption);
std::string MemoText(HWND window);
std::vector<std::string> MemoLines(HWND window);

// The two combo boxes, drives first (left of the speeds).
struct Lists {
    HWND drives = nullptr, speeds = nullptr;
};
Lists FindLists(HWND window);
// Waits until the drive list holds this many lines and the speed list is filled.
Lists WaitForLists(HWND window, std::size_t drives);
// Picks a line of the device list as a user does: the selection, then its notification.
void PickDrive(HWND drives, int index);

// A visible dialog (message box) of that process with this title; nullptr when none is open.
HWND OpenDialog(DWORD process, const std::string& title);
// A visible top-level window of any process with this title; nullptr at time-out.
HWND WaitForAnyWindow(const std::string& title, std::chrono::milliseconds timeout = std::chrono::seconds(60));

// The host system's path (UTF-8) of a Windows path (ANSI), through Wine's drive mapping; empty
// when not mapped.
std::string HostPath(const std::string& windowsPath);

// A command of the host system (the peer tools are not Windows programs) run by /bin/sh, with
// its output and exit code (-1 when it did not end before the deadline). The command is UTF-8,
// as the host paths HostPath gives, and holds no double quote. Scratch files go to the folder
// given (a Windows path ending in a backslash).
struct HostResult {
    int code = -1;
    std::string output;
};
HostResult RunOnHost(const std::string& command, const std::string& scratchFolder,
                     std::chrono::milliseconds timeout = std::chrono::seconds(120));

template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(50);
    }
    return true;
}

}  // namespace vantburn_driver
