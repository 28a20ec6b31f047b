#include "skin/portable/skin_slicing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skin {
namespace {

// A picture from rows of letters, each letter one colour (its code in every byte), so that
// results read as text: "ab" is a red-less, two-pixel row of colours 'a' and 'b'.
forms::PixelBuffer Letters(const std::vector<std::string>& rows) {
    forms::PixelBuffer p(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), 3);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            std::uint8_t* px = p.row(y) + 3 * x;
            px[0] = px[1] = px[2] = static_cast<std::uint8_t>(rows[y][x]);
        }
    return p;
}

std::vector<std::string> Rows(const forms::PixelBuffer& p) {
    std::vector<std::string> rows;
    for (int y = 0; y < p.height(); ++y) {
        std::string row;
        for (int x = 0; x < p.width(); ++x) row += static_cast<char>(p.row(y)[3 * x] ? p.row(y)[3 * x] : '.');
        rows.push_back(row);
    }
    return rows;
}

TEST(SkinSlicing, FramesAreAddressedSideBySideOrStacked) {
    const struct { int w, h, count, index; bool stacked; SkinRect rect; } cases[] = {
        {10, 40, 2, 2, true, {0, 20, 10, 40}},
        {10, 40, 2, 1, true, {0, 0, 10, 20}},
        {30, 7, 3, 3, false, {20, 0, 30, 7}},
        {31, 7, 3, 2, false, {10, 0, 20, 7}},  // the remainder column belongs to no frame
        {30, 7, 0, 1, false, {0, 0, 30, 7}},   // a count below 1 is one frame
    };
    for (const auto& c : cases) EXPECT_EQ(FrameRect(c.w, c.h, c.count, c.index, c.stacked), c.rect) << c.w << 'x' << c.h;
}

TEST(SkinSlicing, NinePartsKeepCornersAndStretchOrTileTheRest) {
    // Second of two side-by-side 3 × 3 frames: corners A C G I, edges B D F H, centre E.
    const forms::PixelBuffer image = Letters({"xxxABC", "xxxDEF", "xxxGHI"});
    const SkinMargins one{1, 1, 1, 1};
    const struct {
        const char* what;
        int w, h;
        SkinMargins margins;
        bool tile;
        std::vector<std::string> rows;
    } cases[] = {
        {"stretched", 5, 4, one, false, {"ABBBC", "DEEEF", "DEEEF", "GHHHI"}},
        {"exact size", 3, 3, one, false, {"ABC", "DEF", "GHI"}},
        {"too narrow for the margins", 1, 3, one, false, {"B", "E", "H"}},  // left and right dropped
        {"no margins", 6, 3, {}, false, {"AABBCC", "DDEEFF", "GGHHII"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(SliceFrame(c.w, c.h, image, c.margins, false, c.tile, 2, 2)), c.rows) << c.what;

    // A tiled centre repeats the 2 × 2 middle and is covered again by the right and bottom edges.
    const forms::PixelBuffer big = Letters({"ABBC", "DpqF", "DrsF", "GHHI"});
    EXPECT_EQ(Rows(SliceFrame(7, 5, big, one, false, true, 1, 1)),
              (std::vector<std::string>{"ABBBBBC", "DpqpqpF", "DrsrsrF", "DpqpqpF", "GHHHHHI"}));
    EXPECT_TRUE(SliceFrame(0, 5, big, one, false, false, 1, 1).empty());
    EXPECT_EQ(Rows(SliceFrame(2, 1, forms::PixelBuffer(0, 0, 3), one, false, false, 1, 1)),
              (std::vector<std::string>{".."}));
}

TEST(SkinSlicing, ThreePartStripsRepeatTheMiddleBetweenTheCaps) {
    const forms::PixelBuffer image = Letters({"LmnR", "LmnR"});
    const struct { int w; int left, right; std::vector<std::string> rows; } cases[] = {
        {8, 1, 1, {"LmnmnmnR", "LmnmnmnR", "LmnmnmnR"}},
        {7, 1, 1, {"LmnmnmR", "LmnmnmR", "LmnmnmR"}},  // the last middle is covered by the right cap
        {4, 2, 2, {"LmnR", "LmnR", "LmnR"}},           // no middle: nothing repeats, nothing hangs
        {3, 3, 3, {"mnR", "mnR", "mnR"}},  // caps wider than the strip: the right one wins
    };
    for (const auto& c : cases) EXPECT_EQ(Rows(ThreePart(c.w, 3, image, false, 1, 1, c.left, c.right)), c.rows) << c.w;
}

TEST(SkinSlicing, TilesRunWholePastTheTargetUpToThePictureEdge) {
    const forms::PixelBuffer tile = Letters({"ab", "cd"});
    forms::PixelBuffer target(5, 3, 3);
    TileCopy(tile, {0, 0, 2, 2}, target, {0, 0, 3, 1});
    EXPECT_EQ(Rows(target), (std::vector<std::string>{"abab.", "cdcd.", "....."}));
    TileCopy(tile, {0, 0, 0, 2}, target, {0, 0, 5, 3});  // no area: nothing, and no endless loop
    EXPECT_EQ(Rows(target)[2], ".....");
}

TEST(SkinSlicing, OpaqueRunsSkipTheKeyColourWithinTheTolerance) {
    forms::PixelBuffer image(4, 2, 3);
    auto set = [&](int x, int y, int r, int g, int b) {
        std::uint8_t* p = image.row(y) + 3 * x;
        p[0] = static_cast<std::uint8_t>(b);
        p[1] = static_cast<std::uint8_t>(g);
        p[2] = static_cast<std::uint8_t>(r);
    };
    set(0, 0, 255, 0, 255);
    set(1, 0, 255, 1, 255);
    set(2, 0, 254, 0, 255);
    set(3, 0, 255, 0, 255);
    // Row 1 stays black: one run across it.
    EXPECT_EQ(OpaqueRuns(image, 10, 20, 1, 1, 1),
              (std::vector<OpaqueRun>{{12, 20, 13}, {10, 21, 14}}));
    EXPECT_EQ(OpaqueRuns(image, 0, 0, 0, 0, 0),
              (std::vector<OpaqueRun>{{1, 0, 3}, {0, 1, 4}}));
}

}  // namespace
}  // namespace skin
