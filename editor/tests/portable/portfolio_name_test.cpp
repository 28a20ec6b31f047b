#include "editor/portable/portfolio_name.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

constexpr std::string_view kFolder = "C:\\Vantrell\\";

TEST(PortfolioName, TypedNamesAreTrimmedOfBlanksAndControlCharacters) {
    const struct { const char* typed; const char* taken; } cases[] = {
        {"  Summer 2024 ", "Summer 2024"}, {"\tJo\r\n", "Jo"}, {"   ", ""}, {"a  b", "a  b"},
    };
    for (const auto& c : cases) EXPECT_EQ(TrimPortfolioName(c.typed), c.taken) << c.typed;
}

TEST(PortfolioName, OnlyPlainFolderNamesPass) {
    const struct { std::string name; const char* refusedFor; } cases[] = {
        {"Summer", nullptr},
        {"Summer 2024", nullptr},
        {"Ann-Marie_Portfolio (1)", nullptr},
        {"\xC9t\xE9", nullptr},  // letters of the code page
        {"Console", nullptr},    // only the device name itself is reserved
        {"COM10", nullptr},
        {"", "name your"},
        {".", "cannot be the name"},
        {"..", "cannot be the name"},
        {"a\\b", "cannot contain any"},
        {"..\\..", "cannot contain any"},
        {"a/b", "cannot contain any"},
        {"C:", "cannot contain any"},
        {"a*", "cannot contain any"},
        {"a?", "cannot contain any"},
        {"say \"hi\"", "cannot contain any"},
        {"<b>", "cannot contain any"},
        {"a|b", "cannot contain any"},
        {std::string("a\tb"), "cannot contain any"},
        {std::string("a\x01" "b"), "cannot contain any"},
        {"Summer.", "end in a dot"},
        {"Summer ", "end in a dot or a blank"},
        {"CON", "device name"},
        {"con", "device name"},
        {"Nul", "device name"},
        {"PRN", "device name"},
        {"AUX", "device name"},
        {"COM1", "device name"},
        {"com9", "device name"},
        {"LPT1", "device name"},
        {"LPT9", "device name"},
        {"v1.0 final", "contain a dot"},
        {".hidden", "contain a dot"},
    };
    for (const auto& c : cases) {
        const std::string problem = PortfolioNameProblem(c.name, kFolder);
        if (c.refusedFor == nullptr) {
            EXPECT_EQ(problem, "") << c.name;
        } else {
            EXPECT_NE(problem.find(c.refusedFor), std::string::npos) << c.name << ": " << problem;
        }
    }
}

// The deepest fixed file of a build must still fit the path limit.
TEST(PortfolioName, ANameIsRefusedWhenItsFilesWouldPassThePathLimit) {
    const std::string folder = "C:\\Vantrell\\";
    const size_t room = kPathLimit - folder.size() - std::string("Distributable\\").size() -
                        std::string("\\files\\biography.html").size();
    EXPECT_EQ(PortfolioNameProblem(std::string(room, 'n'), folder), "");
    EXPECT_NE(PortfolioNameProblem(std::string(room + 1, 'n'), folder).find("too long"), std::string::npos);
    // The same name in a deeper program folder no longer fits.
    EXPECT_NE(PortfolioNameProblem(std::string(room, 'n'), folder + "Deeper\\"), "");
}

TEST(PortfolioFolder, IsTheNameUnderDistributable) {
    EXPECT_EQ(PortfolioFolder(kFolder, "Summer 2024"), "C:\\Vantrell\\Distributable\\Summer 2024");
}

TEST(SitsDirectlyInside, OnlyAnEntryOfTheFolderItself) {
    const struct { const char* path; const char* folder; bool inside; } cases[] = {
        {"C:\\V\\Distributable\\Summer", "C:\\V\\Distributable", true},
        {"C:\\V\\Distributable\\Summer", "C:\\V\\Distributable\\", true},
        {"c:\\v\\DISTRIBUTABLE\\Summer", "C:\\V\\Distributable", true},
        {"C:\\V\\Distributable", "C:\\V\\Distributable", false},
        {"C:\\V\\Distributable\\", "C:\\V\\Distributable", false},
        {"C:\\V\\", "C:\\V\\Distributable", false},
        {"C:\\V", "C:\\V\\Distributable", false},
        {"C:\\V\\Distributable\\a\\b", "C:\\V\\Distributable", false},
        {"C:\\V\\Distributable\\a\\", "C:\\V\\Distributable", false},
        {"C:\\V\\DistributableX\\a", "C:\\V\\Distributable", false},
        {"C:\\V\\Distributable\\..", "C:\\V\\Distributable", false},
        {"C:\\V\\Distributable\\a", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(SitsDirectlyInside(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
}

TEST(BurnParameter, ANameWithBlanksIsQuotedToArriveAsOneArgument) {
    const struct { const char* name; const char* parameter; } cases[] = {
        {"Summer", "Summer"}, {"Summer 2024", "\"Summer 2024\""}, {"a  b", "\"a  b\""},
    };
    for (const auto& c : cases) EXPECT_EQ(BurnParameter(c.name), c.parameter) << c.name;
}

}  // namespace
}  // namespace editor
