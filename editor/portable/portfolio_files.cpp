#include "editor/portable/portfolio_files.h"

namespace editor {

void WriteFileReplacing(PortfolioFiles& files, const std::string& path, const std::string& data) {
    const std::string temporary = path + ".new";
    try {
        files.WriteFile(temporary, data);
        files.Rename(temporary, path);
    } catch (...) {
        try {
            if (files.FileExists(temporary)) files.Remove(temporary);
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
}

}  // namespace editor
