#include "burn/wide_paths.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "burn/portable/joliet_names.h"

namespace burn {
namespace {

// The longest path the wide calls take.
constexpr DWORD kLongestPath = 32768;

std::wstring Wide(std::string_view utf8) {
    const std::u16string text = Utf16(utf8);
    return {text.begin(), text.end()};
}

std::string FromWide(std::wstring_view wide) { return Utf8({reinterpret_cast<const char16_t*>(wide.data()), wide.size()}); }

struct LocalFreed {
    void operator()(wchar_t** p) const { LocalFree(p); }
};

}  // namespace

std::u16string ExtendedPath(std::u16string_view path) {
    constexpr std::u16string_view kExtended = u"\\\\?\\", kDevice = u"\\\\.\\", kUnc = u"\\\\?\\UNC\\";
    if (path.starts_with(kExtended) || path.starts_with(kDevice)) return std::u16string(path);
    std::u16string text(path);
    std::replace(text.begin(), text.end(), u'/', u'\\');
    std::u16string prefix, rest;
    if (text.starts_with(u"\\\\")) {
        prefix = std::u16string(kUnc);
        rest = text.substr(2);
    } else if (text.size() >= 3 && text[1] == u':' && text[2] == u'\\') {
        prefix = std::u16string(kExtended) + text.substr(0, 3);
        rest = text.substr(3);
    } else {
        return text;
    }
    std::vector<std::u16string> levels;
    for (std::size_t from = 0; from <= rest.size();) {
        std::size_t to = rest.find(u'\\', from);
        if (to == std::u16string::npos) to = rest.size();
        const std::u16string level = rest.substr(from, to - from);
        if (level == u"..") {
            if (!levels.empty()) levels.pop_back();
        } else if (!level.empty() && level != u".") {
            levels.push_back(level);
        }
        from = to + 1;
    }
    std::u16string out = prefix;
    for (std::size_t i = 0; i < levels.size(); ++i) out += (i ? u"\\" : u"") + levels[i];
    // A folder given with its trailing backslash keeps it: a mask is appended to it.
    if (rest.ends_with(u'\\') && !levels.empty()) out += u'\\';
    return out;
}

std::vector<std::string> CommandLineArguments() {
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreed> words(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> args;
    for (int i = 1; words && i < count; ++i) args.push_back(FromWide(words.get()[i]));
    return args;
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size() || path.size() >= kLongestPath) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::string utf8 = FromWide(path);
    return utf8.substr(0, utf8.find_last_of('\\') + 1);
}

bool IsFolder(const std::string& path) {
    const std::u16string extended = ExtendedPath(Utf16(path));
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(extended.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string AnsiText(std::string_view utf8) {
    const std::wstring wide = Wide(utf8);
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

}  // namespace burn
