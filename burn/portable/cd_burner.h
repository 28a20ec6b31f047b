// TCDBurner: the recorder of TSCSIDevice that turns a file tree into a disc. It holds the tree,
// the properties that shape the image, PrepareImage, and the two ways an image leaves it: the
// burn onto the selected recorder and the image-file mode that writes the same blocks to a file.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/cache_thread.h"
#include "burn/portable/file_source.h"
#include "burn/portable/file_tree.h"
#include "burn/portable/iso_layout.h"
#include "burn/portable/scsi_device.h"
#include "burn/portable/session_import.h"

namespace burn {

// What the selected device answers; with no device selected nothing is asked and S is 0.
struct DeviceQueries {
    int deviceType = 0;
    std::function<std::optional<std::uint32_t>()> nextWritableAddress;
    SessionDisc session;  // the earlier sessions, for an import
};

// The session start a next writable address gives; above 0xFF000000 a drive means none: 0.
std::uint32_t SessionStartFrom(std::uint32_t nextWritable);

// Where the image-file mode puts its bytes.
class ImageSink {
public:
    virtual ~ImageSink() = default;
    virtual bool Create() = 0;
    virtual bool Write(const std::uint8_t* data, std::size_t count) = 0;
    virtual bool Commit() = 0;   // the whole image is written: make it the target file
    virtual void Discard() = 0;  // a failed image leaves no target file behind
};

class TCDBurner;
using TWriteDoneEvent = std::function<void(TCDBurner& sender, const std::string& error)>;
using TEraseDoneEvent = std::function<void(TCDBurner& sender, bool withError)>;
using TNotifyEvent = std::function<void(TCDBurner& sender)>;

inline constexpr char kBurnerVersion[] = "1.1.7";
constexpr std::size_t kMinimumCacheSize = 2097152;

class TCDBurner : public TSCSIDevice {
public:
    // files: how the cache reads the sources. The tree logs through DebugMessage.
    TCDBurner(AspiLayer& layer, CommandClock& clock, FileSource& files);
    ~TCDBurner() override;
    TCDBurner(const TCDBurner&) = delete;
    TCDBurner& operator=(const TCDBurner&) = delete;

    // The file tree with its own published part: ReplaceFile, OnAddFile, OnAddDir.
    FileTree tree;

    // Published burn properties (the device ones are TSCSIDevice's; UnderrunProtection starts True).
    bool FinalizeTrack = true;
    bool PerformOPC = false;
    bool JolietFileSystem = true;
    bool WritePostGap = true;
    std::u16string ISOFileName;
    std::string IdVolume, IdSystem, IdVolumeSet, IdPublisher, IdPreparer, IdApplication;
    std::string FileCopyright, FileAbstract, FileBibliographic;
    LocalDateTime DateCreation, DateModification, DateEffective, DateExpiration;
    TWriteDoneEvent OnWriteDone;
    TNotifyEvent OnFinalizingTrack;
    TEraseDoneEvent OnEraseDone;  // no erase is offered; kept for the published set

    bool Erasing() const { return false; }
    static std::string Version() { return kBurnerVersion; }
    std::size_t CacheSize() const { return cacheSize_; }
    void SetCacheSize(std::int64_t bytes);

    // Unpublished state.
    bool Bootable = false;
    std::u16string BootImage;
    // The earlier session PrepareImage repeats in the new image: 0 none, 0xFFFF (or any number
    // above the disc's count) the last one.
    std::uint16_t SessionToImport() const { return sessionToImport_; }
    void SetSessionToImport(std::uint16_t number) { sessionToImport_ = number; }
    std::atomic<std::uint64_t> BytesWritten{0};  // written by the writer, read by the window's timer
    std::u16string CurrentFile() const;
    // Sets the calling (cache) thread's priority for the queue level; the program wires it.
    std::function<void(CachePriority)> setCachePriority;

    // Frees the tree and the metadata, and starts again with the root alone.
    void ClearFiles();

    // The selected device as PrepareImage asks it; nothing is asked with none selected.
    DeviceQueries SelectedDevice();
    // now and biasMinutes: the local time and the time zone's standard bias, read by the caller.
    // Stores the device's type in CurrentDiscType; DoDebug is off while it runs, on afterwards.
    void PrepareImage(const DeviceQueries& device, const LocalDateTime& now, int biasMinutes);
    std::uint32_t ImageSectors() const;
    const ImageLayout& Layout() const { return layout_; }
    const std::vector<std::uint8_t>& MetadataStream() const { return metadata_; }

    // The image-file mode: the cache thread and the writer on the calling thread; OnWriteDone
    // is called once with the result, which is also returned. No recorder command is sent.
    std::string BurnImageFile(ImageSink& sink);

    // Burns the laid-out image onto the selected recorder: starts the cache, polls it every
    // 100 ms, and starts the writer once it is primed (True). When the cache fails first,
    // OnWriteDone runs here, on the caller's thread, and the result is False.
    bool BurnCD();
    // Runs TThWrite on a thread of its own at time-critical priority. Raises when no thread can
    // be made (the cache is freed then); BurnCD reports that through OnWriteDone.
    void StartWriter(std::unique_ptr<BlockSource> cache);
    // Waits until the writer of the last burn has ended (it has called OnWriteDone then).
    void WaitForWriter();
    // Asks the writer to stop; the burn then ends with "OPERATION ABORTED BY USER".
    void RequestCancel() { cancelRequest_ = true; }

    // Wired by the program: the pass-through layer's handle policy while writing, its reload
    // after a burn, the writer thread's priority and the local time sent to a DVD.
    std::function<void(bool)> SetCloseAfterCommand;
    std::function<bool()> ReloadLayer;
    std::function<void()> setWriterPriority;
    std::function<TimeStamp()> LocalTime;
    // Makes the writer's thread; a plain thread unless a test makes it fail as a system out of
    // threads does.
    std::function<std::thread(std::function<void()> body)> threadStarter;
    // Makes the burn's cache; the cache thread over the burner's files unless a test scripts it.
    std::function<std::unique_ptr<BlockSource>(CacheJob job)> cacheFactory;

private:
    friend class TThWrite;

    CacheJob MakeCacheJob();
    void SetCurrentFile(std::u16string path);
    void WriteDone(const std::string& error);

    FileSource& files_;
    std::size_t cacheSize_ = 4194304;
    std::uint16_t sessionToImport_ = 0;
    ImageLayout layout_;
    std::vector<std::uint8_t> metadata_;
    // False when the layout asked the recorder for the session start and got no answer.
    bool sessionStartRead_ = true;
    mutable std::mutex currentFileLock_;
    std::u16string currentFile_;
    std::atomic<bool> cancelRequest_{false};
    std::thread writer_;
};

}  // namespace burn
