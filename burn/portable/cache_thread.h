// The cache thread reads the whole image ahead of the writer into a bounded queue of blocks:
// the metadata, the boot image, the padding, every file's laid-out bytes, the post-gap.
#pragma once

#include <array>
#include <chrono>
#include <span>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/file_source.h"

namespace burn {

constexpr std::size_t kBlockBytes = 63488;  // 31 sectors: one WRITE(10)
constexpr std::uint64_t kPostGapBytes = 614400;
constexpr std::size_t kBlockAllocation = 65536;

struct CacheBlock {
    std::array<std::uint8_t, kBlockBytes> data;
    std::uint32_t length = 0;
};

enum class CachePriority { Normal, Lower, Lowest, Idle };

// The producer lowers itself as the queue fills so that the writer is never starved.
CachePriority PriorityForQueue(std::size_t queued, std::size_t maxBlocks);

struct CacheFile {
    std::u16string path;
    std::uint64_t size = 0;  // the laid-out size: exactly this many bytes are read
};

struct CacheJob {
    std::size_t cacheSize = 4194304;
    bool writePostGap = true;
    std::vector<std::uint8_t> metadata;
    std::u16string bootImage;       // empty: none
    std::uint64_t bootImageSize = 0;
    std::uint32_t paddingSectors = 0;
    std::vector<CacheFile> files;   // file-table order, only files with data
    std::uint64_t imageBytes = 0;   // image length x 2048
};

// What the burn's priming poll and its writer see of the cache.
class BlockSource {
public:
    virtual ~BlockSource() = default;
    // Copies the oldest block into dest: its length, 0 at the end of the image or after an
    // abort, -1 when none is ready yet.
    virtual int GetBlock(std::uint8_t* dest) = 0;
    // Waits at most the given time for a block or the end.
    virtual void WaitForBlock(std::chrono::milliseconds timeout) = 0;
    virtual void Abort() = 0;
    // The queue was found full, or reading has ended.
    virtual bool Filled() const = 0;
    virtual std::string StatusText() const = 0;
    virtual std::u16string CurrentFile() const = 0;
};

class TCacheThread final : public BlockSource {
public:
    TCacheThread(CacheJob job, FileSource& files, std::function<void(CachePriority)> setPriority = {});
    ~TCacheThread() override;
    TCacheThread(const TCacheThread&) = delete;
    TCacheThread& operator=(const TCacheThread&) = delete;

    int GetBlock(std::uint8_t* dest) override;
    // The same without the copy: the oldest block itself, to be handed back with ReturnBlock.
    // length is as GetBlock's; the block is empty unless length > 0.
    std::unique_ptr<CacheBlock> TakeBlock(int& length);
    void ReturnBlock(std::unique_ptr<CacheBlock> block);
    void WaitForBlock(std::chrono::milliseconds timeout) override;
    void Abort() override;

    bool Filled() const override { return filled_; }
    bool Finished() const { return finished_; }
    std::string StatusText() const override;
    std::u16string CurrentFile() const override;
    std::size_t MaxBlocks() const { return maxBlocks_; }
    std::size_t QueuedBlocks() const;
    std::uint64_t Remaining() const;

private:
    void Execute();
    bool Emit(std::span<const std::uint8_t> bytes);
    bool EmitZeros(std::uint64_t count);
    bool ReadFile(const std::u16string& path, std::uint64_t size);
    bool Flush();
    void ZeroTail(std::size_t n);
    bool Append();
    void Fail(const std::string& text);
    void SetPriority(CachePriority p);

    CacheJob job_;
    FileSource& files_;
    std::function<void(CachePriority)> setPriority_;
    std::size_t maxBlocks_;

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<CacheBlock>> queue_;
    std::vector<std::unique_ptr<CacheBlock>> spare_;  // blocks the writer is done with, used again
    // Each side wakes the other only when it waits: under Wine every wake is a server call.
    bool producerWaiting_ = false, consumerWaiting_ = false;
    std::uint64_t remaining_ = 0;
    std::string status_;
    std::u16string currentFile_;
    std::atomic<bool> abortRequest_{false};  // also read between reads without the lock
    std::atomic<bool> filled_{false}, finished_{false};

    std::unique_ptr<CacheBlock> staging_;
    std::size_t fill_ = 0;
    CachePriority priority_ = CachePriority::Lower;
    std::thread thread_;
};

constexpr char kAbortedText[] = "OPERATION ABORTED BY USER";

}  // namespace burn
