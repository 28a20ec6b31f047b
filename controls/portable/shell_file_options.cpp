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

}  // namespace

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
