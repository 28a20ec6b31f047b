// image_copy_floor LIST_FILE OUTPUT: the copy floor of the image benchmark. Reads every file named
// in LIST_FILE (UTF-8 Windows paths, one a line) in 63488-byte blocks and writes them one after
// another into OUTPUT, with the same calls the image-file mode makes and its two threads: one
// reads into a bounded queue of blocks at the cache's priorities, the other writes them and
// flushes the output at the end.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/cache_thread.h"
#include "burn/win_sources.h"
#include "forms/gdi_handle.h"

namespace {

constexpr std::size_t kBlockBytes = 63488;
constexpr std::size_t kMaxBlocks = 64;  // the image-file mode's with its default cache size
constexpr std::size_t kQueuedBlocks = kMaxBlocks - 1;

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                                   static_cast<int>(out.size())));
    return out;
}

struct Block {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kBlockBytes);
    DWORD length = 0;
};

// The image-file mode's queue discipline: blocks are used again, and each side wakes the other
// only when that one waits (under Wine every wake is a server call).
class Queue {
public:
    std::unique_ptr<Block> Spare() {
        std::lock_guard guard(lock_);
        if (spare_.empty()) return std::make_unique<Block>();
        std::unique_ptr<Block> block = std::move(spare_.back());
        spare_.pop_back();
        return block;
    }
    void Push(std::unique_ptr<Block> block) {
        std::unique_lock guard(lock_);
        while (blocks_.size() >= kQueuedBlocks) {
            SetPriority(burn::CachePriority::Idle);
            readerWaiting_ = true;
            changed_.wait(guard);
            readerWaiting_ = false;
        }
        blocks_.push_back(std::move(block));
        if (writerWaiting_) changed_.notify_all();
        SetPriority(burn::PriorityForQueue(blocks_.size(), kMaxBlocks));
    }
    // Nothing once the reader has ended and the queue is empty.
    std::unique_ptr<Block> Pop() {
        std::unique_lock guard(lock_);
        while (blocks_.empty() && !ended_) {
            writerWaiting_ = true;
            changed_.wait(guard);
            writerWaiting_ = false;
        }
        if (blocks_.empty()) return nullptr;
        std::unique_ptr<Block> block = std::move(blocks_.front());
        blocks_.pop_front();
        if (readerWaiting_ && blocks_.size() <= kQueuedBlocks / 2) changed_.notify_all();
        return block;
    }
    void Return(std::unique_ptr<Block> block) {
        std::lock_guard guard(lock_);
        spare_.push_back(std::move(block));
    }
    void End(bool ok) {
        std::lock_guard guard(lock_);
        ended_ = true;
        ok_ = ok;
        changed_.notify_all();
    }
    bool ReadOk() {
        std::lock_guard guard(lock_);
        return ok_;
    }

private:
    void SetPriority(burn::CachePriority p) {
        if (p == priority_) return;
        priority_ = p;
        burn::SetCachePriority(p);
    }

    burn::CachePriority priority_ = burn::CachePriority::Lower;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Block>> blocks_;
    std::vector<std::unique_ptr<Block>> spare_;
    bool readerWaiting_ = false, writerWaiting_ = false;
    bool ended_ = false, ok_ = true;
};

// Reads each file's own size, as the image-file mode reads the size its listing gave.
bool ReadAll(const std::wstring& listFile, Queue& queue) {
    std::ifstream list(listFile.c_str());
    std::string line;
    while (std::getline(list, line)) {
        forms::UniqueKernelHandle in(forms::NullIfInvalid(CreateFileW(Wide(line).c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        LARGE_INTEGER size{};
        if (!in || !GetFileSizeEx(in.get(), &size)) return false;
        for (std::uint64_t left = static_cast<std::uint64_t>(size.QuadPart); left > 0;) {
            std::unique_ptr<Block> block = queue.Spare();
            const auto want = static_cast<DWORD>(std::min<std::uint64_t>(left, kBlockBytes));
            if (!ReadFile(in.get(), block->bytes.data(), want, &block->length, nullptr) || block->length != want)
                return false;
            left -= want;
            queue.Push(std::move(block));
        }
    }
    return true;
}

}  // namespace

int main() {
    const auto start = std::chrono::steady_clock::now();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) return 2;
    forms::UniqueKernelHandle out(forms::NullIfInvalid(
        CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!out) return 1;
    Queue queue;
    const std::wstring listFile = argv[1];
    std::thread reader([&] {
        burn::SetCachePriority(burn::CachePriority::Normal);
        queue.End(ReadAll(listFile, queue));
    });
    bool written = true;
    while (std::unique_ptr<Block> block = queue.Pop()) {
        DWORD n = 0;
        written = written && WriteFile(out.get(), block->bytes.data(), block->length, &n, nullptr) && n == block->length;
        queue.Return(std::move(block));
    }
    reader.join();
    const bool ok = written && queue.ReadOk() && FlushFileBuffers(out.get());
    out.reset();
    // The time without Wine's start of the process, as burn_mkimage reports it.
    std::fprintf(stderr, "elapsed %.6f\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return ok ? 0 : 1;
}
