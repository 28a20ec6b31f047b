#include "tests/support/window_screenshot.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "tools/skin_pack/png_writer.h"

namespace testsupport {

void SaveWindowScreenshot(HWND wnd, const std::string& path) {
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
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
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testsupport
