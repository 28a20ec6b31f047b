// The editor's small file routines: folder listing, file copy and attribute tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace editor {

// Names of the sub-folders of folder, sorted as the platform compares names (letter case
// ignored); only names without a dot match (the pattern "*."), "." and ".." left out.
std::vector<std::string> gethtmltemplates(const std::string& folder);

// Copies source into target (a file, replaced when it exists, or a folder, which keeps the
// source's name). Raises EFOpenError "Cannot open file %s" or EFCreateError
// "Cannot create file %s"; a copy that fails midway removes what it wrote.
void CopyFileInto(const std::string& source, const std::string& target);

// True when the attributes of path hold every bit of mask; unreadable attributes match only
// an empty mask.
bool FileHasAttr(const std::string& path, DWORD mask);

// Makes folder and every missing parent; raises EFCreateError "Cannot create folder %s".
void ForceFolders(const std::string& folder);

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

}  // namespace editor
