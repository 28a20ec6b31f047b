#include "forms/portable/rounding.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct { double in; int out; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

// Beyond the int range the int rounding stops at its ends; the real one keeps the value.
TEST(RoundHalfEven, WideValuesStopAtTheEndsOrStayReal) {
    EXPECT_EQ(RoundHalfEven(3e9), 2147483647);
    EXPECT_EQ(RoundHalfEven(-3e9), -2147483647 - 1);
    EXPECT_EQ(RoundHalfEvenReal(3000000000.5), 3000000000.0);
    EXPECT_EQ(RoundHalfEvenReal(-4000000001.5), -4000000002.0);
}

TEST(MulDivRound, RoundsTheWideProduct) {
    const struct { int a, b, c, out; } cases[] = {
        {50, 200, 1000, 10},          // exact
        {1, 3, 2, 2},                 // 1.5 rounds away from zero
        {-1, 3, 2, -2},
        {2000000000, 3, 4, 1500000000}, // product beyond 32 bits
        {7, 1, 0, -1},                // divide by zero answers -1
        {2000000000, 2000000000, 1, -1}, // overflowing result answers -1
    };
    for (const auto& c : cases) EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.out) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
}  // namespace forms
