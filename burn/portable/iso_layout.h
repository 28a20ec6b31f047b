// The sector layout of an ISO 9660 volume with an optional Joliet tree and El Torito boot
// record, and the metadata sectors of it. File data are not copied: the cache reads them in
// the order fixed here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "burn/portable/file_tree.h"

namespace burn {

struct VolumeIdentifiers {
    std::string system, volume, volumeSet, publisher, preparer, application;
    std::string copyright, abstract, bibliographic;
};

struct LayoutOptions {
    bool joliet = true;
    VolumeIdentifiers ids;
    LocalDateTime dateCreation, dateModification;
    LocalDateTime now;    // the "." and ".." records
    int biasMinutes = 0;  // the time zone's standard bias (UTC = local + bias)
    std::uint32_t sessionStart = 0;
    std::optional<std::uint64_t> bootImageSize;  // El Torito when set
};

struct ImageLayout {
    std::uint32_t sessionStart = 0;
    std::uint32_t pvd = 0, bootRecord = 0, svd = 0, terminator = 0;
    std::uint32_t isoL = 0, isoM = 0, jolietL = 0, jolietM = 0;
    std::uint32_t isoPathTableSize = 0, jolietPathTableSize = 0;
    std::uint32_t isoDirArea = 0, jolietDirArea = 0;
    bool bootable = false;
    std::uint32_t bootCatalog = 0, bootImage = 0, bootImageSectors = 0;
    std::uint64_t bootImageSize = 0;
    std::uint32_t paddingStart = 0;  // first sector of the zero padding to sector 150
    std::uint32_t firstFile = 0;     // F
    std::uint32_t end = 0;           // E
    std::vector<TDEntry*> isoPathOrder, jolietPathOrder;

    std::uint32_t ImageLength() const { return end - sessionStart; }
    std::uint32_t PaddingSectors() const { return firstFile - paddingStart; }
};

constexpr std::uint32_t kMinimumFirstFile = 150;
constexpr std::uint32_t kPostGapSectors = 300;

// Numbers the path tables, sorts each directory's records, sizes the extents and assigns every
// position; extents and sizes are stored in the tree's records.
ImageLayout LayoutImage(FileTree& tree, const LayoutOptions& options);

// The metadata sectors from sector S up to the end of the boot catalog (or of the directory
// extents): the boot image and the padding follow them on the disc.
std::vector<std::uint8_t> WriteMetadata(const FileTree& tree, const ImageLayout& layout, const LayoutOptions& options);

}  // namespace burn
