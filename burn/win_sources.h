// The Win32 side of mastering: folders listed and files read by their wide names, so that a
// name outside the ANSI code page is found again; the local time and the time-zone bias.
#pragma once

#include <memory>

#include "burn/portable/cache_thread.h"
#include "burn/portable/file_source.h"
#include "burn/portable/file_tree.h"

namespace burn {

class WinFolderLister final : public FolderLister {
public:
    std::vector<ListingRecord> List(const std::u16string& folder, const std::u16string& mask) override;
};

class WinFileSource final : public FileSource {
public:
    std::unique_ptr<SourceFile> Open(const std::u16string& path) override;
};

LocalDateTime LocalNow();
// The standard bias in minutes (UTC = local time + bias); the daylight-saving bias is not added.
int StandardBiasMinutes();
// Sets the calling thread's priority for the cache's queue level.
void SetCachePriority(CachePriority priority);

}  // namespace burn
