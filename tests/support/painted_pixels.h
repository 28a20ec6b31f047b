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

}  // namespace testsupport
