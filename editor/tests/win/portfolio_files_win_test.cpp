#include "editor/portfolio_files_win.h"

#include "forms/gdi_handle.h"
#include "forms/portable/exceptions.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace editor {
namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

TEST(WinPortfolioFiles, RenameReplacesTheTargetInOneStep) {
    testsupport::TempFolder root;
    WinPortfolioFiles files;
    WriteWholeFile(root.Path() + "new.tmp", "new");
    WriteWholeFile(root.Path() + "comment.rtf", "old and longer");
    files.Rename(root.Path() + "new.tmp", root.Path() + "comment.rtf");
    EXPECT_EQ(ReadWholeFile(root.Path() + "comment.rtf"), "new");
    EXPECT_FALSE(files.FileExists(root.Path() + "new.tmp"));
}

TEST(WinPortfolioFiles, RenameOverAHeldTargetRaisesAndKeepsBothFiles) {
    testsupport::TempFolder root;
    WinPortfolioFiles files;
    WriteWholeFile(root.Path() + "new.tmp", "new");
    WriteWholeFile(root.Path() + "comment.rtf", "old");
    forms::UniqueKernelHandle held(forms::NullIfInvalid(CreateFileA((root.Path() + "comment.rtf").c_str(), GENERIC_READ, 0,
                                                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    ASSERT_TRUE(held);
    EXPECT_ANY_THROW(files.Rename(root.Path() + "new.tmp", root.Path() + "comment.rtf"));
    held.reset();
    EXPECT_EQ(ReadWholeFile(root.Path() + "comment.rtf"), "old");
    EXPECT_EQ(ReadWholeFile(root.Path() + "new.tmp"), "new");
}

// A device that takes the bytes and cannot put them on a disk: a write that goes on to be
// renamed over a good file must not count as done.
TEST(WinPortfolioFiles, AWriteTheDiskCannotFlushRaises) {
    WinPortfolioFiles files;
    EXPECT_THROW(files.WriteFile("Z:\\dev\\null", "new"), forms::EWriteError);
}

}  // namespace
}  // namespace editor
