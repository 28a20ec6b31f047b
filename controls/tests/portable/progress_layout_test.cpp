#include "controls/portable/progress_layout.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

constexpr auto R = TProgressArithmetic::Rounding;
constexpr auto T = TProgressArithmetic::Truncating;

TEST(ProgressPercent, RoundsOrTruncates) {
    const struct {
        std::int64_t pos, min, max;
        int rounding, truncating;
    } cases[] = {
        {50, 0, 100, 50, 50},  {2, 0, 3, 67, 66},   {1, 0, 3, 33, 33},    {199, 0, 200, 100, 99},
        {200, 0, 200, 100, 100}, {5, 5, 5, 0, 0},   {-5, -10, 10, 25, 25},
        // Ranges whose 32-bit product would overflow.
        {2000000000, 0, 2100000000, 95, 95}, {2147483647, -2147483647 - 1, 2147483647, 100, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PercentDone(c.pos, c.min, c.max, R), c.rounding) << c.pos << "/" << c.max;
        EXPECT_EQ(PercentDone(c.pos, c.min, c.max, T), c.truncating) << c.pos << "/" << c.max;
    }
}

TEST(ProgressLayout, SolidAndBlockWidths) {
    const struct {
        const char* name;
        std::int64_t pos;
        int width, height;
        bool solid;
        TProgressArithmetic arithmetic;
        int bar, blocks;
        bool partial;
        int partialWidth;
    } cases[] = {
        {"solid rounding", 50, 385, 25, true, R, 192, 0, false, 0},
        {"solid truncating", 50, 385, 25, true, T, 191, 0, false, 0},
        // 25 high: 16-pixel blocks; inner width 98.
        {"rest of half a block stays out", 41, 100, 25, false, R, 32, 2, false, 0},  // W 40
        {"rest over half adds a block", 42, 100, 25, false, R, 48, 3, false, 0},    // W 41
        {"near the end, no room", 99, 100, 25, false, R, 96, 6, false, 0},         // W 97
        {"partial block fills to the end", 100, 100, 25, false, R, 98, 7, true, 2},  // W 98
        {"too low for blocks", 50, 100, 1, false, R, 0, 0, false, 0},
    };
    for (const auto& c : cases) {
        auto layout = ComputeBarLayout(TBarLayout{}, c.pos, 0, 100, c.width, c.height, c.solid, c.arithmetic);
        ASSERT_TRUE(layout.has_value()) << c.name;
        EXPECT_EQ(layout->BarWidth, c.bar) << c.name;
        if (c.solid) continue;
        EXPECT_EQ(layout->BlockWidth, c.height * 2 / 3) << c.name;
        EXPECT_EQ(layout->BlockCount, c.blocks) << c.name;
        EXPECT_EQ(layout->HasPartialBlock, c.partial) << c.name;
        if (c.partial) {
            EXPECT_EQ(layout->PartialBlockWidth, c.partialWidth) << c.name;
        }
    }
    EXPECT_FALSE(ComputeBarLayout(TBarLayout{}, 5, 5, 5, 100, 25, true, R).has_value());
    EXPECT_FALSE(ComputeBarLayout(TBarLayout{}, 5, 0, 10, 1, 25, true, R).has_value());
}

TEST(ProgressFills, GradientSpansTheFilledPartOnly) {
    TBarLayout blocks;
    blocks.BarWidth = 8;
    blocks.BlockWidth = 4;
    blocks.BlockCount = 2;
    const std::uint32_t start = 0x000000, end = 0x000050;  // red 0 to 80: 10 a column
    const std::vector<TBarFill> columns = {
        {1, 1, false, 0}, {2, 1, false, 10}, {3, 1, false, 20},  // one step for the gap column
        {5, 1, false, 40}, {6, 1, false, 50}, {7, 1, false, 60},
        {4, 1, true, 0},  {8, 1, true, 0},   {9, 2, true, 0},
    };
    EXPECT_EQ(PlanBarFills(blocks, 12, 6, false, true, start, end), columns);
    const std::vector<TBarFill> solidBlocks = {
        {1, 3, false, 0}, {5, 3, false, 40}, {4, 1, true, 0}, {8, 1, true, 0}, {9, 2, true, 0},
    };
    EXPECT_EQ(PlanBarFills(blocks, 12, 6, false, false, start, end), solidBlocks);
    const std::vector<TBarFill> flat = {
        {1, 3, false, 0x123456}, {5, 3, false, 0x123456}, {4, 1, true, 0}, {8, 1, true, 0}, {9, 2, true, 0},
    };
    EXPECT_EQ(PlanBarFills(blocks, 12, 6, false, true, 0x123456, 0x123456), flat);

    blocks.BlockCount = 3;
    blocks.HasPartialBlock = true;
    blocks.PartialBlockWidth = 2;
    blocks.BarWidth = 10;
    const std::vector<TBarFill> partial = {
        {1, 3, false, 0x0A0B0C}, {5, 3, false, 0x0A0B0C}, {9, 2, false, 0x0A0B0C}, {4, 1, true, 0}, {8, 1, true, 0},
    };
    EXPECT_EQ(PlanBarFills(blocks, 12, 6, false, true, 0x0A0B0C, 0x0A0B0C), partial);
}

TEST(ProgressFills, SolidBarColumnsRoundHalvesToEven) {
    TBarLayout solid;
    solid.BarWidth = 2;
    // Red 0 to 5 over 2 columns: 0, then 2.5 which rounds to 2; green 0 to 7: 0, 3.5 -> 4.
    const std::vector<TBarFill> fills = {{1, 1, false, 0x000000}, {2, 1, false, 0x000402}, {3, 3, true, 0}};
    EXPECT_EQ(PlanBarFills(solid, 7, 10, true, false, 0x000000, 0x000705), fills);
    const std::vector<TBarFill> one = {{1, 2, false, 0xFF}, {3, 3, true, 0}};
    EXPECT_EQ(PlanBarFills(solid, 7, 10, true, false, 0xFF, 0xFF), one);
    solid.BarWidth = 0;
    EXPECT_EQ(PlanBarFills(solid, 7, 10, true, false, 0, 0xFF), (std::vector<TBarFill>{{1, 5, true, 0}}));
}

TEST(ProgressText, OptionsAndOwnFormatter) {
    const struct {
        TTextOption option;
        const char* caption;
        int percent;
        std::optional<std::string> text;
    } cases[] = {
        {toCaption, "Scanning %d", 42, "Scanning %d"},
        {toPercent, "ignored", 100, "100%"},
        {toNoText, "x", 5, std::nullopt},
        {toFormat, "%d%% done", 42, "42% done"},
        {toFormat, "plain", 42, "plain"},
        {toFormat, "%s crashes printf", 42, "%s crashes printf"},
        {toFormat, "%n%n%n", 42, "%n%n%n"},
        {toFormat, "%d and %d", 42, "%d and %d"},
        {toFormat, "ends in %", 42, "ends in %"},
        {toFormat, "%5d", 42, "%5d"},
    };
    for (const auto& c : cases) EXPECT_EQ(BarText(c.option, c.caption, c.percent), c.text) << c.caption;
}

TEST(ProgressText, CentredAndNeverNegative) {
    const struct {
        int area, height, tw, th, x, y;
    } cases[] = {{100, 25, 20, 13, 40, 6}, {10, 25, 21, 13, 0, 6}, {0, 5, 7, 13, 0, 0}, {101, 24, 20, 13, 40, 5}};
    for (const auto& c : cases) {
        const TTextPosition p = BarTextPosition(c.area, c.height, c.tw, c.th);
        EXPECT_EQ(p.X, c.x);
        EXPECT_EQ(p.Y, c.y);
    }
}

}  // namespace
}  // namespace controls
