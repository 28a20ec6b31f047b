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
    // Creates or replaces, and returns once the data is on the disk (a rename over a good file
    // may follow); raises EFCreateError "Cannot create file %s", or EWriteError.
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

// A whole-file replacement in two steps: Write puts the data in a temporary file beside path,
// Commit renames it over path. A write that fails midway (a full disk, a lock) leaves the old
// file whole, and the temporary file goes unless it was committed.
class PendingFile {
public:
    PendingFile(PortfolioFiles& files, std::string path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    void Write(const std::string& data);
    void Commit();

private:
    PortfolioFiles& files_;
    std::string path_, temporary_;
    bool written_ = false;
};

// Write and Commit at once.
void WriteFileReplacing(PortfolioFiles& files, const std::string& path, const std::string& data);

}  // namespace editor
