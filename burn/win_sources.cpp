#include "burn/win_sources.h"

#include <windows.h>

#include "burn/wide_paths.h"
#include "forms/gdi_handle.h"

namespace burn {
namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string FromWide(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

LocalDateTime FromSystemTime(const SYSTEMTIME& st) {
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

LocalDateTime LocalFromFileTime(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return {};
    return FromSystemTime(st);
}

class WinSourceFile final : public SourceFile {
public:
    explicit WinSourceFile(HANDLE h) : file_(h) {}
    std::int64_t Read(std::uint8_t* dest, std::size_t count) override {
        DWORD got = 0;
        if (!ReadFile(file_.get(), dest, static_cast<DWORD>(count), &got, nullptr)) return -1;
        return got;
    }
    std::uint64_t Size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }

private:
    forms::UniqueKernelHandle file_;
};

}  // namespace

ListingRecord ListingRecordOf(const WIN32_FIND_DATAW& found) {
    ListingRecord r;
    r.name = FromWide(found.cFileName);
    for (const wchar_t* c = found.cAlternateFileName; *c; ++c)
        r.alternate += *c >= 0x20 && *c < 0x7F ? static_cast<char>(*c) : '_';
    r.size = std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
    r.attributes = found.dwFileAttributes;
    r.lastWrite = LocalFromFileTime(found.ftLastWriteTime);
    return r;
}

std::vector<ListingRecord> WinFolderLister::List(const std::u16string& folder, const std::u16string& mask) {
    std::vector<ListingRecord> out;
    WIN32_FIND_DATAW found;
    const std::u16string pattern = ExtendedPath(folder + mask);
    forms::UniqueFind find(forms::NullIfInvalid(
        FindFirstFileExW(Wide(pattern), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0)));
    if (!find) return out;
    do {
        out.push_back(ListingRecordOf(found));
    } while (FindNextFileW(find.get(), &found));
    return out;
}

std::unique_ptr<SourceFile> WinFileSource::Open(const std::u16string& path) {
    HANDLE h = forms::NullIfInvalid(CreateFileW(Wide(ExtendedPath(path)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h) return nullptr;
    return std::make_unique<WinSourceFile>(h);
}

LocalDateTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
}

int StandardBiasMinutes() {
    TIME_ZONE_INFORMATION tz;
    return GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID ? 0 : static_cast<int>(tz.Bias);
}

void SetCachePriority(CachePriority priority) {
    static constexpr int kLevels[] = {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_LOWEST,
                                      THREAD_PRIORITY_IDLE};
    SetThreadPriority(GetCurrentThread(), kLevels[static_cast<int>(priority)]);
}

}  // namespace burn
