#include "editor/portfolio_files_win.h"

#include "editor/file_routines.h"
#include "forms/gdi_handle.h"
#include "forms/portable/exceptions.h"

#include <windows.h>

namespace editor {

bool WinPortfolioFiles::FileExists(const std::string& path) { return editor::FileExists(path); }

std::string WinPortfolioFiles::ReadFile(const std::string& path) {
    forms::UniqueKernelHandle in(forms::NullIfInvalid(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!in) throw forms::EFOpenError(forms::Format("Cannot open file %s", path.c_str()));
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

void WinPortfolioFiles::WriteFile(const std::string& path, const std::string& data) {
    forms::UniqueKernelHandle out(forms::NullIfInvalid(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!out)
        throw forms::EFCreateError(forms::Format("Cannot create file %s", path.c_str()));
    DWORD written = 0;
    if (!::WriteFile(out.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
        written != data.size() || !FlushFileBuffers(out.get()))
        throw forms::EWriteError(forms::Format("Cannot write file %s", path.c_str()));
}

void WinPortfolioFiles::MakeFolders(const std::string& folder) { ForceFolders(folder); }

std::vector<FileEntry> WinPortfolioFiles::List(const std::string& folder) {
    std::vector<FileEntry> entries;
    WIN32_FIND_DATAA found{};
    forms::UniqueFind search(forms::NullIfInvalid(FindFirstFileA((folder + "*").c_str(), &found)));
    if (!search) return entries;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search.get(), &found));
    return entries;
}

void WinPortfolioFiles::Copy(const std::string& source, const std::string& target) { CopyFileInto(source, target); }

void WinPortfolioFiles::Rename(const std::string& source, const std::string& target) {
    if (!MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw forms::EWriteError(forms::Format("Cannot rename file %s to %s", source.c_str(), target.c_str()));
}

void WinPortfolioFiles::Remove(const std::string& path) {
    if (!DeleteFileA(path.c_str()) && editor::FileExists(path))
        throw forms::EWriteError(forms::Format("Cannot delete file %s", path.c_str()));
}

}  // namespace editor
