#include "controls/portable/thumb_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/portable/thumb_placement.h"

namespace controls {
namespace {

// The editor's view: 193 wide, cells of 150 at Size 100 or 50, gap 4, fitted, vertical.
ThumbGrid EditorGrid(int sizePercent) {
    ThumbGrid g;
    g.scrollMode = smVertical;
    g.alignView = vtFitToScreen;
    g.cellWidth = CellExtent(150, sizePercent);
    g.cellHeight = CellExtent(150, sizePercent);
    g.gap = 4;
    g.viewWidth = 193;
    g.viewHeight = 513;
    g.lineCapacity = LineCapacity(g, 0);
    return g;
}

TEST(ThumbLayout, EditorViewAtFullAndHalfSize) {
    const struct {
        int size, cell, capacity;
        std::vector<int> lefts, tops;  // of cells 1, 2, 3...
    } cases[] = {
        {100, 150, 1, {11, 11, 11}, {4, 158, 312}},
        {50, 75, 2, {7, 89, 7, 89, 7, 89}, {4, 4, 83, 83, 162, 162}},
    };
    for (const auto& c : cases) {
        const ThumbGrid g = EditorGrid(c.size);
        EXPECT_EQ(g.cellWidth, c.cell);
        EXPECT_EQ(g.lineCapacity, c.capacity);
        for (std::size_t i = 0; i < c.lefts.size(); ++i) {
            EXPECT_EQ(CellLeft(g, static_cast<int>(i) + 1), c.lefts[i]) << "size " << c.size << " cell " << i + 1;
            EXPECT_EQ(CellTop(g, static_cast<int>(i) + 1), c.tops[i]) << "size " << c.size << " cell " << i + 1;
        }
    }
}

TEST(ThumbLayout, ModesAndAlignments) {
    // 600 x 480 view, cells 100 x 80, gap 10.
    const struct {
        const char* name;
        TScrollMode mode;
        TViewType align;
        int count, n, capacity, left, top;
    } cases[] = {
        {"horizontal normal: columns of 5", smHorizontal, vtNormal, 9, 6, 5, 100 + 20, 10},
        {"horizontal fit counts the gaps", smHorizontal, vtFitToScreen, 9, 1, 5, 10, (480 - 90 * 5 - 20) / 6},
        {"horizontal centre ignores the gaps", smHorizontal, vtCenter, 9, 1, 5, 10, 10 + 230 - 200},
        {"vertical normal", smVertical, vtNormal, 9, 6, 5, 0 * 100 + 10 * 1, 80 + 20},
        {"vertical centre", smVertical, vtCenter, 9, 2, 5, 100 + 20 + 290 - 275, 10},
        {"both: square of the count", smBoth, vtFitToScreen, 10, 5, 4, 10, 80 + 20},
    };
    for (const auto& c : cases) {
        ThumbGrid g;
        g.scrollMode = c.mode;
        g.alignView = c.align;
        g.cellWidth = 100;
        g.cellHeight = 80;
        g.gap = 10;
        g.viewWidth = 600;
        g.viewHeight = 480;
        g.lineCapacity = LineCapacity(g, c.count);
        EXPECT_EQ(g.lineCapacity, c.capacity) << c.name;
        EXPECT_EQ(CellLeft(g, c.n), c.left) << c.name;
        EXPECT_EQ(CellTop(g, c.n), c.top) << c.name;
    }
}

TEST(ThumbLayout, DivisorsNeverZero) {
    ThumbGrid g;
    g.cellWidth = 0;
    g.cellHeight = 0;
    g.gap = 0;
    g.viewWidth = 10;  // narrower than the scroll-bar allowance
    g.viewHeight = 10;
    for (TScrollMode mode : {smHorizontal, smVertical, smBoth}) {
        g.scrollMode = mode;
        for (TViewType align : {vtNormal, vtCenter, vtFitToScreen}) {
            g.alignView = align;
            g.lineCapacity = LineCapacity(g, 0);
            EXPECT_EQ(g.lineCapacity, 1);
            (void)CellLeft(g, 3);
            (void)CellTop(g, 3);
            (void)HitIndex(g, 5, 5, 0, 0);
        }
    }
    g.lineCapacity = 0;  // a grid never computed
    EXPECT_EQ(KeyTarget(g, ThumbKey::Down, 0, 3), 1);
}

TEST(ThumbLayout, ClickMapsByThePlainPitch) {
    const ThumbGrid half = EditorGrid(50);
    const ThumbGrid full = EditorGrid(100);
    const struct {
        const char* name;
        const ThumbGrid& grid;
        int x, y, scrollY;
        int index;
    } cases[] = {
        {"first cell", full, 20, 20, 0, 0},
        {"second row", full, 20, 160, 0, 1},
        {"scrolled by a row", full, 20, 20, 154, 1},
        {"x 80 lies on cell 0 but maps to column 2", half, 80, 10, 0, 1},
        {"right of the last column stays in it", half, 180, 10, 0, 1},
        {"second row, first column", half, 10, 85, 0, 2},
        {"left edge maps before the row", half, 0, 85, 0, 1},
        {"top-left corner wraps to 65535", half, 0, 0, 0, 65535},
    };
    for (const auto& c : cases) EXPECT_EQ(HitIndex(c.grid, c.x, c.y, 0, c.scrollY), c.index) << c.name;

    ThumbGrid columns;
    columns.scrollMode = smHorizontal;
    columns.cellWidth = columns.cellHeight = 100;
    columns.gap = 4;
    columns.viewHeight = 450;
    columns.lineCapacity = LineCapacity(columns, 0);  // 4 per column
    EXPECT_EQ(HitIndex(columns, 110, 10, 0, 0), 4);
    EXPECT_EQ(HitIndex(columns, 10, 440, 0, 0), 3);  // below the column stays in it
}

TEST(ThumbLayout, KeyTargets) {
    ThumbGrid rows = EditorGrid(50);  // L = 2
    ThumbGrid columns = rows;
    columns.scrollMode = smHorizontal;
    const struct {
        const char* name;
        const ThumbGrid& grid;
        ThumbKey key;
        int selected, count, target;
    } cases[] = {
        {"right in rows", rows, ThumbKey::Right, 2, 6, 3},
        {"down in rows", rows, ThumbKey::Down, 1, 6, 3},
        {"up in rows", rows, ThumbKey::Up, 3, 6, 1},
        {"left in rows", rows, ThumbKey::Left, 3, 6, 2},
        {"right on the last keeps it", rows, ThumbKey::Right, 5, 6, 5},
        {"left on the first keeps it", rows, ThumbKey::Left, 0, 6, 0},
        {"down past the end keeps it", rows, ThumbKey::Down, 5, 6, 5},
        {"right with nothing selected selects 0", rows, ThumbKey::Right, -1, 6, 0},
        {"left with nothing selected stays none", rows, ThumbKey::Left, -1, 6, -1},
        {"home", rows, ThumbKey::Home, 4, 6, 0},
        {"end", rows, ThumbKey::End, 1, 6, 5},
        {"right in columns jumps a column", columns, ThumbKey::Right, 1, 6, 3},
        {"down in columns", columns, ThumbKey::Down, 1, 6, 2},
        {"up in columns", columns, ThumbKey::Up, 1, 6, 0},
        {"left in columns", columns, ThumbKey::Left, 3, 6, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyTarget(c.grid, c.key, c.selected, c.count), c.target) << c.name;
    EXPECT_TRUE(IsThumbKey(35));
    EXPECT_TRUE(IsThumbKey(40));
    EXPECT_FALSE(IsThumbKey(33));  // Page Up is not handled
    EXPECT_FALSE(IsThumbKey(34));
}

TEST(CellPlacement, PictureInItsCell) {
    const struct {
        const char* name;
        int cell, picW, picH;
        TTitlePos pos;
        CellPlacement expected;
    } cases[] = {
        {"400x300, no strip", 150, 400, 300, tpNone, {142, 127, 35, 5, 23, 140, 105, 8, 26}},
        {"400x300, strip up", 150, 400, 300, tpUp, {142, 127, 35, 5, 30, 140, 105, 8, 33}},
        {"400x300, strip down", 150, 400, 300, tpDown, {142, 127, 35, 5, 16, 140, 105, 8, 19}},
        {"100x80 stays, centred", 150, 100, 80, tpNone, {142, 127, 100, 25, 35, 100, 80, 28, 38}},
        {"tiny cell has no room, no wrap", 10, 400, 300, tpNone, {2, 0, 0, 5, 5, 0, 0, 8, 8}},
        {"no picture", 150, 0, 0, tpNone, {142, 127, 100, 75, 75, 0, 0, 78, 78}},
    };
    for (const auto& c : cases) {
        CellPlacementInput in;
        in.cellWidth = in.cellHeight = c.cell;
        in.pictureWidth = c.picW;
        in.pictureHeight = c.picH;
        in.placement = c.pos;
        const CellPlacement p = PlaceCellImage(in);
        const CellPlacement& e = c.expected;
        EXPECT_EQ(p.clientWidth, e.clientWidth) << c.name;
        EXPECT_EQ(p.clientHeight, e.clientHeight) << c.name;
        EXPECT_EQ(p.percent, e.percent) << c.name;
        EXPECT_EQ(p.left, e.left) << c.name;
        EXPECT_EQ(p.top, e.top) << c.name;
        EXPECT_EQ(p.width, e.width) << c.name;
        EXPECT_EQ(p.height, e.height) << c.name;
        EXPECT_EQ(p.shadowLeft, e.shadowLeft) << c.name;
        EXPECT_EQ(p.shadowTop, e.shadowTop) << c.name;
    }
    CellPlacementInput negative;  // a zero-sized cell
    negative.cellWidth = negative.cellHeight = 0;
    negative.borderWidth = 3;
    negative.pictureWidth = negative.pictureHeight = 50;
    EXPECT_EQ(PlaceCellImage(negative).clientWidth, 0);
    EXPECT_EQ(PlaceCellImage(negative).clientHeight, 0);
}

}  // namespace
}  // namespace controls
