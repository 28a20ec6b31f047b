#include "forms/portable/rounding.h"

#include <cmath>
#include <limits>

namespace forms {

double RoundHalfEvenReal(double value) {
    return std::nearbyint(value);  // default FE_TONEAREST is halves to even
}

int RoundHalfEven(double value) {
    const double r = RoundHalfEvenReal(value);
    if (!(r >= std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();  // NaN too
    if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const std::uint64_t p = product < 0 ? 0 - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const std::uint64_t d = divisor < 0 ? 0 - static_cast<std::uint64_t>(divisor) : static_cast<std::uint64_t>(divisor);
    const std::uint64_t q = (p + d / 2) / d;
    if (q > static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + (negative ? 1u : 0u)) return -1;
    return negative ? static_cast<int>(0 - static_cast<std::int64_t>(q)) : static_cast<int>(q);
}

}  // namespace forms
