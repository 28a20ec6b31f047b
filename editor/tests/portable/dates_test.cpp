#include "editor/portable/dates.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

SerialDate Day(int year, int month, int day) { return forms::EncodeDate(year, month, day); }

TEST(Age, CountsYearsOf365AndAQuarterDays) {
    const SerialDate now = Day(2026, 12, 10) + 0.5;
    // The default birth date is 7665 days and part of a day back: just under 21 years.
    EXPECT_EQ(AgeInYears(now, DefaultDateOfBirth(now)), 20);
    EXPECT_EQ(AgeLabel(AgeInYears(now, DefaultDateOfBirth(now))), "20 Years Of age.");
    const struct { int year, month, day, years; } cases[] = {
        {2005, 12, 10, 21}, {2005, 12, 11, 20}, {1990, 6, 1, 36},
        {2030, 12, 10, 3},  // in the future: a positive age
        {2026, 12, 10, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(AgeInYears(now, Day(c.year, c.month, c.day)), c.years) << c.year;
}

TEST(DateOfBirthText, IsDayMonthYearWithTheSystemSeparator) {
    const SerialDate date = Day(1998, 3, 7) + 0.3;
    EXPECT_EQ(FormatDateOfBirth(date, '/'), "07/03/1998");
    EXPECT_EQ(FormatDateOfBirth(date, '.'), "07.03.1998");
    EXPECT_EQ(ParseDateOfBirth("07/03/1998", '/'), Day(1998, 3, 7));
    EXPECT_EQ(ParseDateOfBirth("7/3/1998", '/'), Day(1998, 3, 7));
    EXPECT_EQ(ParseDateOfBirth("07.03.1998", '.'), Day(1998, 3, 7));
}

// A file written where the short date format has another separator keeps its date: it is
// read, not replaced by the default at the next Save.
TEST(DateOfBirthText, ReadsTheDateWhateverSeparatorTheFileWasWrittenWith) {
    const struct { const char* text; char system; int year, month, day; } cases[] = {
        {"15.03.1990", '/', 1990, 3, 15}, {"15-03-1990", '/', 1990, 3, 15}, {"1990-03-15", '/', 1990, 3, 15},
        {"1990/3/5", '.', 1990, 3, 5},    {"07/03/1998", '.', 1998, 3, 7},  {"07 03 1998", ' ', 1998, 3, 7},
        {"07.03/1998", '-', 1998, 3, 7},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDateOfBirth(c.text, c.system), Day(c.year, c.month, c.day)) << c.text;
}

TEST(DateOfBirthText, RefusesWhatIsNotADate) {
    for (const char* text : {"", "abc", "07/03", "31/02/2000", "00/01/2000", "01/13/2000", "1998-13-07",
                             "07_03_1998", "07/03/1998x", "1/1/0", "99999/1/1", "07 03 1998"})
        EXPECT_FALSE(ParseDateOfBirth(text, '/').has_value()) << text;
    EXPECT_TRUE(ParseDateOfBirth("29/02/2000", '/').has_value());
    EXPECT_FALSE(ParseDateOfBirth("29/02/1900", '/').has_value());
}

}  // namespace
}  // namespace editor
