// In-memory folders and files for the mastering tests: chosen alternate names, sizes that
// change after listing, files that cannot be opened or read, readers that dawdle.
#pragma once

#include <chrono>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/cd_burner.h"
#include "burn/portable/file_source.h"
#include "burn/portable/file_tree.h"
#include "burn/tests/portable/virtual_clock.h"

namespace burn::testing {

inline std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
}

struct MemoryFile {
    std::vector<std::uint8_t> bytes;
    std::uint64_t listedSize = ~0ull;  // what the listing says, when it differs from the bytes
    bool openFails = false;
    bool readFails = false;
    bool readRaises = false;  // a read raises, as a file system layer that throws does
};

class MemoryDisk final : public FolderLister, public FileSource {
public:
    // Folder paths end in "\" and start with "C:\".
    void AddFolder(const std::u16string& path, std::string alternate = {}, std::uint32_t attr = kAttrDirectory) {
        const auto [parent, name] = Split(path);
        listing_[parent].push_back({name, std::move(alternate), 0, attr, {2020, 5, 6, 7, 8, 9}});
        std::u16string own = path;
        if (own.back() == u'\\') own.pop_back();
        listing_[own + u"\\"];
    }
    MemoryFile& AddFile(const std::u16string& path, std::vector<std::uint8_t> bytes, std::string alternate = {},
                        std::uint32_t attr = kAttrArchive, LocalDateTime date = {2021, 1, 15, 12, 30, 45}) {
        const auto [parent, name] = Split(path);
        listing_[parent].push_back({name, std::move(alternate), bytes.size(), attr, date});
        MemoryFile& f = files_[path];
        f.bytes = std::move(bytes);
        return f;
    }
    // The file is gone from its folder, as after a delete.
    void RemoveFile(const std::u16string& path) {
        const auto [parent, name] = Split(path);
        auto& records = listing_[parent];
        std::erase_if(records, [&](const ListingRecord& r) { return r.name == name; });
        files_.erase(path);
    }
    void SetListedSize(const std::u16string& path, std::uint64_t size) {
        const auto [parent, name] = Split(path);
        for (auto& r : listing_[parent]) if (r.name == name) r.size = size;
    }

    std::vector<ListingRecord> List(const std::u16string& folder, const std::u16string&) override {
        std::vector<ListingRecord> out{{u".", "", 0, kAttrDirectory, {}}, {u"..", "", 0, kAttrDirectory, {}}};
        auto it = listing_.find(folder);
        if (it != listing_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
        return out;
    }

    std::unique_ptr<SourceFile> Open(const std::u16string& path) override {
        auto it = files_.find(path);
        if (it == files_.end() || it->second.openFails) return nullptr;
        return std::make_unique<Reader>(it->second, maxDelayMicroseconds, seed++);
    }

    int maxDelayMicroseconds = 0;
    unsigned seed = 1;

private:
    class Reader final : public SourceFile {
    public:
        Reader(const MemoryFile& f, int maxDelay, unsigned seed) : f_(f), maxDelay_(maxDelay), random_(seed) {}
        std::int64_t Read(std::uint8_t* dest, std::size_t count) override {
            if (maxDelay_ > 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(random_() % maxDelay_));
            }
            if (f_.readFails) return -1;
            if (f_.readRaises) throw std::runtime_error("disk gone");
            // Short reads on purpose: the cache must keep asking.
            const std::size_t n = std::min({count, f_.bytes.size() - at_, std::size_t{40000}});
            std::copy_n(f_.bytes.begin() + static_cast<std::ptrdiff_t>(at_), n, dest);
            at_ += n;
            return static_cast<std::int64_t>(n);
        }
        std::uint64_t Size() override { return f_.bytes.size(); }

    private:
        const MemoryFile& f_;
        std::size_t at_ = 0;
        int maxDelay_;
        std::minstd_rand random_;
    };

    static std::pair<std::u16string, std::u16string> Split(std::u16string path) {
        if (path.back() == u'\\') path.pop_back();
        const std::size_t slash = path.rfind(u'\\');
        return {path.substr(0, slash + 1), path.substr(slash + 1)};
    }

    std::map<std::u16string, std::vector<ListingRecord>> listing_;
    std::map<std::u16string, MemoryFile> files_;
};

class MemorySink final : public ImageSink {
public:
    bool Create() override { return !createFails; }
    bool Write(const std::uint8_t* data, std::size_t count) override {
        if (maxDelayMicroseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(random() % maxDelayMicroseconds));
        blockSizes.push_back(count);
        if (failAfterBlocks >= 0 && static_cast<int>(blockSizes.size()) > failAfterBlocks) return false;
        bytes.insert(bytes.end(), data, data + count);
        return true;
    }
    bool Commit() override { return committed = true; }
    void Discard() override { discarded = true; }

    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> blockSizes;
    bool createFails = false, committed = false, discarded = false;
    int failAfterBlocks = -1;
    int maxDelayMicroseconds = 0;
    std::minstd_rand random{7};
};

// A tree inserted from C:\src\ the way the burn window does it.
// No device layer is loaded, so no recorder command can be sent.
struct Master {
    MemoryDisk disk;
    AspiLayer layer;
    testing_support::VirtualClock clock;
    TCDBurner burner{layer, clock, disk};
    std::vector<std::pair<std::string, int>> log;

    Master() {
        burner.tree.lister = &disk;
        burner.OnDebugMessage = [this](TSCSIDevice&, const std::string& line, std::uint8_t level) {
            log.emplace_back(line, level);
        };
    }
    bool Insert() {
        return burner.tree.InsertDir(burner.tree.Root(), u"C:\\src", false, false, true, 63, u"*.*");
    }
    void Prepare(std::uint32_t sessionStart = 0, int bias = 0) {
        DeviceQueries device;
        if (sessionStart) device.nextWritableAddress = [sessionStart] { return std::optional(sessionStart); };
        burner.PrepareImage(device, {2026, 3, 4, 5, 6, 7}, bias);
    }
};

}  // namespace burn::testing
