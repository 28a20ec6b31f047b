// A top-level window as it shows on the screen, saved as a PNG file for review.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// The screen's pixels under the window's outer rectangle once it is fully painted (or after
// ten seconds), written to path.
void SaveWindowScreenshot(HWND wnd, const std::string& path);

}  // namespace testsupport
