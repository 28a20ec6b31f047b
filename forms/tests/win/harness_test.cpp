#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The harness itself: a real top-level window can be created and painted on the test display.
TEST(WineHarness, CreatesAndShowsATopLevelWindow) {
    HWND wnd = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    ShowWindow(wnd, SW_SHOW);
    char text[16] = {};
    GetWindowTextA(wnd, text, sizeof text);
    EXPECT_STREQ(text, "probe");
    EXPECT_EQ(GetACP(), 1252u);
    DestroyWindow(wnd);
}

}  // namespace
