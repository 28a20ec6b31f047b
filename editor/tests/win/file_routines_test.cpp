#include "editor/file_routines.h"

#include "forms/portable/exceptions.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace editor {
namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

TEST(Gethtmltemplates, ListsOnlyFoldersWithoutADot) {
    testsupport::TempFolder root;
    for (const char* folder : {"Default", "Blue Sky", "old.v2", "Zed"}) CreateDirectoryA((root.Path() + folder).c_str(), nullptr);
    WriteWholeFile(root.Path() + "README", "a file, not a template");
    EXPECT_EQ(gethtmltemplates(root.Path()), (std::vector<std::string>{"Blue Sky", "Default", "Zed"}));
    EXPECT_TRUE(gethtmltemplates(root.Path() + "missing").empty());
}

TEST(Gethtmltemplates, SortsNamesIgnoringLetterCase) {
    // Made in reverse order, so a listing in creation order is caught; a file system's own
    // upper-case byte order puts "_Old" and the accented names after "Zest".
    const std::vector<std::string> sorted = {"_Old", "10 Ten", "1two", "2x", "apple", "\xC4rger", "b", "B2", "Beach",
                                             "blue Sky", "Default", "default2", "\xE9mile", "midnight", "Mint",
                                             "Studio 9", "studio10", "Zest"};
    const struct { const char* what; std::string suffix; } folders[] = {
        {"with no trailing backslash", ""},
        {"with a trailing backslash", "\\"},
    };
    for (const auto& f : folders) {
        testsupport::TempFolder root;
        for (auto name = sorted.rbegin(); name != sorted.rend(); ++name)
            ASSERT_TRUE(CreateDirectoryA((root.Path() + *name).c_str(), nullptr)) << *name;
        std::string folder = root.Path();
        folder.pop_back();
        EXPECT_EQ(gethtmltemplates(folder + f.suffix), sorted) << f.what;
    }
}

TEST(CopyFileInto, ReplacesAFileOrKeepsTheNameInAFolder) {
    testsupport::TempFolder root;
    const std::string source = root.Path() + "picture.jpg";
    // Exactly one block, then one more byte than a block: both must arrive whole.
    for (size_t size : {size_t{0}, size_t{8192}, size_t{8193}, size_t{100000}}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + size);
        WriteWholeFile(source, bytes);
        WriteWholeFile(root.Path() + "copy.jpg", "old and longer content than the new one");
        CopyFileInto(source, root.Path() + "copy.jpg");
        EXPECT_EQ(ReadWholeFile(root.Path() + "copy.jpg"), bytes) << size;
    }
    CreateDirectoryA((root.Path() + "into").c_str(), nullptr);
    CopyFileInto(source, root.Path() + "into");
    EXPECT_EQ(ReadWholeFile(root.Path() + "into\\picture.jpg"), ReadWholeFile(source));
    CopyFileInto(source, root.Path() + "into\\");
    EXPECT_EQ(ReadWholeFile(root.Path() + "into\\picture.jpg"), ReadWholeFile(source));
}

TEST(CopyFileInto, ReportsTheFailingPathAndNeverTruncatesTheSource) {
    testsupport::TempFolder root;
    const std::string source = root.Path() + "a.jpg";
    try {
        CopyFileInto(source, root.Path() + "b.jpg");
        FAIL() << "copied a missing file";
    } catch (const forms::EFOpenError& e) {
        EXPECT_EQ(e.Message, "Cannot open file " + source);
    }
    WriteWholeFile(source, "precious");
    const std::string badTarget = root.Path() + "no such folder\\b.jpg";
    try {
        CopyFileInto(source, badTarget);
        FAIL() << "created a file in a missing folder";
    } catch (const forms::EFCreateError& e) {
        EXPECT_EQ(e.Message, "Cannot create file " + badTarget);
    }
    EXPECT_THROW(CopyFileInto(source, source), forms::EFCreateError);
    EXPECT_EQ(ReadWholeFile(source), "precious");
}

TEST(FileHasAttr, NeedsEveryBitAndMatchesOnlyAnEmptyMaskWhenUnreadable) {
    testsupport::TempFolder root;
    EXPECT_TRUE(FileHasAttr(root.Path(), FILE_ATTRIBUTE_DIRECTORY));
    WriteWholeFile(root.Path() + "f", "x");
    EXPECT_FALSE(FileHasAttr(root.Path() + "f", FILE_ATTRIBUTE_DIRECTORY));
    SetFileAttributesA((root.Path() + "f").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(FileHasAttr(root.Path() + "f", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(FileHasAttr(root.Path() + "f", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    SetFileAttributesA((root.Path() + "f").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(FileHasAttr(root.Path() + "missing", 0));
    EXPECT_FALSE(FileHasAttr(root.Path() + "missing", FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace
}  // namespace editor
