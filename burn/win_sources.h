// The Win32 side of mastering: folders listed and files read by their wide names, so that a
// name outside the ANSI code page is found again; the local time and the time-zone bias.
#pragma once

#include <memory>

#include "burn/portable/cache_thread.h"
#include "burn/portable/file_source.h"
#include "burn/portable/file_tree.h"

struct _WIN32_FIND_DATAW;

namespace burn {

// One entry of a wide listing. Its 8.3 name becomes ASCII: a letter outside it (an OEM one a
// drive's short name may hold) is "_", as in a name without an 8.3 form.
ListingRecord ListingRecordOf(const _WIN32_FIND_DATAW& found);

// Folders are listed and files opened by the "\\?\" form of their paths, so that every name a
// listing gives opens again, at any length.
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
