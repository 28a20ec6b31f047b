// A portfolio's name is the name of its folder under "Distributable\": the rules it must keep
// before anything is built, opened, deleted or handed to vantburn, and the paths and the
// command line made from it.
#pragma once

#include <string>
#include <string_view>

namespace editor {

// The longest path the platform takes, without its terminating NUL.
inline constexpr size_t kPathLimit = 259;

// How the caller's text is encoded: vantrell's own text is ANSI (code page 1252), vantburn
// takes its command line as UTF-8.
enum class NameText { Ansi, Utf8 };

// A typed name as it is taken: blanks and control characters cut from both ends.
std::string TrimPortfolioName(std::string_view typed);

// Empty when name (already trimmed) can be a portfolio folder of programFolder (trailing
// backslash); otherwise the message telling the user why not. Both are in the encoding text
// says, so that a name is measured the same on both sides.
std::string PortfolioNameProblem(std::string_view name, std::string_view programFolder, NameText text);

// programFolder + "Distributable\" + name, without a trailing backslash.
std::string PortfolioFolder(std::string_view programFolder, std::string_view name);

// True when path names an entry directly inside folder (any letter case; a trailing
// backslash on folder allowed): never folder itself, its parent, or anything deeper.
bool SitsDirectlyInside(std::string_view path, std::string_view folder);

// vantburn's single argument: the name, in quotes when it holds a blank, so that it arrives
// as one argument.
std::string BurnParameter(std::string_view name);

}  // namespace editor
