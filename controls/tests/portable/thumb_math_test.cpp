#include "controls/portable/thumb_math.h"

#include <gtest/gtest.h>

#include "controls/portable/jpeg_scale_choice.h"
#include "controls/portable/thumb_masks.h"

namespace controls {
namespace {

TEST(ThumbMath, RoundAwayFromZero) {
    const struct {
        long double x;
        int expected;
    } cases[] = {{2.0L, 2}, {2.1L, 3}, {-2.1L, -3}, {0.0L, 0}, {-2.0L, -2}, {0.0001L, 1}, {-0.5L, -1}};
    for (const auto& c : cases) EXPECT_EQ(RoundAwayFromZero(c.x), c.expected) << static_cast<double>(c.x);
}

TEST(ThumbMath, FitProportional) {
    const struct {
        ThumbSize size, box, expected;
    } cases[] = {
        {{400, 300}, {150, 150}, {150, 112}},
        {{100, 80}, {150, 150}, {150, 120}},  // enlarges: the caller decides
        {{3000, 2000}, {150, 150}, {150, 100}},
        {{3000, 2000}, {300, 300}, {300, 200}},
        {{0, 100}, {150, 150}, {0, 0}},  // a zero side gives 0 percent
        {{100, 100}, {0, 50}, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitProportional(c.size, c.box), c.expected)
            << c.size.width << "x" << c.size.height << " in " << c.box.width << "x" << c.box.height;
    }
}

TEST(ThumbMath, ReplaceAllText) {
    const struct {
        const char *text, *search, *replacement;
        bool caseSensitive;
        const char* expected;
    } cases[] = {
        {"a;b", ";", "\n", false, "a\nb"},
        {";a;;b;", ";", "\n", false, "\na\n\nb\n"},
        {"Thumb THUMB thumb", "thumb", "x", false, "x x x"},
        {"Thumb THUMB thumb", "thumb", "x", true, "Thumb THUMB x"},
        {"aaa", "aa", "b", false, "ba"},      // continues after each occurrence
        {"\xe9\xc9", "\xe9", "e", false, "e\xc9"},  // only a..z fold
        {"unchanged", "", "x", false, "unchanged"},  // an empty search finds nothing
        {"", ";", "\n", false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAllText(c.text, c.search, c.replacement, c.caseSensitive), c.expected) << c.text;
}

TEST(ThumbMath, ReductionSteps) {
    using Steps = std::vector<ThumbSize>;
    const struct {
        const char* name;
        ThumbSize picture, box;
        Steps expected;
    } cases[] = {
        {"one step via the doubled box", {3000, 2000}, {150, 150}, {{300, 200}, {150, 100}}},
        {"within sixteen times", {400, 300}, {150, 150}, {{150, 112}}},
        {"smaller picture is never enlarged", {100, 80}, {150, 150}, {}},
        {"same size still makes one step", {150, 100}, {150, 150}, {{150, 100}}},
        {"empty box does nothing", {400, 300}, {0, 150}, {}},
        {"empty box does nothing (height)", {400, 300}, {150, 0}, {}},
        {"empty picture does nothing", {0, 0}, {150, 150}, {}},
        {"a sliver keeps one pixel", {20000, 10}, {150, 150}, {{1200, 1}, {600, 1}, {300, 1}, {150, 1}}},
    };
    for (const auto& c : cases) {
        const Steps got = ReductionSteps(c.picture, c.box);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i], c.expected[i]) << c.name << " step " << i << ": " << got[i].width << "x" << got[i].height;
            EXPECT_GE(got[i].width, 1);
            EXPECT_GE(got[i].height, 1);
        }
    }
}

TEST(ThumbMasks, FieldsOfTheFilter) {
    using Masks = std::vector<std::string>;
    const struct {
        const char* filter;
        Masks expected;
    } cases[] = {
        {"Thumbnails|thm_*.jpg|Thumbnails|thm_*.jpeg", {"thm_*.jpg", "thm_*.jpeg"}},
        {"*.jpg", {"*.jpg"}},
        {"All|*.jpg;*.jpeg;*.bmp|JPEG|*.jpg", {"*.jpg", "*.jpeg", "*.bmp", "*.jpg"}},
        {"Pictures|*.jpg|Trailing", {"*.jpg", "Trailing"}},  // a last description counts as masks
        {"Pictures|*.jpg|", {"*.jpg"}},
        {"Pictures|;;*.bmp;|", {"*.bmp"}},
        {"", {}},
        {"|", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildMaskList(c.filter), c.expected) << '"' << c.filter << '"';
}

TEST(JpegScaleChoice, BandsAtTheirThresholds) {
    const struct {
        std::uint64_t size;
        int denominator;
    } cases[] = {
        {0, 1}, {1'000'000, 1}, {1'000'001, 2}, {4'000'000, 2}, {4'000'001, 4}, {5'000'000, 4},
        {7'000'000, 4}, {7'000'001, 8},
        // Sizes past 32 bits stay in the largest band instead of wrapping into a small one.
        {(std::uint64_t{1} << 32) + 100, 8}, {std::uint64_t{5} << 30, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(JpegScaleForFileSize(c.size), c.denominator) << c.size;
}

TEST(JpegScaleChoice, ACellTakesTheLargerReductionOfFileSizeAndBox) {
    const struct {
        std::uint64_t size;
        int width, height, boxWidth, boxHeight;
        int denominator;
    } cases[] = {
        // A small file of a large picture: the box rule reduces where the size rule would not.
        {400'000, 4000, 3000, 150, 150, 8},
        {400'000, 2400, 1200, 150, 150, 4},   // 1/8 leaves 150 across, below twice the box
        {400'000, 600, 600, 150, 150, 2},     // 300 x 300 is exactly twice the box
        {400'000, 599, 599, 150, 150, 2},     // 1/2 of 599 rounds up to 300
        {400'000, 597, 600, 150, 150, 1},     // 1/2 of 597 rounds up to 299 only
        {400'000, 150, 150, 150, 150, 1},
        // A large file of a small picture: never less reduction than its size gives.
        {7'000'001, 150, 150, 150, 150, 8},
        {4'000'001, 600, 600, 150, 150, 4},
        {1'000'001, 4000, 3000, 150, 150, 8},
        // Both sides must keep twice the box.
        {400'000, 4000, 300, 150, 150, 1},
        {400'000, 4000, 2400, 150, 300, 4},
        {2'000'000, 4000, 600, 150, 150, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JpegScaleForCell(c.size, c.width, c.height, c.boxWidth, c.boxHeight), c.denominator)
            << c.size << " " << c.width << "x" << c.height << " in " << c.boxWidth << "x" << c.boxHeight;
}

}  // namespace
}  // namespace controls
