// Input of the session-import fuzz target: the bytes as a disc from sector 0 (a short last
// sector padded with zeros), its session at sector 0 imported into a file tree, and the tree
// laid out as a second session after it. Nothing raises for any input; anything else (a crash,
// a sanitizer report, a walk without end) is a fault.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fuzz {

void FuzzSessionImportOnce(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
