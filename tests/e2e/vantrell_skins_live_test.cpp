// Live skin switching seen from outside: the real vantrell.exe started as a process, driven
// by messages; screenshots for review land in build/artifacts/skins.
#include "forms/portable/jpeg_codec.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/window_screenshot.h"

namespace testsupport {
namespace {

constexpr UINT kMsgSkinnedQuery = 0x3504;
constexpr WPARAM kSkinnedQueryCount = 1;  // wParam: how many control skins a control carries

bool Skinned(HWND wnd) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(wnd, kMsgSkinnedQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return false;
    return answer == 1;
}

template <class F> bool PollFor(F done, int milliseconds = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) return false;
        Sleep(10);
    }
    return true;
}

// A skin's colours as the skin maker wrote them (COLORREF values).
struct SkinColours {
    COLORREF face = 0, titleMiddle = 0;
};
SkinColours Manifest(int n) {
    std::ifstream in(std::string(SKIN_ARTIFACTS_WIN) + "/skin-" + std::to_string(n) + ".manifest");
    SkinColours c;
    std::string key;
    while (in >> key) {
        if (key == "face") in >> c.face;
        else if (key == "title-middle") in >> c.titleMiddle;
        else std::getline(in, key);
    }
    return c;
}

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 6) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

void Screenshot(HWND wnd, const std::string& name) {
    SaveWindowScreenshot(wnd, std::string(SKIN_ARTIFACTS_WIN) + "/" + name);
}

// The child windows' places in the window, by order.
std::vector<RECT> ChildPlaces(HWND window) {
    struct Walk { HWND top; std::vector<RECT> places; } walk{window, {}};
    EnumChildWindows(window, [](HWND wnd, LPARAM param) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(param);
        RECT r{};
        GetWindowRect(wnd, &r);
        MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
        w->places.push_back(r);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&walk));
    return walk.places;
}

SIZE WindowSize(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}
SIZE ClientSize(HWND wnd) {
    RECT r{};
    GetClientRect(wnd, &r);
    return SIZE{r.right, r.bottom};
}
bool HasRegion(HWND wnd) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(wnd, region) != ERROR;
    DeleteObject(region);
    return has;
}

// The title bar's background half-way down it (the skins' title is 26 pixels high), a
// quarter across: clear of the icon, the caption (some skins set it on a strip of its own in
// the middle) and the buttons.
COLORREF TitleMiddle(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return ScreenPixel(r.left + (r.right - r.left) / 4, r.top + 13);
}
// Whether a third or more of the title bar's middle row has the colour: true of a skinned
// title whatever the width and place of its caption and buttons.
bool TitleRowShows(HWND wnd, COLORREF colour) {
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left;
    if (w <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP row = CreateCompatibleBitmap(screen, w, 1);
    HGDIOBJ old = SelectObject(mem, row);
    BitBlt(mem, 0, 0, w, 1, screen, r.left, r.top + 13, SRCCOPY);
    int alike = 0;
    for (int x = 0; x < w; ++x) alike += Near(GetPixel(mem, x, 0), colour) ? 1 : 0;
    SelectObject(mem, old);
    DeleteObject(row);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return alike * 3 >= w;
}
// The biography sheet's own background, clear of its groups.
COLORREF SheetBackground(HWND window) {
    HWND sheet = FindChild(window, "TTabSheet");
    RECT r{};
    GetWindowRect(sheet, &r);
    return ScreenPixel(r.left + 3, r.top + 3);
}

class VantrellLiveSkins : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program_.Path() + "vantrell.exe").c_str(), FALSE));
        WritePrivateProfileStringA("Config", "UseSkins", "0", Ini().c_str());
        WritePrivateProfileStringA("Config", "Skin", "0", Ini().c_str());
    }
    std::string Ini() const { return program_.Path() + "vantrell.ini"; }
    HWND Start() {
        process_ = std::make_unique<ProcessUnderTest>(program_.Path() + "vantrell.exe", "", elsewhere_.Path());
        return process_->WaitForWindow("Vantrell - Biography");
    }
    static void Key(HWND wnd, WORD key) {
        PostMessageA(wnd, WM_KEYDOWN, key, 1);
        PostMessageA(wnd, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
        SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    TempFolder program_, elsewhere_;
    std::unique_ptr<ProcessUnderTest> process_;
};

TEST_F(VantrellLiveSkins, EnableSkinsAndTheSliderDressTheWindowLiveAndGiveItBackWhole) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    HWND slider = FindChild(window, "TSlider");
    HWND enable = FindChild(window, "TCheckBox", "Enable Skins");
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(enable, nullptr);
    EXPECT_FALSE(Skinned(window));
    const SIZE startWindow = WindowSize(window), startClient = ClientSize(window);
    const std::vector<RECT> startPlaces = ChildPlaces(window);
    Screenshot(window, "main-off.png");

    PostMessageA(enable, BM_CLICK, 0, 0);
    ASSERT_TRUE(PollFor([&] { return Skinned(window); }, 1000)) << "skinned within a second";
    for (int n = 0; n <= 5; ++n) {
        if (n > 0) Key(slider, VK_RIGHT);
        const SkinColours colours = Manifest(n);
        EXPECT_TRUE(PollFor([&] { return Near(TitleMiddle(window), colours.titleMiddle); }))
            << "skin " << n << ": title " << std::hex << TitleMiddle(window) << " not " << colours.titleMiddle;
        EXPECT_TRUE(PollFor([&] { return Near(SheetBackground(window), colours.face); }))
            << "skin " << n << ": face " << std::hex << SheetBackground(window) << " not " << colours.face;
        Screenshot(window, "main-" + std::to_string(n) + ".png");
    }
    for (int cycle = 0; cycle < 6; ++cycle) {
        SCOPED_TRACE(cycle);
        PostMessageA(enable, BM_CLICK, 0, 0);
        ASSERT_TRUE(PollFor([&] { return !Skinned(window); }));
        EXPECT_FALSE(HasRegion(window));
        const SIZE w = WindowSize(window), c = ClientSize(window);
        EXPECT_EQ(w.cx, startWindow.cx);
        EXPECT_EQ(w.cy, startWindow.cy);
        EXPECT_EQ(c.cx, startClient.cx);
        EXPECT_EQ(c.cy, startClient.cy);
        const std::vector<RECT> places = ChildPlaces(window);
        ASSERT_EQ(places.size(), startPlaces.size());
        for (std::size_t i = 0; i < places.size(); ++i)
            EXPECT_TRUE(EqualRect(&places[i], &startPlaces[i])) << "child " << i;
        if (cycle == 5) break;
        PostMessageA(enable, BM_CLICK, 0, 0);
        ASSERT_TRUE(PollFor([&] { return Skinned(window); }));
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(process_->WaitForExit(std::chrono::seconds(20)));

    // Skin 5, skinning off, was written; with skinning on the next start comes up in it.
    WritePrivateProfileStringA("Config", "UseSkins", "1", Ini().c_str());
    window = Start();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PollFor([&] { return Skinned(window); }));
    EXPECT_TRUE(PollFor([&] { return Near(TitleMiddle(window), Manifest(5).titleMiddle); }));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(process_->WaitForExit(std::chrono::seconds(20)));
}

// The saved skin number is an INI integer like any other ("0x3" is 3), one past the slider's
// range starts in the skin the slider clamps it to, and Exit writes the number shown.
TEST_F(VantrellLiveSkins, TheSavedSkinIsReadAsAnIntegerClampedByTheSliderAndWrittenAsShown) {
    const struct { const char* stored; int skin; const char* written; } cases[] = {
        {"9", 5, "5"}, {"0x3", 3, "3"}, {"-4", 0, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WritePrivateProfileStringA("Config", "UseSkins", "1", Ini().c_str());
        WritePrivateProfileStringA("Config", "Skin", c.stored, Ini().c_str());
        HWND window = Start();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(PollFor([&] { return Skinned(window); }));
        const COLORREF expected = Manifest(c.skin).titleMiddle;
        EXPECT_TRUE(PollFor([&] { return Near(TitleMiddle(window), expected); }))
            << "title " << std::hex << TitleMiddle(window) << " not " << expected;
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(process_->WaitForExit(std::chrono::seconds(20)));
        char written[16] = {};
        GetPrivateProfileStringA("Config", "Skin", "", written, sizeof written, Ini().c_str());
        EXPECT_STREQ(written, c.written);
    }
}

// The windows the galleries page shows, each in the skin of the main window: a Delete
// confirmation, the grid's pop-up menu (shot with an item hovered), and the processing dialog
// of two pictures added through the real open dialog, which itself is left plain; in each of
// the six skins.
class VantrellDressedBoxes : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((ExecutableFolder() + "vantrell.exe").c_str(), (program_.Path() + "vantrell.exe").c_str(), FALSE));
        // Two pictures in the gallery for the grid's menu; two large ones to add, so that the
        // processing dialog stands long enough to be looked at.
        const std::string gallery = program_.Path() + "Galleries\\General\\";
        CreateDirectoryA((program_.Path() + "Galleries").c_str(), nullptr);
        CreateDirectoryA(gallery.c_str(), nullptr);
        Write(gallery + "prv_a.jpg", GradientPhoto(834, 556));
        Write(gallery + "thm_a.jpg", GradientPhoto(150, 100));
        const JpegBytes big = GradientPhoto(7200, 4800);
        for (const char* name : {"big1.jpg", "big2.jpg"}) Write(pictures_.Path() + name, big);
    }
    void TearDown() override {
        if (process_ && window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (process_) process_->WaitForExit(std::chrono::seconds(20));
    }
    static void Write(const std::string& path, const JpegBytes& bytes) {
        WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
    }
    // vantrell in skin n, on its galleries page.
    void StartInSkin(int n) {
        const std::string ini = program_.Path() + "vantrell.ini";
        DeleteFileA(ini.c_str());
        WritePrivateProfileStringA("Config", "UseSkins", "1", ini.c_str());
        WritePrivateProfileStringA("Config", "Skin", std::to_string(n).c_str(), ini.c_str());
        WritePrivateProfileStringA("Config", "Last Folder", pictures_.Path().c_str(), ini.c_str());
        process_ = std::make_unique<ProcessUnderTest>(program_.Path() + "vantrell.exe", "", elsewhere_.Path());
        window_ = process_->WaitForWindow("Vantrell - Biography");
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(PollFor([&] { return Skinned(window_); }));
        ASSERT_TRUE(ClickButton(window_, "&Next"));
        ASSERT_NE(process_->WaitForWindow("Vantrell - Galleries"), nullptr);
    }
    void Stop() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        ASSERT_TRUE(process_->WaitForExit(std::chrono::seconds(20)));
        process_.reset();
        window_ = nullptr;
    }
    // The grid's first cell once the grid has stopped making its cells anew.
    HWND SteadyCell() const { return WaitForSteadyChild(window_, "TThumbnail"); }
    static bool AnyChildSkinned(HWND dialog) {
        bool any = false;
        EnumChildWindows(dialog, [](HWND wnd, LPARAM param) -> BOOL {
            if (Skinned(wnd)) *reinterpret_cast<bool*>(param) = true;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&any));
        return any;
    }

    TempFolder program_, elsewhere_, pictures_;
    std::unique_ptr<ProcessUnderTest> process_;
    HWND window_ = nullptr;
};

TEST_F(VantrellDressedBoxes, TheConfirmationTheMenuAndTheProcessingDialogWearTheSkinAndTheOpenDialogDoesNot) {
    for (int n = 0; n <= 5; ++n) {
        SCOPED_TRACE("skin " + std::to_string(n));
        ASSERT_NO_FATAL_FAILURE(StartInSkin(n));
        const SkinColours colours = Manifest(n);
        EXPECT_TRUE(PollFor([&] { return Near(TitleMiddle(window_), colours.titleMiddle); }));
        ASSERT_NE(SteadyCell(), nullptr) << "the grid shows its thumbnails before the shot";
        Screenshot(window_, "galleries-" + std::to_string(n) + ".png");

        // A Delete confirmation, skinned inside its modal loop; "No" keeps the picture.
        ASSERT_TRUE(ClickButton(window_, "&Delete Image"));
        HWND box = process_->WaitForDialog("Confirm");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(PollFor([&] { return Skinned(box); }));
        EXPECT_TRUE(PollFor([&] { return TitleRowShows(box, colours.titleMiddle); }));
        Screenshot(box, "msgbox-" + std::to_string(n) + ".png");
        ASSERT_TRUE(ClickButton(box, "&No"));
        ASSERT_TRUE(PollFor([&] { return !IsWindow(box); }));

        // The grid's pop-up menu.
        HWND cell = SteadyCell();
        ASSERT_NE(cell, nullptr);
        RECT r{};
        GetClientRect(cell, &r);
        const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageA(cell, WM_RBUTTONDOWN, MK_RBUTTON, middle);
        PostMessageA(cell, WM_RBUTTONUP, 0, middle);
        HWND menu = process_->WaitForPopupMenu(std::chrono::seconds(10));
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(PollFor([&] { return Skinned(menu); }));
        // Its first item hovered, for the review of its highlight.
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageA(menu, WM_KEYUP, VK_DOWN, 0xC0000001);
        Screenshot(menu, "menu-" + std::to_string(n) + ".png");
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        ASSERT_TRUE(PollFor([&] { return !IsWindowVisible(menu); }));

        // Two pictures through the real open dialog: the dialog and its controls plain, the
        // processing dialog dressed with one skin on its Cancel button.
        ASSERT_TRUE(ClickButton(window_, "&Add Images"));
        HWND open = process_->WaitForDialog("Add images To General");
        ASSERT_NE(open, nullptr);
        HWND edit = FindChild(open, "Edit");
        ASSERT_NE(edit, nullptr);
        // Plain through three turns of the coordinator's 250 ms timer.
        EXPECT_FALSE(PollFor([&] { return Skinned(open) || AnyChildSkinned(open); }, 750));
        const std::string typed = "\"big1.jpg\" \"big2.jpg\"";
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        ASSERT_TRUE(ClickButton(open, "&Open"));
        HWND processing = process_->WaitForWindow("Processing 2 Images...");
        ASSERT_NE(processing, nullptr);
        EXPECT_TRUE(PollFor([&] { return Skinned(processing); }));
        HWND cancel = FindChild(processing, "TButton", "Cancel");
        ASSERT_NE(cancel, nullptr);
        DWORD_PTR skins = 0;
        ASSERT_TRUE(PollFor([&] {
            return SendMessageTimeoutA(cancel, kMsgSkinnedQuery, kSkinnedQueryCount, 0, SMTO_ABORTIFHUNG, 5000, &skins) &&
                   skins >= 1;
        }));
        EXPECT_EQ(skins, 1u) << "one control skin on Cancel";
        EXPECT_TRUE(PollFor([&] { return TitleRowShows(processing, colours.titleMiddle); }));
        Screenshot(processing, "processing-" + std::to_string(n) + ".png");
        ClickButton(processing, "Cancel");
        EXPECT_TRUE(PollFor([&] { return !IsWindow(processing); }, 60000));
        ASSERT_NO_FATAL_FAILURE(Stop());
    }
}

}  // namespace
}  // namespace testsupport
