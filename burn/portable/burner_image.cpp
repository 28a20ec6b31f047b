#include "burn/portable/burner_image.h"

#include <algorithm>
#include <chrono>

#include "burn/portable/iso_records.h"
#include "burn/portable/joliet_names.h"

namespace burn {
namespace {

constexpr std::uint32_t kNoAddress = 0xFF000000;
constexpr int kFirstDvdType = 5, kLastDvdType = 10;

}  // namespace

BurnerImage::BurnerImage(FileSource& files) : files_(files) {}

void BurnerImage::Log(const std::string& line, std::uint8_t level) const {
    if (tree.log) tree.log(line, level);
}

void BurnerImage::SetCacheSize(std::int64_t bytes) {
    cacheSize_ = bytes < static_cast<std::int64_t>(kMinimumCacheSize)
                     ? kMinimumCacheSize
                     : static_cast<std::size_t>(bytes) / kSectorSize * kSectorSize;
}

void BurnerImage::PrepareImage(const DeviceQueries& device, const LocalDateTime& now, int biasMinutes) {
    LayoutOptions options;
    options.joliet = JolietFileSystem;
    options.ids = ids;
    options.dateCreation = DateCreation;
    options.dateModification = DateModification;
    options.now = now;
    options.biasMinutes = biasMinutes;
    const bool dvd = device.deviceType >= kFirstDvdType && device.deviceType <= kLastDvdType;
    if (!dvd && device.nextWritableAddress) {
        const std::optional<std::uint32_t> next = device.nextWritableAddress();
        if (!next) Log(">>> ERROR GETTING NEXT WRITABLE ADDRESS", 0);
        else if (*next <= kNoAddress) options.sessionStart = *next;
    }
    if (sessionToImport_ != 0) {
        const int number = sessionToImport_ == 0xFFFF ? -1 : sessionToImport_;
        ImportSession(tree, number, nullptr, device.session, options.sessionStart);
    }
    if (Bootable && !BootImage.empty()) {
        if (std::unique_ptr<SourceFile> boot = files_.Open(BootImage)) {
            options.bootImageSize = boot->Size();
        } else {
            Log(">>> CAN'T OPEN BOOT IMAGE \"" + Utf8(BootImage) + "\", IMAGE MADE WITHOUT IT", 3);
        }
    }
    Bootable = options.bootImageSize.has_value();
    layout_ = LayoutImage(tree, options);
    metadata_ = WriteMetadata(tree, layout_, options);
}

std::uint32_t BurnerImage::ImageSectors() const {
    const std::uint32_t length = layout_.ImageLength();
    return WritePostGap ? std::max(length, kPostGapSectors) : length;
}

CacheJob BurnerImage::MakeCacheJob() {
    CacheJob job;
    job.cacheSize = cacheSize_;
    job.writePostGap = WritePostGap;
    job.metadata = std::move(metadata_);
    metadata_ = {};
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

std::string BurnerImage::BurnImageFile(ImageSink& sink) {
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
    if (OnWriteDone) OnWriteDone(result);
    return result;
}

}  // namespace burn
