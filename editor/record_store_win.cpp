#include "editor/record_store_win.h"

#include <windows.h>

namespace editor {
namespace {

unsigned LocalSecondsIntoMonth() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return SecondsIntoMonth(now.wDay, now.wHour, now.wMinute, now.wSecond);
}

}  // namespace

WinRecordStore::WinRecordStore(const std::string& programFolder)
    : RecordStore(WinStoreFiles::ini, WinStoreFiles::files, programFolder, LocalSecondsIntoMonth) {}

}  // namespace editor
