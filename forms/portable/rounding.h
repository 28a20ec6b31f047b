// Real-to-integer rounding as the widgets use it.
#pragma once
#include <cstdint>

namespace forms {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4); a value beyond the int range gives
// the nearest end of it.
int RoundHalfEven(double value);
// The same rounding kept real, for sums of ranges wider than an int (-2e9 .. 2e9).
double RoundHalfEvenReal(double value);

// a * b / c with a 64-bit product, rounded to nearest (halves away from zero), as the
// platform's MulDiv; -1 when c is 0 or the result does not fit 32 bits.
int MulDivRound(int a, int b, int c);

}  // namespace forms
