#include "controls/portable/resample.h"

#include <algorithm>
#include <cmath>

namespace controls {
namespace {

constexpr double kPi = 3.14159265358979323846;

float BoxFilter(float x) { return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f; }

float TriangleFilter(float x) {
    const float a = std::fabs(x);
    return a < 1.0f ? 1.0f - a : 0.0f;
}

float HermiteFilter(float x) {
    const float a = std::fabs(x);
    if (a >= 1.0f) return 0.0f;
    const float sq = a * a;
    return (2.0f * a - 3.0f) * sq + 1.0f;
}

float BellFilter(float x) {
    const float a = std::fabs(x);
    if (a < 0.5f) {
        const float sq = a * a;
        return 0.75f - sq;
    }
    if (a < 1.5f) {
        const float t = a - 1.5f;
        const float sq = t * t;
        return 0.5f * sq;
    }
    return 0.0f;
}

float SplineFilter(float x) {
    const float a = std::fabs(x);
    if (a < 1.0f) {
        const float sq = a * a;
        return static_cast<float>(0.5 * sq * a - sq + 2.0 / 3.0);
    }
    if (a < 2.0f) {
        const float t = 2.0f - a;
        return static_cast<float>(static_cast<double>(t) * t * t / 6.0);
    }
    return 0.0f;
}

float SinC(float x) {
    if (x == 0.0f) return 1.0f;
    const float px = static_cast<float>(kPi * x);
    return static_cast<float>(std::sin(static_cast<double>(px)) / px);
}

float Lanczos3Filter(float x) {
    const float a = std::fabs(x);
    if (a >= 3.0f) return 0.0f;
    return SinC(x) * SinC(x / 3.0f);
}

float MitchellFilter(float x) {
    const float a = std::fabs(x);
    const float sq = a * a;
    if (a < 1.0f) return static_cast<float>((7.0 * sq * a - 12.0 * sq + 16.0 / 3.0) / 6.0);
    if (a < 2.0f) return static_cast<float>((-(7.0 / 3.0) * sq * a + 12.0 * sq - 20.0 * a + 32.0 / 3.0) / 6.0);
    return 0.0f;
}

constexpr struct {
    float (*function)(float);
    float radius;
} kFilters[kResamplingFilterCount] = {
    {BoxFilter, 0.5f},    {TriangleFilter, 1.0f}, {HermiteFilter, 1.0f},  {BellFilter, 1.5f},
    {SplineFilter, 2.0f}, {Lanczos3Filter, 3.0f}, {MitchellFilter, 2.0f},
};

int FilterIndex(TResamplingFilter filter) {
    const int i = static_cast<int>(filter);
    return (i >= 0 && i < kResamplingFilterCount) ? i : static_cast<int>(TResamplingFilter::Triangle);
}

std::int32_t RoundWeight(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

std::int32_t MirrorIndex(std::int64_t j, int size) {
    if (j < 0) j = -j;
    else if (j >= size) j = 2 * static_cast<std::int64_t>(size) - 1 - j;
    // A line narrower than the filter mirrors past its other end: keep inside.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(j, 0, size - 1));
}

std::uint8_t Clamp255(std::int64_t v) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255)); }

// The shared arithmetic of WeightedChannel, for three channels at once.
std::uint8_t Finish(std::int32_t sum, std::int32_t total) {
    if (total != 0) return Clamp255(sum / total);
    return Clamp255(static_cast<std::int64_t>(static_cast<std::uint32_t>(sum) >> 8));
}

void WritePixel(std::uint8_t* p, int bytesPerPixel, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (bytesPerPixel == 4) p[3] = 0;
}

// The horizontal pass, shared by both versions: rows of source into rows of the
// intermediate (4 bytes a pixel).
void HorizontalPass(const forms::PixelView& source, forms::PixelBuffer& inter, const TContributorList& list) {
    const int sw = source.width;
    std::vector<std::int32_t> rgb(static_cast<std::size_t>(sw) * 3);
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* s = source.row(y);
        for (int x = 0; x < sw; ++x) {
            const std::uint8_t* p = s + static_cast<std::ptrdiff_t>(x) * source.bytesPerPixel;
            rgb[3 * x] = p[0];
            rgb[3 * x + 1] = p[1];
            rgb[3 * x + 2] = p[2];
        }
        std::uint8_t* out = inter.row(y);
        for (int i = 0; i < inter.width(); ++i) {
            const TContributorEntry& e = list[static_cast<std::size_t>(i)];
            std::int32_t sb = 0, sg = 0, sr = 0, total = 0;
            for (int k = 0; k < e.N; ++k) {
                const TContributor& c = e.Contributors[static_cast<std::size_t>(k)];
                const std::int32_t* v = &rgb[3 * static_cast<std::size_t>(c.Pixel)];
                sb += c.Weight * v[0];
                sg += c.Weight * v[1];
                sr += c.Weight * v[2];
                total += c.Weight;
            }
            WritePixel(out + 4 * i, 4, Finish(sb, total), Finish(sg, total), Finish(sr, total));
        }
    }
}

bool Prepare(const forms::PixelView& source, const forms::PixelView& target) {
    if (source.empty() || target.empty()) return false;
    if ((source.bytesPerPixel != 3 && source.bytesPerPixel != 4) ||
        (target.bytesPerPixel != 3 && target.bytesPerPixel != 4)) {
        return false;
    }
    return ResampleSizeAccepted(source.width, source.height, target.width, target.height);
}

}  // namespace

float DefaultFilterRadius(TResamplingFilter filter) { return kFilters[FilterIndex(filter)].radius; }

float FilterValue(TResamplingFilter filter, float x) { return kFilters[FilterIndex(filter)].function(x); }

float EffectiveRadius(TResamplingFilter filter, float radius) {
    if (!(radius > 0.0f)) return DefaultFilterRadius(filter);  // also NaN
    return std::min(radius, kMaxResampleRadius);
}

float ResampleScale(int srcSize, int dstSize) {
    if (srcSize == 1) return static_cast<float>(dstSize);
    return static_cast<float>(dstSize - 1) / static_cast<float>(srcSize - 1);
}

TContributorList BuildContributors(int srcSize, int dstSize, TResamplingFilter filter, float radius) {
    TContributorList list;
    if (srcSize <= 0 || dstSize <= 0) return list;
    list.resize(static_cast<std::size_t>(dstSize));
    radius = EffectiveRadius(filter, radius);
    const auto f = kFilters[FilterIndex(filter)].function;
    const float support = DefaultFilterRadius(filter);
    // A single target pixel of a longer line: its middle, averaged across the whole line.
    const bool single = dstSize == 1 && srcSize > 1;
    const float scale = single ? 1.0f / static_cast<float>(srcSize) : ResampleScale(srcSize, dstSize);
    for (int i = 0; i < dstSize; ++i) {
        TContributorEntry& entry = list[static_cast<std::size_t>(i)];
        const float center = single ? static_cast<float>(srcSize - 1) / 2.0f : static_cast<float>(i) / scale;
        const bool enlarging = scale >= 1.0f;
        const float width = enlarging ? radius : radius / scale;
        std::int64_t left = static_cast<std::int64_t>(std::floor(center - width));
        std::int64_t right = static_cast<std::int64_t>(std::ceil(center + width));
        // Past the kernel's support every weight is 0 and would be dropped: skip those taps.
        const float reach = enlarging ? support : support / scale;
        left = std::max(left, static_cast<std::int64_t>(std::floor(center - reach)) - 1);
        right = std::min(right, static_cast<std::int64_t>(std::ceil(center + reach)) + 1);
        if (right >= left) entry.Contributors.reserve(static_cast<std::size_t>(right - left + 1));
        for (std::int64_t j = left; j <= right; ++j) {
            const double offset = static_cast<double>(center) - static_cast<double>(j);
            std::int32_t weight;
            if (enlarging) {
                weight = RoundWeight(static_cast<double>(f(static_cast<float>(offset))) * 256.0);
            } else {
                const float arg = static_cast<float>(offset * scale);
                weight = RoundWeight(static_cast<double>(f(arg)) * scale * 256.0);
            }
            if (weight == 0) continue;
            entry.Contributors.push_back(TContributor{weight, MirrorIndex(j, srcSize)});
        }
        if (entry.Contributors.empty()) {
            // Every weight rounded to 0 (an extreme shrink): the nearest source pixel.
            const auto nearest = static_cast<std::int64_t>(std::nearbyint(center));
            entry.Contributors.push_back(TContributor{256, MirrorIndex(nearest, srcSize)});
        }
        entry.N = static_cast<int>(entry.Contributors.size());
    }
    return list;
}

std::uint8_t WeightedChannel(const TContributorEntry& entry, const std::int32_t* channel) {
    std::int32_t sum = 0, total = 0;
    for (int k = 0; k < entry.N; ++k) {
        const TContributor& c = entry.Contributors[static_cast<std::size_t>(k)];
        sum += c.Weight * channel[c.Pixel];
        total += c.Weight;
    }
    return Finish(sum, total);
}

bool ResampleSizeAccepted(int srcWidth, int srcHeight, int dstWidth, int dstHeight) {
    if (srcWidth < 0 || srcHeight < 0 || dstWidth < 0 || dstHeight < 0) return false;
    const int sides[] = {srcWidth, srcHeight, dstWidth, dstHeight};
    for (int s : sides) {
        if (s > kMaxResampleSide) return false;
    }
    const std::int64_t areas[] = {
        std::int64_t{srcWidth} * srcHeight,
        std::int64_t{dstWidth} * srcHeight,  // the intermediate
        std::int64_t{dstWidth} * dstHeight,
    };
    for (std::int64_t a : areas) {
        if (a > kMaxResamplePixels) return false;
    }
    return true;
}

void ResamplePixelsReference(const forms::PixelView& source, const forms::PixelView& target,
                             TResamplingFilter filter, float radius) {
    if (!Prepare(source, target)) return;
    const int sh = source.height, dw = target.width, dh = target.height;
    forms::PixelBuffer inter(dw, sh, 4);
    HorizontalPass(source, inter, BuildContributors(source.width, dw, filter, radius));

    const TContributorList list = BuildContributors(sh, dh, filter, radius);
    std::vector<std::int32_t> red(static_cast<std::size_t>(sh)), green(red.size()), blue(red.size());
    for (int x = 0; x < dw; ++x) {
        for (int y = 0; y < sh; ++y) {
            const std::uint8_t* p = inter.row(y) + 4 * x;
            blue[static_cast<std::size_t>(y)] = p[0];
            green[static_cast<std::size_t>(y)] = p[1];
            red[static_cast<std::size_t>(y)] = p[2];
        }
        for (int k = 0; k < dh; ++k) {
            const TContributorEntry& e = list[static_cast<std::size_t>(k)];
            WritePixel(target.pixel(x, k), target.bytesPerPixel, WeightedChannel(e, blue.data()),
                       WeightedChannel(e, green.data()), WeightedChannel(e, red.data()));
        }
    }
}

void ResamplePixels(const forms::PixelView& source, const forms::PixelView& target, TResamplingFilter filter,
                    float radius) {
    if (!Prepare(source, target)) return;
    const int sh = source.height, dw = target.width, dh = target.height;
    forms::PixelBuffer inter(dw, sh, 4);
    HorizontalPass(source, inter, BuildContributors(source.width, dw, filter, radius));

    // Row by row: each target row sums whole intermediate rows, so memory is read in order.
    // Integer sums come out the same in any order.
    const TContributorList list = BuildContributors(sh, dh, filter, radius);
    const std::size_t samples = static_cast<std::size_t>(dw) * 4;
    std::vector<std::int32_t> sums(samples);
    for (int k = 0; k < dh; ++k) {
        const TContributorEntry& e = list[static_cast<std::size_t>(k)];
        std::fill(sums.begin(), sums.end(), 0);
        std::int32_t total = 0;
        for (int c = 0; c < e.N; ++c) {
            const TContributor& t = e.Contributors[static_cast<std::size_t>(c)];
            const std::uint8_t* row = inter.row(t.Pixel);
            const std::int32_t w = t.Weight;
            std::int32_t* s = sums.data();
            for (std::size_t n = 0; n < samples; ++n) s[n] += w * row[n];
            total += w;
        }
        std::uint8_t* out = target.row(k);
        const int bpp = target.bytesPerPixel;
        for (int x = 0; x < dw; ++x) {
            const std::int32_t* s = &sums[4 * static_cast<std::size_t>(x)];
            WritePixel(out + static_cast<std::ptrdiff_t>(x) * bpp, bpp, Finish(s[0], total), Finish(s[1], total),
                       Finish(s[2], total));
        }
    }
}

}  // namespace controls
