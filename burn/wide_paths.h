// vantburn keeps its paths in UTF-8, so that a folder named outside the ANSI code page (a
// portfolio "Zoë", a program folder under a user "José" of another code page) is found again:
// the command line and the program's path are read through the wide calls, the file system is
// asked by wide names, and text becomes ANSI only where the form library's windows show it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace burn {

// The program's arguments after its own path.
std::vector<std::string> CommandLineArguments();
// The executable's folder with its trailing backslash.
std::string ExecutableFolder();
bool IsFolder(const std::string& path);
// An absolute path in the "\\?\" form, which the wide calls take as spelt: a name ending in
// "." or " " stays itself, and the path may pass 260 characters. "." and ".." levels are
// resolved first, as the plain form would; a relative path is left as it is.
std::u16string ExtendedPath(std::u16string_view path);
// The text as the ANSI windows show it: a character the code page lacks becomes its default one.
std::string AnsiText(std::string_view utf8);

}  // namespace burn
