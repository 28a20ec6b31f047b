// The thumbnail grid's arithmetic: cell size, how many cells a line holds, where cell n
// stands, which cell a click maps to, and where the arrow, Home and End keys lead.
// Every divisor is kept at 1 or more, so no setting can divide by zero.
#pragma once
#include <cstdint>
#include <functional>
#include <limits>

namespace controls {

enum TScrollMode { smHorizontal, smVertical, smBoth };
enum TViewType { vtNormal, vtCenter, vtFitToScreen };

// Room kept for the scroll bar across the scrolling direction.
constexpr int kScrollBarAllowance = 20;
// A view holds at most this many cells (its counts are 16-bit).
constexpr int kMaxThumbCount = 65535;
// The view's Size is a percentage of MaxWidth by MaxHeight.
constexpr int kMinThumbSize = 1;
constexpr int kMaxThumbSize = 100;
// ThumbGap is a byte.
constexpr int kMaxThumbGap = 255;
// The largest MaxWidth and MaxHeight: a full view of such cells with the widest gaps still
// has every coordinate and scroll range within 32 bits.
constexpr int kMaxCellExtent = std::numeric_limits<std::int32_t>::max() / (kMaxThumbCount + 1) - kMaxThumbGap;

// A MaxWidth or MaxHeight within 0..kMaxCellExtent.
int ClampCellExtent(int maxExtent);

struct ThumbGrid {
    TScrollMode scrollMode = smHorizontal;
    TViewType alignView = vtNormal;
    int cellWidth = 200;   // W
    int cellHeight = 200;  // H
    int gap = 4;           // g
    int viewWidth = 600;
    int viewHeight = 480;
    int lineCapacity = 1;  // L, at least 1
    bool operator==(const ThumbGrid&) const = default;
};

// MaxWidth / 100 * Size, truncated (real arithmetic).
int CellExtent(int maxExtent, int sizePercent);
// L for the grid's mode and view size (count only matters in smBoth); at least 1.
int LineCapacity(const ThumbGrid& grid, int count);
// The place of the 1-based cell n; Left and Top relative to the content's origin.
int CellLeft(const ThumbGrid& grid, int n);
int CellTop(const ThumbGrid& grid, int n);

// The index a click at view point (x, y) with the given scroll positions maps to, as the
// 16-bit number it was always taken as (the plain pitch g + W by g + H, no fitting or centring).
std::uint16_t HitIndex(const ThumbGrid& grid, int x, int y, int scrollX, int scrollY);

// Which cells stand where the grid puts them. Cells placed with one grid stay put while it
// holds: a cell inserted or removed at an index moves only those from there on, a cell added
// at the end moves none, and a change of the grid (cell size, gap, line capacity, view size)
// moves them all. So a batch of changes costs one placing of the cells it moved.
class ThumbLayoutPlan {
public:
    // Content coordinates of the cell at index.
    using PlaceCell = std::function<void(int index, int left, int top)>;

    void Inserted(int index) { Stale(index); }
    void Removed(int index) { Stale(index); }
    void MoveAll() { Stale(0); }
    // Places every cell of count that does not stand where grid puts it.
    void Place(const ThumbGrid& grid, int count, const PlaceCell& place);

private:
    void Stale(int index);

    ThumbGrid placedWith_{};
    int firstStale_ = 0;
};

enum class ThumbKey { End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40 };
// True for the keys the view moves the selection with.
bool IsThumbKey(int virtualKey);
// The index the key selects from selected (-1: none) among count cells; a target outside
// the list is replaced by selected.
int KeyTarget(const ThumbGrid& grid, ThumbKey key, int selected, int count);

}  // namespace controls
