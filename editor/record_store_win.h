// The record store over the program folder's real files, with the local clock naming new
// comment files.
#pragma once

#include "editor/ini_files_win.h"
#include "editor/portable/record_store.h"
#include "editor/portfolio_files_win.h"

#include <string>

namespace editor {

// The platform's files, a base so that they are made before the store that uses them.
struct WinStoreFiles {
    WinIniFiles ini;
    WinPortfolioFiles files;
};

class WinRecordStore : private WinStoreFiles, public RecordStore {
public:
    explicit WinRecordStore(const std::string& programFolder);
};

}  // namespace editor
