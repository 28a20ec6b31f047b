#include "controls/portable/slider_geometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace controls {
namespace {

// The built-in images: horizontal thumb 18 x 17 (two states), ruler 10 x 8; vertical thumb
// 38 x 9, ruler 8 x 10.
SliderInputs Horizontal(int width, int height, int minValue, int maxValue, int increment, bool smooth = true) {
    SliderInputs in;
    in.inner = {0, 0, width, height};
    in.thumbImageWidth = 18;
    in.thumbImageHeight = 17;
    in.rulerImageWidth = 10;
    in.rulerImageHeight = 8;
    in.edgeSize = 1;
    in.minValue = minValue;
    in.maxValue = maxValue;
    in.increment = increment;
    in.smooth = smooth;
    return in;
}

SliderInputs Vertical(int width, int height, int minValue, int maxValue, int increment) {
    SliderInputs in = Horizontal(width, height, minValue, maxValue, increment);
    in.orientation = soVertical;
    in.thumbImageWidth = 38;
    in.thumbImageHeight = 9;
    in.rulerImageWidth = 8;
    in.rulerImageHeight = 10;
    return in;
}

TEST(SliderGeometry, TheEditorsSkinSlider) {
    const SliderGeometry g(Horizontal(601, 25, 0, 5, 1));
    const SliderLayout& l = g.Layout();
    EXPECT_EQ(l.thumb, (SliderRect{6, 6, 15, 23}));  // 9 x 17 at (6, 6)
    EXPECT_EQ(l.rulerLeft, 6);
    EXPECT_EQ(l.rulerTop, 10);
    EXPECT_EQ(l.rulerWidth, 589);
    EXPECT_EQ(l.rulerHeight, 8);
    EXPECT_EQ(g.TrackSpan(), 580);
    EXPECT_EQ(l.pointsLeft, 6);
    EXPECT_EQ(l.pointsTop, 24);

    const auto points = g.ScalePoints(1, 3, 5);
    ASSERT_EQ(points.size(), 6u);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].position, 6 + 116 * static_cast<int>(i)) << i;
        EXPECT_EQ(points[i].length, i == 0 || i == 5 ? 5 : 3) << i;
    }
    for (int v = 0; v <= 5; ++v) {
        EXPECT_EQ(g.PositionOfValue(v), 6 + 116 * v) << v;
        EXPECT_EQ(g.ValueAtPosition(6 + 116 * v), v) << v;
    }
}

TEST(SliderGeometry, ThumbAndRulerCentredWhicheverIsTaller) {
    const struct { int thumbH, rulerH; int thumbTop, rulerTop, pointsTop; } cases[] = {
        {17, 8, 6, 10, 24},   // thumb taller: the ruler is centred on it
        {8, 17, 10, 6, 24},   // ruler taller: the thumb is centred on it
        {8, 8, 6, 6, 15},
        {17, 7, 6, 11, 24},   // odd difference truncates
    };
    for (const auto& c : cases) {
        SliderInputs in = Horizontal(601, 40, 0, 5, 1);
        in.thumbImageHeight = c.thumbH;
        in.rulerImageHeight = c.rulerH;
        const SliderLayout l = SliderGeometry(in).Layout();
        EXPECT_EQ(l.thumb.top, c.thumbTop) << c.thumbH << "/" << c.rulerH;
        EXPECT_EQ(l.rulerTop, c.rulerTop) << c.thumbH << "/" << c.rulerH;
        EXPECT_EQ(l.pointsTop, c.pointsTop) << c.thumbH << "/" << c.rulerH;
    }
}

TEST(SliderGeometry, SnappingFromMinValueAndSteppingFromZero) {
    // 3 to 23 in steps of 5 over a 200-pixel track.
    const SliderGeometry g(Horizontal(221, 40, 3, 23, 5, false));
    ASSERT_EQ(g.TrackSpan(), 200);
    // Dragging goes to MinValue plus multiples of Increment.
    const struct { int position; int value; } drags[] = {
        {6, 3}, {6 + 40, 8}, {6 + 80, 13}, {6 + 70, 8}, {6 + 55, 8}, {6 + 200, 23}, {-50, 3}, {900, 23},
    };
    for (const auto& d : drags) EXPECT_EQ(g.ValueAtPosition(d.position), d.value) << d.position;
    // Steps go to multiples of Increment counted from 0.
    const struct { int from; TSliderStep kind; int to; } steps[] = {
        {3, ssUp, 10},    // 3 / 5 rounds to 1
        {10, ssUp, 15},
        {3, ssDown, 3},   // 0, clamped
        {13, ssDown, 10}, // 13 / 5 = 2.6 rounds to 3
        {12, ssUp, 15},   // 12 / 5 = 2.4 rounds to 2
        {22, ssUp, 23},   // clamped
        {15, ssToMin, 3},
        {15, ssToMax, 23},
    };
    for (const auto& s : steps) EXPECT_EQ(g.StepValue(s.from, s.kind), s.to) << s.from << " kind " << s.kind;
    // Halves round to even: 25 / 10 = 2.5 goes to 2, 35 / 10 = 3.5 to 4.
    const SliderGeometry tens(Horizontal(221, 40, 0, 100, 10));
    EXPECT_EQ(tens.StepValue(25, ssUp), 30);
    EXPECT_EQ(tens.StepValue(35, ssUp), 50);
    // A snapped thumb sits on its value's position.
    EXPECT_EQ(g.SnapPosition(6 + 70), g.PositionOfValue(8));
    EXPECT_EQ(g.SnapPosition(6 + 80), g.PositionOfValue(13));
    EXPECT_EQ(g.SnapPosition(-10), 6);
    EXPECT_EQ(g.SnapPosition(5000), 206);
}

TEST(SliderGeometry, VerticalHasItsMaximumAtTheTop) {
    const SliderGeometry g(Vertical(40, 224, 0, 10, 1));
    const SliderLayout& l = g.Layout();
    // Thumb 19 x 9 across a ruler 8 wide: the ruler is centred on the thumb.
    EXPECT_EQ(l.thumb.Width(), 19);
    EXPECT_EQ(l.thumb.Height(), 9);
    EXPECT_EQ(l.thumb.left, 6);
    EXPECT_EQ(l.rulerLeft, 6 + (19 - 8) / 2);
    EXPECT_EQ(l.rulerTop, 6);
    EXPECT_EQ(l.rulerHeight, 212);
    EXPECT_EQ(l.pointsLeft, 6 + 19 + 1);
    EXPECT_EQ(l.pointsTop, 6);
    ASSERT_EQ(g.TrackSpan(), 203);
    EXPECT_EQ(g.PositionOfValue(10), 6);
    EXPECT_EQ(g.PositionOfValue(0), 6 + 203);
    EXPECT_LT(g.PositionOfValue(7), g.PositionOfValue(6));
    for (int v = 0; v <= 10; ++v) EXPECT_EQ(g.ValueAtPosition(g.PositionOfValue(v)), v) << v;
    EXPECT_EQ(SliderGeometry::DirectionAt(soVertical, l.thumb, 10, l.thumb.top - 1), ssUp);
    EXPECT_EQ(SliderGeometry::DirectionAt(soVertical, l.thumb, 10, l.thumb.bottom + 1), ssDown);
    EXPECT_EQ(SliderGeometry::DirectionAt(soVertical, l.thumb, 10, l.thumb.top), 0);
    const SliderRect hit = g.RulerHitRect();
    EXPECT_EQ(hit, (SliderRect{l.rulerLeft - 3, 6, l.rulerLeft + 8 + 3, 6 + 212}));
}

// A range wider than an int (-2e9 .. 2e9): every position reads the value it stands for,
// past the middle included, smooth or in steps.
TEST(SliderGeometry, AWideRangeReadsEveryPositionWithoutOverflow) {
    for (const bool smooth : {true, false}) {
        SCOPED_TRACE(smooth ? "smooth" : "in steps");
        const SliderGeometry g(Horizontal(221, 40, -2000000000, 2000000000, 1000, smooth));
        ASSERT_EQ(g.TrackSpan(), 200);
        const struct { int position; int value; } drags[] = {
            {6, -2000000000}, {6 + 50, -1000000000}, {6 + 100, 0}, {6 + 150, 1000000000}, {6 + 175, 1500000000},
            {6 + 200, 2000000000}, {900, 2000000000}, {-900, -2000000000},
        };
        for (const auto& d : drags) EXPECT_EQ(g.ValueAtPosition(d.position), d.value) << d.position;
        EXPECT_EQ(g.SnapPosition(6 + 150), 6 + 150);
    }
}

TEST(SliderGeometry, AnEmptyRangeOrATrackShorterThanTheThumbReadsTheMinimum) {
    const struct { int width, minValue, maxValue; } cases[] = {
        {601, 4, 4},   // zero range
        {20, 0, 5},    // ruler 8 wide, thumb 9: no track
        {12, 0, 5},    // no ruler at all
        {0, 0, 5},
        {601, INT_MIN, INT_MAX},
    };
    for (const auto& c : cases) {
        const SliderGeometry g(Horizontal(c.width, 25, c.minValue, c.maxValue, 1));
        if (c.maxValue - static_cast<long long>(c.minValue) > 1000000) {
            EXPECT_EQ(g.PositionOfValue(c.minValue), 6);
            EXPECT_EQ(g.ValueAtPosition(6), c.minValue);
            continue;
        }
        EXPECT_EQ(g.PositionOfValue(c.maxValue), 6) << c.width;
        EXPECT_EQ(g.ValueAtPosition(300), c.minValue) << c.width;
        EXPECT_EQ(g.SnapPosition(300), 6) << c.width;
    }
}

TEST(RulerPieces, BuiltFromEdgesAndRepeatedMiddle) {
    using P = std::vector<RulerPiece>;
    const struct { int source, edge, length; P pieces; } cases[] = {
        // The editor's ruler: 10 wide, edge 1, 589 long: 587 = 73 x 8 + 3.
        {10, 1, 21, {{0, 9, 0}, {9, 8, 1}, {17, 4, 6}}},
        {10, 2, 18, {{0, 8, 0}, {8, 6, 2}, {14, 4, 6}}},
        {10, 2, 16, {{0, 8, 0}, {8, 6, 2}, {14, 2, 8}}},  // no rest: the last piece is the edge alone
        {10, 1, 10, {{0, 9, 0}, {9, 1, 9}}},               // exactly the image
        {10, 1, 6, {{0, 6, 0}}},                            // shorter than one middle: first piece, clipped
        {10, 5, 30, {{0, 5, 0}}},                            // a middle of no width
        {10, 6, 30, {{0, 4, 0}}},                            // edges wider than the image
        {10, 1, 0, {}},
        {0, 0, 30, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RulerPieces(c.source, c.edge, c.length), c.pieces) << c.source << "/" << c.edge << "/" << c.length;

    // Every pixel of a long ruler is covered once, ending on the trailing edge.
    const auto pieces = RulerPieces(10, 1, 589);
    ASSERT_EQ(pieces.size(), 74u);
    int next = 0;
    for (const auto& p : pieces) {
        EXPECT_EQ(p.destination, next);
        next += p.length;
    }
    EXPECT_EQ(next, 589);
    EXPECT_EQ(pieces.back().source + pieces.back().length, 10);
}

TEST(ScalePoints, AtMostOnePointPerFourPixelsWhateverTheRange) {
    const struct { int width, minValue, maxValue, step; } cases[] = {
        {601, 0, 1000, 1},
        {601, 0, 2000000000, 1},
        {601, INT_MIN, INT_MAX, 1},
        {60, 0, 100000, 7},
        {20, 0, 100000000, 1},   // no track at all
    };
    for (const auto& c : cases) {
        const SliderGeometry g(Horizontal(c.width, 25, c.minValue, c.maxValue, 1));
        const auto points = g.ScalePoints(c.step, 3, 5);
        const int span = std::max(0, g.TrackSpan());
        EXPECT_LE(points.size(), static_cast<std::size_t>(std::max(2, span / 4 + 1))) << c.maxValue;
        ASSERT_FALSE(points.empty());
        EXPECT_EQ(points.front().position, 6);
        EXPECT_EQ(points.back().position, g.PositionOfValue(c.maxValue));
        // Each point rounds on its own, so one gap may lose a pixel to the next.
        for (std::size_t i = 1; i + 1 < points.size(); ++i)
            EXPECT_GE(points[i].position - points[i - 1].position, 3) << c.maxValue << " at " << i;
    }
    // Where a walk from k = 1 stops first.
    EXPECT_EQ(SliderGeometry::PointStepFactor(1000, 1, 580), 7);
    EXPECT_EQ(SliderGeometry::PointStepFactor(5, 1, 580), 1);
    EXPECT_EQ(SliderGeometry::PointStepFactor(0, 1, 580), 1);
}

}  // namespace
}  // namespace controls
