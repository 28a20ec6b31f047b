#include "controls/portable/shell_file_options.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

using namespace std::string_literals;

TEST(ShellFileOptions, EachOptionHasItsOwnShellFlag) {
    const struct { TShellFileOption option; std::uint16_t flag; } table[] = {
        {fofAllowUndo, 0x0040},       {fofConfirmMouse, 0x0002},        {fofFilesOnly, 0x0080},
        {fofMultiDestFiles, 0x0001},  {fofNoConfirmation, 0x0010},      {fofNoConfirmMkDir, 0x0200},
        {fofRenameOnCollision, 0x0008}, {fofSilent, 0x0004},            {fofSimpleProgress, 0x0100},
        {fofWantMappingHandle, 0x0020}, {fofNoErrorUI, 0x0400},         {fofNoCopySecurityAttributes, 0x0800},
        {fofNoRecursion, 0x1000},     {fofNoConnectedElements, 0x2000}, {fofNoRecurseParse, 0x8000},
        {fofWantNukeWarning, 0x4000},
    };
    std::uint16_t all = 0;
    for (const auto& t : table) {
        EXPECT_EQ(ShellOptionFlag(t.option), t.flag) << t.option;
        EXPECT_EQ(ShellOptionFlags({t.option}), t.flag) << t.option;
        EXPECT_EQ(all & t.flag, 0) << "flag shared: " << t.option;
        all |= t.flag;
    }
    EXPECT_EQ(all, 0xFFFF);
    TShellFileOptions every;
    for (const auto& t : table) every.Include(t.option);
    EXPECT_EQ(ShellOptionFlags(every), 0xFFFF);
}

TEST(ShellFileOptions, SetsCombineAndExclude) {
    EXPECT_EQ(ShellOptionFlags({}), 0);
    EXPECT_EQ(ShellOptionFlags({fofAllowUndo, fofFilesOnly}), 0x00C0);
    EXPECT_EQ(ShellOptionFlags({fofNoErrorUI}), 0x0400);
    TShellFileOptions set{fofSilent, fofNoConfirmation};
    set.Exclude(fofSilent).Exclude(fofSilent);
    EXPECT_EQ(set, TShellFileOptions{fofNoConfirmation});
    EXPECT_FALSE(set.Contains(fofSilent));
}

TEST(ShellFunctionCode, FollowsTheShellsNumbering) {
    const struct { TShellFileOpType op; unsigned code; } table[] = {
        {foCopy, 2}, {foDelete, 3}, {foMove, 1}, {foRename, 4},
    };
    for (const auto& t : table) EXPECT_EQ(ShellFunctionCode(t.op), t.code) << t.op;
}

TEST(DoubleNulList, NamesEndedByNulsAndBlankNamesLeftOut) {
    const auto upper = [](const std::string& s) { return "X:\\" + s; };
    const struct { std::vector<std::string> names; std::string list; } cases[] = {
        {{"C:\\a", "C:\\b"}, "C:\\a\0C:\\b\0\0"s},
        {{}, "\0"s},
        {{""}, "\0"s},
        {{"a", "", "b"}, "a\0b\0\0"s},  // an empty entry must not end the list at "a"
        {{"  ", "a"}, "a\0\0"s},
    };
    for (const auto& c : cases) EXPECT_EQ(DoubleNulList(c.names, nullptr), c.list) << c.names.size();
    EXPECT_EQ(DoubleNulList({"a", "b"}, upper), "X:\\a\0X:\\b\0\0"s);
}

TEST(ShellPaths, RootsRelativeFoldersAndTrailingBackslashes) {
    const struct {
        std::string path;
        bool root, relative;
        std::string stripped;
    } cases[] = {
        {"C:\\", true, false, "C:\\"},
        {"c:", true, false, "c:"},
        {"C:\\\\", true, false, "C:\\"},
        {"\\", true, false, "\\"},
        {"\\\\server\\share\\", true, false, "\\\\server\\share\\"},
        {"\\\\server", true, false, "\\\\server"},
        {"\\\\server\\share\\site\\", false, false, "\\\\server\\share\\site"},
        {"C:\\Distributable\\Mine\\", false, false, "C:\\Distributable\\Mine"},
        {"C:\\Distributable\\Mine\\\\", false, false, "C:\\Distributable\\Mine"},
        {"C:\\Distributable\\Mine", false, false, "C:\\Distributable\\Mine"},
        {".", false, true, "."},
        {"..", false, true, ".."},
        {"..\\", false, true, ".."},
        {"C:\\site\\..", false, true, "C:\\site\\.."},
        {"C:..", false, true, "C:.."},
        {"C:\\a\\..\\b", false, false, "C:\\a\\..\\b"},
        {"C:\\.hidden", false, false, "C:\\.hidden"},
        {"", false, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsRootPath(c.path), c.root) << c.path;
        EXPECT_EQ(NamesARelativeFolder(c.path), c.relative) << c.path;
        EXPECT_EQ(WithoutTrailingBackslash(c.path), c.stripped) << c.path;
    }
}

TEST(ShellPaths, APatternMatchingAWholeRootOrTheCurrentFolderIsARootWildcard) {
    const struct {
        std::string path;
        bool wildcard;
    } cases[] = {
        {"C:\\*", true},          {"c:\\*.*", true},          {"C:*", true},
        {"C:\\?", true},          {"C:\\*\\", true},          {"\\*", true},
        {"\\\\server\\share\\*", true}, {"\\\\server\\*", true},  {"//server/share/*.*", true},
        {"*", true},              {" *.* ", true},
        {"C:\\", false},          {"C:\\Distributable\\Mine\\*", false}, {"\\\\server\\share\\site\\*", false},
        {"C:\\a*b\\c", false},    {"sub\\*", false},          {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsRootWildcard(c.path), c.wildcard) << c.path;
}

}  // namespace
}  // namespace controls
