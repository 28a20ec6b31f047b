#include "burn/portable/file_tree.h"

#include "burn/portable/joliet_names.h"

namespace burn {
namespace {

constexpr std::size_t kMaxRecordLength = 255;  // a directory record's length is one byte

std::size_t IsoRecordLength(std::size_t idLength) { return 33 + idLength + (idLength % 2 == 0 ? 1 : 0); }

// An ISO name is ASCII: characters an alternate name cannot hold become "_".
std::string AsciiUpper(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char16_t c : UpperName(name)) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '_';
    return out;
}

bool IsDots(const std::u16string& name) { return name == u"." || name == u".."; }

std::u16string WithoutDrive(const std::u16string& path) {
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        std::size_t server = path.find(u'\\', 2);
        std::size_t share = server == std::u16string::npos ? server : path.find(u'\\', server + 1);
        return share == std::u16string::npos ? u"" : path.substr(share);
    }
    if (path.size() >= 2 && path[1] == u':') return path.substr(2);
    return path;
}

}  // namespace

std::string MakeDirShortName(const std::u16string& name) {
    std::string out;
    for (char16_t c : UpperName(name.substr(0, 13))) out += (c < u'!' || c > u'z') ? '_' : static_cast<char>(c);
    return out;
}

FileTree::FileTree() { ClearFiles(); }

void FileTree::Log(const std::string& line, std::uint8_t level) const {
    if (log) log(line, level);
}

void FileTree::ClearFiles() {
    files_.clear();
    directories_.clear();
    byPath_.clear();
    limitReached_ = fileLimitLogged_ = false;
    auto root = std::make_unique<TDEntry>();
    root->isoName = "CD_ROOT";
    root->jolietName = u"CD Root Directory";
    root->path = u"\\";
    root->parent = root.get();
    byPath_[root->path] = root.get();
    directories_.push_back(std::move(root));
}

TDEntry* FileTree::FindDir(std::u16string path) const {
    if (path.empty() || path == u"\\") return Root();
    if (path.back() == u'\\') path.pop_back();
    auto it = byPath_.find(UpperName(path));
    return it == byPath_.end() ? nullptr : it->second;
}

TFEntry* FileTree::FindChild(TDEntry* dir, const std::u16string& name) const {
    auto it = dir->byUpperJoliet.find(UpperName(name));
    return it == dir->byUpperJoliet.end() ? nullptr : it->second;
}

bool FileTree::Fits(const std::u16string& jolietName, const std::string& isoName, bool isFile,
                    const TDEntry* dir) const {
    const std::size_t isoId = isoName.size() + (isFile ? 2 : 0);
    const bool fits = jolietName.size() <= (isFile ? kMaxJolietFileName : kMaxJolietDirName) &&
                      IsoRecordLength(isoId) <= kMaxRecordLength;
    if (!fits) {
        // The tree path as named, not upper-cased as the lookups keep it.
        std::u16string where = u"\\" + jolietName;
        for (const TDEntry* d = dir; d->parent != d; d = d->parent) where = u"\\" + d->jolietName + where;
        Log(">>> NAME TOO LONG FOR A DIRECTORY RECORD, SKIPPED \"" + Utf8(where) + "\"", 3);
    }
    return fits;
}

// Two 8.3 names may be alike; a later one gets a numeric tail inside its stem.
std::string FileTree::UniqueIsoName(const TDEntry* dir, std::string isoName) const {
    if (!dir->isoNames.contains(isoName)) return isoName;
    const std::size_t dot = isoName.find('.');
    const std::string stem = isoName.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : isoName.substr(dot);
    for (unsigned n = 1;; ++n) {
        const std::string tail = std::to_string(n);
        const std::string candidate = stem.substr(0, 8 - std::min<std::size_t>(tail.size(), 8)) + tail + ext;
        if (!dir->isoNames.contains(candidate)) return candidate;
    }
}

TFEntry* FileTree::NewEntry() {
    if (files_.size() >= kMaxFiles) {
        // Every later file meets the limit too: one line says it for all of them.
        if (!fileLimitLogged_) Log("MAXIMUM FILES CAN BE " + std::to_string(kMaxFiles), 3);
        fileLimitLogged_ = limitReached_ = true;
        return nullptr;
    }
    files_.push_back(std::make_unique<TFEntry>());
    return files_.back().get();
}

void FileTree::Append(TDEntry* dir, TFEntry* entry) {
    if (dir->lastChild) dir->lastChild->next = entry;
    else dir->firstChild = entry;
    dir->lastChild = entry;
    dir->byUpperJoliet[UpperName(entry->jolietName)] = entry;
    dir->isoNames.insert(entry->isoName);
}

bool FileTree::AddFile(TDEntry* dir, const ListingRecord& rec, bool archiveOnly, std::uint32_t importedExtent,
                       const std::u16string& fullPath) {
    std::string shortName = rec.alternate.empty() ? AsciiUpper(rec.name) : UpperAscii(rec.alternate);
    std::u16string longName = rec.name;
    if (shortName.find('.') == std::string::npos) shortName += '.';
    if (longName.find(u'.') == std::u16string::npos) longName += u'.';
    TFEntry* existing = FindChild(dir, longName);
    LocalDateTime date = rec.lastWrite;
    bool skip = longName.size() > kMaxLongName;
    const bool replace = existing && ReplaceFile;
    if (OnAddFile) OnAddFile(fullPath, longName, shortName, date, rec.attributes, rec.size, skip);
    if (!Fits(longName, shortName, true, dir)) return false;
    if (skip) return false;
    if (rec.size > 0xFFFFFFFFull) {
        Log(">>> FILE OF 4 GB OR MORE SKIPPED \"" + Utf8(fullPath) + "\"", 3);
        return false;
    }
    TFEntry* entry;
    if (replace) {
        entry = existing;
        dir->byUpperJoliet.erase(UpperName(entry->jolietName));
        dir->isoNames.erase(entry->isoName);
    } else {
        if (existing) return false;
        entry = NewEntry();
        if (!entry) return false;
    }
    entry->isoName = UniqueIsoName(dir, UpperAscii(shortName));
    entry->jolietName = longName;
    entry->isoSize = entry->jolietSize = rec.size;
    entry->attributes = rec.attributes;
    entry->date = date;
    entry->sourcePath = fullPath;
    entry->archiveOnly = archiveOnly;
    entry->imported = importedExtent != 0;
    entry->isoExtent = entry->jolietExtent = importedExtent;
    if (replace) {
        dir->byUpperJoliet[UpperName(entry->jolietName)] = entry;
        dir->isoNames.insert(entry->isoName);
    } else {
        Append(dir, entry);
    }
    return true;
}

TDEntry* FileTree::AddDir(TDEntry* parent, const ListingRecord& rec) {
    std::u16string path = parent->path + u"\\" + rec.name;
    if (path.starts_with(u"\\\\")) path.erase(0, 1);
    if (TDEntry* found = FindDir(path)) return found;
    if (directories_.size() >= kMaxDirectories) {
        Log(">>> MAXIMUM DIRECTORIES CAN BE " + std::to_string(kMaxDirectories), 3);
        limitReached_ = true;
        return nullptr;
    }
    TFEntry* node = NewEntry();
    if (!node) return nullptr;
    directories_.push_back(std::make_unique<TDEntry>());
    TDEntry* dir = directories_.back().get();
    const std::string isoName = rec.alternate.empty() ? AsciiUpper(rec.name) : UpperAscii(rec.alternate);
    dir->isoName = node->isoName = UniqueIsoName(parent, isoName);
    dir->jolietName = node->jolietName = rec.name;
    node->attributes = rec.attributes;
    node->directory = dir;
    node->date = rec.lastWrite;
    dir->parent = parent;
    dir->node = node;
    dir->path = UpperName(path);
    byPath_[dir->path] = dir;
    Append(parent, node);
    return dir;
}

TDEntry* FileTree::MakeDir(TDEntry* parent, std::u16string name, std::uint32_t attributes) {
    while (!name.empty() && name.front() == u'\\') name.erase(0, 1);
    while (!name.empty() && name.back() == u'\\') name.pop_back();
    ListingRecord rec;
    rec.name = name;
    rec.alternate = MakeDirShortName(name);
    rec.attributes = attributes;
    rec.lastWrite = now;
    return AddDir(parent, rec);
}

TDEntry* FileTree::ForceDir(const std::u16string& path) {
    TDEntry* dir = Root();
    std::u16string sofar;
    std::size_t from = 0;
    while (from <= path.size()) {
        std::size_t to = path.find(u'\\', from);
        if (to == std::u16string::npos) to = path.size();
        const std::u16string part = path.substr(from, to - from);
        from = to + 1;
        if (part.empty()) continue;
        sofar += u"\\" + part;
        TDEntry* next = FindDir(sofar);
        if (!next) next = MakeDir(dir, part, kAttrDirectory);
        if (!next) return nullptr;
        dir = next;
    }
    return dir;
}

bool FileTree::InsertDir(TDEntry* dest, std::u16string sourcePath, bool archiveOnly, bool keepSourcePath,
                         bool recursive, std::uint32_t attributes, std::u16string mask) {
    if (keepSourcePath) {
        std::u16string rest = WithoutDrive(sourcePath);
        while (!rest.empty() && rest.back() == u'\\') rest.pop_back();
        const std::u16string path = (dest == Root() ? u"" : dest->path) + rest;
        ForceDir(path);
        dest = FindDir(path);
        if (!dest) {
            Log("INVALID DESTINATION PATH", 4);
            return false;
        }
    }
    if (sourcePath.empty() || sourcePath.back() != u'\\') sourcePath += u'\\';
    if (mask.empty()) mask = u"*.*";
    const std::vector<ListingRecord> all = recursive ? lister->List(sourcePath, u"*.*") : std::vector<ListingRecord>{};
    if (recursive) {
        for (const ListingRecord& rec : all) {
            if (!(rec.attributes & kAttrDirectory) || IsDots(rec.name)) continue;
            ListingRecord named = rec;
            std::string shortName = rec.alternate.empty() ? AsciiUpper(rec.name) : rec.alternate;
            bool skip = false;
            if (OnAddDir) OnAddDir(named.name, shortName, skip);
            if (skip) continue;
            named.alternate = shortName;
            if (!FindDir(dest->path + u"\\" + named.name) && !Fits(named.name, UpperAscii(shortName), false, dest))
                continue;
            TDEntry* dir = AddDir(dest, named);
            if (!dir) return false;
            // A skipped last file of a subfolder must not cut off the folders after it; a limit does.
            if (!InsertDir(dir, sourcePath + rec.name, archiveOnly, false, recursive, attributes, mask) &&
                limitReached_)
                return false;
        }
    }
    bool result = true;
    // The folder pass already listed everything when the mask takes every name.
    for (const ListingRecord& rec : recursive && mask == u"*.*" ? all : lister->List(sourcePath, mask)) {
        if (rec.attributes & kAttrDirectory) continue;
        if (archiveOnly && !(rec.attributes & kAttrArchive)) continue;
        result = AddFile(dest, rec, archiveOnly, 0, sourcePath + rec.name);
    }
    return result;
}

}  // namespace burn
