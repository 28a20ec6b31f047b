// Multisession import: the directory hierarchy of an earlier session enters the file tree as
// imported entries, whose records keep pointing at the sectors where the data already lie.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "burn/portable/file_tree.h"

namespace burn {

// Reads one 2048-byte sector of the disc; false when it cannot be read.
using SectorReader = std::function<bool(std::uint32_t lba, std::uint8_t* sector)>;

struct SessionSource {
    std::uint32_t start = 0;        // first sector of the session
    std::uint32_t recordedEnd = 0;  // first sector after the disc's recorded area
    SectorReader read;
};

// Imports the session's Joliet tree, or its primary tree when it has none, below parent (the
// root when null). number names the session in the log. True when a tree was found.
bool ImportSessionTree(FileTree& tree, TDEntry* parent, const SessionSource& source, int number);

// What the import asks of the disc; a query that fails gives nothing.
struct SessionDisc {
    std::function<int()> sessionCount;
    std::function<std::optional<std::uint32_t>(int number, int count)> sessionStart;
    std::function<std::optional<std::uint32_t>()> recordedEnd;
    SectorReader read;
};

// sessionNumber -1, or above the number of sessions, means the last one; parent null means the
// root. Extents are bounded by the disc's recorded area and, when above 0, by limit (where the
// new session will start). True when a tree was imported.
bool ImportSession(FileTree& tree, int sessionNumber, TDEntry* parent, const SessionDisc& disc,
                   std::uint32_t limit = 0);

// A session's start from an MSF address of the table of contents.
constexpr std::uint32_t MsfToLba(std::uint8_t m, std::uint8_t s, std::uint8_t f) {
    return std::uint32_t{m} * 4500 + std::uint32_t{s} * 75 + f - 150;
}

}  // namespace burn
