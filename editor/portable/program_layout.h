// The folders and files of the program folder, all relative to ProgramFolder.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace editor {

// Made at every start when missing, with their parents.
std::span<const std::string_view> StartupFolders();

inline constexpr std::string_view kSettingsFile = "vantrell.ini";
inline constexpr std::string_view kPersonalComments = "personalcomments.rtf";
inline constexpr std::string_view kHelpFile = "vantrell.pdf";
inline constexpr std::string_view kBurnProgram = "vantburn.exe";
inline constexpr std::string_view kTemplatesFolder = "html";
inline constexpr std::string_view kPortfoliosFolder = "distributable";
inline constexpr std::string_view kDefaultTemplate = "Default";

// The folder with a trailing backslash.
std::string WithTrailingBackslash(std::string folder);
// The folder a path names a file in, with its trailing backslash ("C:\V\a.exe" -> "C:\V\").
std::string FolderOf(std::string_view path);

}  // namespace editor
