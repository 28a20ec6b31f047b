#include "fuzz/session_fuzz_entry.h"

#include <algorithm>
#include <cstring>

#include "burn/portable/iso_layout.h"
#include "burn/portable/session_import.h"

namespace fuzz {

void FuzzSessionImportOnce(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kSector = 2048;
    const auto sectors = static_cast<std::uint32_t>((size + kSector - 1) / kSector);
    burn::FileTree tree;
    tree.log = [](const std::string&, std::uint8_t) {};
    burn::SessionSource source;
    source.start = 0;
    source.recordedEnd = sectors;
    source.read = [&](std::uint32_t lba, std::uint8_t* sector) {
        if (lba >= sectors) return false;
        const std::size_t from = std::size_t{lba} * kSector;
        const std::size_t n = std::min(kSector, size - from);
        std::memcpy(sector, data + from, n);
        std::memset(sector + n, 0, kSector - n);
        return true;
    };
    burn::ImportSessionTree(tree, nullptr, source, 1);
    burn::LayoutOptions options;
    options.sessionStart = sectors + 11400;
    const burn::ImageLayout layout = burn::LayoutImage(tree, options);
    burn::WriteMetadata(tree, layout, options);
}

}  // namespace fuzz
