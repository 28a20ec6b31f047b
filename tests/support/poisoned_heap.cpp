// A heap for finding reads of freed objects where no sanitizer runs (under Wine): linked into
// a test program, it replaces the global operator new and delete. A freed block is filled with
// kPoison and never handed out again, so a pointer kept to it reads the poison, not a new
// object that happens to sit in the same place. Memory is never given back: for short tests only.
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kPoison = 0xFE;
// The block's size is kept in front of it; the header keeps the block 16-byte aligned.
constexpr std::size_t kHeader = 16;

void* Allocate(std::size_t size) noexcept {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) return nullptr;
    std::memcpy(block, &size, sizeof size);
    return block + kHeader;
}

void Poison(void* p) noexcept {
    if (p == nullptr) return;
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    std::memset(p, kPoison, size);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Poison(p); }
void operator delete[](void* p) noexcept { Poison(p); }
void operator delete(void* p, std::size_t) noexcept { Poison(p); }
void operator delete[](void* p, std::size_t) noexcept { Poison(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Poison(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Poison(p); }
