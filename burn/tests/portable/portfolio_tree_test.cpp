// The portfolio as the tree of one burn: built afresh each time, refused when there is
// nothing whole to burn.
#include <gtest/gtest.h>

#include <string>

#include "burn/portable/joliet_names.h"
#include "burn/portable/portfolio_tree.h"
#include "burn/tests/portable/memory_sources.h"

namespace burn {
namespace {

using testing::Master;

std::vector<std::u16string> RootNames(const FileTree& tree) {
    std::vector<std::u16string> names;
    for (TFEntry* e = tree.Root()->firstChild; e; e = e->next) names.push_back(e->jolietName);
    return names;
}

TEST(PortfolioTree, ASecondBurnHoldsTheFolderAsItIsNow) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\");
    m.disk.AddFile(u"C:\\src\\README", {1, 2, 3});
    m.disk.AddFile(u"C:\\src\\index.html", {4, 5});
    m.disk.AddFile(u"C:\\src\\old.jpg", {6});
    ASSERT_EQ(AddPortfolio(m.burner.tree, u"C:\\src", true), "");
    m.disk.RemoveFile(u"C:\\src\\old.jpg");
    ASSERT_EQ(AddPortfolio(m.burner.tree, u"C:\\src", true), "");
    // Neither the extension-less file twice ("README." does not match "README") nor the deleted one.
    EXPECT_EQ(RootNames(m.burner.tree), (std::vector<std::u16string>{u"README.", u"index.html"}));
    EXPECT_EQ(m.burner.tree.Files().size(), 2u);
}

TEST(PortfolioTree, NothingWholeToBurnIsRefused) {
    struct Case {
        const char* name;
        void (*fill)(testing::MemoryDisk&);
        bool exists;
        std::string verdict;
    };
    const Case cases[] = {
        {"missing", [](testing::MemoryDisk&) {}, false, kPortfolioMissingText},
        {"only an empty folder", [](testing::MemoryDisk& d) { d.AddFolder(u"C:\\src\\"); d.AddFolder(u"C:\\src\\empty\\"); },
         true, kPortfolioEmptyText},
        {"more folders than a disc takes",
         [](testing::MemoryDisk& d) {
             d.AddFolder(u"C:\\src\\");
             d.AddFile(u"C:\\src\\index.html", {1});
             for (std::size_t i = 0; i < kMaxDirectories + 1; ++i) d.AddFolder(u"C:\\src\\d" + Utf16(std::to_string(i)) + u"\\");
         },
         true, kPortfolioTooLargeText},
        {"a name too long is only skipped",
         [](testing::MemoryDisk& d) {
             d.AddFolder(u"C:\\src\\");
             d.AddFile(u"C:\\src\\index.html", {1});
             d.AddFile(u"C:\\src\\" + std::u16string(kMaxLongName + 1, u'x') + u".jpg", {2});
         },
         true, ""},
    };
    for (const auto& c : cases) {
        Master m;
        c.fill(m.disk);
        EXPECT_EQ(AddPortfolio(m.burner.tree, u"C:\\src", c.exists), c.verdict) << c.name;
    }
}

TEST(PortfolioTree, ARefusedFolderLeavesNoEarlierTreeBehind) {
    Master m;
    m.disk.AddFolder(u"C:\\src\\");
    m.disk.AddFile(u"C:\\src\\index.html", {1});
    ASSERT_EQ(AddPortfolio(m.burner.tree, u"C:\\src", true), "");
    EXPECT_EQ(AddPortfolio(m.burner.tree, u"C:\\src", false), kPortfolioMissingText);
    EXPECT_TRUE(m.burner.tree.Files().empty());
}

}  // namespace
}  // namespace burn
