// The file system as the portfolio's stores and the site build see it: whole-file reads and
// writes, folder listings, copies and renames. Paths use backslashes; folders are named with
// a trailing one. The editor passes the real file system, tests an in-memory one.
#pragma once

#include <string>
#include <vector>

namespace editor {

struct FileEntry {
    std::string name;
    bool folder = false;
};

class PortfolioFiles {
public:
    virtual ~PortfolioFiles() = default;
    virtual bool FileExists(const std::string& path) = 0;
    // Raises EFOpenError "Cannot open file %s".
    virtual std::string ReadFile(const std::string& path) = 0;
    // Creates or replaces; raises EFCreateError "Cannot create file %s".
    virtual void WriteFile(const std::string& path, const std::string& data) = 0;
    // Creates the folder with its missing parents; raises when it cannot.
    virtual void MakeFolders(const std::string& folder) = 0;
    // The entries of folder, "." and ".." left out, in any order; empty when it is missing.
    virtual std::vector<FileEntry> List(const std::string& folder) = 0;
    // Replaces target; raises "Cannot open file %s" or "Cannot create file %s".
    virtual void Copy(const std::string& source, const std::string& target) = 0;
    // Moves source over target in one step, replacing target; raises when it cannot, and
    // then both files are as they were.
    virtual void Rename(const std::string& source, const std::string& target) = 0;
    // Raises when the file stays.
    virtual void Remove(const std::string& path) = 0;
};

// Writes data to a temporary file beside path and renames it over path, so a write that
// fails midway (a full disk, a lock) leaves the old file whole; the temporary file goes.
void WriteFileReplacing(PortfolioFiles& files, const std::string& path, const std::string& data);

}  // namespace editor
