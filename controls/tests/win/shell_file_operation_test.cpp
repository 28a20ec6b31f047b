#include "controls/shell_file_operation.h"

#include <gtest/gtest.h>

#include "controls/ctl_types.h"
#include "forms/form.h"
#include "forms/platform_calls.h"
#include "tests/support/process_driver.h"

#include <fstream>
#include <vector>

namespace controls {
namespace {

using namespace forms;
using namespace std::string_literals;

std::string ListOf(const char* list) {
    std::string out;
    while (*list) {
        const std::string entry = list;
        out += entry + '\0';
        list += entry.size() + 1;
    }
    return out + '\0';
}

// Records every call in place of the shell and answers as told.
class RecordedShell : public testing::Test {
protected:
    struct Call {
        HWND owner;
        UINT function;
        std::string from, to, title;
        FILEOP_FLAGS flags;
    };
    RecordedShell() : saved_(ShellFileOperationCall) {
        ShellFileOperationCall = [this](SHFILEOPSTRUCTA& op) {
            calls_.push_back({op.hwnd, op.wFunc, ListOf(op.pFrom), ListOf(op.pTo),
                              op.lpszProgressTitle ? op.lpszProgressTitle : "(null)", op.fFlags});
            op.fAnyOperationsAborted = aborted_;
            if (result_ != 0) SetLastError(lastError_);
            return result_;
        };
    }
    ~RecordedShell() override { ShellFileOperationCall = saved_; }

    ShellFileOperationFunction saved_;
    std::vector<Call> calls_;
    int result_ = 0;
    BOOL aborted_ = FALSE;
    DWORD lastError_ = 0;
};

TEST_F(RecordedShell, PassesTheListsCodeFlagsAndTitle) {
    TShellFileOperation op(nullptr);
    op.SourceFiles()->Add("C:\\a");
    op.SourceFiles()->Add("C:\\b");
    op.SetTitle("Copying");
    EXPECT_TRUE(op.Execute());
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].from, "C:\\a\0C:\\b\0\0"s);
    EXPECT_EQ(calls_[0].to, "\0"s);
    EXPECT_EQ(calls_[0].function, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(calls_[0].flags, 0x00C0);  // the default options
    EXPECT_EQ(calls_[0].title, "Copying");
    EXPECT_EQ(op.SourceFiles()->Count(), 2);  // the caller clears the lists

    const struct { TShellFileOpType type; UINT function; TShellFileOptions options; FILEOP_FLAGS flags; } cases[] = {
        {foDelete, FO_DELETE, {}, 0},
        {foMove, FO_MOVE, {fofNoErrorUI}, FOF_NOERRORUI},
        {foRename, FO_RENAME, {fofSilent, fofNoConfirmation}, FOF_SILENT | FOF_NOCONFIRMATION},
    };
    for (const auto& c : cases) {
        op.SetOperation(c.type);
        op.SetOptions(c.options);
        op.DestFiles()->Clear();
        op.DestFiles()->Add("D:\\x");
        EXPECT_TRUE(op.Execute());
        EXPECT_EQ(calls_.back().function, c.function);
        EXPECT_EQ(calls_.back().flags, c.flags);
        EXPECT_EQ(calls_.back().to, "D:\\x\0\0"s);
    }
}

TEST_F(RecordedShell, ARelativeEntryIsExpandedAgainstTheCurrentFolder) {
    testsupport::TempFolder folder;
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    TShellFileOperation op(nullptr);
    op.SourceFiles()->Add("some file.txt");
    op.Execute();
    SetCurrentDirectoryA(saved);
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(lstrcmpiA(calls_[0].from.c_str(), (folder.Path() + "some file.txt").c_str()), 0) << calls_[0].from;
}

TEST_F(RecordedShell, NoEntriesRaiseAndCallNothing) {
    TShellFileOperation op(nullptr);
    EXPECT_THROW(op.Execute(), EControlsException);
    op.SourceFiles()->Add("");
    op.SourceFiles()->Add("  ");
    try {
        op.Execute();
        ADD_FAILURE() << "no exception";
    } catch (const EControlsException& e) {
        EXPECT_STREQ(e.what(), "No files specified to TShellFileOperation Execute function");
    }
    EXPECT_TRUE(calls_.empty());
}

TEST_F(RecordedShell, ADeleteOfADriveOrOfDotFoldersIsRefusedAndCallsNothing) {
    for (const char* entry : {"C:\\", "C:", "\\", ".", "..", "..\\", "C:\\site\\..", "C:\\..", "C:\\*", "C:\\*.*",
                              "\\\\server\\share\\*", "*", "C:\\site\\..\\*"}) {
        TShellFileOperation op(nullptr);
        op.SetOperation(foDelete);
        op.SourceFiles()->Add("C:\\users\\x\\old site");
        op.SourceFiles()->Add(entry);
        try {
            op.Execute();
            ADD_FAILURE() << entry << ": no exception";
        } catch (const EControlsException& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot delete \""s + entry + "\": a whole drive or share, \".\" and \"..\" are never deleted");
        }
    }
    EXPECT_TRUE(calls_.empty()) << "not even the harmless entry before it";

    // Other operations may name them; a folder entry loses its trailing backslash.
    TShellFileOperation copy(nullptr);
    copy.SourceFiles()->Add("C:\\");
    copy.SourceFiles()->Add("C:\\Distributable\\Mine\\");
    copy.DestFiles()->Add("D:\\backup\\");
    EXPECT_TRUE(copy.Execute());
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].from, "C:\\\0C:\\Distributable\\Mine\0\0"s);
    TShellFileOperation remove(nullptr);
    remove.SetOperation(foDelete);
    remove.SourceFiles()->Add("C:\\Distributable\\Mine\\");
    EXPECT_TRUE(remove.Execute());
    ASSERT_EQ(calls_.size(), 2u);
    EXPECT_EQ(calls_[1].from, "C:\\Distributable\\Mine\0\0"s);
}

TEST_F(RecordedShell, FailureAndAbortAreNotSuccess) {
    TShellFileOperation op(nullptr);
    op.SourceFiles()->Add("C:\\a");
    const struct { int result; BOOL aborted; DWORD error; bool ok; bool message; } cases[] = {
        {0, FALSE, 0, true, false},
        {0, TRUE, 0, false, false},                     // the user cancelled part of it
        {2, FALSE, ERROR_FILE_NOT_FOUND, false, true},
        {0x7C, FALSE, 0, false, true},                   // a shell code with no system error set
    };
    for (const auto& c : cases) {
        result_ = c.result;
        aborted_ = c.aborted;
        lastError_ = c.error;
        SetLastError(0);
        EXPECT_EQ(op.Execute(), c.ok) << c.result << "/" << c.aborted;
        EXPECT_EQ(!op.LastErrorMessage().empty(), c.message) << c.result << ": " << op.LastErrorMessage();
    }
}

TEST_F(RecordedShell, TheOwnersWindowOwnsTheShellsWindows) {
    TForm form(nullptr);
    form.HandleNeeded();
    TShellFileOperation op(&form);
    op.SourceFiles()->Add("C:\\a");
    op.Execute();
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].owner, form.Handle());
}

TEST(NameMappings, EachRecordWithBothNamesIsReported) {
    std::wstring a = L"C:\\a.txt", b = L"C:\\Copy of a.txt", c = L"C:\\x";
    SHNAMEMAPPINGW records[] = {
        {a.data(), b.data(), static_cast<int>(a.size()), static_cast<int>(b.size())},
        {c.data(), c.data(), 0, static_cast<int>(c.size())},  // no old name: left out
        {c.data(), b.data(), 4, 1},                           // lengths count, not the NUL
    };
    struct { UINT count; SHNAMEMAPPINGW* records; } block{3, records};
    std::vector<std::pair<std::string, std::string>> seen;
    ForEachNameMapping(&block, [&](const std::string& o, const std::string& n) { seen.emplace_back(o, n); });
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"C:\\a.txt", "C:\\Copy of a.txt"}, {"C:\\x", "C"}};
    EXPECT_EQ(seen, expected);
    ForEachNameMapping(nullptr, [&](const std::string&, const std::string&) { ADD_FAILURE(); });
}

// The real shell under the real file system.
TEST(ShellFileOperation, TheRealShellCopiesAndDeletesAFolderWithItsContents) {
    testsupport::TempFolder temp;
    const std::string site = temp.Path() + "Summer 2024";
    ASSERT_TRUE(CreateDirectoryA(site.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((site + "\\files").c_str(), nullptr));
    std::ofstream(site + "\\index.html") << "<html></html>";
    std::ofstream(site + "\\files\\about.html") << "about";
    std::ofstream(temp.Path() + "keep.txt") << "keep";

    TShellFileOperation op(nullptr);
    op.SetOptions({fofNoConfirmation, fofSilent, fofNoErrorUI, fofNoConfirmMkDir});
    op.SourceFiles()->Add(site + "\\index.html");
    op.DestFiles()->Add(temp.Path() + "copied.html");
    EXPECT_TRUE(op.Execute()) << op.LastErrorMessage();
    EXPECT_NE(GetFileAttributesA((temp.Path() + "copied.html").c_str()), INVALID_FILE_ATTRIBUTES);

    op.SetOperation(foDelete);
    op.SourceFiles()->Clear();
    op.DestFiles()->Clear();
    op.SourceFiles()->Add(site);
    EXPECT_TRUE(op.Execute()) << op.LastErrorMessage();
    EXPECT_EQ(GetFileAttributesA(site.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((temp.Path() + "keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(op.LastErrorMessage(), "");

    // Gone already: the shell reports failure, with no box.
    EXPECT_FALSE(op.Execute());
    EXPECT_NE(op.LastErrorMessage(), "");
}

}  // namespace
}  // namespace controls
