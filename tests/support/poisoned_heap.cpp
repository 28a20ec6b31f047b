// A heap for the tests that hunt a freed block used again. Every block freed is filled with a
// poison byte and never handed out again, so a later use finds garbage (a call through it
// faults) instead of the live-looking data a heap that reuses blocks at once leaves behind.
// A fault ends the program at once, even where the system would swallow it (a timer's
// callback): the run fails. Linked only into test programs that run a few such cases:
// nothing freed goes back.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kPoison = 0xDD;
// Before each block: its size, in a header that keeps the block 16-byte aligned.
constexpr std::size_t kHeader = 16;

void* Allocate(std::size_t size, std::size_t alignment = kHeader) {
    if (alignment < kHeader) alignment = kHeader;
    auto* raw = static_cast<unsigned char*>(std::malloc(size + alignment + kHeader));
    if (raw == nullptr) throw std::bad_alloc();
    const auto address = reinterpret_cast<std::uintptr_t>(raw + kHeader);
    auto* block = reinterpret_cast<unsigned char*>((address + alignment - 1) / alignment * alignment);
    std::memcpy(block - kHeader, &size, sizeof size);
    return block;
}

void Release(void* p) noexcept {
    if (p == nullptr) return;
    auto* block = static_cast<unsigned char*>(p);
    std::size_t size = 0;
    std::memcpy(&size, block - kHeader, sizeof size);
    std::memset(block, kPoison, size);
}

LONG CALLBACK EndOnFault(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) return EXCEPTION_CONTINUE_SEARCH;
    std::fprintf(stderr, "access violation at %p: a freed block used again?\n", info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

const bool watching = AddVectoredExceptionHandler(1, &EndOnFault) != nullptr;

void* AllocateNoThrow(std::size_t size, std::size_t alignment = kHeader) noexcept {
    try {
        return Allocate(size, alignment);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return AllocateNoThrow(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return AllocateNoThrow(n); }
void* operator new(std::size_t n, std::align_val_t a) { return Allocate(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return Allocate(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
