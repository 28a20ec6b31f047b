#include "editor/file_routines.h"

#include "forms/gdi_handle.h"
#include "forms/portable/exceptions.h"
#include "forms/text_compare.h"

#include <algorithm>
#include <memory>

namespace editor {
namespace {

constexpr DWORD kCopyBlock = 8192;

std::string AbsolutePath(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::string full(size, '\0');
    size = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    full.resize(size);
    return full;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> gethtmltemplates(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + "*.";
    forms::UniqueFind search(forms::NullIfInvalid(FindFirstFileA(pattern.c_str(), &found)));
    if (!search) return names;
    do {
        const std::string name = found.cFileName;
        // "*." also matches names with no extension that are files, and Wine matches short
        // names: keep real folders whose long name has no dot.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.find('.') == std::string::npos)
            names.push_back(name);
    } while (FindNextFileA(search.get(), &found));
    // The listing order is the file system's (creation order, or upper-case bytes); a person
    // looks for a name alphabetically. Names equal but for case (a case-sensitive host) keep a
    // fixed order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = forms::CompareTextLocale(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

bool FileHasAttr(const std::string& path, DWORD mask) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return mask == 0;
    return (attributes & mask) == mask;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForceFolders(const std::string& folder) {
    std::string path = folder;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.empty() || FileHasAttr(path, FILE_ATTRIBUTE_DIRECTORY)) return;
    const auto slash = path.find_last_of("\\/");
    if (slash != std::string::npos && slash > 2) ForceFolders(path.substr(0, slash));
    if (!CreateDirectoryA(path.c_str(), nullptr) && !FileHasAttr(path, FILE_ATTRIBUTE_DIRECTORY))
        throw forms::EFCreateError(forms::Format("Cannot create folder %s", path.c_str()));
}

void CopyFileInto(const std::string& source, const std::string& target) {
    std::string destination = AbsolutePath(target);
    if (FileHasAttr(destination, FILE_ATTRIBUTE_DIRECTORY)) {
        if (destination.back() != '\\') destination += '\\';
        destination += FileNameOf(source);
    }
    // Denying writers also keeps a copy onto the source itself from truncating it.
    forms::UniqueKernelHandle in(forms::NullIfInvalid(CreateFileA(
        source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!in) throw forms::EFOpenError(forms::Format("Cannot open file %s", source.c_str()));
    forms::UniqueKernelHandle out(forms::NullIfInvalid(CreateFileA(
        destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!out)
        throw forms::EFCreateError(forms::Format("Cannot create file %s", destination.c_str()));

    auto buffer = std::make_unique<char[]>(kCopyBlock);
    DWORD got = 0;
    do {
        DWORD written = 0;
        if (!ReadFile(in.get(), buffer.get(), kCopyBlock, &got, nullptr) ||
            !WriteFile(out.get(), buffer.get(), got, &written, nullptr) || written != got) {
            out.reset();
            DeleteFileA(destination.c_str());
            throw forms::EWriteError(forms::Format("Cannot copy %s to %s", source.c_str(), destination.c_str()));
        }
    } while (got == kCopyBlock);
    // A move renames its copies over the target's files: they must be on the disk first.
    if (!FlushFileBuffers(out.get())) {
        out.reset();
        DeleteFileA(destination.c_str());
        throw forms::EWriteError(forms::Format("Cannot copy %s to %s", source.c_str(), destination.c_str()));
    }
}

}  // namespace editor
