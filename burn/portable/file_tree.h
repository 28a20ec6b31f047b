// The burner's file tree: the directories and files that become the disc's hierarchy, with
// their ISO (8.3) and Joliet (long) names, built from folder listings.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace burn {

// A local wall-clock time as the listing gives it; 30 December 1899 is the zero date.
struct LocalDateTime {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;

constexpr std::size_t kMaxDirectories = 8191;
constexpr std::size_t kMaxFiles = 65535;

// One entry of a folder listing.
struct ListingRecord {
    std::u16string name;
    std::string alternate;  // 8.3 name; empty when the name is already one
    std::uint64_t size = 0;
    std::uint32_t attributes = 0;
    LocalDateTime lastWrite;
};

// Lists a folder (path ending in "\") by a mask; "." and ".." may be among the records.
class FolderLister {
public:
    virtual ~FolderLister() = default;
    virtual std::vector<ListingRecord> List(const std::u16string& folder, const std::u16string& mask) = 0;
};

struct TDEntry;

struct TFEntry {
    std::string isoName;
    std::u16string jolietName;
    std::u16string sourcePath;
    bool imported = false;
    LocalDateTime date;
    std::uint64_t isoSize = 0, jolietSize = 0;
    std::uint32_t isoExtent = 0, jolietExtent = 0;
    std::uint32_t attributes = 0;
    bool archiveOnly = false;
    TDEntry* directory = nullptr;
    TFEntry* next = nullptr;

    bool IsDirectory() const { return directory != nullptr; }
};

struct TDEntry {
    std::string isoName;
    std::u16string jolietName;
    std::uint64_t isoSize = 0, jolietSize = 0;
    std::u16string path;
    std::uint32_t isoStart = 0, jolietStart = 0;
    std::uint32_t isoPathTableNumber = 0, jolietPathTableNumber = 0;
    TDEntry* parent = nullptr;
    TFEntry* firstChild = nullptr;
    TFEntry* lastChild = nullptr;
    TFEntry* node = nullptr;  // the entry that stands for this directory in its parent
    std::vector<TFEntry*> isoOrder, jolietOrder;  // children in each tree's record order (layout)

    // Lookups kept beside the list so that large folders stay linear to build.
    std::unordered_map<std::u16string, TFEntry*> byUpperJoliet;
    std::unordered_set<std::string> isoNames;
};

using LogSink = std::function<void(const std::string& line, std::uint8_t level)>;
using AddFileEvent = std::function<void(const std::u16string& fullPath, std::u16string& longName,
                                        std::string& shortName, LocalDateTime& date, std::uint32_t attr,
                                        std::uint64_t size, bool& skip)>;
using AddDirEvent = std::function<void(std::u16string& longName, std::string& shortName, bool& skip)>;

class FileTree {
public:
    FileTree();

    void ClearFiles();
    bool InsertDir(TDEntry* dest, std::u16string sourcePath, bool archiveOnly, bool keepSourcePath, bool recursive,
                   std::uint32_t attributes, std::u16string mask);
    bool AddFile(TDEntry* dir, const ListingRecord& rec, bool archiveOnly, std::uint32_t importedExtent,
                 const std::u16string& fullPath);
    TDEntry* AddDir(TDEntry* parent, const ListingRecord& rec);
    TDEntry* MakeDir(TDEntry* parent, std::u16string name, std::uint32_t attributes);
    TDEntry* ForceDir(const std::u16string& path);
    TDEntry* FindDir(std::u16string path) const;
    TFEntry* FindChild(TDEntry* dir, const std::u16string& name) const;

    TDEntry* Root() const { return directories_.front().get(); }
    // A directory or file limit stopped an insert since the last ClearFiles: the tree is partial.
    bool LimitReached() const { return limitReached_; }
    const std::vector<std::unique_ptr<TDEntry>>& Directories() const { return directories_; }
    const std::vector<std::unique_ptr<TFEntry>>& Files() const { return files_; }

    FolderLister* lister = nullptr;
    LogSink log;
    AddFileEvent OnAddFile;
    AddDirEvent OnAddDir;
    bool ReplaceFile = false;
    LocalDateTime now;  // the date of folders made by name

private:
    void Log(const std::string& line, std::uint8_t level) const;
    bool Fits(const std::u16string& jolietName, const std::string& isoName, bool isFile, const TDEntry* dir) const;
    std::string UniqueIsoName(const TDEntry* dir, std::string isoName) const;
    TFEntry* NewEntry();
    void Append(TDEntry* dir, TFEntry* entry);

    std::vector<std::unique_ptr<TDEntry>> directories_;
    std::vector<std::unique_ptr<TFEntry>> files_;
    std::unordered_map<std::u16string, TDEntry*> byPath_;
    bool limitReached_ = false;
    bool fileLimitLogged_ = false;
};

// The short name that MakeDir builds: 13 upper-cased characters, those outside "!".."z" made "_".
std::string MakeDirShortName(const std::u16string& name);

// The largest names whose directory and path-table records still fit their one-byte lengths.
constexpr std::size_t kMaxJolietFileName = 108;   // 2n + 38 <= 255, the "." counted
constexpr std::size_t kMaxJolietDirName = 110;    // 2n + 34 <= 255
constexpr std::size_t kMaxLongName = 127;         // longer names are skipped before the handler

}  // namespace burn
