#include "skin/controls/portable/scroll_geometry.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(ScrollGeometry, ThumbOfAScrollBarControl) {
    const struct {
        const char* name;
        int length, arrow;
        std::int64_t page, position, maximum;
        std::optional<ThumbSpan> thumb;
    } cases[] = {
        {"at the start", 200, 17, 10, 0, 100, ThumbSpan{17, 17 + 15}},
        {"half way", 200, 17, 10, 50, 100, ThumbSpan{17 + 83, 17 + 83 + 15}},
        {"no page: one arrow long", 200, 17, 0, 50, 100, ThumbSpan{17 + 75, 17 + 75 + 17}},
        {"an empty range", 200, 17, 10, 0, 0, std::nullopt},
        {"a negative range", 200, 17, 10, 0, -5, std::nullopt},
        {"one arrow long on a short track", 40, 17, 0, 5, 10, std::nullopt},
        {"kept inside the track", 200, 17, 50, 100, 100, ThumbSpan{200 - 17 - 81, 200 - 17}},
        // -2e9 .. 2e9 at 1e9: three quarters along a range wider than an int.
        {"a range wider than an int", 200, 17, 0, 3000000000LL, 4000000000LL, ThumbSpan{17 + 112, 17 + 112 + 17}},
        {"a wide range's page", 234, 17, 2000000001, 0, 4000000000LL, ThumbSpan{17, 17 + 100}},
    };
    for (const auto& c : cases) EXPECT_EQ(ControlThumb(c.length, c.arrow, c.page, c.position, c.maximum), c.thumb) << c.name;
}

TEST(ScrollGeometry, ADraggedThumbStaysBetweenTheArrows) {
    EXPECT_EQ(DraggedThumb(200, 17, 50, 30, 20), (ThumbSpan{70, 100}));
    EXPECT_EQ(DraggedThumb(200, 17, 50, 30, -100), (ThumbSpan{17, 47}));
    EXPECT_EQ(DraggedThumb(200, 17, 50, 30, 500), (ThumbSpan{153, 183}));
    EXPECT_EQ(DraggedThumb(50, 17, 17, 30, 5), std::nullopt);  // bounds would cross
}

}  // namespace
}  // namespace skin
