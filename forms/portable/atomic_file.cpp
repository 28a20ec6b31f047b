#include "forms/portable/atomic_file.h"

#include <cstdio>
#include <memory>

#include "forms/portable/exceptions.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace forms {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The data on the disk, not only in a cache: renamed over a good file first, a power cut
// would leave an empty one in its place.
bool Flushed(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool RenameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    // The ANSI call reads the names in the code page they were made in; the C library's
    // rename would not replace the target.
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

std::string TemporaryNameFor(const std::string& path) { return path + ".tmp"; }

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string temporary = TemporaryNameFor(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
    if (!file) throw EFCreateError(Format("Cannot create file \"%s\"", path.c_str()));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool flushed = written && Flushed(file.get());
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !flushed || !closed || !RenameOver(temporary, path)) {
        std::remove(temporary.c_str());
        throw EWriteError(Format("Cannot write file \"%s\"", path.c_str()));
    }
}

}  // namespace forms
