#include "tests/support/window_screenshot.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "tools/skin_pack/png_writer.h"

namespace testsupport {
namespace {

// The screen's pixels under the rectangle, 0x00RRGGBB, top row first.
std::vector<std::uint32_t> Capture(const RECT& r) {
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
    const auto* px = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(px, px + static_cast<size_t>(w) * h);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Whether the window or any window inside it still waits for a WM_PAINT.
bool PaintPending(HWND wnd) {
    if (GetUpdateRect(wnd, nullptr, FALSE)) return true;
    bool pending = false;
    EnumChildWindows(wnd, [](HWND child, LPARAM param) -> BOOL {
        if (!IsWindowVisible(child) || !GetUpdateRect(child, nullptr, FALSE)) return TRUE;
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

}  // namespace

std::vector<std::uint32_t> SteadyCapture(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    if (r.right <= r.left || r.bottom <= r.top) return {};
    // Fully painted: its thread answers, no window in it waits for a paint, and the pixels stay
    // the same for longer than the skin engine's 250 ms timers, whose turns dress the controls
    // and repaint them (or the deadline passes).
    constexpr DWORD kSteadyFor = 600, kDeadline = 10000, kLook = 50;
    std::vector<std::uint32_t> pixels = Capture(r);
    const DWORD start = GetTickCount();
    DWORD steadySince = start;
    while (GetTickCount() - start < kDeadline) {
        Sleep(kLook);
        if (!IsWindowVisible(wnd)) break;  // gone meanwhile: keep the last look
        DWORD_PTR answer = 0;
        const bool idle = SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0 && !PaintPending(wnd);
        std::vector<std::uint32_t> again = Capture(r);
        if (!idle || again != pixels) steadySince = GetTickCount();
        pixels = std::move(again);
        if (GetTickCount() - steadySince >= kSteadyFor) break;
    }
    return pixels;
}

void SaveWindowScreenshot(HWND wnd, const std::string& path) {
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    std::vector<std::uint32_t> pixels = SteadyCapture(wnd);
    skin_pack::Rgb24Picture picture{w, h, std::vector<std::uint32_t>(pixels.size())};
    for (size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t p = pixels[i];  // 0x00RRGGBB
        picture.pixels[i] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    const std::vector<std::uint8_t> bytes = skin_pack::PngBytes(picture);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testsupport
