#include "fuzz/allocation_meter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace fuzz {

namespace {

// Each block starts with its size, in a header that keeps the caller's part aligned.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::atomic<std::size_t> held{0};
std::atomic<std::size_t> peak{0};

void* Take(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::size_t now = held.fetch_add(size) + size;
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {}
    return block + kHeader;
}

void Give(void* p) noexcept {
    if (p == nullptr) return;
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    held.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

void* TakeOrThrow(std::size_t size) {
    void* p = Take(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

std::size_t ResetAllocationPeak() {
    const std::size_t now = held.load();
    peak.store(now);
    return now;
}
std::size_t AllocationPeak() { return peak.load(); }

}  // namespace fuzz

void* operator new(std::size_t size) { return fuzz::TakeOrThrow(size); }
void* operator new[](std::size_t size) { return fuzz::TakeOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return fuzz::Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return fuzz::Take(size); }
void operator delete(void* p) noexcept { fuzz::Give(p); }
void operator delete[](void* p) noexcept { fuzz::Give(p); }
void operator delete(void* p, std::size_t) noexcept { fuzz::Give(p); }
void operator delete[](void* p, std::size_t) noexcept { fuzz::Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { fuzz::Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { fuzz::Give(p); }
