#include "forms/portable/atomic_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "forms/portable/exceptions.h"

namespace forms {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool RenameOver(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
#ifdef _WIN32
    // The C library's rename will not replace a file there; the file system's can.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from), std::filesystem::path(to), error);
    return !error;
#else
    return false;
#endif
}

}  // namespace

std::string TemporaryNameFor(const std::string& path) { return path + ".tmp"; }

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string temporary = TemporaryNameFor(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
    if (!file) throw EFCreateError(Format("Cannot create file \"%s\"", path.c_str()));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed || !RenameOver(temporary, path)) {
        std::remove(temporary.c_str());
        throw EWriteError(Format("Cannot write file \"%s\"", path.c_str()));
    }
}

}  // namespace forms
