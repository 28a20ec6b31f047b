#include "burn/image_file_writer.h"

#include <windows.h>

#include <vector>

namespace burn {
namespace {

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

}  // namespace

ImageFileWriter::~ImageFileWriter() {
    if (!temporary_.empty()) Discard();
}

bool ImageFileWriter::Create() {
    std::vector<wchar_t> full(32768);
    wchar_t* filePart = nullptr;
    if (GetFullPathNameW(Wide(target_), static_cast<DWORD>(full.size()), full.data(), &filePart) == 0 || !filePart)
        return false;
    *filePart = L'\0';  // the folder of the target
    wchar_t temporary[MAX_PATH + 1];
    if (GetTempFileNameW(full.data(), L"vbi", 0, temporary) == 0) return false;
    temporary_ = reinterpret_cast<const char16_t*>(temporary);
    file_.reset(forms::NullIfInvalid(
        CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file_) {
        Discard();
        return false;
    }
    return true;
}

bool ImageFileWriter::Write(const std::uint8_t* data, std::size_t count) {
    DWORD written = 0;
    return WriteFile(file_.get(), data, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

bool ImageFileWriter::Commit() {
    const bool flushed = FlushFileBuffers(file_.get()) != 0;
    file_.reset();
    if (!flushed || !MoveFileExW(Wide(temporary_), Wide(target_), MOVEFILE_REPLACE_EXISTING)) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

// Only the temporary file this writer made is ever deleted.
void ImageFileWriter::Discard() {
    file_.reset();
    if (!temporary_.empty()) DeleteFileW(Wide(temporary_));
    temporary_.clear();
}

}  // namespace burn
