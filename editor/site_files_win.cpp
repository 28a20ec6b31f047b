#include "editor/site_files_win.h"

#include "editor/file_routines.h"
#include "forms/portable/exceptions.h"

#include <windows.h>

#include <memory>

namespace editor {
namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool WinSiteFiles::FileExists(const std::string& path) { return editor::FileExists(path); }

std::string WinSiteFiles::ReadFile(const std::string& path) {
    FileHandle in(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (in.get() == INVALID_HANDLE_VALUE) throw forms::EFOpenError(forms::Format("Cannot open file %s", path.c_str()));
    std::string data;
    char buffer[8192];
    DWORD got = 0;
    do {
        if (!::ReadFile(in.get(), buffer, sizeof buffer, &got, nullptr))
            throw forms::EReadError(forms::Format("Cannot read file %s", path.c_str()));
        data.append(buffer, got);
    } while (got > 0);
    return data;
}

void WinSiteFiles::WriteFile(const std::string& path, const std::string& data) {
    FileHandle out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.get() == INVALID_HANDLE_VALUE)
        throw forms::EFCreateError(forms::Format("Cannot create file %s", path.c_str()));
    DWORD written = 0;
    if (!::WriteFile(out.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
        written != data.size())
        throw forms::EWriteError(forms::Format("Cannot write file %s", path.c_str()));
}

void WinSiteFiles::MakeFolders(const std::string& folder) {
    std::string path = folder;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path.empty() || IsFolder(path)) return;
    const auto slash = path.find_last_of("\\/");
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    if (!CreateDirectoryA(path.c_str(), nullptr) && !IsFolder(path))
        throw forms::EFCreateError(forms::Format("Cannot create folder %s", path.c_str()));
}

std::vector<SiteEntry> WinSiteFiles::List(const std::string& folder) {
    std::vector<SiteEntry> entries;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    std::unique_ptr<void, FindCloser> closer(search);
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &found));
    return entries;
}

void WinSiteFiles::Copy(const std::string& source, const std::string& target) { CopyFileInto(source, target); }

void WinSiteFiles::Remove(const std::string& path) {
    if (!DeleteFileA(path.c_str()) && editor::FileExists(path))
        throw forms::EWriteError(forms::Format("Cannot delete file %s", path.c_str()));
}

}  // namespace editor
