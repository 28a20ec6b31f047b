// vantrell's main window worked from outside, as a user works it: its caption buttons with the
// real mouse, and the galleries page's pop-up menu once skinning is switched off live.
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/mouse_input.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/window_screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {
namespace {

constexpr UINT kMsgSkinnedQuery = 0x3504;

bool Skinned(HWND wnd) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(wnd, kMsgSkinnedQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) && answer == 1;
}

COLORREF ScreenPixel(POINT p) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

void LeftButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// The title colour skin 0's maker wrote down (a COLORREF).
COLORREF TitleMiddleOfSkin0() {
    static const COLORREF colour = [] {
        std::ifstream in(std::string(SKIN_ARTIFACTS_WIN) + "/skin-0.manifest");
        std::string key;
        COLORREF read = 0;
        while (in >> key) {
            if (key == "title-middle") in >> read;
            else std::getline(in, key);
        }
        return read;
    }();
    return colour;
}

// A caption button of the shipped skins: 18 pixels square, 4 below the window's top, its left
// edge this far left of the window's right edge.
struct CaptionButton {
    const char* name;
    int fromRight;
    bool closes;
};
constexpr CaptionButton kMinimise{"minimise", 64, false}, kClose{"close", 24, true};

class VantrellWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program_.Path() + "vantrell.exe").c_str(), FALSE));
    }
    void TearDown() override {
        MoveMouse(POINT{2, 2});
        if (process_ && window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (process_) process_->WaitForExit(std::chrono::seconds(20));
    }
    std::string Ini() const { return program_.Path() + "vantrell.ini"; }
    void Start(bool skinned) {
        WritePrivateProfileStringA("Config", "UseSkins", skinned ? "1" : "0", Ini().c_str());
        WritePrivateProfileStringA("Config", "Skin", "0", Ini().c_str());
        MoveMouse(POINT{2, 2});
        process_ = std::make_unique<ProcessUnderTest>(program_.Path() + "vantrell.exe", "", elsewhere_.Path());
        window_ = process_->WaitForWindow("Vantrell - Biography");
        ASSERT_NE(window_, nullptr);
        if (!skinned) return;
        // The buttons answer the mouse only in the active window.
        SetForegroundWindow(window_);
        ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == window_; }));
        ASSERT_TRUE(PollUntil([&] { return Skinned(window_); }));
        ASSERT_TRUE(PollUntil([&] { return TitlePainted(); })) << "the skinned title is painted";
    }
    bool TitlePainted() const {
        RECT r{};
        GetWindowRect(window_, &r);
        return ScreenPixel(POINT{r.left + (r.right - r.left) / 4, r.top + 13}) == TitleMiddleOfSkin0();
    }
    bool Running() const { return !process_->WaitForExit(std::chrono::milliseconds(0)) && IsWindow(window_); }

    POINT Centre(const CaptionButton& b) const {
        RECT r{};
        GetWindowRect(window_, &r);
        return POINT{r.right - b.fromRight + 9, r.top + 13};
    }
    // A pixel of the button's face clear of its glyph, whose colour tells its state.
    COLORREF Look(const CaptionButton& b) const {
        const POINT c = Centre(b);
        return ScreenPixel(POINT{c.x - 6, c.y});
    }
    // A point of the client area over no control that takes a click, so a press there starts
    // nothing.
    POINT BareClient() const {
        RECT client{};
        GetClientRect(window_, &client);
        for (int y = client.bottom - 3; y > 0; y -= 7)
            for (int x = 3; x < client.right; x += 7) {
                POINT p{x, y};
                ClientToScreen(window_, &p);
                HWND under = WindowFromPoint(p);
                if (under == nullptr || (under != window_ && !IsChild(window_, under))) continue;
                const std::string cls = ClassOf(under);
                if (under == window_ || cls == "TTabSheet" || cls == "TPanel" || cls == "TGroupBox") return p;
            }
        ADD_FAILURE() << "no bare client point";
        return POINT{};
    }
    POINT Outside() const {
        RECT r{};
        GetWindowRect(window_, &r);
        return POINT{r.right + 40, r.top + 13};
    }

    // The button's looks, learnt once: at rest, under the mouse, held down.
    struct Looks {
        COLORREF normal, hot, pressed;
    };
    // The button's look once it has stayed the same, and unlike those given, for ten reads in
    // a row: a look read while the frame repaints is no look of the button's.
    COLORREF SteadyLook(const CaptionButton& b, std::vector<COLORREF> unlike) {
        COLORREF last = CLR_INVALID;
        int same = 0;
        EXPECT_TRUE(PollUntil([&] {
            const COLORREF now = Look(b);
            const bool other = std::find(unlike.begin(), unlike.end(), now) == unlike.end();
            same = other && now == last ? same + 1 : 0;
            last = now;
            return same >= 10;
        }));
        return last;
    }
    Looks Learn(const CaptionButton& b) {
        MoveMouse(BareClient());
        Looks looks{SteadyLook(b, {}), 0, 0};
        MoveMouse(Centre(b));
        looks.hot = SteadyLook(b, {looks.normal});
        LeftButton(MOUSEEVENTF_LEFTDOWN);
        looks.pressed = SteadyLook(b, {looks.normal, looks.hot});
        MoveMouse(Outside());
        LeftButton(MOUSEEVENTF_LEFTUP);
        MoveMouse(BareClient());
        EXPECT_TRUE(PollUntil([&] { return Look(b) == looks.normal; }));
        return looks;
    }
    // The mouse back over the button shows it hot, not held: every input before has been
    // handled (the queue keeps the order) and the press, if any, is over.
    void ExpectNotHeld(const CaptionButton& b, const Looks& looks) {
        MoveMouse(Centre(b));
        EXPECT_TRUE(PollUntil([&] { return Look(b) == looks.hot; })) << "still held";
        MoveMouse(BareClient());
        EXPECT_TRUE(PollUntil([&] { return Look(b) == looks.normal; }));
    }

    TempFolder program_, elsewhere_;
    std::unique_ptr<ProcessUnderTest> process_;
    HWND window_ = nullptr;
};

// Minimise, then Close: a press called off (released in the client area, outside the window,
// or over the button after leaving the frame) acts not, nor does a later press begun
// elsewhere and released over the button; a click acts.
TEST_F(VantrellWindow, ACaptionButtonActsOnlyOnAPressReleasedOverItWithoutLeavingTheFrame) {
    ASSERT_NO_FATAL_FAILURE(Start(true));
    for (const CaptionButton& b : {kMinimise, kClose}) {
        SCOPED_TRACE(b.name);
        const Looks looks = Learn(b);
        ASSERT_TRUE(Running());
        // The mouse's way from the press to the release, each place held until the button shows
        // it has seen the mouse there (the queue keeps only the last of the moves not yet read).
        struct Stop {
            POINT at;
            COLORREF look;
        };
        const struct { const char* how; std::function<std::vector<Stop>()> path; } ways[] = {
            {"released in the client area", [&] { return std::vector<Stop>{{BareClient(), looks.normal}}; }},
            {"released outside the window", [&] { return std::vector<Stop>{{Outside(), looks.normal}}; }},
            {"back over the button after the client area",
             [&] { return std::vector<Stop>{{BareClient(), looks.normal}, {Centre(b), looks.hot}}; }},
        };
        for (const auto& way : ways) {
            SCOPED_TRACE(way.how);
            MoveMouse(Centre(b));
            ASSERT_TRUE(PollUntil([&] { return Look(b) == looks.hot; }));
            LeftButton(MOUSEEVENTF_LEFTDOWN);
            ASSERT_TRUE(PollUntil([&] { return Look(b) == looks.pressed; }));
            for (const Stop& stop : way.path()) {
                MoveMouse(stop.at);
                ASSERT_TRUE(PollUntil([&] { return Look(b) == stop.look; }));
            }
            LeftButton(MOUSEEVENTF_LEFTUP);
            ExpectNotHeld(b, looks);
            ASSERT_TRUE(Running()) << "a press called off closed vantrell";
            EXPECT_FALSE(IsIconic(window_)) << "a press called off minimised vantrell";
            // A press that began elsewhere, released over the button.
            MoveMouse(BareClient());
            LeftButton(MOUSEEVENTF_LEFTDOWN);
            MoveMouse(Centre(b));
            EXPECT_TRUE(PollUntil([&] { return Look(b) == looks.hot; }));
            LeftButton(MOUSEEVENTF_LEFTUP);
            MoveMouse(BareClient());
            LeftButton(MOUSEEVENTF_LEFTDOWN);
            LeftButton(MOUSEEVENTF_LEFTUP);
            ExpectNotHeld(b, looks);
            ASSERT_TRUE(Running()) << "a press begun elsewhere closed vantrell";
            EXPECT_FALSE(IsIconic(window_)) << "a press begun elsewhere minimised vantrell";
        }
        // A click on the button acts.
        MoveMouse(Centre(b));
        ASSERT_TRUE(PollUntil([&] { return Look(b) == looks.hot; }));
        ClickMouse();
        if (b.closes) {
            EXPECT_TRUE(process_->WaitForExit(std::chrono::seconds(20))) << "a click on Close";
        } else {
            EXPECT_TRUE(PollUntil([&] { return IsIconic(window_) != FALSE; })) << "a click on minimise";
            ShowWindowAsync(window_, SW_RESTORE);
            ASSERT_TRUE(PollUntil([&] { return IsIconic(window_) == FALSE && IsWindowVisible(window_); }));
            // The buttons answer the mouse only in the active window.
            SetForegroundWindow(window_);
            ASSERT_TRUE(PollUntil([&] { return GetForegroundWindow() == window_; }));
            ASSERT_TRUE(PollUntil([&] { return TitlePainted(); }));
        }
    }
}

// Every visible pop-up menu window of the process, the first opened first.
std::vector<HWND> MenuWindows(DWORD process) {
    struct Find { DWORD process; std::vector<HWND> found; } find{process, {}};
    EnumWindows([](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(wnd, &owner);
        if (owner == f->process && IsWindowVisible(wnd) && ClassOf(wnd) == "#32768") f->found.insert(f->found.begin(), wnd);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

void PostKey(HWND wnd, WORD key) {
    PostMessageA(wnd, WM_KEYDOWN, key, 1);
    PostMessageA(wnd, WM_KEYUP, key, 0xC0000001);
}

struct MenuShot {
    std::vector<std::uint32_t> menu, submenu;
};

// The galleries page's pop-up menu that vantrell was started with skins off shows, and the one
// it shows once skinning, on at the start, is switched off with "Enable Skins": the same, the
// sub-menu too, as the system draws them (not owner-drawn by the skin, nor by the form
// library's fallback drawing).
TEST_F(VantrellWindow, UnskinnedTheGalleriesMenuIsTheSystems) {
    const std::string gallery = program_.Path() + "Galleries\\General\\";
    CreateDirectoryA((program_.Path() + "Galleries").c_str(), nullptr);
    CreateDirectoryA(gallery.c_str(), nullptr);
    for (const char* name : {"prv_a.jpg", "prv_b.jpg"}) {
        const JpegBytes bytes = GradientPhoto(834, 556);
        WriteWholeFile(gallery + name, std::string(bytes.begin(), bytes.end()));
    }
    for (const char* name : {"thm_a.jpg", "thm_b.jpg"}) {
        const JpegBytes bytes = GradientPhoto(150, 100);
        WriteWholeFile(gallery + name, std::string(bytes.begin(), bytes.end()));
    }
    const auto shoot = [&](bool switchOff) {
        MenuShot shot;
        Start(switchOff);
        if (HasFatalFailure()) return shot;
        if (switchOff) {
            HWND enable = WaitForChild(window_, "TCheckBox", "Enable Skins");
            EXPECT_NE(enable, nullptr);
            PostMessageA(enable, BM_CLICK, 0, 0);
            EXPECT_TRUE(PollUntil([&] { return !Skinned(window_); }));
        }
        EXPECT_TRUE(ClickButton(window_, "&Next"));
        EXPECT_NE(process_->WaitForWindow("Vantrell - Galleries"), nullptr);
        // The grid makes its cells anew as the page first shows: the first cell once it stays.
        HWND cell = WaitForSteadyChild(window_, "TThumbnail");
        EXPECT_NE(cell, nullptr);
        if (cell == nullptr) return shot;
        RECT r{};
        GetClientRect(cell, &r);
        const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageA(cell, WM_RBUTTONDOWN, MK_RBUTTON, middle);
        PostMessageA(cell, WM_RBUTTONUP, 0, middle);
        HWND menu = process_->WaitForPopupMenu(std::chrono::seconds(10));
        EXPECT_NE(menu, nullptr);
        if (menu == nullptr) return shot;
        EXPECT_FALSE(Skinned(menu));
        // Home takes "Move Image to", Right opens its sub-menu.
        PostKey(menu, VK_HOME);
        PostKey(menu, VK_RIGHT);
        EXPECT_TRUE(PollUntil([&] { return MenuWindows(process_->Id()).size() == 2; }, std::chrono::seconds(10)));
        const std::vector<HWND> menus = MenuWindows(process_->Id());
        if (menus.size() == 2) {
            shot.menu = SteadyCapture(menus[0]);
            shot.submenu = SteadyCapture(menus[1]);
        }
        // Escape closes the innermost menu open.
        for (size_t open = menus.size(); open > 0; --open) {
            const std::vector<HWND> now = MenuWindows(process_->Id());
            if (now.empty()) break;
            PostKey(now.back(), VK_ESCAPE);
            EXPECT_TRUE(PollUntil([&] { return MenuWindows(process_->Id()).size() < now.size(); }));
        }
        PostMessageA(window_, WM_CLOSE, 0, 0);
        EXPECT_TRUE(process_->WaitForExit(std::chrono::seconds(20)));
        process_.reset();
        window_ = nullptr;
        return shot;
    };
    const MenuShot plain = shoot(false);
    ASSERT_FALSE(plain.menu.empty());
    ASSERT_FALSE(plain.submenu.empty());
    const MenuShot switched = shoot(true);
    EXPECT_TRUE(switched.menu == plain.menu) << "the menu is not drawn as the system draws it";
    EXPECT_TRUE(switched.submenu == plain.submenu) << "the sub-menu is not drawn as the system draws it";
}

}  // namespace
}  // namespace testsupport
