#include "editor/portable/portfolio_files.h"

namespace editor {

PendingFile::PendingFile(PortfolioFiles& files, std::string path)
    : files_(files), path_(std::move(path)), temporary_(path_ + ".new") {}

PendingFile::~PendingFile() {
    if (!written_) return;
    try {
        if (files_.FileExists(temporary_)) files_.Remove(temporary_);
    } catch (...) {
        // The failure that ended the write is the one to report.
    }
}

void PendingFile::Write(const std::string& data) {
    written_ = true;
    files_.WriteFile(temporary_, data);
}

void PendingFile::Commit() {
    files_.Rename(temporary_, path_);
    written_ = false;
}

void WriteFileReplacing(PortfolioFiles& files, const std::string& path, const std::string& data) {
    PendingFile file(files, path);
    file.Write(data);
    file.Commit();
}

}  // namespace editor
