// RAII owners for GDI, USER and kernel handles.
#pragma once
#include <windows.h>

#include <utility>

#include "forms/handle_counts.h"

namespace forms {

// Owns one handle; Deleter is a callable type taking the handle. A Deleter with a static
// Count(int) is told of each handle an owner adopts (+1) and lets go of unfreed (-1), and
// counts -1 itself when it frees one: the live counts of forms/handle_counts.h.
template <class H, class Deleter> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {
        if (h_ != H{}) Count(1);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this == &o) return *this;
        const H h = std::exchange(o.h_, H{});
        if (h_ != H{} && h_ != h) Deleter{}(h_);
        else if (h_ != H{}) Count(-1);  // both held the same handle: one owner is left
        h_ = h;
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    H release() {
        if (h_ != H{}) Count(-1);
        return std::exchange(h_, H{});
    }
    void reset(H h = H{}) {
        if (h_ == h) return;
        if (h_ != H{}) Deleter{}(h_);
        h_ = h;
        if (h_ != H{}) Count(1);
    }

private:
    static void Count(int delta) {
        if constexpr (requires { Deleter::Count(delta); }) Deleter::Count(delta);
    }
    H h_{};
};

struct GdiObjectDeleter {
    static void Count(int delta) { handle_counts::AddGdiObjects(delta); }
    void operator()(HGDIOBJ h) const {
        DeleteObject(h);
        Count(-1);
    }
};
struct DcDeleter {
    static void Count(int delta) { handle_counts::AddGdiObjects(delta); }
    void operator()(HDC h) const {
        DeleteDC(h);
        Count(-1);
    }
};
struct IconDeleter { void operator()(HICON h) const { DestroyIcon(h); } };
struct CursorDeleter { void operator()(HCURSOR h) const { DestroyCursor(h); } };
struct MenuDeleter { void operator()(HMENU h) const { DestroyMenu(h); } };
struct WindowDeleter {
    static void Count(int delta) { handle_counts::AddWindows(delta); }
    void operator()(HWND h) const {
        if (IsWindow(h)) DestroyWindow(h);
        Count(-1);
    }
};
struct KernelHandleDeleter { void operator()(HANDLE h) const { CloseHandle(h); } };
struct FindDeleter { void operator()(HANDLE h) const { FindClose(h); } };
struct MappedViewDeleter { void operator()(void* view) const { UnmapViewOfFile(view); } };
struct HookDeleter { void operator()(HHOOK h) const { UnhookWindowsHookEx(h); } };

using UniqueFont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniquePen = UniqueHandle<HPEN, GdiObjectDeleter>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectDeleter>;
using UniquePalette = UniqueHandle<HPALETTE, GdiObjectDeleter>;
using UniqueMemoryDC = UniqueHandle<HDC, DcDeleter>;  // CreateCompatibleDC / CreateDC
using UniqueIcon = UniqueHandle<HICON, IconDeleter>;
using UniqueCursor = UniqueHandle<HCURSOR, CursorDeleter>;
using UniqueMenu = UniqueHandle<HMENU, MenuDeleter>;
using UniqueWindow = UniqueHandle<HWND, WindowDeleter>;
// Files, processes, events. CreateFile and FindFirstFile fail with INVALID_HANDLE_VALUE:
// pass their answer through NullIfInvalid so that an empty owner means "none".
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleDeleter>;
using UniqueFind = UniqueHandle<HANDLE, FindDeleter>;
using UniqueMappedView = UniqueHandle<void*, MappedViewDeleter>;  // MapViewOfFile
using UniqueHook = UniqueHandle<HHOOK, HookDeleter>;              // SetWindowsHookEx
inline HANDLE NullIfInvalid(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }

// GetDC/GetWindowDC paired with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND wnd, bool wholeWindow = false)
        : wnd_(wnd), dc_(wholeWindow ? GetWindowDC(wnd) : GetDC(wnd)) {}
    ~WindowDC() { if (dc_ != nullptr) ReleaseDC(wnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// The screen's device context (GetDC(nullptr)).
class ScreenDC : public WindowDC {
public:
    ScreenDC() : WindowDC(nullptr) {}
};

// BeginPaint/EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND wnd) : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
    ~PaintScope() { EndPaint(wnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const PAINTSTRUCT& info() const { return ps_; }

private:
    HWND wnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// SaveDC/RestoreDC: the caller's device context comes back as it was.
class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : dc_(dc), id_(dc != nullptr ? SaveDC(dc) : 0) {}
    ~SavedDCState() { if (id_ != 0) RestoreDC(dc_, id_); }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC dc_;
    int id_;
};

// SelectObject and putting the previous object back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectedObject() { if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace forms
