#include "controls/portable/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

namespace controls {
namespace {

using F = TResamplingFilter;
constexpr F kAllFilters[] = {F::Box, F::Triangle, F::Hermite, F::Bell, F::Spline, F::Lanczos3, F::Mitchell};
constexpr ResampleCode kAllCodes[] = {ResampleCode::Best, ResampleCode::Sse2};

TEST(ResampleFilters, KernelValuesAndDefaultRadii) {
    const struct {
        F filter;
        float x;
        float value;
    } cases[] = {
        {F::Box, 0.5f, 1.0f},        {F::Box, -0.5f, 0.0f},        {F::Box, 0.0f, 1.0f},
        {F::Triangle, 0.25f, 0.75f}, {F::Triangle, -1.0f, 0.0f},   {F::Hermite, 0.5f, 0.5f},
        {F::Hermite, 0.0f, 1.0f},    {F::Bell, 0.0f, 0.75f},       {F::Bell, 1.0f, 0.125f},
        {F::Bell, 1.5f, 0.0f},       {F::Spline, 0.0f, 2.0f / 3},  {F::Spline, 1.0f, 1.0f / 6},
        {F::Spline, -2.0f, 0.0f},    {F::Lanczos3, 0.0f, 1.0f},    {F::Lanczos3, 3.0f, 0.0f},
        {F::Mitchell, 0.0f, 8.0f / 9}, {F::Mitchell, 1.0f, 1.0f / 18}, {F::Mitchell, 2.0f, 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(FilterValue(c.filter, c.x), c.value, 1e-6) << static_cast<int>(c.filter) << " at " << c.x;
    }
    EXPECT_NEAR(FilterValue(F::Lanczos3, 1.0f), 0.0f, 1e-6);
    EXPECT_NEAR(FilterValue(F::Lanczos3, 0.5f), 0.6079271f, 1e-5);
    const float radii[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
    for (int i = 0; i < kResamplingFilterCount; ++i) EXPECT_EQ(DefaultFilterRadius(kAllFilters[i]), radii[i]);
}

using Pairs = std::vector<std::pair<int, int>>;  // {weight, pixel}

Pairs PairsOf(const TContributorEntry& e) {
    Pairs p;
    for (int k = 0; k < e.N; ++k) p.emplace_back(e.Contributors[k].Weight, e.Contributors[k].Pixel);
    return p;
}

TEST(ResampleContributors, WorkedLists) {
    const struct {
        const char* name;
        int src, dst;
        F filter;
        float radius;
        std::vector<Pairs> entries;
    } cases[] = {
        // Shrinking 5 to 3: scale 0.5, weights f((c - j) * 0.5) * 0.5 * 256; the mirror is
        // -j on the left but 2 * 5 - 1 - j on the right.
        {"shrink", 5, 3, F::Triangle, 1.0f,
         {{{64, 1}, {128, 0}, {64, 1}}, {{64, 1}, {128, 2}, {64, 3}}, {{64, 3}, {128, 4}, {64, 4}}}},
        // Enlarging 3 to 5: scale 2, centres 0, 0.5, 1, 1.5, 2.
        {"enlarge", 3, 5, F::Triangle, 1.0f,
         {{{256, 0}}, {{128, 0}, {128, 1}}, {{256, 1}}, {{128, 1}, {128, 2}}, {{256, 2}}}},
        // Radius beyond the support changes nothing when enlarging.
        {"enlarge wide radius", 3, 5, F::Triangle, 5.0f,
         {{{256, 0}}, {{128, 0}, {128, 1}}, {{256, 1}}, {{128, 1}, {128, 2}}, {{256, 2}}}},
        // A one-pixel source: scale = dst, j = 1 mirrors back to 0.
        {"one-pixel source", 1, 3, F::Triangle, 1.0f, {{{256, 0}}, {{171, 0}, {85, 0}}, {{85, 0}, {171, 0}}}},
        // Zero radius is the default one; so is a negative radius.
        {"default radius", 5, 3, F::Triangle, 0.0f,
         {{{64, 1}, {128, 0}, {64, 1}}, {{64, 1}, {128, 2}, {64, 3}}, {{64, 3}, {128, 4}, {64, 4}}}},
        {"negative radius", 5, 3, F::Triangle, -2.0f,
         {{{64, 1}, {128, 0}, {64, 1}}, {{64, 1}, {128, 2}, {64, 3}}, {{64, 3}, {128, 4}, {64, 4}}}},
        // Box weights of 256/512 = 0.5 round to even (0): every entry empty, so each takes its
        // nearest source pixel instead of painting black.
        {"extreme shrink", 1025, 3, F::Box, 0.0f, {{{256, 0}}, {{256, 512}}, {{256, 1024}}}},
        // One target pixel: the middle of the source, averaged across.
        {"single target", 4, 1, F::Box, 0.0f, {{{64, 0}, {64, 1}, {64, 2}, {64, 3}}}},
    };
    for (const auto& c : cases) {
        const TContributorList list = BuildContributors(c.src, c.dst, c.filter, c.radius);
        ASSERT_EQ(list.size(), c.entries.size()) << c.name;
        for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(PairsOf(list[i]), c.entries[i]) << c.name << " entry " << i;
    }
}

TEST(ResampleContributors, IndicesStayInsideTheLineWhateverTheFilter) {
    const struct {
        int src, dst;
    } sizes[] = {{2, 9}, {1, 7}, {3, 2}, {2, 1}, {2, 2}, {3000, 2}, {7, 1}};
    for (F filter : kAllFilters) {
        for (const auto& s : sizes) {
            for (float radius : {0.0f, 5.0f, 1e30f}) {
                const TContributorList list = BuildContributors(s.src, s.dst, filter, radius);
                ASSERT_EQ(static_cast<int>(list.size()), s.dst);
                for (const auto& e : list) {
                    ASSERT_GT(e.N, 0);
                    for (int k = 0; k < e.N; ++k) {
                        EXPECT_GE(e.Contributors[k].Pixel, 0);
                        EXPECT_LT(e.Contributors[k].Pixel, s.src);
                        EXPECT_NE(e.Contributors[k].Weight, 0);
                    }
                }
            }
        }
    }
}

TEST(ResampleContributors, HugeRadiusIsCappedWithoutChangingTheResult) {
    for (F filter : kAllFilters) {
        const auto capped = BuildContributors(300, 101, filter, kMaxResampleRadius);
        const auto huge = BuildContributors(300, 101, filter, 1e9f);
        for (size_t i = 0; i < capped.size(); ++i) EXPECT_EQ(PairsOf(capped[i]), PairsOf(huge[i]));
    }
}

TEST(ResampleWeightedSum, TruncatesAndFallsBackWhenWeightsCancel) {
    const std::int32_t channel[] = {10, 20, 200, 255};
    const struct {
        Pairs weights;
        int value;
    } cases[] = {
        {{{128, 0}, {128, 1}}, 15},
        {{{100, 0}, {100, 1}, {57, 2}}, (100 * 10 + 100 * 20 + 57 * 200) / 257},  // 56, truncated
        {{{300, 3}, {-44, 0}}, 255},                                               // clamped high
        {{{300, 0}, {-290, 1}}, 0},                                                // -2800 / 10: clamped low
        {{{256, 1}, {-256, 0}}, (2560) >> 8},                                      // total 0: sum >> 8
        {{{256, 0}, {-256, 1}}, 255},                                              // negative sum >> 8 as unsigned
    };
    for (const auto& c : cases) {
        TContributorEntry e;
        for (auto [w, p] : c.weights) e.Contributors.push_back({w, p});
        e.N = static_cast<int>(e.Contributors.size());
        EXPECT_EQ(WeightedChannel(e, channel), c.value);
    }
}

TEST(ResampleSizes, NegativeAbsurdAndOverflowingSizesAreRefused) {
    const struct {
        int sw, sh, dw, dh;
        bool accepted;
    } cases[] = {
        {10, 10, 5, 5, true},
        {10, 10, 0, 5, true},  // sized but empty
        {10, 10, -1, 5, false},
        {10, 10, 5, -1, false},
        {10, 10, kMaxResampleSide + 1, 1, false},
        {10, 60000, 60000, 1, false},  // the intermediate would be 3.6e9 pixels
        {10, 10, 2147483647, 2147483647, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResampleSizeAccepted(c.sw, c.sh, c.dw, c.dh), c.accepted) << c.dw << "x" << c.dh;
    }
}

forms::PixelBuffer Noise(int w, int h, int bpp, unsigned seed) {
    forms::PixelBuffer b(w, h, bpp);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w * bpp; ++x) b.row(y)[x] = static_cast<std::uint8_t>(rng());
    }
    return b;
}

// Sizes chosen for the fast version's edges: target rows of 1 to 7 pixels (the last four
// pixels of a 24-bit row are stored apart), taps running into the last source pixels, and
// tall sources whose rows pass through the ring of intermediate rows more than once.
TEST(ResamplePixels, FastVersionMatchesTheReference) {
    const struct {
        int sw, sh, dw, dh;
    } sizes[] = {{37, 23, 11, 7}, {11, 7, 37, 23}, {40, 30, 40, 30}, {1, 9, 5, 3},
                 {9, 1, 3, 6},    {20, 20, 1, 1},  {3, 2, 17, 1},   {2, 2, 9, 9},
                 {300, 200, 7, 5}, {1025, 3, 3, 2}, {5, 300, 2, 3},
                 {29, 5, 4, 2},   {29, 5, 5, 2},   {29, 5, 6, 2},   {29, 5, 7, 2},
                 {13, 700, 6, 41}, {700, 13, 41, 6}, {6, 41, 13, 700}, {4, 4, 6, 6}};
    for (F filter : kAllFilters) {
        for (const auto& s : sizes) {
            for (int bpp : {3, 4}) {
                forms::PixelBuffer src = Noise(s.sw, s.sh, bpp, 7u + s.sw);
                for (int targetBpp : {3, 4}) {
                    forms::PixelBuffer a(s.dw, s.dh, targetBpp);
                    ResamplePixelsReference(src.view(), a.view(), filter, 0.0f);
                    for (ResampleCode code : kAllCodes) {
                        forms::PixelBuffer b(s.dw, s.dh, targetBpp);
                        ResamplePixels(src.view(), b.view(), filter, 0.0f, 0, code);
                        ASSERT_EQ(std::vector<std::uint8_t>(a.data(), a.data() + a.stride() * a.height()),
                                  std::vector<std::uint8_t>(b.data(), b.data() + b.stride() * b.height()))
                            << static_cast<int>(filter) << " " << s.sw << "x" << s.sh << " to " << s.dw << "x" << s.dh
                            << " bpp " << bpp << " to " << targetBpp << " code " << static_cast<int>(code);
                    }
                }
            }
        }
    }
}

TEST(ResampleThreads, SmallPassesStayOnOneThreadLargeOnesSplitUpToTheCap) {
    const std::int64_t each = kResamplePixelsPerThread;
    const int processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const struct {
        std::int64_t pixels;
        int maxThreads, threads;
    } cases[] = {
        {0, 8, 1},
        {150 * 540, 8, 1},  // a thumbnail's horizontal pass
        {2 * each - 1, 8, 1},
        {2 * each, 8, 2},
        {834 * 540, 8, 6},
        {834 * 2000, 8, 8},
        {834 * 2000, 3, 3},
        {834 * 2000, 1, 1},
        {kMaxResamplePixels, 64, 64},
        {kMaxResamplePixels, 0, processors},
        {kMaxResamplePixels, -5, processors},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResampleThreadCount(c.pixels, c.maxThreads), c.threads) << c.pixels << " pixels, at most " << c.maxThreads;
    }
}

// Pictures large enough for both passes to be split, at sizes that leave the slices uneven;
// a 24-bit source also gives every thread its own row buffer.
TEST(ResamplePixels, SplitAcrossThreadsMatchesTheReference) {
    const struct {
        int sw, sh, dw, dh;
    } sizes[] = {{1001, 677, 433, 311}, {901, 601, 173, 113}, {311, 157, 1201, 451},
                 {1001, 5, 30011, 7}};  // the last: a row or two a thread
    for (F filter : {F::Triangle, F::Lanczos3}) {
        for (const auto& s : sizes) {
            for (int bpp : {3, 4}) {
                forms::PixelBuffer src = Noise(s.sw, s.sh, bpp, 11u + s.sh);
                forms::PixelBuffer expected(s.dw, s.dh, bpp);
                ResamplePixelsReference(src.view(), expected.view(), filter, filter == F::Triangle ? 5.0f : 0.0f);
                const std::vector<std::uint8_t> want(expected.data(), expected.data() + expected.stride() * expected.height());
                for (int threads : {3, 7}) {
                    for (ResampleCode code : kAllCodes) {
                        forms::PixelBuffer got(s.dw, s.dh, bpp);
                        ResamplePixels(src.view(), got.view(), filter, filter == F::Triangle ? 5.0f : 0.0f, threads, code);
                        ASSERT_EQ(want, std::vector<std::uint8_t>(got.data(), got.data() + got.stride() * got.height()))
                            << static_cast<int>(filter) << " " << s.sw << "x" << s.sh << " to " << s.dw << "x" << s.dh
                            << " bpp " << bpp << " threads " << threads << " code " << static_cast<int>(code);
                    }
                }
            }
        }
    }
}

TEST(ResamplePixels, FlatPictureStaysFlatForEveryFilter) {
    for (F filter : kAllFilters) {
        forms::PixelBuffer src(31, 17, 3);
        forms::FillPixels(src.view(), 200, 100, 7);
        for (auto [dw, dh] : {std::pair{9, 5}, std::pair{70, 40}, std::pair{1, 1}}) {
            forms::PixelBuffer dst(dw, dh, 4);
            forms::FillPixels(dst.view(), 1, 2, 3);
            ResamplePixels(src.view(), dst.view(), filter, 0.0f);
            for (int y = 0; y < dh; ++y) {
                for (int x = 0; x < dw; ++x) {
                    const std::uint8_t* p = dst.row(y) + 4 * x;
                    ASSERT_EQ(p[0], 200);
                    ASSERT_EQ(p[1], 100);
                    ASSERT_EQ(p[2], 7);
                    ASSERT_EQ(p[3], 0);
                }
            }
        }
    }
}

// Weights that round up add to more than 256 (up to 265 for these sizes), so a white
// picture's sums pass 255 * 257, the most that 16 bits hold.
TEST(ResamplePixels, WhiteStaysWhiteWhereTheWeightsAddToMoreThan256) {
    const struct {
        F filter;
        int src, dst;
    } cases[] = {{F::Triangle, 35, 4}, {F::Bell, 66, 7}, {F::Spline, 60, 9}, {F::Hermite, 309, 2}, {F::Box, 400, 2}};
    for (const auto& c : cases) {
        forms::PixelBuffer src(c.src, c.src, 3);
        forms::FillPixels(src.view(), 255, 255, 255);
        forms::PixelBuffer dst(c.dst, c.dst, 3);
        ResamplePixels(src.view(), dst.view(), c.filter, 0.0f);
        for (int y = 0; y < c.dst; ++y) {
            for (int x = 0; x < 3 * c.dst; ++x) ASSERT_EQ(dst.row(y)[x], 255) << static_cast<int>(c.filter) << " " << c.src << " to " << c.dst;
        }
    }
}

TEST(ResamplePixels, TargetsOfOnePixelTakeTheMiddleOfTheSource) {
    // A horizontal ramp 0, 10, ..., 100: one column of output averages it to its middle.
    forms::PixelBuffer src(11, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 11; ++x) {
            for (int c = 0; c < 3; ++c) src.row(y)[3 * x + c] = static_cast<std::uint8_t>(10 * x);
        }
    }
    forms::PixelBuffer dst(1, 1, 3);
    ResamplePixels(src.view(), dst.view(), F::Triangle, 5.0f);
    EXPECT_NEAR(dst.row(0)[0], 50, 1);
}

TEST(ResamplePixels, ExtremeShrinkKeepsThePictureInsteadOfBlack) {
    forms::PixelBuffer src(3000, 2, 3);
    forms::FillPixels(src.view(), 90, 160, 250);
    forms::PixelBuffer dst(3, 2, 3);
    ResamplePixels(src.view(), dst.view(), F::Box, 0.0f);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(dst.row(0)[3 * x], 90);
        EXPECT_EQ(dst.row(1)[3 * x + 2], 250);
    }
}

TEST(ResamplePixels, RefusedOrEmptyInputLeavesTheTargetAlone) {
    forms::PixelBuffer src(4, 4, 3);
    forms::FillPixels(src.view(), 255, 255, 255);
    forms::PixelBuffer dst(2, 2, 3);
    forms::FillPixels(dst.view(), 1, 2, 3);
    forms::PixelView empty = src.view();
    empty.width = 0;
    ResamplePixels(empty, dst.view(), F::Triangle, 0.0f);
    EXPECT_EQ(dst.row(0)[0], 1);
    forms::PixelView odd = src.view();
    odd.bytesPerPixel = 2;
    ResamplePixels(odd, dst.view(), F::Triangle, 0.0f);
    EXPECT_EQ(dst.row(0)[0], 1);
}

}  // namespace
}  // namespace controls

namespace controls {
namespace {

// Both builds (native and under Wine) must give the same pixels: the weights come from
// single-precision filter values and their rounding, which a different maths library could
// tip. The figure is the FNV-1a hash of every output below.
TEST(ResamplePixels, OutputIsTheSameOnEveryBuild) {
    std::uint64_t hash = 1469598103934665603ull;
    const struct {
        int sw, sh, dw, dh;
    } sizes[] = {{301, 151, 101, 51}, {101, 51, 301, 151}, {97, 61, 40, 25}, {13, 9, 50, 31}};
    for (F filter : kAllFilters) {
        for (const auto& s : sizes) {
            forms::PixelBuffer src = Noise(s.sw, s.sh, 3, 1u);
            forms::PixelBuffer dst(s.dw, s.dh, 3);
            ResamplePixels(src.view(), dst.view(), filter, filter == F::Triangle ? 5.0f : 0.0f);
            for (std::ptrdiff_t i = 0; i < dst.stride() * dst.height(); ++i) {
                hash = (hash ^ dst.data()[i]) * 1099511628211ull;
            }
        }
    }
    EXPECT_EQ(hash, 14340473079303319087ull) << hash;
}

}  // namespace
}  // namespace controls
