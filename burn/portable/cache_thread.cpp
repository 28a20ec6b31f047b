#include "burn/portable/cache_thread.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "burn/portable/iso_records.h"
#include "burn/portable/joliet_names.h"
#include "burn/portable/thread_failure.h"

namespace burn {
namespace {

constexpr std::size_t kSpareBlocks = 8;

std::size_t RoundToSector(std::size_t n) { return (n + kSectorSize - 1) / kSectorSize * kSectorSize; }

}  // namespace

CachePriority PriorityForQueue(std::size_t queued, std::size_t maxBlocks) {
    if (queued + 1 >= maxBlocks) return CachePriority::Idle;
    if (queued < maxBlocks / 4) return CachePriority::Normal;
    if (queued < maxBlocks / 2) return CachePriority::Lower;
    return CachePriority::Lowest;
}

TCacheThread::TCacheThread(CacheJob job, FileSource& files, std::function<void(CachePriority)> setPriority)
    : job_(std::move(job)),
      files_(files),
      setPriority_(std::move(setPriority)),
      maxBlocks_(std::max<std::size_t>(job_.cacheSize / kBlockAllocation, 2)),
      remaining_(job_.imageBytes),
      staging_(std::make_unique<CacheBlock>()) {
    thread_ = std::thread([this] {
        try {
            Execute();
        } catch (...) {
            // The burn ends with the text; no exception leaves the thread.
            Fail(FailureText(kCacheThreadFailed));
        }
    });
}

TCacheThread::~TCacheThread() {
    Abort();
    if (thread_.joinable()) thread_.join();
}

void TCacheThread::Abort() {
    std::lock_guard guard(lock_);
    abortRequest_ = true;
    changed_.notify_all();
}

std::string TCacheThread::StatusText() const {
    std::lock_guard guard(lock_);
    return status_;
}

std::u16string TCacheThread::CurrentFile() const {
    std::lock_guard guard(lock_);
    return currentFile_;
}

std::size_t TCacheThread::QueuedBlocks() const {
    std::lock_guard guard(lock_);
    return queue_.size();
}

std::uint64_t TCacheThread::Remaining() const {
    std::lock_guard guard(lock_);
    return remaining_;
}

int TCacheThread::GetBlock(std::uint8_t* dest) {
    int length = 0;
    std::unique_ptr<CacheBlock> block = TakeBlock(length);
    if (length > 0) {
        std::memcpy(dest, block->data.data(), block->length);
        ReturnBlock(std::move(block));
    }
    return length;
}

std::unique_ptr<CacheBlock> TCacheThread::TakeBlock(int& length) {
    std::lock_guard guard(lock_);
    if (queue_.empty()) {
        length = (finished_ || abortRequest_) ? 0 : -1;
        return nullptr;
    }
    std::unique_ptr<CacheBlock> block = std::move(queue_.front());
    queue_.pop_front();
    remaining_ -= block->length;
    length = static_cast<int>(block->length);
    // A producer waiting on a full queue is woken once it has drained to half.
    if (producerWaiting_ && queue_.size() <= maxBlocks_ / 2) changed_.notify_all();
    return block;
}

void TCacheThread::ReturnBlock(std::unique_ptr<CacheBlock> block) {
    std::lock_guard guard(lock_);
    if (spare_.size() < kSpareBlocks) spare_.push_back(std::move(block));
}

void TCacheThread::WaitForBlock(std::chrono::milliseconds timeout) {
    std::unique_lock guard(lock_);
    consumerWaiting_ = true;
    changed_.wait_for(guard, timeout, [this] { return !queue_.empty() || finished_ || abortRequest_; });
    consumerWaiting_ = false;
}

void TCacheThread::SetPriority(CachePriority p) {
    if (p == priority_) return;
    priority_ = p;
    if (setPriority_) setPriority_(p);
}

void TCacheThread::Fail(const std::string& text) {
    std::lock_guard guard(lock_);
    try {
        if (status_.empty()) status_ = text;
    } catch (const std::bad_alloc&) {
        status_ = "OUT OF MEMORY";  // short enough to need no allocation
    }
    queue_.clear();
    // Not Filled: a burn's priming poll must never take a failed cache for a primed one.
    finished_ = true;
    changed_.notify_all();
}

// Hands the staging block to the queue, waiting while the queue holds MaxBlocks - 1 blocks.
bool TCacheThread::Append() {
    std::unique_lock guard(lock_);
    while (queue_.size() + 1 >= maxBlocks_ && !abortRequest_) {
        filled_ = true;
        guard.unlock();
        SetPriority(CachePriority::Idle);
        guard.lock();
        producerWaiting_ = true;
        changed_.wait(guard, [this] { return queue_.size() + 1 < maxBlocks_ || abortRequest_; });
        producerWaiting_ = false;
    }
    if (abortRequest_) return false;
    staging_->length = static_cast<std::uint32_t>(fill_);
    queue_.push_back(std::move(staging_));
    const std::size_t queued = queue_.size();
    if (consumerWaiting_) changed_.notify_all();
    if (!spare_.empty()) {
        staging_ = std::move(spare_.back());
        spare_.pop_back();
    }
    guard.unlock();
    SetPriority(PriorityForQueue(queued, maxBlocks_));
    if (!staging_) staging_ = std::make_unique<CacheBlock>();
    fill_ = 0;
    return true;
}

// Moves the fill past n bytes just placed, zeroing the rest of their last sector.
void TCacheThread::ZeroTail(std::size_t n) {
    const std::size_t rounded = RoundToSector(n);
    std::memset(staging_->data.data() + fill_ + n, 0, rounded - n);
    fill_ += rounded;
}

bool TCacheThread::Flush() { return fill_ == 0 || Append(); }

bool TCacheThread::Emit(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::size_t n = std::min(bytes.size(), kBlockBytes - fill_);
        std::memcpy(staging_->data.data() + fill_, bytes.data(), n);
        ZeroTail(n);
        bytes = bytes.subspan(n);
        if (fill_ == kBlockBytes && !Append()) return false;
    }
    return true;
}

bool TCacheThread::EmitZeros(std::uint64_t count) {
    while (count > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBlockBytes - fill_));
        std::memset(staging_->data.data() + fill_, 0, RoundToSector(n));
        fill_ += RoundToSector(n);
        count -= n;
        if (fill_ == kBlockBytes && !Append()) return false;
    }
    return true;
}

// Reads exactly the laid-out size: a file that grew is cut there, one that shrank is an error.
bool TCacheThread::ReadFile(const std::u16string& path, std::uint64_t size) {
    {
        std::lock_guard guard(lock_);
        currentFile_ = path;
    }
    std::unique_ptr<SourceFile> file = files_.Open(path);
    if (!file) {
        Fail("CAN'T OPEN FILE \"" + Utf8(path) + "\" OR FILE IS IN USES BY OTHER SOFTWARE");
        return false;
    }
    std::uint64_t left = size;
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlockBytes - fill_));
        std::size_t got = 0;
        while (got < n) {
            const std::int64_t r = file->Read(staging_->data.data() + fill_ + got, n - got);
            if (r <= 0) {
                Fail("CAN'T READ FILE \"" + Utf8(path) + "\"");
                return false;
            }
            got += static_cast<std::size_t>(r);
        }
        ZeroTail(n);
        left -= n;
        if (abortRequest_) return false;
        if (fill_ == kBlockBytes && !Append()) return false;
    }
    return true;
}

void TCacheThread::Execute() {
    SetPriority(CachePriority::Normal);
    bool ok = Emit(job_.metadata) && Flush();
    job_.metadata = {};
    if (ok && !job_.bootImage.empty()) ok = ReadFile(job_.bootImage, job_.bootImageSize) && Flush();
    if (ok) ok = EmitZeros(std::uint64_t{job_.paddingSectors} * kSectorSize) && Flush();
    for (std::size_t i = 0; ok && i < job_.files.size(); ++i) ok = ReadFile(job_.files[i].path, job_.files[i].size);
    if (ok) ok = Flush();
    if (ok && job_.writePostGap && job_.imageBytes < kPostGapBytes) {
        const std::uint64_t pad = kPostGapBytes - job_.imageBytes;
        {
            std::lock_guard guard(lock_);
            remaining_ += pad;
        }
        ok = EmitZeros(pad) && Flush();
    }
    if (!ok) {
        Fail(kAbortedText);  // keeps an error already set
        return;
    }
    std::lock_guard guard(lock_);
    filled_ = true;
    finished_ = true;
    changed_.notify_all();
}

}  // namespace burn
