// The portfolio's file system on Win32.
#pragma once

#include "editor/portable/portfolio_files.h"

namespace editor {

class WinPortfolioFiles : public PortfolioFiles {
public:
    bool FileExists(const std::string& path) override;
    std::string ReadFile(const std::string& path) override;
    void WriteFile(const std::string& path, const std::string& data) override;
    void MakeFolders(const std::string& folder) override;
    std::vector<FileEntry> List(const std::string& folder) override;
    void Copy(const std::string& source, const std::string& target) override;
    void Rename(const std::string& source, const std::string& target) override;
    void Remove(const std::string& path) override;
};

}  // namespace editor
