// A top-level window as it shows on the screen, saved as a PNG file for review.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The screen's pixels under the window's outer rectangle once it is fully painted (or after
// ten seconds), written to path.
void SaveWindowScreenshot(HWND wnd, const std::string& path);
// The screen's pixels under the window's outer rectangle once two looks agree, 0x00RRGGBB,
// top row first; empty for a window of no size.
std::vector<std::uint32_t> SteadyCapture(HWND wnd);

}  // namespace testsupport
