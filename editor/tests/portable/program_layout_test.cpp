#include "editor/portable/program_layout.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

TEST(ProgramLayout, FoldersAndTrailingBackslashes) {
    EXPECT_EQ(StartupFolders().size(), 9u);
    EXPECT_EQ(StartupFolders().back(), "Comment Files");
    const struct { const char* in; const char* out; } folders[] = {
        {"C:\\V", "C:\\V\\"}, {"C:\\V\\", "C:\\V\\"}, {"", "\\"},
    };
    for (const auto& c : folders) EXPECT_EQ(WithTrailingBackslash(c.in), c.out) << c.in;
    EXPECT_EQ(FolderOf("C:\\Program Files\\V\\vantrell.exe"), "C:\\Program Files\\V\\");
    EXPECT_EQ(FolderOf("vantrell.exe"), "");
}

}  // namespace
}  // namespace editor
