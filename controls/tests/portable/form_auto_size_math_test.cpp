#include "controls/portable/form_auto_size_math.h"

#include <gtest/gtest.h>

namespace controls {
namespace {

TEST(AutoSizeScale, NoScaleFromOrToAZeroSide) {
    const struct { int oldW, oldH, newW, newH; bool scales; } cases[] = {
        {898, 606, 1796, 606, true},
        {0, 606, 1796, 606, false},   // nothing remembered
        {898, 0, 1796, 606, false},
        {898, 606, 0, 0, false},      // a window collapsed to nothing
        {898, 606, -32000, 20, false},
        {898, 606, 160, 24, true},    // small, but a real size
    };
    for (const auto& c : cases)
        EXPECT_EQ(AutoSizeScaleFor(c.oldW, c.oldH, c.newW, c.newH).has_value(), c.scales)
            << c.oldW << "x" << c.oldH << " -> " << c.newW << "x" << c.newH;
}

TEST(ScaleBounds, DoublingTheWidthAndButtonsKeepingTheirSize) {
    const auto scale = *AutoSizeScaleFor(898, 606, 1796, 606);
    const struct { AutoSizeBounds in; bool resizable; AutoSizeBounds out; } cases[] = {
        {{10, 20, 100, 21}, true, {20, 20, 200, 21}},
        {{10, 20, 100, 21}, false, {20, 20, 100, 21}},
        {{0, 0, 0, 0}, true, {0, 0, 0, 0}},
        {{-5, -7, 3, 3}, true, {-10, -7, 6, 3}},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleBounds(c.in, scale, c.resizable), c.out) << c.in.left;
}

TEST(ScaleBounds, HalvesRoundToEven) {
    const AutoSizeScale half{0.5, 0.5};
    const struct { AutoSizeBounds in; AutoSizeBounds out; } cases[] = {
        {{1, 3, 5, 7}, {0, 2, 2, 4}},    // 0.5, 1.5, 2.5, 3.5
        {{-1, -3, 9, 11}, {0, -2, 4, 6}},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleBounds(c.in, half, true), c.out) << c.in.left;
}

// Shrinking and growing back may drift by a pixel, never more, per round trip.
TEST(ScaleBounds, ARoundTripDriftsByAtMostAPixel) {
    const auto down = *AutoSizeScaleFor(898, 606, 611, 413);
    const auto up = *AutoSizeScaleFor(611, 413, 898, 606);
    for (int v = 0; v < 900; v += 7) {
        const AutoSizeBounds start{v, v / 2, v + 3, v / 3};
        const auto back = ScaleBounds(ScaleBounds(start, down, true), up, true);
        EXPECT_LE(std::abs(back.left - start.left), 1) << v;
        EXPECT_LE(std::abs(back.top - start.top), 1) << v;
        EXPECT_LE(std::abs(back.width - start.width), 1) << v;
        EXPECT_LE(std::abs(back.height - start.height), 1) << v;
    }
}

}  // namespace
}  // namespace controls
