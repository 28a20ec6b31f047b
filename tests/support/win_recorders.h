// In-process stand-ins for message boxes and shell launches in the Windows test programs:
// every call is recorded, and answers can be scripted. Cleared before each test.
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace testsupport {

struct RecordedMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

struct RecordedShellLaunch {
    HWND owner;
    std::string operation;
    std::string file;
    std::string parameters;
    std::string directory;
    int show;
};

std::vector<RecordedMessageBox>& MessageBoxes();
// Answers given in turn; when none is left: IDOK for MB_OK boxes, IDYES for Yes/No boxes,
// the first button otherwise.
std::deque<int>& MessageBoxAnswers();
std::vector<RecordedShellLaunch>& ShellLaunches();
// What a recorded launch returns (> 32 is success).
INT_PTR& ShellLaunchResult();

void ResetRecorders();

}  // namespace testsupport
