// Live skin switching seen from outside: the real vantrell.exe and vantburn.exe started as
// processes, driven by messages; screenshots for review land in build/artifacts/skins.
#include "tests/support/process_driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/skin_pack/png_writer.h"

namespace testsupport {
namespace {

constexpr UINT kMsgSkinnedQuery = 0x3504;

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
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    skin_pack::Rgb24Picture picture{w, h, std::vector<std::uint32_t>(static_cast<size_t>(w) * h)};
    const auto* px = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) {
        const std::uint32_t p = px[i];  // 0x00RRGGBB
        picture.pixels[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    const std::vector<std::uint8_t> bytes = skin_pack::PngBytes(picture);
    std::ofstream out(std::string(SKIN_ARTIFACTS_WIN) + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}


// The visible child window of a class (and caption, when given).
HWND FindChild(HWND parent, const char* windowClass, const std::string& caption = {}) {
    struct Find { const char* cls; std::string caption; HWND found; } find{windowClass, caption, nullptr};
    EnumChildWindows(parent, [](HWND wnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Find*>(param);
        char cls[64] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpiA(cls, f->cls) != 0 || !IsWindowVisible(wnd)) return TRUE;
        if (!f->caption.empty() && WindowText(wnd) != f->caption) return TRUE;
        f->found = wnd;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&find));
    return find.found;
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

}  // namespace
}  // namespace testsupport
