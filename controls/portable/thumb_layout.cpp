#include "controls/portable/thumb_layout.h"

#include <algorithm>
#include <cmath>

#include "controls/portable/thumb_math.h"

namespace controls {

namespace {

int AtLeastOne(int v) { return v < 1 ? 1 : v; }

// Integer division truncating toward zero, never by zero.
int Div(int a, int b) { return a / AtLeastOne(b); }

int Pitch(int gap, int extent) { return AtLeastOne(gap + extent); }

// q: the 1-based line of cell n; r: its 1-based place in that line.
struct LinePlace {
    int q;
    int r;
};

LinePlace PlaceOf(const ThumbGrid& grid, int n) {
    const int l = AtLeastOne(grid.lineCapacity);
    const int q = RoundAwayFromZero(static_cast<long double>(n) / l);
    return {q, n - (q - 1) * l};
}

}  // namespace

int ClampCellExtent(int maxExtent) { return std::clamp(maxExtent, 0, kMaxCellExtent); }

void ThumbLayoutPlan::Stale(int index) { firstStale_ = std::min(firstStale_, std::max(index, 0)); }

void ThumbLayoutPlan::Place(const ThumbGrid& grid, int count, const PlaceCell& place) {
    if (!(grid == placedWith_)) firstStale_ = 0;
    for (int i = firstStale_; i < count; ++i) place(i, CellLeft(grid, i + 1), CellTop(grid, i + 1));
    placedWith_ = grid;
    firstStale_ = std::max(count, 0);
}

int CellExtent(int maxExtent, int sizePercent) {
    return static_cast<int>(std::trunc(maxExtent / 100.0 * sizePercent));
}

int LineCapacity(const ThumbGrid& grid, int count) {
    int l = 1;
    switch (grid.scrollMode) {
        case smHorizontal: l = (grid.viewHeight - kScrollBarAllowance) / Pitch(grid.gap, grid.cellHeight); break;
        case smVertical: l = (grid.viewWidth - kScrollBarAllowance) / Pitch(grid.gap, grid.cellWidth); break;
        case smBoth: l = RoundAwayFromZero(std::sqrt(static_cast<long double>(std::max(count, 0)))); break;
    }
    return AtLeastOne(l);
}

int CellLeft(const ThumbGrid& grid, int n) {
    const LinePlace p = PlaceOf(grid, n);
    const int w = grid.cellWidth, g = grid.gap, l = AtLeastOne(grid.lineCapacity);
    switch (grid.scrollMode) {
        case smVertical: {
            int gx = g;
            if (grid.alignView == vtFitToScreen) gx = Div(grid.viewWidth - l * w - kScrollBarAllowance, l + 1);
            int left = (p.r - 1) * w + gx * p.r;
            if (grid.alignView == vtCenter) left += (grid.viewWidth - kScrollBarAllowance) / 2 - ((g + w) * l) / 2;
            return left;
        }
        case smBoth: return (p.r - 1) * w + g * p.r;
        case smHorizontal: return (p.q - 1) * w + g * p.q;
    }
    return 0;
}

int CellTop(const ThumbGrid& grid, int n) {
    const LinePlace p = PlaceOf(grid, n);
    const int h = grid.cellHeight, g = grid.gap, l = AtLeastOne(grid.lineCapacity);
    switch (grid.scrollMode) {
        case smVertical:
        case smBoth: return (p.q - 1) * h + g * p.q;
        case smHorizontal: {
            // Unlike the vertical mode, the fit counts the gaps and the centring does not.
            int gy = g;
            if (grid.alignView == vtFitToScreen) gy = Div(grid.viewHeight - (g + h) * l - kScrollBarAllowance, l + 1);
            int top = (p.r - 1) * h + gy * p.r;
            if (grid.alignView == vtCenter) top += (grid.viewHeight - kScrollBarAllowance) / 2 - (l * h) / 2;
            return top;
        }
    }
    return 0;
}

std::uint16_t HitIndex(const ThumbGrid& grid, int x, int y, int scrollX, int scrollY) {
    const int l = AtLeastOne(grid.lineCapacity);
    int cx = RoundAwayFromZero(static_cast<long double>(x + scrollX) / Pitch(grid.gap, grid.cellWidth));
    int cy = RoundAwayFromZero(static_cast<long double>(y + scrollY) / Pitch(grid.gap, grid.cellHeight));
    long long index;
    if (grid.scrollMode == smHorizontal) {
        cy = std::min(cy, l);
        cx = std::max(cx, 1);
        index = static_cast<long long>(cx - 1) * l + cy - 1;
    } else {
        cx = std::min(cx, l);
        cy = std::max(cy, 1);
        index = static_cast<long long>(cy - 1) * l + cx - 1;
    }
    return static_cast<std::uint16_t>(index);
}

bool IsThumbKey(int virtualKey) {
    return virtualKey >= static_cast<int>(ThumbKey::End) && virtualKey <= static_cast<int>(ThumbKey::Down);
}

int KeyTarget(const ThumbGrid& grid, ThumbKey key, int selected, int count) {
    const int l = AtLeastOne(grid.lineCapacity);
    const bool columns = grid.scrollMode == smHorizontal;
    // Steps along a line and across lines.
    const int along = columns ? l : 1;
    const int across = columns ? 1 : l;
    long long target = selected;
    switch (key) {
        case ThumbKey::End: target = count - 1; break;
        case ThumbKey::Home: target = 0; break;
        case ThumbKey::Right: target = static_cast<long long>(selected) + along; break;
        case ThumbKey::Left: target = static_cast<long long>(selected) - along; break;
        case ThumbKey::Down: target = static_cast<long long>(selected) + across; break;
        case ThumbKey::Up: target = static_cast<long long>(selected) - across; break;
    }
    if (target < 0 || target > count - 1) return selected;
    return static_cast<int>(target);
}

}  // namespace controls
