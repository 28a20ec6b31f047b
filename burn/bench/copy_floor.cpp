// image_copy_floor LIST_FILE OUTPUT: the copy floor of the image benchmark. Reads every file named
// in LIST_FILE (UTF-8 Windows paths, one a line) in 63488-byte blocks and writes them one after
// another into OUTPUT, with the same calls the image-file mode makes.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "forms/gdi_handle.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(),
                                   static_cast<int>(out.size())));
    return out;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) return 2;
    std::ifstream list(argv[1]);
    forms::UniqueKernelHandle out(forms::NullIfInvalid(
        CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!out) return 1;
    std::vector<std::uint8_t> block(63488);
    std::string line;
    while (std::getline(list, line)) {
        forms::UniqueKernelHandle in(forms::NullIfInvalid(CreateFileW(Wide(line).c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        if (!in) return 1;
        DWORD got = 0, written = 0;
        while (ReadFile(in.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got > 0) {
            if (!WriteFile(out.get(), block.data(), got, &written, nullptr) || written != got) return 1;
        }
    }
    return FlushFileBuffers(out.get()) ? 0 : 1;
}
