// The picture a window paints for WM_PAINT given a memory DC in wParam, read back pixel by
// pixel: how tests of drawn controls see where text and frames land.
#pragma once
#include <windows.h>

#include "forms/gdi_handle.h"

namespace testsupport {

class PaintedPixels {
public:
    explicit PaintedPixels(HWND wnd) {
        RECT r{};
        GetWindowRect(wnd, &r);
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        HDC screen = GetDC(nullptr);
        dc_.reset(CreateCompatibleDC(screen));
        bitmap_.reset(CreateCompatibleBitmap(screen, width_, height_));
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_.get(), bitmap_.get());
        RECT all{0, 0, width_, height_};
        FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(dc_.get()), 0);
    }
    PaintedPixels(const PaintedPixels&) = delete;
    PaintedPixels& operator=(const PaintedPixels&) = delete;
    ~PaintedPixels() { SelectObject(dc_.get(), old_); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    forms::UniqueMemoryDC dc_;
    forms::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

// Where a panel's text landed: "left", "right" or "centre" of the columns inside its 2-pixel
// bevel that hold a pixel other than the background; empty when none does.
inline const char* TextPlacement(const PaintedPixels& pixels, const RECT& panel, COLORREF background) {
    int first = -1, last = -1;
    for (int x = panel.left + 2; x < panel.right - 2; ++x) {
        for (int y = panel.top + 2; y < panel.bottom - 2; ++y) {
            if (pixels.At(x, y) == background) continue;
            if (first < 0) first = x;
            last = x;
            break;
        }
    }
    if (first < 0) return "";
    const int middle = (panel.left + panel.right) / 2;
    return last < middle ? "left" : first > middle ? "right" : "centre";
}

}  // namespace testsupport
