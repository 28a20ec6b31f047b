// vantburn's window in its skin from the start, seen from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "burn/burn_window.h"
#include "burn/tests/driver/vantburn_driver.h"
#include "tests/support/process_driver.h"
#include "tests/support/window_screenshot.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ProcessUnderTest;

constexpr UINT kMsgSkinnedQuery = 0x3504;
constexpr char kIni[] = "[recorder]\nasynchronous=0\n[device0]\naddress=0:1:0\ntype=5\nletter=E\nspeeds=4,8\n";

bool Skinned(HWND wnd) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(wnd, kMsgSkinnedQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) && answer == 1;
}

template <class F> bool PollFor(F done, std::chrono::milliseconds limit = 5s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

void ClickAt(int x, int y) {
    SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

TEST(VantburnSkin, ItsWindowIsSkinnedWithoutACloseButtonAndATitleClickLeavesItOpen) {
    vantburn_driver::ProgramFolder folder(kIni);
    CreateDirectoryA(folder.Path("Distributable\\Spring").c_str(), nullptr);
    ProcessUnderTest p(folder.Exe(), "Spring", folder.temp.Path());
    HWND window = p.WaitForWindow(burn::kBurnWindowCaption);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PollFor([&] { return Skinned(window); })) << "skinned from the start";
    // For the review shot: wait until the log in the middle of the window has painted.
    PollFor([&] {
        RECT w{};
        GetWindowRect(window, &w);
        HDC screen = GetDC(nullptr);
        const COLORREF middle = GetPixel(screen, (w.left + w.right) / 2, (w.top + w.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return middle != RGB(0, 0, 0);
    }, 3s);
    // The device scan at start may hold the window's thread while its children first paint:
    // once it answers again, every child is painted afresh for the shot.
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testsupport::SaveWindowScreenshot(window, std::string(SKIN_ARTIFACTS_WIN) + "/vantburn.png");
    // No system menu, so no close button on the frame either.
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_SYSMENU, 0);
    RECT r{};
    GetWindowRect(window, &r);
    for (int i = 1; i < 16; ++i) {
        const int x = r.left + (r.right - r.left) * i / 16, y = r.top + 8;
        ClickAt(x, y);
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        EXPECT_FALSE(p.WaitForExit(50ms)) << "a click at " << x - r.left << " closed it";
        EXPECT_TRUE(IsWindowVisible(window)) << x - r.left;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace
