#include "skin/controls/portable/scroll_geometry.h"

#include <algorithm>

#include "forms/portable/rounding.h"

namespace skin {

std::optional<ThumbSpan> ControlThumb(int length, int arrow, int page, int position, int maximum) {
    if (maximum <= 0) return std::nullopt;
    int thumb;
    int start;
    if (page > 0) {
        thumb = forms::MulDivRound(length - 2 * arrow, page - 1, maximum);
        start = position != 0 ? forms::MulDivRound(length - 2 * arrow, position, maximum) + arrow : arrow;
    } else {
        thumb = arrow;
        start = position != 0 ? forms::MulDivRound(length - 3 * arrow, position, maximum) + arrow : arrow;
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
