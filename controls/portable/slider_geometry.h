// The slider's geometry as plain arithmetic: where the ruler and thumb lie inside the control,
// how the ruler is built from its image, how values and positions map onto each other, where
// the scale points go and what a step or a press beside the thumb does.
//
// Coordinates are the control's client coordinates. "Along" is x for a horizontal slider and
// y for a vertical one; a vertical slider has its maximum at the top.
#pragma once

#include <vector>

namespace controls {

enum TSliderOrientation { soHorizontal, soVertical };

// StepValue's kinds, and what DirectionAt answers (0: over the thumb).
enum TSliderStep { ssToMin = 1, ssToMax = 2, ssUp = 3, ssDown = 4 };

struct SliderRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    bool operator==(const SliderRect&) const = default;
};

// What the geometry is computed from.
struct SliderInputs {
    TSliderOrientation orientation = soHorizontal;
    SliderRect inner;                 // the client rectangle less any bevel
    int thumbImageWidth = 0;          // the whole thumb image, all states side by side
    int thumbImageHeight = 0;
    int numThumbStates = 2;
    int rulerImageWidth = 0;          // the ruler image before it is built to length
    int rulerImageHeight = 0;
    int edgeSize = 2;
    int minValue = 0;
    int maxValue = 100;
    int increment = 10;
    bool smooth = true;
};

// One copy from the ruler image into the built ruler, along the axis (across, the whole image).
struct RulerPiece {
    int destination = 0;
    int length = 0;
    int source = 0;
    bool operator==(const RulerPiece&) const = default;
};

struct SliderLayout {
    int rulerWidth = 0, rulerHeight = 0;  // the built ruler
    int rulerLeft = 0, rulerTop = 0;
    SliderRect thumb;                     // one state of the thumb
    int pointsLeft = 0, pointsTop = 0;
};

struct ScalePoint {
    int position = 0;  // along the axis, the thumb's leading edge for that value
    int length = 0;
    bool operator==(const ScalePoint&) const = default;
};

// The pieces that build a ruler of `length` from an image `sourceLength` long with fixed
// edges of `edge`: the first piece holds the leading edge and one middle section, the
// middle repeats, the last piece ends with the trailing edge. A middle of no width, or a
// length shorter than the edges and one middle, gives the first piece alone, clipped.
std::vector<RulerPiece> RulerPieces(int sourceLength, int edge, int length);

class SliderGeometry {
public:
    explicit SliderGeometry(const SliderInputs& inputs);

    const SliderInputs& Inputs() const { return in_; }
    const SliderLayout& Layout() const { return layout_; }
    bool Horizontal() const { return in_.orientation == soHorizontal; }
    int ThumbWidth() const { return layout_.thumb.Width(); }
    int ThumbHeight() const { return layout_.thumb.Height(); }
    // The thumb's size along the axis.
    int ThumbLength() const { return Horizontal() ? ThumbWidth() : ThumbHeight(); }
    // Where the thumb's leading edge stands for the minimum (the maximum, vertically).
    int Start() const;
    // How far the thumb's leading edge travels; 0 or less when the thumb does not fit.
    int TrackSpan() const;
    // The pieces of the ruler along the axis.
    std::vector<RulerPiece> Pieces() const;

    // The thumb's leading edge for a value; the start when the range is empty or the track
    // has no length (the thumb then reads the minimum).
    int PositionOfValue(int value) const;
    // The value the thumb's leading edge at p stands for, snapped to Increment from MinValue
    // unless smooth; MinValue when range or track is empty.
    int ValueAtPosition(int p) const;
    // A leading edge moved onto the nearest position a value has.
    int SnapPosition(int p) const;
    // The value a step of `kind` leads to from `value`: up and down go to multiples of
    // Increment counted from 0 (halves to even); clamped to the range.
    int StepValue(int value, TSliderStep kind) const;
    // Which way a press at (x, y) moves the thumb standing at `thumb`: ssUp, ssDown or 0.
    static int DirectionAt(TSliderOrientation orientation, const SliderRect& thumb, int x, int y);
    // The ruler rectangle widened by 3 pixels on both sides across the axis: where a press
    // steps the value.
    SliderRect RulerHitRect() const;
    // The scale points for a step: at most one per 4 pixels of track, the ends longer.
    std::vector<ScalePoint> ScalePoints(int step, int pointLength, int endPointLength) const;
    // The step multiplier ScalePoints uses: the smallest k >= 1 that keeps points 4 pixels apart.
    static int PointStepFactor(double range, int step, int span);

private:
    SliderInputs in_;
    SliderLayout layout_;
};

}  // namespace controls
