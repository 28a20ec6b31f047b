#include "burn/portable/cd_burner.h"

#include <algorithm>
#include <chrono>

#include "burn/portable/iso_records.h"
#include "burn/portable/joliet_names.h"
#include "burn/portable/next_writable_address.h"
#include "burn/portable/session_toc.h"
#include "burn/portable/thread_failure.h"
#include "burn/portable/write_thread.h"

namespace burn {
namespace {

constexpr int kFirstDvdRecorderType = 5, kLastDvdRecorderType = 10;
constexpr auto kPrimingPollMs = 100;

}  // namespace

std::uint32_t SessionStartFrom(std::uint32_t nextWritable) {
    constexpr std::uint32_t kNoAddress = 0xFF000000;
    return nextWritable > kNoAddress ? 0 : nextWritable;
}

TCDBurner::TCDBurner(AspiLayer& layer, CommandClock& clock, FileSource& files)
    : TSCSIDevice(layer, clock), files_(files) {
    UnderrunProtection = true;
    tree.log = [this](const std::string& line, std::uint8_t level) { DebugMessage(line, level); };
}

TCDBurner::~TCDBurner() { WaitForWriter(); }

void TCDBurner::WaitForWriter() {
    if (writer_.joinable()) writer_.join();
}

void TCDBurner::SetCacheSize(std::int64_t bytes) {
    cacheSize_ = bytes < static_cast<std::int64_t>(kMinimumCacheSize)
                     ? kMinimumCacheSize
                     : static_cast<std::size_t>(bytes) / kSectorSize * kSectorSize;
}

std::u16string TCDBurner::CurrentFile() const {
    std::lock_guard guard(currentFileLock_);
    return currentFile_;
}

void TCDBurner::SetCurrentFile(std::u16string path) {
    std::lock_guard guard(currentFileLock_);
    currentFile_ = std::move(path);
}

void TCDBurner::ClearFiles() {
    tree.ClearFiles();
    metadata_ = {};
    layout_ = {};
}

DeviceQueries TCDBurner::SelectedDevice() {
    DeviceQueries device;
    if (HaId == kNoDevice) return device;
    device.deviceType = DeviceType();
    const auto type = static_cast<std::uint8_t>(device.deviceType);
    device.nextWritableAddress = [this, type] {
        return GetNextWritableAddress(*this, TestWrite, UnderrunProtection, type);
    };
    device.session = DeviceSessionDisc(*this);
    return device;
}

void TCDBurner::PrepareImage(const DeviceQueries& device, const LocalDateTime& now, int biasMinutes) {
    // The layout's drive commands are not worth a log line; the switch is on again afterwards,
    // however the layout ends.
    DoDebug = false;
    struct DebugBackOn {
        TCDBurner& burner;
        ~DebugBackOn() { burner.DoDebug = true; }
    } debugBackOn{*this};
    // The ready-waits below read it: the disc of the last burn may have been another kind.
    CurrentDiscType = static_cast<std::uint16_t>(device.deviceType);
    LayoutOptions options;
    options.joliet = JolietFileSystem;
    options.ids = {IdSystem,  IdVolume,      IdVolumeSet,   IdPublisher,      IdPreparer,
                   IdApplication, FileCopyright, FileAbstract, FileBibliographic};
    options.dateCreation = DateCreation;
    options.dateModification = DateModification;
    options.now = now;
    options.biasMinutes = biasMinutes;
    const bool dvd = device.deviceType >= kFirstDvdRecorderType && device.deviceType <= kLastDvdRecorderType;
    sessionStartRead_ = true;
    if (!dvd && device.nextWritableAddress) {
        const std::optional<std::uint32_t> next = device.nextWritableAddress();
        sessionStartRead_ = next.has_value();
        if (!next) DebugMessage(">>> ERROR GETTING NEXT WRITABLE ADDRESS", 0);
        else options.sessionStart = SessionStartFrom(*next);
    }
    if (sessionToImport_ != 0) {
        const int number = sessionToImport_ == 0xFFFF ? -1 : sessionToImport_;
        ImportSession(tree, number, nullptr, device.session, options.sessionStart);
    }
    if (Bootable && !BootImage.empty()) {
        if (std::unique_ptr<SourceFile> boot = files_.Open(BootImage)) {
            options.bootImageSize = boot->Size();
        } else {
            DebugMessage(">>> CAN'T OPEN BOOT IMAGE \"" + Utf8(BootImage) + "\", IMAGE MADE WITHOUT IT", 3);
        }
    }
    Bootable = options.bootImageSize.has_value();
    layout_ = LayoutImage(tree, options);
    metadata_ = WriteMetadata(tree, layout_, options);
}

std::uint32_t TCDBurner::ImageSectors() const {
    const std::uint32_t length = layout_.ImageLength();
    return WritePostGap ? std::max(length, kPostGapSectors) : length;
}

CacheJob TCDBurner::MakeCacheJob() {
    CacheJob job;
    job.cacheSize = cacheSize_;
    job.writePostGap = WritePostGap;
    // A copy: a second burn of the same layout must carry the file system too.
    job.metadata = metadata_;
    if (layout_.bootable) {
        job.bootImage = BootImage;
        job.bootImageSize = layout_.bootImageSize;
    }
    job.paddingSectors = layout_.PaddingSectors();
    for (const auto& e : tree.Files()) {
        if (!e->IsDirectory() && !e->imported && !e->sourcePath.empty() && e->isoSize > 0)
            job.files.push_back({e->sourcePath, e->isoSize});
    }
    job.imageBytes = std::uint64_t{layout_.ImageLength()} * kSectorSize;
    return job;
}

void TCDBurner::WriteDone(const std::string& error) {
    if (OnWriteDone) OnWriteDone(*this, error);
}

std::string TCDBurner::BurnImageFile(ImageSink& sink) {
    BytesWritten = 0;
    TCacheThread cache(MakeCacheJob(), files_, setCachePriority);
    std::string result;
    if (!sink.Create()) {
        cache.Abort();
        result = "CAN'T CREATE FILE \"" + Utf8(ISOFileName) + "\"";
    } else {
        for (;;) {
            int length = 0;
            std::unique_ptr<CacheBlock> block = cache.TakeBlock(length);
            if (length == 0) break;
            if (length < 0) {
                cache.WaitForBlock(std::chrono::milliseconds(10));
                continue;
            }
            BytesWritten += static_cast<std::uint64_t>(length);
            const bool written = sink.Write(block->data.data(), static_cast<std::size_t>(length));
            cache.ReturnBlock(std::move(block));
            if (!written) {
                cache.Abort();
                result = "CAN'T WRITE FILE \"" + Utf8(ISOFileName) + "\"";
                break;
            }
        }
        if (result.empty()) result = cache.StatusText();
        if (result.empty() && !sink.Commit()) result = "CAN'T CREATE FILE \"" + Utf8(ISOFileName) + "\"";
        if (!result.empty()) sink.Discard();
    }
    SetCurrentFile(cache.CurrentFile());
    WriteDone(result);
    SetCurrentFile({});
    return result;
}

bool TCDBurner::BurnCD() {
    WaitForWriter();
    std::unique_ptr<BlockSource> cache;
    try {
        CacheJob job = MakeCacheJob();
        cache = cacheFactory ? cacheFactory(std::move(job))
                             : std::make_unique<TCacheThread>(std::move(job), files_, setCachePriority);
    } catch (...) {
        // No thread to read the image (or no memory for its job): nothing reached the drive.
        WriteDone(FailureText(kCacheThreadNotStarted));
        return false;
    }
    for (;;) {
        clock_.Sleep(kPrimingPollMs);
        // The failure is looked at first: a cache that failed has also stopped filling. A cache
        // that fails sets Filled with it, so Filled is confirmed by a second look at the failure.
        std::string status = cache->StatusText();
        const bool filled = status.empty() && cache->Filled();
        if (filled) status = cache->StatusText();
        if (!status.empty()) {
            SetCurrentFile(cache->CurrentFile());
            cache.reset();  // joined and freed before anyone hears of the failure
            WriteDone(status);
            return false;
        }
        if (filled) {
            try {
                StartWriter(std::move(cache));
            } catch (...) {
                // The cache went with the thread that could not start: joined and freed.
                WriteDone(FailureText(kWriteThreadNotStarted));
                return false;
            }
            return true;
        }
    }
}

void TCDBurner::StartWriter(std::unique_ptr<BlockSource> cache) {
    WaitForWriter();
    std::function<void()> body = [this, cache = std::shared_ptr<BlockSource>(std::move(cache))]() mutable {
        try {
            if (setWriterPriority) setWriterPriority();
        } catch (...) {
            // Written at the priority it has: the burn goes on.
        }
        try {
            TThWrite(*this, std::move(cache)).Execute();
        } catch (...) {
            // Only OnWriteDone itself can raise here, once it has been called: nothing is left to tell.
        }
    };
    writer_ = threadStarter ? threadStarter(std::move(body)) : std::thread(std::move(body));
}

}  // namespace burn
