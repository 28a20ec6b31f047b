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
        const std::string problem = PortfolioNameProblem(c.name, kFolder, NameText::Ansi);
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
    EXPECT_EQ(PortfolioNameProblem(std::string(room, 'n'), folder, NameText::Ansi), "");
    EXPECT_NE(PortfolioNameProblem(std::string(room + 1, 'n'), folder, NameText::Ansi).find("too long"),
              std::string::npos);
    // The same name in a deeper program folder no longer fits.
    EXPECT_NE(PortfolioNameProblem(std::string(room, 'n'), folder + "Deeper\\", NameText::Ansi), "");
}

std::string Repeated(std::string_view piece, size_t times) {
    std::string s;
    for (size_t i = 0; i < times; ++i) s += piece;
    return s;
}

// vantrell measures its code page text, vantburn the same name as UTF-8: both must agree on
// where the limit falls, counting letters and not bytes.
TEST(PortfolioName, TheLengthLimitCountsLettersInEitherEncoding) {
    const size_t room = kPathLimit - std::string_view("C:\\Vantrell\\").size() -
                        std::string_view("Distributable\\").size() - std::string_view("\\files\\biography.html").size();
    const struct { std::string_view ansiLetter, utf8Letter; } letters[] = {
        {"n", "n"},
        {"\xE9", "\xC3\xA9"},            // e acute: two bytes of UTF-8
        {"\x80", "\xE2\x82\xAC"},        // euro sign: three bytes
    };
    for (const auto& l : letters) {
        for (const size_t count : {room, room + 1}) {
            const bool fits = count <= room;
            const struct { NameText text; std::string name, folder; } sides[] = {
                {NameText::Ansi, Repeated(l.ansiLetter, count), Repeated(l.ansiLetter, 3) + "\\"},
                {NameText::Utf8, Repeated(l.utf8Letter, count), Repeated(l.utf8Letter, 3) + "\\"},
            };
            for (const auto& side : sides) {
                // The program folder's letters are measured the same way: "C:\Vantrell\" is 12 long.
                const std::string folder = "C:\\Vantr" + side.folder;
                EXPECT_EQ(PortfolioNameProblem(side.name, folder, side.text).empty(), fits)
                    << "letter " << l.ansiLetter.size() << "/" << l.utf8Letter.size() << " bytes, " << count
                    << " letters, utf8=" << (side.text == NameText::Utf8);
            }
        }
    }
    // A letter beyond the first plane takes two units of the platform's path.
    EXPECT_EQ(PortfolioNameProblem(Repeated("\xF0\x9F\x98\x80", room / 2), kFolder, NameText::Utf8), "");
    EXPECT_NE(PortfolioNameProblem(Repeated("\xF0\x9F\x98\x80", room / 2 + 1), kFolder, NameText::Utf8), "");
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
