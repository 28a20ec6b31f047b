#include "skin/controls/portable/scroll_geometry.h"

#include <algorithm>


namespace skin {

namespace {

// pixels * part / whole rounded to nearest, halves away from zero, as the platform's MulDiv;
// whole > 0, and the parts here stay below 2^33, so the product stays inside 64 bits.
int Scale(int pixels, std::int64_t part, std::int64_t whole) {
    const std::int64_t product = static_cast<std::int64_t>(pixels) * part;
    const std::int64_t half = whole / 2;
    const std::int64_t q = product >= 0 ? (product + half) / whole : -((-product + half) / whole);
    return static_cast<int>(std::clamp<std::int64_t>(q, -2147483647 - 1, 2147483647));
}

}  // namespace

std::optional<ThumbSpan> ControlThumb(int length, int arrow, std::int64_t page, std::int64_t position, std::int64_t maximum) {
    if (maximum <= 0) return std::nullopt;
    int thumb;
    int start;
    if (page > 0) {
        thumb = Scale(length - 2 * arrow, page - 1, maximum);
        start = position != 0 ? Scale(length - 2 * arrow, position, maximum) + arrow : arrow;
    } else {
        thumb = arrow;
        start = position != 0 ? Scale(length - 3 * arrow, position, maximum) + arrow : arrow;
    }
    if (thumb <= 0) return std::nullopt;
    return DraggedThumb(length, arrow, start, thumb, 0);
}

std::optional<ThumbSpan> DraggedThumb(int length, int arrow, int startAtPress, int thumbLength, int moved) {
    const int low = arrow;
    const int high = length - arrow - thumbLength;
    if (thumbLength <= 0 || high < low) return std::nullopt;  // longer than the track
    const int start = std::clamp(startAtPress + moved, low, high);
    return ThumbSpan{start, start + thumbLength};
}

}  // namespace skin
