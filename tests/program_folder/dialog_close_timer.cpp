// dialog_close_timer.exe COUNT: drives the vantrell that ./run.sh started in the same Wine
// prefix. It changes the biography's name, asks the window to close and answers the
// "Save changes?" box with Cancel COUNT times, printing for each box the seconds from the
// click to its window gone; then it closes the program with No. Exit code 0 when every step
// happened, 1 otherwise (the reason on stderr).
#include "tests/support/process_driver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

bool PollUntil(const std::function<bool()>& done, std::chrono::seconds patience) {
    const auto end = Clock::now() + patience;
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A visible top-level window of any process with this title and, when given, this class.
HWND TopLevel(const std::string& title, const char* windowClass = nullptr) {
    struct Find { std::string title; const char* cls; HWND found; } find{title, windowClass, nullptr};
    EnumWindows([](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (!IsWindowVisible(wnd) || WindowText(wnd) != f->title || (f->cls && lstrcmpA(cls, f->cls) != 0)) return TRUE;
        f->found = wnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

// The highest (then leftmost) visible edit: the biography's name field.
HWND NameField(HWND window) {
    struct Best { HWND wnd; RECT rect; } best{nullptr, {}};
    EnumChildWindows(window, [](HWND wnd, LPARAM param) -> BOOL {
        auto* b = reinterpret_cast<Best*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        RECT r{};
        GetWindowRect(wnd, &r);
        if (lstrcmpA(cls, "TEdit") != 0 || !IsWindowVisible(wnd)) return TRUE;
        if (!b->wnd || r.top < b->rect.top || (r.top == b->rect.top && r.left < b->rect.left)) *b = {wnd, r};
        return TRUE;
    }, reinterpret_cast<LPARAM>(&best));
    return best.wnd;
}

int Fail(const char* why) {
    std::fprintf(stderr, "dialog_close_timer: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc == 2 ? std::atoi(argv[1]) : 0;
    if (count < 1) return Fail("usage: dialog_close_timer.exe COUNT");
    HWND window = nullptr;
    if (!PollUntil([&] { return (window = TopLevel("Vantrell - Biography")) != nullptr; }, std::chrono::seconds(120)))
        return Fail("no window \"Vantrell - Biography\"");
    HWND name = nullptr;
    if (!PollUntil([&] { return (name = NameField(window)) != nullptr; }, std::chrono::seconds(20)))
        return Fail("no name field");
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ann Example"));

    for (int round = 0; round <= count; ++round) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        HWND box = nullptr;
        if (!PollUntil([&] { return (box = TopLevel("Confirm", "#32770")) != nullptr; }, std::chrono::seconds(20)))
            return Fail("no \"Save changes?\" box");
        const bool last = round == count;
        const auto clicked = Clock::now();
        if (!ClickButton(box, last ? "&No" : "Cancel") && !(last && ClickButton(box, "No")))
            return Fail("no button to answer with");
        if (!PollUntil([&] { return !IsWindow(box); }, std::chrono::seconds(20))) return Fail("the box stayed");
        if (!last) {
            std::printf("dialog close %d: %.3f s\n", round + 1,
                        std::chrono::duration<double>(Clock::now() - clicked).count());
            std::fflush(stdout);
        }
    }
    if (!PollUntil([&] { return !IsWindow(window); }, std::chrono::seconds(20))) return Fail("the program stayed");
    return 0;
}
