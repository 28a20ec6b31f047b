// The small numeric and text routines the thumbnail controls share: rounding up away from
// zero, proportional fitting, a case-folding replace-all, and the steps of a picture
// reduction.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace controls {

struct ThumbSize {
    int width = 0;
    int height = 0;
    bool operator==(const ThumbSize&) const = default;
};

// The next whole number away from zero when x has a fraction, else x.
std::int32_t RoundAwayFromZero(long double x);

// size scaled by the smaller of the two box/size percentages (single precision, truncated);
// a zero side of size counts as 0 percent. Enlarges as readily as it shrinks.
ThumbSize FitProportional(ThumbSize size, ThumbSize box);

// Every occurrence of search replaced, left to right; without caseSensitive the ASCII letters
// compare folded. An empty search finds nothing.
std::string ReplaceAllText(std::string_view text, std::string_view search, std::string_view replacement,
                           bool caseSensitive);

// The sizes a picture passes through when reduced into box, last one the result: each step
// shrinks by at most about 16 times. Empty when there is nothing to do (an empty box or
// picture, or a picture smaller than its fitted size in both directions). Sizes are at least 1.
std::vector<ThumbSize> ReductionSteps(ThumbSize picture, ThumbSize box);

}  // namespace controls
