// Writing a whole file so that a failure (a full disk, a locked target) never leaves a
// truncated file in place of a good one.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace forms {

// Writes bytes to a temporary file beside path, flushes it to the disk, then renames it over
// path. On any failure the temporary is removed, path is left as it was, and EFCreateError
// (the temporary cannot be made) or EWriteError (it cannot be written, flushed or renamed) is
// raised.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// The temporary name WriteFileAtomically uses for path.
std::string TemporaryNameFor(const std::string& path);

}  // namespace forms
