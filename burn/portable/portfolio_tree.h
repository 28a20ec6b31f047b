// The portfolio folder as the burner's file tree, built afresh for every burn.
#pragma once

#include <string>

#include "burn/portable/file_tree.h"

namespace burn {

inline constexpr char kPortfolioMissingText[] = "PORTFOLIO FOLDER NOT FOUND";
inline constexpr char kPortfolioEmptyText[] = "PORTFOLIO FOLDER HOLDS NO FILE";
inline constexpr char kPortfolioTooLargeText[] = "TOO MANY FILES OR FOLDERS FOR ONE DISC";

// Empties the tree, then adds the folder with everything below it. "" when the tree may be
// burnt; otherwise the reason it may not: the folder is gone, holds no file, or a limit left
// the tree partial. A name skipped for its length is only logged (by the tree).
std::string AddPortfolio(FileTree& tree, const std::u16string& folder, bool folderExists);

}  // namespace burn
