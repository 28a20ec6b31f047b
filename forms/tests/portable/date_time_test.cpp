#include "forms/portable/date_time.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(SerialDates, MatchTheKnownDayNumbersBothWays) {
    const struct { int year, month, day; double serial; } cases[] = {
        {1899, 12, 30, 0}, {1900, 1, 1, 2}, {1970, 1, 1, 25569}, {2000, 2, 29, 36585}, {2026, 12, 10, 46366},
        {1800, 1, 1, -36522},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.serial) << c.year;
        int y, m, d;
        DecodeDate(c.serial + 0.75, y, m, d);  // the time of day does not change the day
        EXPECT_EQ((std::tuple{y, m, d}), (std::tuple{c.year, c.month, c.day})) << c.serial;
    }
}

TEST(SerialDates, OnlyRealDaysAreValid) {
    const struct { int year, month, day; bool valid; } cases[] = {
        {2000, 2, 29, true}, {1900, 2, 29, false}, {2026, 2, 31, false}, {2026, 4, 31, false},
        {2026, 12, 31, true}, {2026, 13, 1, false}, {2026, 0, 1, false}, {2026, 1, 0, false},
        {0, 1, 1, false}, {9999, 12, 31, true}, {10000, 1, 1, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidDate(c.year, c.month, c.day), c.valid) << c.year << "-" << c.month << "-" << c.day;
}

}  // namespace
}  // namespace forms
