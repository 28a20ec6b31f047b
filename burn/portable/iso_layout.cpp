#include "burn/portable/iso_layout.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "burn/portable/big_endian.h"
#include "burn/portable/iso_records.h"
#include "burn/portable/joliet_names.h"

namespace burn {
namespace {

constexpr std::uint32_t kSystemAreaSectors = 16;
constexpr std::size_t kDotRecords = 68;  // "." and ".." of 34 bytes each
constexpr char kBootProduct[] = "VANTBURN";

std::uint32_t Sectors(std::uint64_t bytes) { return static_cast<std::uint32_t>((bytes + kSectorSize - 1) / kSectorSize); }

enum class Tree { Iso, Joliet };

// Records sort by name, then extension: a file's extension follows its last ".".
template <class Str>
std::pair<Str, Str> SortKey(const Str& name, bool isFile) {
    const auto dot = isFile ? name.rfind(static_cast<typename Str::value_type>('.')) : Str::npos;
    if (dot == Str::npos) return {name, Str{}};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

void SortChildren(TDEntry& dir) {
    dir.isoOrder.clear();
    for (TFEntry* e = dir.firstChild; e; e = e->next) dir.isoOrder.push_back(e);
    dir.jolietOrder = dir.isoOrder;
    std::stable_sort(dir.isoOrder.begin(), dir.isoOrder.end(), [](const TFEntry* a, const TFEntry* b) {
        return SortKey(a->isoName, !a->IsDirectory()) < SortKey(b->isoName, !b->IsDirectory());
    });
    std::stable_sort(dir.jolietOrder.begin(), dir.jolietOrder.end(), [](const TFEntry* a, const TFEntry* b) {
        return SortKey(a->jolietName, !a->IsDirectory()) < SortKey(b->jolietName, !b->IsDirectory());
    });
}

const std::vector<TFEntry*>& Children(const TDEntry& dir, Tree tree) {
    return tree == Tree::Iso ? dir.isoOrder : dir.jolietOrder;
}

std::string Identifier(const TFEntry& e, Tree tree) { return tree == Tree::Iso ? IsoIdentifier(e) : JolietIdentifier(e); }

std::string PathIdentifier(const TDEntry& d, Tree tree) {
    return tree == Tree::Iso ? d.isoName : Ucs2BE(d.jolietName);
}

// Breadth first over record-ordered children gives the path-table order: by parent number, then name.
std::vector<TDEntry*> NumberPathTable(TDEntry* root, Tree tree) {
    std::vector<TDEntry*> order{root};
    for (std::size_t i = 0; i < order.size(); ++i) {
        TDEntry* d = order[i];
        (tree == Tree::Iso ? d->isoPathTableNumber : d->jolietPathTableNumber) = static_cast<std::uint32_t>(i + 1);
        for (TFEntry* e : Children(*d, tree)) {
            if (e->IsDirectory()) order.push_back(e->directory);
        }
    }
    return order;
}

std::uint32_t PathTableSize(const std::vector<TDEntry*>& order, Tree tree) {
    std::size_t size = PathRecordLength(1);
    for (std::size_t i = 1; i < order.size(); ++i) size += PathRecordLength(PathIdentifier(*order[i], tree).size());
    return static_cast<std::uint32_t>(size);
}

// Calls place(offset, entry) for each child record in order, never across a sector boundary;
// returns the extent size in bytes.
template <class Place>
std::uint64_t PackRecords(const TDEntry& dir, Tree tree, Place place) {
    std::uint64_t used = kDotRecords;
    for (TFEntry* e : Children(dir, tree)) {
        const std::size_t length = RecordLength(Identifier(*e, tree).size());
        if (used % kSectorSize + length > kSectorSize) used = (used / kSectorSize + 1) * kSectorSize;
        place(used, e);
        used += length;
    }
    return std::uint64_t{Sectors(used)} * kSectorSize;
}

std::uint32_t SizeDirectories(const FileTree& tree, Tree which) {
    std::uint32_t start = 0;
    for (const auto& d : tree.Directories()) {
        const std::uint64_t size = PackRecords(*d, which, [](std::uint64_t, const TFEntry*) {});
        if (which == Tree::Iso) {
            d->isoStart = start;
            d->isoSize = size;
        } else {
            d->jolietStart = start;
            d->jolietSize = size;
        }
        start += Sectors(size);
    }
    return start;
}

void PutPadded(std::uint8_t* p, std::size_t length, std::string_view text) {
    std::memset(p, ' ', length);
    std::memcpy(p, text.data(), std::min(length, text.size()));
}

void PutPaddedUcs2(std::uint8_t* p, std::size_t chars, std::string_view text) {
    for (std::size_t i = 0; i < chars; ++i) PutBE16(p + 2 * i, i < text.size() ? static_cast<unsigned char>(text[i]) : u' ');
}

void PutRootRecord(std::uint8_t* p, std::uint32_t extent, std::uint64_t size) {
    DirRecord r{std::string_view("\0", 1), extent, static_cast<std::uint32_t>(size), {}, 2};
    PutDirRecord(p, r, 0);
    std::memset(p + 18, 0, 7);
}

void PutVolumeDescriptor(std::uint8_t* p, Tree tree, const FileTree& files, const ImageLayout& l,
                         const LayoutOptions& o) {
    const bool joliet = tree == Tree::Joliet;
    p[0] = joliet ? 2 : 1;
    std::memcpy(p + 1, "CD001", 5);
    p[6] = 1;
    const auto& ids = o.ids;
    struct Field {
        std::size_t offset, isoBytes, jolietChars;
        const std::string* text;
    };
    const Field fields[] = {
        {8, 32, 16, &ids.system},           {40, 32, 16, &ids.volume},          {190, 128, 64, &ids.volumeSet},
        {318, 128, 64, &ids.publisher},     {446, 128, 64, &ids.preparer},      {574, 128, 64, &ids.application},
        {702, 37, 18, &ids.copyright},      {739, 37, 18, &ids.abstract},       {776, 37, 18, &ids.bibliographic},
    };
    for (const Field& f : fields) {
        if (joliet) PutPaddedUcs2(p + f.offset, f.jolietChars, *f.text);
        else PutPadded(p + f.offset, f.isoBytes, UpperAscii(*f.text));
    }
    // The volume holds everything up to the image's end, also when it starts after an earlier session.
    PutBoth32(p + 80, l.end);
    if (joliet) std::memcpy(p + 88, "%/@", 3);
    PutBoth16(p + 120, 1);
    PutBoth16(p + 124, 1);
    PutBoth16(p + 128, kSectorSize);
    PutBoth32(p + 132, joliet ? l.jolietPathTableSize : l.isoPathTableSize);
    PutLE32(p + 140, joliet ? l.jolietL : l.isoL);
    PutBE32(p + 148, joliet ? l.jolietM : l.isoM);
    const TDEntry& root = *files.Root();
    PutRootRecord(p + 156, joliet ? l.jolietDirArea : l.isoDirArea, joliet ? root.jolietSize : root.isoSize);
    PutDescriptorDate(p + 813, o.dateCreation);
    PutDescriptorDate(p + 830, o.dateModification);
    std::memcpy(p + 847, "0000000000000000", 16);
    std::memcpy(p + 864, "0000000000000000", 16);
    p[881] = 1;
    std::memset(p + 1024, ' ', 8);
}

void PutPathTable(std::uint8_t* p, const std::vector<TDEntry*>& order, Tree tree, std::uint32_t area, bool big) {
    p += PutPathRecord(p, std::string_view("\0", 1), area, 1, big);
    for (std::size_t i = 1; i < order.size(); ++i) {
        const TDEntry& d = *order[i];
        const std::uint32_t start = tree == Tree::Iso ? d.isoStart : d.jolietStart;
        const std::uint32_t parent = tree == Tree::Iso ? d.parent->isoPathTableNumber : d.parent->jolietPathTableNumber;
        p += PutPathRecord(p, PathIdentifier(d, tree), area + start, parent, big);
    }
}

std::uint32_t EntryExtent(const TFEntry& e, Tree tree, const ImageLayout& l) {
    if (e.IsDirectory()) {
        return tree == Tree::Iso ? l.isoDirArea + e.directory->isoStart : l.jolietDirArea + e.directory->jolietStart;
    }
    if (e.imported) return e.isoExtent;
    if (e.isoSize == 0) return 0;
    return l.firstFile + e.isoExtent;
}

void PutDirectory(std::uint8_t* p, const TDEntry& d, Tree tree, const ImageLayout& l, const LayoutOptions& o) {
    const bool iso = tree == Tree::Iso;
    const std::uint32_t area = iso ? l.isoDirArea : l.jolietDirArea;
    auto extentOf = [&](const TDEntry& x) { return area + (iso ? x.isoStart : x.jolietStart); };
    auto sizeOf = [&](const TDEntry& x) { return static_cast<std::uint32_t>(iso ? x.isoSize : x.jolietSize); };
    PutDirRecord(p, {std::string_view("\0", 1), extentOf(d), sizeOf(d), o.now, 2}, o.biasMinutes);
    PutDirRecord(p + 34, {std::string_view("\1", 1), extentOf(*d.parent), sizeOf(*d.parent), o.now, 2}, o.biasMinutes);
    PackRecords(d, tree, [&](std::uint64_t at, const TFEntry* e) {
        const std::string id = Identifier(*e, tree);
        std::uint8_t flags = e->IsDirectory() ? 2 : 0;
        if (e->attributes & kAttrHidden) flags |= 1;
        const std::uint64_t size = e->IsDirectory() ? (iso ? e->directory->isoSize : e->directory->jolietSize)
                                                    : (iso ? e->isoSize : e->jolietSize);
        PutDirRecord(p + at, {id, EntryExtent(*e, tree, l), static_cast<std::uint32_t>(size), e->date, flags},
                     o.biasMinutes);
    });
}

std::uint8_t BootMediaType(std::uint64_t roundedSize) {
    switch (roundedSize) {
    case 1228800: return 1;
    case 1474560: return 2;
    case 2949120: return 3;
    default: return 4;
    }
}

void PutBootCatalog(std::uint8_t* p, const ImageLayout& l) {
    p[0] = 1;
    std::memcpy(p + 4, kBootProduct, sizeof kBootProduct - 1);
    p[30] = 0x55;
    p[31] = 0xAA;
    std::uint32_t sum = 0;
    for (int i = 0; i < 16; ++i) sum += p[2 * i] | p[2 * i + 1] << 8;
    PutLE16(p + 28, (0x10000 - (sum & 0xFFFF)) & 0xFFFF);
    std::uint8_t* d = p + 32;
    d[0] = 0x88;
    d[1] = BootMediaType(std::uint64_t{l.bootImageSectors} * kSectorSize);
    PutLE16(d + 6, 1);
    PutLE32(d + 8, l.bootImage);
}

}  // namespace

ImageLayout LayoutImage(FileTree& tree, const LayoutOptions& o) {
    ImageLayout l;
    l.sessionStart = o.sessionStart;
    for (const auto& d : tree.Directories()) SortChildren(*d);
    l.isoPathOrder = NumberPathTable(tree.Root(), Tree::Iso);
    l.isoPathTableSize = PathTableSize(l.isoPathOrder, Tree::Iso);
    if (o.joliet) {
        l.jolietPathOrder = NumberPathTable(tree.Root(), Tree::Joliet);
        l.jolietPathTableSize = PathTableSize(l.jolietPathOrder, Tree::Joliet);
    }
    const std::uint32_t isoDirSectors = SizeDirectories(tree, Tree::Iso);
    const std::uint32_t jolietDirSectors = o.joliet ? SizeDirectories(tree, Tree::Joliet) : 0;

    std::uint32_t p = o.sessionStart + kSystemAreaSectors;
    auto place = [&p](std::uint32_t& at, std::uint32_t sectors) {
        at = p;
        p += sectors;
    };
    l.bootable = o.bootImageSize.has_value();
    place(l.pvd, 1);
    if (l.bootable) place(l.bootRecord, 1);
    if (o.joliet) place(l.svd, 1);
    place(l.terminator, 1);
    place(l.isoL, Sectors(l.isoPathTableSize));
    place(l.isoM, Sectors(l.isoPathTableSize));
    if (o.joliet) {
        place(l.jolietL, Sectors(l.jolietPathTableSize));
        place(l.jolietM, Sectors(l.jolietPathTableSize));
    }
    place(l.isoDirArea, isoDirSectors);
    if (o.joliet) place(l.jolietDirArea, jolietDirSectors);
    if (l.bootable) {
        l.bootImageSize = *o.bootImageSize;
        l.bootImageSectors = Sectors(l.bootImageSize);
        place(l.bootCatalog, 1);
        place(l.bootImage, l.bootImageSectors);
    }
    l.paddingStart = p;
    l.firstFile = std::max(p, kMinimumFirstFile);

    std::uint64_t relative = 0;
    for (const auto& e : tree.Files()) {
        if (e->IsDirectory()) {
            e->isoExtent = e->directory->isoStart;
            e->jolietExtent = e->directory->jolietStart;
            e->isoSize = e->directory->isoSize;
            e->jolietSize = e->directory->jolietSize;
        } else if (!e->imported) {
            if (e->isoSize == 0) {
                e->isoExtent = e->jolietExtent = 0;
            } else {
                e->isoExtent = e->jolietExtent = static_cast<std::uint32_t>(relative);
                relative += Sectors(e->isoSize);
            }
        }
    }
    l.end = l.firstFile + static_cast<std::uint32_t>(relative);
    return l;
}

std::vector<std::uint8_t> WriteMetadata(const FileTree& tree, const ImageLayout& l, const LayoutOptions& o) {
    const std::uint32_t endSector = l.bootable ? l.bootCatalog + 1 : l.paddingStart;
    std::vector<std::uint8_t> out(std::size_t{endSector - l.sessionStart} * kSectorSize, 0);
    auto at = [&](std::uint32_t sector) { return out.data() + std::size_t{sector - l.sessionStart} * kSectorSize; };

    PutVolumeDescriptor(at(l.pvd), Tree::Iso, tree, l, o);
    if (l.bootable) {
        std::uint8_t* b = at(l.bootRecord);
        std::memcpy(b + 1, "CD001", 5);
        b[6] = 1;
        std::memcpy(b + 7, "EL TORITO SPECIFICATION", 23);
        PutLE32(b + 71, l.bootCatalog);
    }
    if (o.joliet) PutVolumeDescriptor(at(l.svd), Tree::Joliet, tree, l, o);
    std::uint8_t* t = at(l.terminator);
    t[0] = 255;
    std::memcpy(t + 1, "CD001", 5);
    t[6] = 1;

    PutPathTable(at(l.isoL), l.isoPathOrder, Tree::Iso, l.isoDirArea, false);
    PutPathTable(at(l.isoM), l.isoPathOrder, Tree::Iso, l.isoDirArea, true);
    if (o.joliet) {
        PutPathTable(at(l.jolietL), l.jolietPathOrder, Tree::Joliet, l.jolietDirArea, false);
        PutPathTable(at(l.jolietM), l.jolietPathOrder, Tree::Joliet, l.jolietDirArea, true);
    }
    for (const auto& d : tree.Directories()) {
        PutDirectory(at(l.isoDirArea + d->isoStart), *d, Tree::Iso, l, o);
        if (o.joliet) PutDirectory(at(l.jolietDirArea + d->jolietStart), *d, Tree::Joliet, l, o);
    }
    if (l.bootable) PutBootCatalog(at(l.bootCatalog), l);
    return out;
}

}  // namespace burn
