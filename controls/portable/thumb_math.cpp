#include "controls/portable/thumb_math.h"

#include "forms/portable/text_case.h"

#include <algorithm>
#include <cmath>

namespace controls {

std::int32_t RoundAwayFromZero(long double x) {
    const long double t = std::trunc(x);
    auto result = static_cast<std::int32_t>(t);
    if (x != t) result += x > 0 ? 1 : -1;
    return result;
}

ThumbSize FitProportional(ThumbSize size, ThumbSize box) {
    // Single precision, as the percentages were always kept.
    const float px = size.width == 0 ? 0.0f : static_cast<float>(static_cast<double>(box.width) / size.width * 100);
    const float py = size.height == 0 ? 0.0f : static_cast<float>(static_cast<double>(box.height) / size.height * 100);
    const float p = std::min(px, py);
    return {static_cast<int>(std::trunc(static_cast<double>(size.width) / 100 * p)),
            static_cast<int>(std::trunc(static_cast<double>(size.height) / 100 * p))};
}

std::string ReplaceAllText(std::string_view text, std::string_view search, std::string_view replacement,
                           bool caseSensitive) {
    if (search.empty()) return std::string(text);
    const std::string foldedText = caseSensitive ? std::string(text) : forms::UpperAscii(text);
    const std::string foldedSearch = caseSensitive ? std::string(search) : forms::UpperAscii(search);
    std::string result;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = foldedText.find(foldedSearch, from);
        if (at == std::string::npos) break;
        result.append(text.substr(from, at - from));
        result.append(replacement);
        from = at + search.size();
    }
    result.append(text.substr(from));
    return result;
}

std::vector<ThumbSize> ReductionSteps(ThumbSize picture, ThumbSize box) {
    constexpr int kMaxStepFactor = 16;
    std::vector<ThumbSize> steps;
    if (box.width <= 0 || box.height <= 0 || picture.width <= 0 || picture.height <= 0) return steps;
    ThumbSize target = FitProportional(picture, box);
    target.width = std::max(target.width, 1);
    target.height = std::max(target.height, 1);
    if (picture.width < target.width && picture.height < target.height) return steps;
    if (picture.width / target.width > kMaxStepFactor || picture.height / target.height > kMaxStepFactor) {
        // Doubling the box can overflow only for boxes no picture reaches.
        if (box.width <= (1 << 29) && box.height <= (1 << 29))
            steps = ReductionSteps(picture, {2 * box.width, 2 * box.height});
    }
    steps.push_back(target);
    return steps;
}

}  // namespace controls
