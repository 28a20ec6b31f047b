// The mastering half of the burner: its file tree, the properties that shape the image,
// PrepareImage, and the image-file mode that writes the cache's blocks into a file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "burn/portable/cache_thread.h"
#include "burn/portable/file_source.h"
#include "burn/portable/file_tree.h"
#include "burn/portable/iso_layout.h"
#include "burn/portable/session_import.h"

namespace burn {

// What the selected device answers; with no device selected nothing is asked and S is 0.
struct DeviceQueries {
    int deviceType = 0;
    std::function<std::optional<std::uint32_t>()> nextWritableAddress;
    SessionDisc session;  // the earlier sessions, for an import
};

// Where the image-file mode puts its bytes.
class ImageSink {
public:
    virtual ~ImageSink() = default;
    virtual bool Create() = 0;
    virtual bool Write(const std::uint8_t* data, std::size_t count) = 0;
    virtual bool Commit() = 0;   // the whole image is written: make it the target file
    virtual void Discard() = 0;  // a failed image leaves no target file behind
};

using WriteDoneEvent = std::function<void(const std::string& error)>;

class BurnerImage {
public:
    explicit BurnerImage(FileSource& files);

    FileTree tree;
    bool JolietFileSystem = true;
    bool WritePostGap = true;
    bool Bootable = false;
    std::u16string BootImage;
    std::u16string ISOFileName;
    VolumeIdentifiers ids;
    LocalDateTime DateCreation, DateModification;
    WriteDoneEvent OnWriteDone;
    std::function<void(CachePriority)> setCachePriority;

    std::size_t CacheSize() const { return cacheSize_; }
    // The earlier session PrepareImage repeats in the new image: 0 none, 0xFFFF (or any number
    // above the disc's count) the last one.
    std::uint16_t SessionToImport() const { return sessionToImport_; }
    void SetSessionToImport(std::uint16_t number) { sessionToImport_ = number; }
    void SetCacheSize(std::int64_t bytes);

    // now and biasMinutes: the local time and the time zone's standard bias, read by the caller.
    void PrepareImage(const DeviceQueries& device, const LocalDateTime& now, int biasMinutes);
    std::uint32_t ImageSectors() const;
    const ImageLayout& Layout() const { return layout_; }
    const std::vector<std::uint8_t>& MetadataStream() const { return metadata_; }

    // The image-file mode: the cache thread and the writer on the calling thread; OnWriteDone
    // is called once with the result, which is also returned.
    std::string BurnImageFile(ImageSink& sink);

private:
    void Log(const std::string& line, std::uint8_t level) const;
    CacheJob MakeCacheJob();

    FileSource& files_;
    std::size_t cacheSize_ = 4194304;
    std::uint16_t sessionToImport_ = 0;
    ImageLayout layout_;
    std::vector<std::uint8_t> metadata_;
};

constexpr std::size_t kMinimumCacheSize = 2097152;

}  // namespace burn
