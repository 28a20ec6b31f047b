#include "burn/portable/session_import.h"

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "burn/portable/joliet_names.h"

namespace burn {
namespace {

constexpr std::size_t kSector = 2048;
constexpr std::uint32_t kDescriptorsStart = 16;
constexpr std::uint32_t kMaxDescriptors = 21;
constexpr std::uint8_t kPrimaryDescriptor = 1, kSupplementaryDescriptor = 2, kTerminator = 255;
constexpr std::size_t kRootRecord = 156;
constexpr std::size_t kMinRecord = 34;       // 33 fixed bytes and a one-byte identifier
constexpr std::size_t kLastRecordStart = 2015;
constexpr std::size_t kMaxJolietIdBytes = 214;
constexpr std::size_t kMaxIsoIdBytes = 239;
// The directories of the largest tree the burner takes: every record at its longest, eight to
// a sector, and a partly filled last sector for each directory. A walk that needs more reads
// sectors that are no directory's.
constexpr std::uint32_t kMostDirectorySectors = (kMaxFiles + 2 * kMaxDirectories) / 8 + kMaxDirectories;
constexpr std::uint8_t kFlagHidden = 0x01, kFlagDirectory = 0x02, kFlagAssociated = 0x04, kFlagMultiExtent = 0x80;

std::uint32_t LE32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}

std::uint32_t Sectors(std::uint32_t bytes) {
    return static_cast<std::uint32_t>((std::uint64_t{bytes} + kSector - 1) / kSector);
}

// A Joliet descriptor is a supplementary one with a UCS-2 escape sequence.
bool IsJoliet(const std::uint8_t* d) {
    return d[88] == 0x25 && d[89] == 0x2F && (d[90] == 0x40 || d[90] == 0x43 || d[90] == 0x45);
}

// The version suffix is the last ";" with only digits after it; a ";" inside a name stays.
std::u16string WithoutVersion(std::u16string name) {
    const std::size_t semi = name.rfind(u';');
    if (semi == std::u16string::npos) return name;
    for (std::size_t i = semi + 1; i < name.size(); ++i)
        if (name[i] < u'0' || name[i] > u'9') return name;
    name.resize(semi);
    return name;
}

// A file's name in the tree: one without a "." gets one.
std::u16string FileName(const std::u16string& name) {
    return name.find(u'.') == std::u16string::npos ? name + u'.' : name;
}

std::string Quoted(const TDEntry* dir, const std::u16string& name) {
    std::u16string where = name.empty() ? u"" : u"\\" + name;
    for (const TDEntry* d = dir; d->parent != d; d = d->parent) where = u"\\" + d->jolietName + where;
    return "\"" + Utf8(where.empty() ? u"\\" : where) + "\"";
}

struct Frame {
    TDEntry* dir;
    std::uint32_t extent, sectors;
    std::uint32_t sector = 0;
    std::size_t offset = 0;
    bool loaded = false;
    std::u16string split;  // the name of a file whose parts are being passed over
    std::array<std::uint8_t, kSector> data{};
};

class Importer {
public:
    Importer(FileTree& tree, const SessionSource& source, bool joliet)
        : tree_(tree),
          source_(source),
          joliet_(joliet),
          sectorsLeft_(std::min(source.recordedEnd > source.start ? source.recordedEnd - source.start : 0,
                                kMostDirectorySectors)) {}

    void Run(TDEntry* parent, std::uint32_t rootExtent, std::uint32_t rootSize) {
        if (!Within(rootExtent, Sectors(rootSize))) {
            Log(">>> ERROR IMPORTING SESSION, DIRECTORY OUTSIDE THE RECORDED AREA " + Quoted(parent, u""), 4);
            return;
        }
        visited_.insert(rootExtent);
        stack_.push_back(std::make_unique<Frame>(Frame{parent, rootExtent, Sectors(rootSize)}));
        while (!stack_.empty() && !stopped_) Step(*stack_.back());
    }

private:
    void Log(const std::string& line, std::uint8_t level) const {
        if (tree_.log) tree_.log(line, level);
    }

    bool Within(std::uint32_t extent, std::uint32_t sectors) const {
        return std::uint64_t{extent} + sectors <= source_.recordedEnd;
    }

    // Handles the next record of the top frame; a subdirectory becomes the new top.
    void Step(Frame& f) {
        if (f.sector >= f.sectors) {
            stack_.pop_back();
            return;
        }
        if (!f.loaded) {
            // Hostile sizes, each within the recorded area, would otherwise read it whole, or
            // many times over, on the window's thread.
            if (sectorsLeft_ == 0) {
                Log(">>> ERROR IMPORTING SESSION, DIRECTORIES LARGER THAN THE RECORDED AREA HOLDS " +
                        Quoted(f.dir, u""),
                    4);
                stopped_ = true;
                return;
            }
            --sectorsLeft_;
            if (!source_.read(f.extent + f.sector, f.data.data())) {
                Log(">>> ERROR IMPORTING SESSION, DIRECTORY UNREADABLE " + Quoted(f.dir, u""), 4);
                stack_.pop_back();
                return;
            }
            f.loaded = true;
            f.offset = 0;
        }
        const std::uint8_t* r = f.data.data() + f.offset;
        const std::size_t length = f.offset < kLastRecordStart ? r[0] : 0;
        // A record of 0, one too short for its identifier, or one past the sector ends the sector.
        if (length < kMinRecord || f.offset + length > kSector || 33u + r[32] > length) {
            ++f.sector;
            f.loaded = false;
            return;
        }
        f.offset += length;
        Record(f, r);
    }

    void Record(Frame& f, const std::uint8_t* r) {
        TDEntry* dir = f.dir;
        const std::size_t idLength = r[32];
        const std::uint8_t* id = r + 33;
        if (idLength == 1 && (id[0] == 0 || id[0] == 1)) return;  // "." and ".."
        std::u16string name;
        if (joliet_) {
            for (std::size_t i = 0; i + 1 < idLength; i += 2) name += static_cast<char16_t>(id[i] << 8 | id[i + 1]);
        } else {
            for (std::size_t i = 0; i < idLength; ++i) name += static_cast<char16_t>(id[i]);
        }
        name = WithoutVersion(std::move(name));
        const bool tooLong = idLength > (joliet_ ? kMaxJolietIdBytes : kMaxIsoIdBytes);
        if (tooLong || name.empty()) {
            Log(Utf8(name) + "\n\rERROR IMPORTING SESSION, FILE NAME LENGTH EXCEEDS 120 CHARS", 4);
            return;
        }
        // A name holding a path separator would land in another folder of the tree; control
        // characters are no part of a name.
        const bool control = std::any_of(name.begin(), name.end(), [](char16_t c) { return c < u' '; });
        if (control || name.find(u'\\') != std::u16string::npos || name.find(u'/') != std::u16string::npos ||
            name == u"." || name == u"..") {
            Log(">>> ERROR IMPORTING SESSION, INVALID NAME " + Quoted(dir, name), 4);
            return;
        }
        const std::uint32_t extent = LE32(r + 2);
        const std::uint32_t size = LE32(r + 10);
        const std::uint8_t flags = r[25];
        // An associated file is not the file of its name; a file recorded in several parts
        // cannot be one entry of the tree, and any one part of it alone would show it cut short.
        if (flags & kFlagAssociated) return;
        if (!f.split.empty() && name == f.split) {
            if (!(flags & kFlagMultiExtent)) f.split.clear();
            return;
        }
        if (flags & kFlagMultiExtent) {
            f.split = name;
            Log(">>> ERROR IMPORTING SESSION, FILE OF SEVERAL EXTENTS SKIPPED " + Quoted(dir, name), 4);
            return;
        }
        ListingRecord rec;
        rec.name = name;
        rec.alternate = MakeDirShortName(name);
        rec.size = size;
        rec.attributes = (flags & kFlagHidden) ? kAttrHidden : 0;
        rec.lastWrite = {1900 + r[18], r[19], r[20], r[21], r[22], r[23]};
        if (!Within(extent, Sectors(size))) {
            Log(">>> ERROR IMPORTING SESSION, EXTENT OUTSIDE THE RECORDED AREA " + Quoted(dir, name), 4);
            return;
        }
        // What the new session already holds under this name stays: the disc's older entry
        // would replace it or stand beside it under the same name.
        const TFEntry* existing = tree_.FindChild(dir, (flags & kFlagDirectory) ? name : FileName(name));
        if (existing && !(existing->IsDirectory() && (flags & kFlagDirectory))) return;
        if (flags & kFlagDirectory) {
            rec.attributes |= kAttrDirectory;
            rec.size = 0;
            // An ancestor or a directory already imported would be walked again, without end.
            if (!visited_.insert(extent).second) {
                Log(">>> ERROR IMPORTING SESSION, DIRECTORY LOOP AT " + Quoted(dir, name), 4);
                return;
            }
            TDEntry* sub = tree_.AddDir(dir, rec);
            if (!sub) {
                stopped_ = true;  // a limit of the tree
                return;
            }
            stack_.push_back(std::make_unique<Frame>(Frame{sub, extent, Sectors(size)}));
            return;
        }
        // A file's data must lie in the recorded area past the system area; an empty file has none.
        if (size > 0 && extent < kDescriptorsStart) {
            Log(">>> ERROR IMPORTING SESSION, EXTENT OUTSIDE THE RECORDED AREA " + Quoted(dir, name), 4);
            return;
        }
        tree_.AddFile(dir, rec, false, size > 0 ? extent : 0, u"");
    }

    FileTree& tree_;
    const SessionSource& source_;
    bool joliet_;
    bool stopped_ = false;
    std::uint32_t sectorsLeft_;
    std::set<std::uint32_t> visited_;
    std::vector<std::unique_ptr<Frame>> stack_;
};

}  // namespace

bool ImportSessionTree(FileTree& tree, TDEntry* parent, const SessionSource& source, int number) {
    if (!parent) parent = tree.Root();
    std::array<std::uint8_t, kSector> d{};
    for (const std::uint8_t wanted : {kSupplementaryDescriptor, kPrimaryDescriptor}) {
        for (std::uint32_t i = 0; i < kMaxDescriptors; ++i) {
            const std::uint64_t lba = std::uint64_t{source.start} + kDescriptorsStart + i;
            if (lba >= source.recordedEnd || !source.read(static_cast<std::uint32_t>(lba), d.data())) break;
            if (d[1] != 'C' || d[2] != 'D' || d[3] != '0' || d[4] != '0' || d[5] != '1') continue;
            if (d[0] == kTerminator) break;
            if (d[0] != wanted || (wanted == kSupplementaryDescriptor && !IsJoliet(d.data()))) continue;
            Importer(tree, source, wanted == kSupplementaryDescriptor)
                .Run(parent, LE32(&d[kRootRecord + 2]), LE32(&d[kRootRecord + 10]));
            return true;
        }
    }
    if (tree.log)
        tree.log(">>> ERROR IMPORTING SESSION " + std::to_string(number) + " (ISO IMAGE NOT FOUND)", 4);
    return false;
}

bool ImportSession(FileTree& tree, int sessionNumber, TDEntry* parent, const SessionDisc& disc, std::uint32_t limit) {
    if (!disc.sessionCount || !disc.sessionStart || !disc.read) return false;  // no disc to ask
    const int count = disc.sessionCount();
    if (count <= 0) return false;
    if (sessionNumber == -1 || sessionNumber > count) sessionNumber = count;
    if (sessionNumber <= 0) return false;
    auto log = [&](const std::string& line, std::uint8_t level) {
        if (tree.log) tree.log(line, level);
    };
    log(">>> IMPORTING SESSION # " + std::to_string(sessionNumber), 1);
    const std::optional<std::uint32_t> start = disc.sessionStart(sessionNumber, count);
    std::optional<std::uint32_t> end = disc.recordedEnd ? disc.recordedEnd() : std::nullopt;
    if (end && limit > 0 && limit < *end) end = limit;
    if (!start || !end) {
        log(">>> ERROR IMPORTING SESSION # " + std::to_string(sessionNumber), 4);
        return false;
    }
    return ImportSessionTree(tree, parent, {*start, *end, disc.read}, sessionNumber);
}

}  // namespace burn
