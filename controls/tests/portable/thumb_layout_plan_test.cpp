#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "controls/portable/thumb_layout.h"

namespace controls {
namespace {

struct Place {
    int left = INT_MIN, top = INT_MIN;
    bool operator==(const Place&) const = default;
};

// The layout as it was done before the plan: after every change the line capacity is
// computed again and every cell is placed from the first.
std::vector<Place> PlaceEveryCell(ThumbGrid grid, int count) {
    grid.lineCapacity = LineCapacity(grid, count);
    std::vector<Place> places;
    for (int n = 1; n <= count; ++n) places.push_back({CellLeft(grid, n), CellTop(grid, n)});
    return places;
}

enum class Arrival { Ascending, Descending, Shuffled };

// Where the list puts each new cell: at the end when the files come in the list's own order
// (a scan, sorted or not), at the front or anywhere otherwise.
int InsertIndex(Arrival arrival, int count, std::mt19937& random) {
    switch (arrival) {
        case Arrival::Ascending: return count;
        case Arrival::Descending: return 0;
        case Arrival::Shuffled: return std::uniform_int_distribution<int>(0, count)(random);
    }
    return count;
}

// The view's use of the plan: a scan places each new cell with the grid of the moment and
// computes the line capacity again only at its pauses and its end.
struct PlannedView {
    ThumbGrid grid;
    ThumbLayoutPlan plan;
    std::vector<Place> cells;
    int placedCount = 0;

    void Layout() {
        plan.Place(grid, static_cast<int>(cells.size()), [&](int i, int left, int top) {
            cells[static_cast<std::size_t>(i)] = {left, top};
            ++placedCount;
        });
    }
    void Refit() {
        grid.lineCapacity = LineCapacity(grid, static_cast<int>(cells.size()));
        Layout();
    }
    void Insert(int index) {
        cells.insert(cells.begin() + index, Place{});
        plan.Inserted(index);
        Layout();
    }
    void Remove(int index) {
        cells.erase(cells.begin() + index);
        plan.Removed(index);
        Refit();
    }
};

const char* ModeName(TScrollMode m) { return m == smVertical ? "vertical" : m == smHorizontal ? "horizontal" : "both"; }

TEST(ThumbLayoutPlan, ABatchEndsWithTheLayoutOfPlacingEveryCell) {
    struct Case {
        TScrollMode mode;
        TViewType align;
        int viewWidth, viewHeight, cell, gap, count;
        Arrival arrival;
    };
    const Case cases[] = {
        {smVertical, vtFitToScreen, 193, 513, 150, 4, 40, Arrival::Ascending},  // the editor's view
        {smVertical, vtFitToScreen, 193, 513, 75, 4, 41, Arrival::Shuffled},
        {smVertical, vtCenter, 600, 480, 90, 7, 33, Arrival::Descending},
        {smVertical, vtNormal, 30, 480, 90, 0, 5, Arrival::Ascending},          // narrower than a cell
        {smHorizontal, vtNormal, 600, 480, 100, 4, 57, Arrival::Ascending},
        {smHorizontal, vtFitToScreen, 600, 333, 60, 9, 64, Arrival::Shuffled},
        {smHorizontal, vtCenter, 600, 480, 200, 4, 17, Arrival::Descending},
        {smBoth, vtNormal, 600, 480, 50, 4, 101, Arrival::Ascending},           // capacity grows with the count
        {smBoth, vtFitToScreen, 600, 480, 50, 4, 50, Arrival::Shuffled},
        {smVertical, vtNormal, 600, 480, 0, 0, 12, Arrival::Ascending},         // zero pitch
    };
    for (const Case& c : cases) {
        const std::string name = std::string(ModeName(c.mode)) + " align " + std::to_string(c.align) + " cell " +
                                 std::to_string(c.cell) + " count " + std::to_string(c.count) + " arrival " +
                                 std::to_string(static_cast<int>(c.arrival));
        PlannedView view;
        view.grid.scrollMode = c.mode;
        view.grid.alignView = c.align;
        view.grid.viewWidth = c.viewWidth;
        view.grid.viewHeight = c.viewHeight;
        view.grid.cellWidth = view.grid.cellHeight = c.cell;
        view.grid.gap = c.gap;
        view.Refit();
        std::mt19937 random(static_cast<unsigned>(c.count));
        for (int k = 0; k < c.count; ++k) {
            view.Insert(InsertIndex(c.arrival, k, random));
            // Across the scroll direction the capacity does not depend on the count: every
            // cell stands at its final place while the scan runs.
            if (c.mode != smBoth) {
                ASSERT_EQ(view.cells, PlaceEveryCell(view.grid, k + 1)) << name << " after " << k + 1;
            }
        }
        view.Refit();
        EXPECT_EQ(view.cells, PlaceEveryCell(view.grid, c.count)) << name;
        if (c.mode != smBoth && c.arrival == Arrival::Ascending) {
            EXPECT_EQ(view.placedCount, c.count) << name << ": each cell placed once";
        }

        // Removals, a new cell size and a narrower view: each change ends as placing all would.
        view.Remove(c.count / 2);
        EXPECT_EQ(view.cells, PlaceEveryCell(view.grid, c.count - 1)) << name << " after a removal";
        view.Remove(c.count - 2);
        EXPECT_EQ(view.cells, PlaceEveryCell(view.grid, c.count - 2)) << name << " after removing the last";
        view.grid.cellWidth = view.grid.cellHeight = c.cell / 2;
        view.Refit();
        EXPECT_EQ(view.cells, PlaceEveryCell(view.grid, c.count - 2)) << name << " at half size";
        view.grid.viewWidth -= 40;
        view.grid.viewHeight -= 40;
        view.Refit();
        EXPECT_EQ(view.cells, PlaceEveryCell(view.grid, c.count - 2)) << name << " in a smaller view";
    }
}

TEST(ThumbLayoutPlan, AppendingPlacesOnlyTheNewCell) {
    PlannedView view;
    view.grid.scrollMode = smVertical;
    view.grid.viewWidth = 193;
    view.grid.cellWidth = view.grid.cellHeight = 150;
    view.Refit();
    for (int k = 0; k < 1000; ++k) view.Insert(k);
    EXPECT_EQ(view.placedCount, 1000);
    view.Remove(998);  // only the last moves
    EXPECT_EQ(view.placedCount, 1001);
}

TEST(ThumbLayout, HugeMaxExtentsKeepAFullViewWithin32Bits) {
    EXPECT_EQ(ClampCellExtent(INT_MAX), kMaxCellExtent);
    EXPECT_EQ(ClampCellExtent(-5), 0);
    EXPECT_EQ(ClampCellExtent(150), 150);
    for (TScrollMode mode : {smVertical, smHorizontal, smBoth}) {
        for (TViewType align : {vtNormal, vtCenter, vtFitToScreen}) {
            ThumbGrid g;
            g.scrollMode = mode;
            g.alignView = align;
            g.cellWidth = g.cellHeight = CellExtent(ClampCellExtent(INT_MAX), kMaxThumbSize);
            g.gap = kMaxThumbGap;
            g.viewWidth = g.viewHeight = 1000;
            g.lineCapacity = LineCapacity(g, kMaxThumbCount);
            const std::string name = std::string(ModeName(mode)) + " align " + std::to_string(align);
            // The last cell lies beyond the one before it, and its far edge is a valid int.
            const long long last = mode == smHorizontal ? CellLeft(g, kMaxThumbCount) : CellTop(g, kMaxThumbCount);
            const long long before = mode == smHorizontal ? CellLeft(g, kMaxThumbCount - g.lineCapacity)
                                                          : CellTop(g, kMaxThumbCount - g.lineCapacity);
            EXPECT_GT(last, before) << name;
            EXPECT_LE(last + g.cellHeight, INT_MAX) << name;
        }
    }
}

}  // namespace
}  // namespace controls
