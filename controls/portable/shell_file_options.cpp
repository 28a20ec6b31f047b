#include "controls/portable/shell_file_options.h"

#include <algorithm>

namespace controls {
namespace {

// In the order of TShellFileOption.
constexpr std::uint16_t kOptionFlags[kShellFileOptionCount] = {
    0x0040,  // fofAllowUndo
    0x0002,  // fofConfirmMouse
    0x0080,  // fofFilesOnly
    0x0001,  // fofMultiDestFiles
    0x0010,  // fofNoConfirmation
    0x0200,  // fofNoConfirmMkDir
    0x0008,  // fofRenameOnCollision
    0x0004,  // fofSilent
    0x0100,  // fofSimpleProgress
    0x0020,  // fofWantMappingHandle
    0x0400,  // fofNoErrorUI
    0x0800,  // fofNoCopySecurityAttributes
    0x1000,  // fofNoRecursion
    0x2000,  // fofNoConnectedElements
    0x8000,  // fofNoRecurseParse
    0x4000,  // fofWantNukeWarning
};

// In the order of TShellFileOpType.
constexpr unsigned kFunctionCodes[] = {2, 3, 1, 4};

bool IsBlank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string Trimmed(const std::string& s) {
    const auto first = std::find_if(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
    const auto last = std::find_if(s.rbegin(), s.rend(), [](char c) { return static_cast<unsigned char>(c) > ' '; }).base();
    return first < last ? std::string(first, last) : std::string();
}

}  // namespace

bool IsRootPath(const std::string& path) {
    std::string p = Trimmed(path);
    while (p.size() > 1 && IsSeparator(p.back())) p.pop_back();
    if (p.empty()) return false;
    if (p.size() == 1) return IsSeparator(p[0]);
    const bool letter = (p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z');
    if (p.size() == 2 && letter && p[1] == ':') return true;
    // \\server or \\server\share: at most two parts after the leading pair of separators.
    if (IsSeparator(p[0]) && IsSeparator(p[1])) {
        const std::string rest = p.substr(2);
        const std::size_t split = rest.find_first_of("\\/");
        return split == std::string::npos || rest.find_first_of("\\/", split + 1) == std::string::npos;
    }
    return false;
}

bool IsRootWildcard(const std::string& path) {
    std::string p = Trimmed(path);
    while (!p.empty() && IsSeparator(p.back())) p.pop_back();
    const std::size_t split = p.find_last_of("\\/:");
    const std::string last = split == std::string::npos ? p : p.substr(split + 1);
    if (last.find_first_of("*?") == std::string::npos) return false;
    // A bare pattern matches in the folder the program stands in.
    if (split == std::string::npos) return true;
    // "C:\*" and "\\server\share\*" keep their separator, "C:*" its colon: the root is what they match in.
    return IsRootPath(p.substr(0, split + 1));
}

bool NamesARelativeFolder(const std::string& entry) {
    std::string p = Trimmed(entry);
    while (!p.empty() && IsSeparator(p.back())) p.pop_back();
    const std::size_t slash = p.find_last_of("\\/:");
    const std::string last = slash == std::string::npos ? p : p.substr(slash + 1);
    return last == "." || last == "..";
}

std::string WithoutTrailingBackslash(std::string path) {
    const std::size_t end = path.find_last_not_of("\\/");
    if (end == std::string::npos) return path.substr(0, 1);  // "\\" stays the root
    if (end + 1 == path.size()) return path;
    const std::string stripped = path.substr(0, end + 1);
    // A root keeps one separator: "C:" alone would mean the current folder of drive C.
    return IsRootPath(stripped) ? stripped + path[end + 1] : stripped;
}

unsigned ShellFunctionCode(TShellFileOpType operation) { return kFunctionCodes[operation]; }

std::uint16_t ShellOptionFlag(TShellFileOption option) { return kOptionFlags[option]; }

std::uint16_t ShellOptionFlags(const TShellFileOptions& options) {
    std::uint16_t flags = 0;
    for (int i = 0; i < kShellFileOptionCount; ++i)
        if (options.Contains(static_cast<TShellFileOption>(i))) flags |= kOptionFlags[i];
    return flags;
}

std::string DoubleNulList(const std::vector<std::string>& names,
                          const std::function<std::string(const std::string&)>& expand) {
    std::string list;
    for (const auto& name : names) {
        if (IsBlank(name)) continue;
        const std::string expanded = expand ? expand(name) : name;
        if (expanded.empty()) continue;
        list += expanded;
        list += '\0';
    }
    list += '\0';
    return list;
}

}  // namespace controls
