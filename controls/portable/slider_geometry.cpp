#include "controls/portable/slider_geometry.h"

#include <algorithm>
#include <cmath>

#include "forms/portable/rounding.h"

namespace controls {
namespace {

// The ruler and thumb stand this far inside the inner rectangle; the ruler is built to the
// inner length less twice this.
constexpr int kInset = 6;
// A press this far beside the ruler, across it, still counts as on it.
constexpr int kRulerHitMargin = 3;
// Scale points closer than this would merge into a grey bar.
constexpr int kMinPointGap = 4;

}  // namespace

std::vector<RulerPiece> RulerPieces(int sourceLength, int edge, int length) {
    std::vector<RulerPiece> pieces;
    const RulerPiece first{0, std::min(sourceLength - edge, length), 0};
    if (length <= 0 || first.length <= 0) return pieces;
    pieces.push_back(first);
    const int middle = sourceLength - 2 * edge;
    if (middle <= 0) return pieces;  // nothing to repeat: the first piece stands alone
    const int repeatable = length - 2 * edge;
    const int n = repeatable / middle;
    const int rest = repeatable % middle;
    if (n < 1) return pieces;
    for (int i = 1; i < n; ++i) pieces.push_back({edge + i * middle, middle, edge});
    pieces.push_back({edge + n * middle, edge + rest, edge + middle - rest});
    return pieces;
}

SliderGeometry::SliderGeometry(const SliderInputs& inputs) : in_(inputs) {
    const SliderRect& r = in_.inner;
    const int states = std::max(1, in_.numThumbStates);
    const int thumbW = in_.thumbImageWidth / states, thumbH = in_.thumbImageHeight;
    SliderLayout& l = layout_;
    if (Horizontal()) {
        l.rulerWidth = std::max(0, r.Width() - 2 * kInset);
        l.rulerHeight = in_.rulerImageHeight;
        l.rulerLeft = r.left + kInset;
        int thumbTop = r.top + kInset;
        if (thumbH > l.rulerHeight) {
            l.rulerTop = r.top + kInset + (thumbH - l.rulerHeight) / 2;
            l.pointsTop = r.top + kInset + thumbH + 1;
        } else {
            l.rulerTop = r.top + kInset;
            thumbTop = r.top + kInset + (l.rulerHeight - thumbH) / 2;
            l.pointsTop = r.top + kInset + l.rulerHeight + 1;
        }
        l.thumb = {r.left + kInset, thumbTop, r.left + kInset + thumbW, thumbTop + thumbH};
        l.pointsLeft = l.rulerLeft;
    } else {
        l.rulerWidth = in_.rulerImageWidth;
        l.rulerHeight = std::max(0, r.Height() - 2 * kInset);
        l.rulerTop = r.top + kInset;
        int thumbLeft = r.left + kInset;
        if (thumbW > l.rulerWidth) {
            l.rulerLeft = r.left + kInset + (thumbW - l.rulerWidth) / 2;
            l.pointsLeft = r.left + kInset + thumbW + 1;
        } else {
            l.rulerLeft = r.left + kInset;
            thumbLeft = r.left + kInset + (l.rulerWidth - thumbW) / 2;
            l.pointsLeft = r.left + kInset + l.rulerWidth + 1;
        }
        l.thumb = {thumbLeft, r.top + kInset, thumbLeft + thumbW, r.top + kInset + thumbH};
        l.pointsTop = l.rulerTop;
    }
}

int SliderGeometry::Start() const { return (Horizontal() ? in_.inner.left : in_.inner.top) + kInset; }

int SliderGeometry::TrackSpan() const {
    return Horizontal() ? layout_.rulerWidth - ThumbWidth() : layout_.rulerHeight - ThumbHeight();
}

std::vector<RulerPiece> SliderGeometry::Pieces() const {
    return Horizontal() ? RulerPieces(in_.rulerImageWidth, in_.edgeSize, layout_.rulerWidth)
                        : RulerPieces(in_.rulerImageHeight, in_.edgeSize, layout_.rulerHeight);
}

int SliderGeometry::PositionOfValue(int value) const {
    const int start = Start(), span = TrackSpan();
    const double range = static_cast<double>(in_.maxValue) - in_.minValue;
    int p = start;
    if (range > 0 && span > 0) p += forms::RoundHalfEven(span * ((static_cast<double>(value) - in_.minValue) / range));
    if (!Horizontal()) p = in_.inner.top + in_.inner.bottom - p - ThumbHeight();
    return std::max(p, start);
}

int SliderGeometry::ValueAtPosition(int p) const {
    if (!Horizontal()) p = in_.inner.top + in_.inner.bottom - p - ThumbHeight();
    const double range = static_cast<double>(in_.maxValue) - in_.minValue;
    const int span = TrackSpan();
    if (range <= 0 || span <= 0) return in_.minValue;
    // Real all through: the offset into a range of -2e9 .. 2e9 is wider than an int.
    const double x = (static_cast<double>(p) - Start()) * range / span;
    double v = forms::RoundHalfEvenReal(x);
    if (!in_.smooth && in_.increment > 0) v = static_cast<double>(in_.increment) * forms::RoundHalfEvenReal(v / in_.increment);
    return static_cast<int>(std::min(std::max(v, 0.0) + in_.minValue, static_cast<double>(in_.maxValue)));
}

int SliderGeometry::SnapPosition(int p) const {
    const int start = Start(), end = start + std::max(0, TrackSpan());
    p = std::max(p, start);
    return std::min(PositionOfValue(ValueAtPosition(std::min(p, end))), end);
}

int SliderGeometry::StepValue(int value, TSliderStep kind) const {
    const double inc = in_.increment > 0 ? in_.increment : 1;
    double next = value;
    switch (kind) {
        case ssToMin: next = in_.minValue; break;
        case ssToMax: next = in_.maxValue; break;
        case ssUp: next = inc * forms::RoundHalfEven(value / inc) + inc; break;
        case ssDown: next = inc * forms::RoundHalfEven(value / inc) - inc; break;
    }
    return static_cast<int>(std::clamp(next, static_cast<double>(in_.minValue), static_cast<double>(in_.maxValue)));
}

int SliderGeometry::DirectionAt(TSliderOrientation orientation, const SliderRect& thumb, int x, int y) {
    if (orientation == soHorizontal) {
        if (x < thumb.left) return ssDown;
        if (x > thumb.right) return ssUp;
    } else {
        if (y < thumb.top) return ssUp;
        if (y > thumb.bottom) return ssDown;
    }
    return 0;
}

SliderRect SliderGeometry::RulerHitRect() const {
    const SliderLayout& l = layout_;
    SliderRect r{l.rulerLeft, l.rulerTop, l.rulerLeft + l.rulerWidth, l.rulerTop + l.rulerHeight};
    if (Horizontal()) {
        r.top -= kRulerHitMargin;
        r.bottom += kRulerHitMargin;
    } else {
        r.left -= kRulerHitMargin;
        r.right += kRulerHitMargin;
    }
    return r;
}

int SliderGeometry::PointStepFactor(double range, int step, int span) {
    if (range <= 0 || step <= 0) return 1;
    // Points g + 1 over the span keep kMinPointGap apart when g <= span / kMinPointGap; two
    // points (the ends) are always allowed.
    const double most = std::max(1, span / kMinPointGap);
    auto points = [&](double k) { return forms::RoundHalfEven(range / (step * k)); };
    // The rounding can only be off by one near the estimate; walk up from just below it.
    double k = std::max(1.0, std::floor(range / (step * (most + 0.5))) - 1);
    while (points(k) > most) ++k;
    return static_cast<int>(std::min(k, 2147483647.0));
}

std::vector<ScalePoint> SliderGeometry::ScalePoints(int step, int pointLength, int endPointLength) const {
    if (step <= 0) step = 1;
    const double range = static_cast<double>(in_.maxValue) - in_.minValue;
    const double stride = static_cast<double>(step) * PointStepFactor(range, step, TrackSpan());
    const int count = (range > 0 ? forms::RoundHalfEven(range / stride) : 0) + 1;
    std::vector<ScalePoint> points;
    points.reserve(count);
    double v = in_.minValue;
    for (int i = 1; i <= count; ++i) {
        const int value = i == count ? in_.maxValue : static_cast<int>(std::min(v, static_cast<double>(in_.maxValue)));
        const bool end = value == in_.minValue || value == in_.maxValue;
        points.push_back({PositionOfValue(value), end ? endPointLength : pointLength});
        v += stride;
    }
    return points;
}

}  // namespace controls
