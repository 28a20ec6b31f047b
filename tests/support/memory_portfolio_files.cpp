#include "tests/support/memory_portfolio_files.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/text_case.h"

namespace editor::testing_files {
namespace {

std::string Parent(const std::string& path) {
    const auto slash = path.find_last_of('\\', path.size() >= 2 ? path.size() - 2 : 0);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

bool MemoryPortfolioFiles::FileExists(const std::string& path) { return files_.count(forms::UpperAscii(path)) != 0; }

std::string MemoryPortfolioFiles::ReadFile(const std::string& path) {
    const auto found = files_.find(forms::UpperAscii(path));
    if (found == files_.end()) throw forms::EFOpenError(forms::Format("Cannot open file %s", path.c_str()));
    return found->second.data;
}

void MemoryPortfolioFiles::WriteFile(const std::string& path, const std::string& data) {
    if (!folders_.count(forms::UpperAscii(Parent(path))))
        throw forms::EFCreateError(forms::Format("Cannot create file %s", path.c_str()));
    auto& file = files_[forms::UpperAscii(path)];
    if (file.path.empty()) file.path = path;
    file.data = data;
    ++writes;
}

void MemoryPortfolioFiles::MakeFolders(const std::string& folder) {
    for (std::string f = folder; !f.empty(); f = Parent(f)) folders_.insert(forms::UpperAscii(f));
}

std::vector<FileEntry> MemoryPortfolioFiles::List(const std::string& folder) {
    std::vector<FileEntry> entries;
    const std::string key = forms::UpperAscii(folder);
    for (const auto& [upper, file] : files_)
        if (Parent(upper) == key) entries.push_back({file.path.substr(folder.size()), false});
    for (const auto& f : folders_)
        if (Parent(f) == key) entries.push_back({f.substr(key.size(), f.size() - key.size() - 1), true});
    return entries;
}

void MemoryPortfolioFiles::Copy(const std::string& source, const std::string& target) {
    const auto found = files_.find(forms::UpperAscii(source));
    if (found == files_.end()) throw forms::EFOpenError(forms::Format("Cannot open file %s", source.c_str()));
    const std::string data = found->second.data;
    WriteFile(target, data);
}

void MemoryPortfolioFiles::Rename(const std::string& source, const std::string& target) {
    const auto found = files_.find(forms::UpperAscii(source));
    if (found == files_.end() || !folders_.count(forms::UpperAscii(Parent(target))))
        throw forms::EWriteError("Cannot rename " + source + " to " + target);
    File moved{target, found->second.data};
    files_.erase(found);
    files_[forms::UpperAscii(target)] = moved;
}

void MemoryPortfolioFiles::Remove(const std::string& path) {
    if (!files_.erase(forms::UpperAscii(path))) throw forms::EWriteError("Cannot delete " + path);
}

void MemoryPortfolioFiles::Put(const std::string& path, const std::string& data) {
    MakeFolders(Parent(path));
    WriteFile(path, data);
    --writes;
}

std::vector<std::string> MemoryPortfolioFiles::Files() const {
    std::vector<std::string> paths;
    for (const auto& [upper, file] : files_) paths.push_back(file.path);
    return paths;
}

}  // namespace editor::testing_files
