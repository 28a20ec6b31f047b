// The hints of the real vantrell: the mouse, moved through the system's input, rests on a
// control of the biography page and its hint shows in the hint colour; moved away, it goes.
#include "tests/support/mouse_input.h"
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace testsupport {
namespace {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The process's hint window while it shows; nullptr when none does.
HWND ShownHint(DWORD processId) {
    struct Find { DWORD process; HWND found; } find{processId, nullptr};
    EnumWindows([](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        DWORD process = 0;
        GetWindowThreadProcessId(wnd, &process);
        if (process != f->process || lstrcmpA(cls, "THintWindow") != 0 || !IsWindowVisible(wnd)) return TRUE;
        f->found = wnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// The screen's pixel just inside the hint window's frame, where its background shows.
COLORREF BackgroundOf(HWND hint) {
    RECT r{};
    GetWindowRect(hint, &r);
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, r.left + 2, r.top + 2);
    ReleaseDC(nullptr, screen);
    return pixel;
}

TEST(VantrellHints, RestingOnAControlShowsItsHintAndMovingAwayHidesIt) {
    TempFolder program, elsewhere;
    ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program.Path() + "vantrell.exe").c_str(), FALSE));
    ProcessUnderTest vantrell(program.Path() + "vantrell.exe", "", elsewhere.Path());
    HWND window = vantrell.WaitForWindow("Vantrell - Biography");
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    const struct { const char* windowClass; const char* text; } controls[] = {
        {"TRichEdit", "Will be shown to prospective employers."},
        {"TSlider", "Drag the slider left to right to change the appearance of Vantrell.  The change you make here "
                    "will not affect what the potential employer sees."},
    };
    // A place of the window without a hint: the strip of page tabs, left of the first tab.
    RECT client{};
    GetClientRect(window, &client);
    POINT away{client.right - 4, 4};
    ClientToScreen(window, &away);
    for (const auto& c : controls) {
        HWND control = FindChild(window, c.windowClass);
        ASSERT_NE(control, nullptr) << c.windowClass;
        MoveMouse(CentreOf(control));
        HWND hint = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (hint = ShownHint(vantrell.Id())) != nullptr; }, std::chrono::seconds(5)))
            << c.windowClass;
        EXPECT_EQ(WindowText(hint), c.text);
        // Both take the application's hint colour: the slider asks its group, which leaves it.
        EXPECT_TRUE(WaitUntil([&] { return BackgroundOf(hint) == GetSysColor(COLOR_INFOBK); }, std::chrono::seconds(2)))
            << c.windowClass << ": " << std::hex << BackgroundOf(hint);
        MoveMouse(away);
        EXPECT_TRUE(WaitUntil([&] { return ShownHint(vantrell.Id()) == nullptr; }, std::chrono::seconds(5)))
            << c.windowClass;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vantrell.WaitForExit(std::chrono::seconds(20)));
}

}  // namespace
}  // namespace testsupport
