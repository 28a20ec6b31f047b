#include "forms/window_subclass.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace forms {

static_assert(sizeof(void*) == 8, "the window-procedure thunk is written for x64");

// The procedure the window sees: a few bytes of code that call HopProc with this record in
// place of the window handle. It outlives its owner when a later subclasser still calls it.
struct TWindowSubclass::Hop {
    std::uint8_t code[24];
    TWindowSubclass* owner;
    HWND wnd;
    WNDPROC previous;
    bool unicode;
};

namespace {

HANDLE ThunkHeap() {
    static HANDLE heap = HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0);
    return heap;
}

}  // namespace

WNDPROC TWindowSubclass::CurrentProc(HWND wnd) {
    return reinterpret_cast<WNDPROC>(IsWindowUnicode(wnd) ? GetWindowLongPtrW(wnd, GWLP_WNDPROC)
                                                          : GetWindowLongPtrA(wnd, GWLP_WNDPROC));
}

bool TWindowSubclass::Install(HWND wnd, Handler handler) {
    if (hop_ != nullptr || !IsWindow(wnd)) return false;
    void* memory = HeapAlloc(ThunkHeap(), HEAP_ZERO_MEMORY, sizeof(Hop));
    if (memory == nullptr) throw std::bad_alloc();
    Hop* hop = new (memory) Hop{};
    // mov rcx, hop; mov rax, HopProc; jmp rax
    std::uint8_t* c = hop->code;
    const std::uint64_t self = reinterpret_cast<std::uint64_t>(hop);
    const std::uint64_t target = reinterpret_cast<std::uint64_t>(&TWindowSubclass::HopProc);
    c[0] = 0x48; c[1] = 0xB9;
    std::memcpy(c + 2, &self, 8);
    c[10] = 0x48; c[11] = 0xB8;
    std::memcpy(c + 12, &target, 8);
    c[20] = 0xFF; c[21] = 0xE0;
    FlushInstructionCache(GetCurrentProcess(), hop->code, sizeof hop->code);

    wnd_ = wnd;
    unicode_ = IsWindowUnicode(wnd) != FALSE;
    handler_ = std::move(handler);
    hop->owner = this;
    hop->wnd = wnd;
    hop->unicode = unicode_;
    hop_ = hop;
    const LONG_PTR thunk = reinterpret_cast<LONG_PTR>(hop->code);
    hop->previous = reinterpret_cast<WNDPROC>(unicode_ ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, thunk)
                                                       : SetWindowLongPtrA(wnd, GWLP_WNDPROC, thunk));
    return true;
}

void TWindowSubclass::Restore() {
    Hop* hop = hop_;
    if (hop == nullptr) return;
    hop_ = nullptr;
    hop->owner = nullptr;
    handler_ = nullptr;
    if (!IsWindow(wnd_)) {
        HeapFree(ThunkHeap(), 0, hop);  // nothing can call it any more
    } else if (CurrentProc(wnd_) == reinterpret_cast<WNDPROC>(hop->code)) {
        const LONG_PTR previous = reinterpret_cast<LONG_PTR>(hop->previous);
        if (unicode_) SetWindowLongPtrW(wnd_, GWLP_WNDPROC, previous);
        else SetWindowLongPtrA(wnd_, GWLP_WNDPROC, previous);
        HeapFree(ThunkHeap(), 0, hop);
    }
    // Otherwise a later subclasser calls the thunk: it stays and passes messages on until the
    // window's last message.
    wnd_ = nullptr;
}

LRESULT TWindowSubclass::CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) const {
    if (hop_ == nullptr) return 0;
    return unicode_ ? CallWindowProcW(hop_->previous, wnd_, msg, wParam, lParam)
                    : CallWindowProcA(hop_->previous, wnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TWindowSubclass::HopProc(Hop* hop, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (TWindowSubclass* owner = hop->owner) {
        // The handler may delete the owner (and free this record): it runs from a copy, and
        // neither is touched afterwards.
        const Handler handler = owner->handler_;
        return handler(msg, wParam, lParam);
    }
    const WNDPROC previous = hop->previous;
    const HWND wnd = hop->wnd;
    const bool unicode = hop->unicode;
    const LRESULT result = unicode ? CallWindowProcW(previous, wnd, msg, wParam, lParam)
                                   : CallWindowProcA(previous, wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) HeapFree(ThunkHeap(), 0, hop);
    return result;
}

}  // namespace forms
