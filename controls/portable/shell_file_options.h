// The shell file operation's operations and options as the shell numbers them, and the
// double-NUL-terminated name lists it reads.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace controls {

enum TShellFileOpType { foCopy, foDelete, foMove, foRename };

enum TShellFileOption {
    fofAllowUndo,
    fofConfirmMouse,
    fofFilesOnly,
    fofMultiDestFiles,
    fofNoConfirmation,
    fofNoConfirmMkDir,
    fofRenameOnCollision,
    fofSilent,
    fofSimpleProgress,
    fofWantMappingHandle,
    fofNoErrorUI,
    fofNoCopySecurityAttributes,
    fofNoRecursion,
    fofNoConnectedElements,
    fofNoRecurseParse,
    fofWantNukeWarning,
};
inline constexpr int kShellFileOptionCount = 16;

// A set of TShellFileOption: bit n for member n.
class TShellFileOptions {
public:
    constexpr TShellFileOptions() = default;
    constexpr TShellFileOptions(std::initializer_list<TShellFileOption> members) {
        for (auto m : members) bits_ |= Bit(m);
    }
    constexpr bool Contains(TShellFileOption m) const { return (bits_ & Bit(m)) != 0; }
    constexpr TShellFileOptions& Include(TShellFileOption m) { bits_ |= Bit(m); return *this; }
    constexpr TShellFileOptions& Exclude(TShellFileOption m) { bits_ &= ~Bit(m); return *this; }
    constexpr bool operator==(const TShellFileOptions&) const = default;

private:
    static constexpr std::uint32_t Bit(TShellFileOption m) { return 1u << static_cast<int>(m); }
    std::uint32_t bits_ = 0;
};

// The shell's function code (FO_MOVE 1, FO_COPY 2, FO_DELETE 3, FO_RENAME 4).
unsigned ShellFunctionCode(TShellFileOpType operation);
// The shell's flag of one option, and the flags word of a set (the OR of its members).
std::uint16_t ShellOptionFlag(TShellFileOption option);
std::uint16_t ShellOptionFlags(const TShellFileOptions& options);

// A path with its trailing backslashes dropped (the shell takes "folder\" for no folder); a
// root ("C:\", "\", "\\server\share\") keeps its own.
std::string WithoutTrailingBackslash(std::string path);
// True for a path that names a whole drive or share: "C:", "C:\", "\", "\\server\share".
bool IsRootPath(const std::string& path);
// True for a pattern that matches everything of a whole drive or share ("C:\*", "C:*.*",
// "\\server\share\*"), or of the folder the program stands in ("*").
bool IsRootWildcard(const std::string& path);
// True for an entry whose last part is "." or "..": it names a folder by where the program
// stands, never one the user chose.
bool NamesARelativeFolder(const std::string& entry);

// Each name expanded (by the caller's rule, e.g. to a full path) and ended by a NUL, then
// one more NUL. Blank names are left out: one would end the list early and drop the
// names after it. No names give a single NUL.
std::string DoubleNulList(const std::vector<std::string>& names,
                          const std::function<std::string(const std::string&)>& expand);

}  // namespace controls
