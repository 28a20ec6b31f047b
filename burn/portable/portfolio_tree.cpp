#include "burn/portable/portfolio_tree.h"

#include <algorithm>

namespace burn {

namespace {

constexpr std::uint32_t kEveryAttribute = 63;

}  // namespace

std::string AddPortfolio(FileTree& tree, const std::u16string& folder, bool folderExists) {
    // A tree kept from an earlier burn would add extension-less files twice and keep files
    // deleted since, which the cache then fails to open.
    tree.ClearFiles();
    if (!folderExists) return kPortfolioMissingText;
    // Its result only says whether the last name was added: a skipped name is no reason to stop.
    tree.InsertDir(tree.Root(), folder, false, false, true, kEveryAttribute, u"*.*");
    if (tree.LimitReached()) return kPortfolioTooLargeText;
    const auto& files = tree.Files();
    if (std::none_of(files.begin(), files.end(), [](const auto& e) { return !e->IsDirectory(); }))
        return kPortfolioEmptyText;
    return {};
}

}  // namespace burn
