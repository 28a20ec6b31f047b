// Where the thumb of a painted scroll-bar control lies along its bar, from the control's
// range, page and position (arrows of `arrow` pixels at both ends).
#pragma once
#include <cstdint>
#include <optional>

namespace skin {

struct ThumbSpan {
    int start = 0;
    int end = 0;
    bool operator==(const ThumbSpan&) const = default;
};

// The thumb along a bar of length pixels; nothing when the range is empty or the thumb does
// not fit between the arrows. page 0: a thumb one arrow long. Position and maximum are
// measured from the range's minimum, so they may exceed an int.
std::optional<ThumbSpan> ControlThumb(int length, int arrow, std::int64_t page, std::int64_t position, std::int64_t maximum);

// A thumb dragged by `moved` pixels from `startAtPress`, kept between the arrows; nothing
// when it is longer than the track.
std::optional<ThumbSpan> DraggedThumb(int length, int arrow, int startAtPress, int thumbLength, int moved);

}  // namespace skin
