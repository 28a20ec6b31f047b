// PortfolioFiles in memory for tests: names compare without regard to case, as on the platform;
// a write into a missing folder fails as it would there.
#pragma once

#include "editor/portable/portfolio_files.h"

#include <map>
#include <set>
#include <string>

namespace editor::testing_files {

class MemoryPortfolioFiles : public PortfolioFiles {
public:
    bool FileExists(const std::string& path) override;
    std::string ReadFile(const std::string& path) override;
    void WriteFile(const std::string& path, const std::string& data) override;
    void MakeFolders(const std::string& folder) override;
    std::vector<FileEntry> List(const std::string& folder) override;
    void Copy(const std::string& source, const std::string& target) override;
    void Rename(const std::string& source, const std::string& target) override;
    void Remove(const std::string& path) override;

    // Test set-up: a file, its folders made as needed.
    void Put(const std::string& path, const std::string& data = "x");
    // Every file path as stored, in order.
    std::vector<std::string> Files() const;
    int writes = 0;

private:
    struct File {
        std::string path, data;
    };
    std::map<std::string, File> files_;  // by upper-case path
    std::set<std::string> folders_;      // upper case, trailing backslash
};

}  // namespace editor::testing_files
