#include "controls/portable/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

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

// The end of every weighted sum (see WeightedChannel).
std::uint8_t Finish(std::int32_t sum, std::int32_t total) {
    if (total != 0) return Clamp255(static_cast<std::int64_t>(sum) / total);
    return Clamp255(static_cast<std::int64_t>(static_cast<std::uint32_t>(sum) >> 8));
}

void WritePixel(std::uint8_t* p, int bytesPerPixel, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
    if (bytesPerPixel == 4) p[3] = 0;
}

// The plain horizontal pass: rows of source into rows of the intermediate (4 bytes a pixel).
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

int ResampleThreadCount(std::int64_t outputPixels, int maxThreads) {
    if (maxThreads <= 0) maxThreads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<int>(std::clamp<std::int64_t>(outputPixels / kResamplePixelsPerThread, 1, maxThreads));
}

// The version the programs run: the same integer sums as the plain one, eight 16-bit products
// at a time, with the two passes streamed through a small ring of intermediate rows so that
// the intermediate picture never leaves the cache.
#if defined(__SSE2__)
namespace {

// Calls work(first, end) for parts contiguous slices of 0..count - 1, all but the first on
// threads of their own; a thread that cannot be started leaves its slice to this one. What a
// slice throws (its buffers not allocated) is thrown here once every thread has ended.
template <class Work>
void RunInParts(int count, int parts, const Work& work) {
    parts = std::min(parts, count);
    if (parts <= 1) {
        work(0, count);
        return;
    }
    const auto bound = [&](int p) { return static_cast<int>(std::int64_t{count} * p / parts); };
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(parts));
    const auto guarded = [&](int p) {
        try {
            work(bound(p), bound(p + 1));
        } catch (...) {
            errors[static_cast<std::size_t>(p)] = std::current_exception();
        }
    };
    {
        std::vector<std::thread> threads;
        threads.reserve(static_cast<std::size_t>(parts - 1));
        struct Joiner {
            std::vector<std::thread>& threads;
            ~Joiner() {
                for (std::thread& t : threads) {
                    if (t.joinable()) t.join();
                }
            }
        } joiner{threads};
        for (int p = 1; p < parts; ++p) {
            try {
                threads.emplace_back(guarded, p);
            } catch (...) {
                guarded(p);
            }
        }
        guarded(0);
    }
    for (const std::exception_ptr& e : errors) {
        if (e) std::rethrow_exception(e);
    }
}

// Truncating division of a weighted sum by its entry's total, clamped to 0..255, in single
// precision: (sum + 0.5) times the rounded reciprocal is off by less than 2^-15 of the
// quotient's 256 steps, while the half keeps the exact quotient at least 0.5 / total away
// from an integer; below kMaxFloatTotal that margin wins and truncation is exact. Sums stay
// below 2^23 (the half still exact) when the weights' magnitudes add up to kMaxFloatWeights.
constexpr std::int32_t kMaxFloatTotal = 8192;
constexpr std::int32_t kMaxFloatWeights = 32767;

struct Divider {
    std::int32_t total = 0;
    float reciprocal = 0;  // 0: the exact scalar division instead
};

Divider MakeDivider(std::int32_t total, std::int32_t weights) {
    Divider d{total, 0.0f};
    if (total >= 1 && total <= kMaxFloatTotal && weights <= kMaxFloatWeights) d.reciprocal = 1.0f / static_cast<float>(total);
    return d;
}

// Four sums (blue, green, red, fourth) to four quotients, not yet clamped.
inline __m128i Quotients(__m128i sums, __m128 reciprocal) {
    const __m128 x = _mm_add_ps(_mm_cvtepi32_ps(sums), _mm_set1_ps(0.5f));
    return _mm_cvttps_epi32(_mm_mul_ps(x, reciprocal));
}

// The clamped blue, green, red bytes of one pixel's sums, 0 in the fourth byte.
inline std::uint32_t FinishPixel(__m128i sums, const Divider& d) {
    if (d.reciprocal != 0.0f) {
        const __m128i q = Quotients(sums, _mm_set1_ps(d.reciprocal));
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q, q), q);
        return static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu;
    }
    alignas(16) std::int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
    return Finish(lanes[0], d.total) | (std::uint32_t{Finish(lanes[1], d.total)} << 8) |
           (std::uint32_t{Finish(lanes[2], d.total)} << 16);
}

// A contributor list in pairs of taps for pmaddwd: pair t has pixels pixels[2t], pixels[2t + 1]
// and the weights w0 | w1 << 16 four times. An odd tap is paired with a weight of 0 on its
// right neighbour, so that the pair stays two neighbouring pixels.
struct PairList {
    std::vector<std::int32_t> pixels;
    struct alignas(16) Weights {
        std::uint32_t pair[4];
    };
    std::vector<Weights> weights;
    std::vector<std::size_t> first;  // pairs of entry i: [first[i], first[i + 1])
    std::vector<Divider> dividers;
    int maxPixels = 0;  // the most pixel references of one entry

    bool usable() const { return !first.empty(); }
    __m128i weightsOf(std::size_t t) const { return _mm_load_si128(reinterpret_cast<const __m128i*>(weights[t].pair)); }
};

// Unusable (empty first) when a weight does not fit 16 bits (never with these filters).
PairList Pair(const TContributorList& list, int srcSize) {
    PairList p;
    p.first.push_back(0);
    for (const TContributorEntry& e : list) {
        std::int32_t total = 0, magnitude = 0;
        for (int k = 0; k < e.N; k += 2) {
            const TContributor a = e.Contributors[static_cast<std::size_t>(k)];
            const TContributor b = k + 1 < e.N ? e.Contributors[static_cast<std::size_t>(k + 1)]
                                               : TContributor{0, a.Pixel + 1 < srcSize ? a.Pixel + 1 : a.Pixel};
            if (a.Weight < -32768 || a.Weight > 32767 || b.Weight < -32768 || b.Weight > 32767) return PairList{};
            p.pixels.push_back(a.Pixel);
            p.pixels.push_back(b.Pixel);
            const auto w0 = static_cast<std::uint16_t>(a.Weight), w1 = static_cast<std::uint16_t>(b.Weight);
            const std::uint32_t both = w0 | (static_cast<std::uint32_t>(w1) << 16);
            p.weights.push_back({{both, both, both, both}});
            total += a.Weight + b.Weight;
            magnitude = std::min(magnitude + std::abs(a.Weight) + std::abs(b.Weight), kMaxFloatWeights + 1);
        }
        p.first.push_back(p.weights.size());
        p.dividers.push_back(MakeDivider(total, magnitude));
        p.maxPixels = std::max(p.maxPixels, 2 * static_cast<int>(p.first.back() - p.first[p.first.size() - 2]));
    }
    return p;
}

// One pixel's blue, green, red (and for 32-bit pixels the fourth byte) in the low bytes.
template <int Bpp>
inline __m128i LoadPixel(const std::uint8_t* p) {
    std::int32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
    if constexpr (Bpp == 4) v |= static_cast<std::int32_t>(static_cast<std::uint32_t>(p[3]) << 24);
    return _mm_cvtsi32_si128(v);
}

// b0 b1 g0 g1 r0 r1 x0 x1 as 16-bit values from two pixels' bytes in the low lanes of a and b.
inline __m128i Interleave(__m128i a, __m128i b) {
    return _mm_unpacklo_epi8(_mm_unpacklo_epi8(a, b), _mm_setzero_si128());
}

// Weights of one pair of taps, each pair as four lanes for pmaddwd.
using PairWeights = PairList::Weights;

// The sum of one entry whose taps, with zero-weight taps added, are the 2 * pairs neighbouring
// pixels from s on: four pixels in one 16-byte load where they are 32-bit, else two in 8 bytes.
template <int Bpp, int Pairs>
inline __m128i RunSum(const std::uint8_t* s, const PairWeights* w, int pairs) {
    const int n = Pairs > 0 ? Pairs : pairs;
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    int t = 0;
    if constexpr (Bpp == 4) {
#pragma GCC unroll 4
        for (; t + 2 <= n; t += 2) {
            // p0 p1 p2 p3 to p0 p2 p1 p3, then the bytes of p0 with p1 and of p2 with p3.
            const __m128i four = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8 * t)), 0xD8);
            const __m128i both = _mm_unpacklo_epi8(four, _mm_srli_si128(four, 8));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_unpacklo_epi8(both, zero), _mm_load_si128(reinterpret_cast<const __m128i*>(w[t].pair))));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_unpackhi_epi8(both, zero), _mm_load_si128(reinterpret_cast<const __m128i*>(w[t + 1].pair))));
        }
    }
#pragma GCC unroll 8
    for (; t < n; ++t) {
        const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + 2 * Bpp * t));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(Interleave(two, _mm_srli_si128(two, Bpp)), _mm_load_si128(reinterpret_cast<const __m128i*>(w[t].pair))));
    }
    return acc;
}

// Processors with SSSE3 multiply pixel bytes by byte weights directly (pmaddubsw) after one
// byte shuffle: four taps of three channels in one load.
#define RESAMPLE_SSSE3 __attribute__((target("ssse3")))

bool HasSsse3() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

// Four taps' byte weights w0 w1 w2 w3, once for blue, green and red, then four zeros.
struct alignas(16) QuadWeights {
    std::int8_t bytes[16];
};

// The sum of one entry whose taps are the 4 * quads neighbouring pixels from s on: each load
// shuffled by order to four taps of blue, four of green, four of red and four zeros, pmaddubsw
// adds the taps in twos (no saturation: the weights were checked) and pmaddwd by 1 in fours,
// exactly as the 32-bit sums.
template <int Bpp, int Quads>
RESAMPLE_SSSE3 inline __m128i QuadSum(const std::uint8_t* s, const QuadWeights* w, int quads, __m128i order) {
    const int n = Quads > 0 ? Quads : quads;
    const __m128i ones = _mm_set1_epi16(1);
    __m128i acc = _mm_setzero_si128();
#pragma GCC unroll 8
    for (int q = 0; q < n; ++q) {
        const __m128i px = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * Bpp * q)), order);
        const __m128i twos = _mm_maddubs_epi16(px, _mm_load_si128(reinterpret_cast<const __m128i*>(w[q].bytes)));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(twos, ones));
    }
    return acc;
}

// The orders of four taps that pmaddubsw adds in twos: the first whose twos fit for every run
// is used (a steep kernel's two middle taps together may not, each beside an outer one does).
constexpr int kQuadOrders[][4] = {{0, 1, 2, 3}, {0, 2, 1, 3}, {0, 3, 1, 2}};

// Whether byte weights add up in pmaddubsw without saturating: each weight a signed byte,
// and each two of them no more than 128 either way (255 * 128 fits 16 signed bits).
bool FitsBytes(std::int32_t w0, std::int32_t w1) {
    if (w0 < -128 || w0 > 127 || w1 < -128 || w1 > 127) return false;
    return std::max(w0, 0) + std::max(w1, 0) <= 128 && std::min(w0, 0) + std::min(w1, 0) >= -128;
}

// Four summed pixels' quotients packed to bytes and stored, the fourth byte 0.
inline void StoreFour(std::uint32_t* out, __m128i q0, __m128i q1, __m128i q2, __m128i q3) {
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q0, q1), _mm_packs_epi32(q2, q3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_and_si128(bytes, _mm_set1_epi32(0x00FFFFFF)));
}

// The horizontal list laid out for one source width and pixel size: entries whose taps are one
// run of neighbouring pixels (all but those the mirror reaches) share one pair count and take
// the run's fast loads; the others are summed tap pair by tap pair.
class HorizontalFilter {
public:
    HorizontalFilter(PairList list, int sourceWidth, int bytesPerPixel, bool ssse3)
        : list_(std::move(list)), sw_(sourceWidth), bpp_(bytesPerPixel) {
        const std::size_t entries = list_.dividers.size();
        // Each entry's taps of non-zero weight; a run when their pixels rise (no mirror), with
        // the pixels between them given weight 0 (Lanczos3 and Mitchell drop weights that
        // round to 0 where the kernel crosses it).
        std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> taps(entries);
        for (std::size_t i = 0; i < entries; ++i) {
            for (std::size_t t = list_.first[i]; t < list_.first[i + 1]; ++t) {
                const std::uint32_t both = list_.weights[t].pair[0];
                const std::int32_t w[2] = {static_cast<std::int16_t>(both & 0xFFFF), static_cast<std::int16_t>(both >> 16)};
                for (int k = 0; k < 2; ++k) {
                    if (w[k] != 0) taps[i].emplace_back(list_.pixels[2 * t + k], w[k]);
                }
            }
            auto& e = taps[i];
            const bool rising = !e.empty() && std::adjacent_find(e.begin(), e.end(), [](const auto& a, const auto& b) {
                                                  return b.first <= a.first;
                                              }) == e.end();
            if (!rising) {
                e.clear();
                continue;
            }
            pairs_ = std::max(pairs_, (e.back().first - e.front().first + 2) / 2);
        }
        // The loads must stay inside the row: 32-bit pixels read exactly the run, 24-bit ones
        // two bytes past it. A run near the right end starts earlier where its taps allow.
        const std::int32_t lastStart = (bpp_ == 4 ? sw_ : sw_ - 1) - 2 * pairs_;
        start_.assign(entries, -1);
        runWeights_.assign(entries * static_cast<std::size_t>(pairs_), PairWeights{{0, 0, 0, 0}});
        reciprocals_.resize(entries);
        for (std::size_t i = 0; i < entries; ++i) {
            const float r = list_.dividers[i].reciprocal;
            reciprocals_[i] = {{r, r, r, r}};
            if (r == 0.0f) scalar_ = true;
            const auto& e = taps[i];
            if (e.empty()) continue;
            const std::int32_t p0 = std::min(e.front().first, lastStart);
            if (p0 < 0 || e.back().first - p0 >= 2 * pairs_) continue;
            start_[i] = p0;
            PairWeights* w = &runWeights_[i * static_cast<std::size_t>(pairs_)];
            for (const auto& [pixel, weight] : e) {
                const std::int32_t k = pixel - p0;
                const auto w16 = static_cast<std::uint32_t>(static_cast<std::uint16_t>(weight)) << (16 * (k % 2));
                for (std::uint32_t& lane : w[k / 2].pair) lane |= w16;
            }
        }
        if (ssse3) LayQuads(taps);
        row_ = useQuads_ ? (bpp_ == 4 ? PickQuads<4>() : PickQuads<3>()) : (bpp_ == 4 ? Pick<4>() : Pick<3>());
    }

    // One source row into one intermediate row of dw 32-bit pixels, while the row ahead (or
    // nullptr) is fetched into the cache: the passes are bound by reading the source.
    void operator()(const std::uint8_t* s, std::uint32_t* out, const std::uint8_t* ahead) const { (this->*row_)(s, out, ahead); }

private:
    template <int Bpp>
    auto Pick() -> void (HorizontalFilter::*)(const std::uint8_t*, std::uint32_t*, const std::uint8_t*) const {
        switch (pairs_) {
            case 1: return &HorizontalFilter::Row<Bpp, 1>;
            case 2: return &HorizontalFilter::Row<Bpp, 2>;
            case 3: return &HorizontalFilter::Row<Bpp, 3>;
            case 4: return &HorizontalFilter::Row<Bpp, 4>;
            case 5: return &HorizontalFilter::Row<Bpp, 5>;
            case 6: return &HorizontalFilter::Row<Bpp, 6>;
            default: return &HorizontalFilter::Row<Bpp, 0>;
        }
    }

    // The runs again in fours of byte weights, when every run's weights fit.
    void LayQuads(const std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>>& taps) {
        int quads = 0;
        for (const auto& e : taps) {
            if (!e.empty()) quads = std::max(quads, (e.back().first - e.front().first + 4) / 4);
        }
        // A 16-byte load past the run's start must stay inside the row.
        const std::int32_t lastStart = (bpp_ == 4 ? sw_ : sw_ - 2) - 4 * quads;
        std::vector<std::int32_t> start(taps.size(), -1);
        std::vector<std::vector<std::int32_t>> dense(taps.size());
        for (std::size_t i = 0; i < taps.size(); ++i) {
            const auto& e = taps[i];
            if (e.empty()) continue;
            const std::int32_t p0 = std::min(e.front().first, lastStart);
            if (p0 < 0 || e.back().first - p0 >= 4 * quads) continue;
            start[i] = p0;
            dense[i].assign(4 * static_cast<std::size_t>(quads), 0);
            for (const auto& [pixel, weight] : e) dense[i][static_cast<std::size_t>(pixel - p0)] = weight;
        }
        for (const auto& order : kQuadOrders) {
            const bool fits = std::all_of(dense.begin(), dense.end(), [&](const std::vector<std::int32_t>& d) {
                for (std::size_t k = 0; k < d.size(); k += 4) {
                    if (!FitsBytes(d[k + order[0]], d[k + order[1]]) || !FitsBytes(d[k + order[2]], d[k + order[3]])) return false;
                }
                return true;
            });
            if (!fits) continue;
            std::vector<QuadWeights> weights(taps.size() * static_cast<std::size_t>(quads), QuadWeights{});
            for (std::size_t i = 0; i < taps.size(); ++i) {
                for (std::size_t k = 0; k < dense[i].size(); ++k) {
                    QuadWeights& q = weights[i * static_cast<std::size_t>(quads) + k / 4];
                    for (int slot = 0; slot < 4; ++slot) {
                        if (static_cast<std::size_t>(order[slot]) != k % 4) continue;
                        for (int channel = 0; channel < 3; ++channel) q.bytes[4 * channel + slot] = static_cast<std::int8_t>(dense[i][k]);
                    }
                }
            }
            alignas(16) std::int8_t shuffle[16];
            for (int channel = 0; channel < 4; ++channel) {
                for (int slot = 0; slot < 4; ++slot) {
                    shuffle[4 * channel + slot] = channel == 3 ? -1 : static_cast<std::int8_t>(bpp_ * order[slot] + channel);
                }
            }
            order_ = _mm_load_si128(reinterpret_cast<const __m128i*>(shuffle));
            quads_ = quads;
            qstart_ = std::move(start);
            quadWeights_ = std::move(weights);
            useQuads_ = true;
            return;
        }
    }

    template <int Bpp>
    auto PickQuads() -> void (HorizontalFilter::*)(const std::uint8_t*, std::uint32_t*, const std::uint8_t*) const {
        switch (quads_) {
            case 1: return &HorizontalFilter::RowQuads<Bpp, 1>;
            case 2: return &HorizontalFilter::RowQuads<Bpp, 2>;
            case 3: return &HorizontalFilter::RowQuads<Bpp, 3>;
            case 4: return &HorizontalFilter::RowQuads<Bpp, 4>;
            default: return &HorizontalFilter::RowQuads<Bpp, 0>;
        }
    }

    template <int Bpp, int Quads>
    RESAMPLE_SSSE3 __m128i QSum(const std::uint8_t* s, std::size_t i) const {
        const std::size_t stride = static_cast<std::size_t>(Quads > 0 ? Quads : quads_);
        if (qstart_[i] >= 0) return QuadSum<Bpp, Quads>(s + Bpp * qstart_[i], &quadWeights_[i * stride], quads_, order_);
        return GenericSum<Bpp>(s, i);
    }

    template <int Bpp, int Quads>
    RESAMPLE_SSSE3 void RowQuads(const std::uint8_t* s, std::uint32_t* out, const std::uint8_t* ahead) const {
        const std::size_t dw = qstart_.size();
        std::size_t i = 0;
        for (; i + 4 <= dw; i += 4) {
            Prefetch<Bpp>(ahead, qstart_[i]);
            StoreFour(out + i, Quotient(QSum<Bpp, Quads>(s, i), i), Quotient(QSum<Bpp, Quads>(s, i + 1), i + 1),
                      Quotient(QSum<Bpp, Quads>(s, i + 2), i + 2), Quotient(QSum<Bpp, Quads>(s, i + 3), i + 3));
        }
        for (; i < dw; ++i) out[i] = FinishPixel(QSum<Bpp, Quads>(s, i), list_.dividers[i]);
        if (!scalar_) return;
        for (i = 0; i < dw; ++i) {
            if (list_.dividers[i].reciprocal == 0.0f) out[i] = FinishPixel(QSum<Bpp, Quads>(s, i), list_.dividers[i]);
        }
    }

    // The two cache lines of the row ahead where entry i's run starts (four entries step less
    // than two lines while the picture shrinks less than 10 times).
    template <int Bpp>
    static void Prefetch(const std::uint8_t* ahead, std::int32_t start) {
        if (!ahead || start < 0) return;
        // In assembly: the optimiser drops the prefetch builtin here as dead code.
        const std::uint8_t* line = ahead + Bpp * start;
        asm volatile("prefetcht0 %0\n\tprefetcht0 %1" : : "m"(line[0]), "m"(line[64]));
    }

    // An entry tap pair by tap pair, wherever its pixels lie.
    template <int Bpp>
    __m128i GenericSum(const std::uint8_t* s, std::size_t i) const {
        __m128i acc = _mm_setzero_si128();
        for (std::size_t t = list_.first[i], end = list_.first[i + 1]; t < end; ++t) {
            const __m128i a = LoadPixel<Bpp>(s + Bpp * list_.pixels[2 * t]);
            const __m128i b = LoadPixel<Bpp>(s + Bpp * list_.pixels[2 * t + 1]);
            acc = _mm_add_epi32(acc, _mm_madd_epi16(Interleave(a, b), list_.weightsOf(t)));
        }
        return acc;
    }

    template <int Bpp, int Pairs>
    __m128i Sum(const std::uint8_t* s, std::size_t i) const {
        const std::size_t stride = static_cast<std::size_t>(Pairs > 0 ? Pairs : pairs_);
        if (start_[i] >= 0) return RunSum<Bpp, Pairs>(s + Bpp * start_[i], &runWeights_[i * stride], pairs_);
        return GenericSum<Bpp>(s, i);
    }

    __m128i Quotient(__m128i sums, std::size_t i) const {
        return Quotients(sums, _mm_load_ps(reciprocals_[i].lanes));
    }

    template <int Bpp, int Pairs>
    void Row(const std::uint8_t* s, std::uint32_t* out, const std::uint8_t* ahead) const {
        const std::size_t dw = start_.size();
        std::size_t i = 0;
        // Four pixels finished and stored at once.
        for (; i + 4 <= dw; i += 4) {
            Prefetch<Bpp>(ahead, start_[i]);
            StoreFour(out + i, Quotient(Sum<Bpp, Pairs>(s, i), i), Quotient(Sum<Bpp, Pairs>(s, i + 1), i + 1),
                      Quotient(Sum<Bpp, Pairs>(s, i + 2), i + 2), Quotient(Sum<Bpp, Pairs>(s, i + 3), i + 3));
        }
        for (; i < dw; ++i) out[i] = FinishPixel(Sum<Bpp, Pairs>(s, i), list_.dividers[i]);
        if (!scalar_) return;
        // Entries whose division is not done in single precision, again exactly.
        for (i = 0; i < dw; ++i) {
            if (list_.dividers[i].reciprocal == 0.0f) out[i] = FinishPixel(Sum<Bpp, Pairs>(s, i), list_.dividers[i]);
        }
    }

    struct alignas(16) Reciprocal {
        float lanes[4];
    };
    PairList list_;
    int sw_, bpp_;
    int pairs_ = 0;                       // of the longest entry; shorter runs end in zero weights
    std::vector<std::int32_t> start_;     // first pixel of an entry's run, -1 when not a run
    std::vector<PairWeights> runWeights_; // pairs_ a run entry
    std::vector<Reciprocal> reciprocals_;
    bool scalar_ = false;
    bool useQuads_ = false;
    int quads_ = 0;                         // of the longest run, in fours of taps
    std::vector<std::int32_t> qstart_;      // as start_, for the runs in fours
    std::vector<QuadWeights> quadWeights_;  // quads_ a run entry
    __m128i order_ = _mm_setzero_si128();   // pshufb mask of kQuadOrders' chosen order
    void (HorizontalFilter::*row_)(const std::uint8_t*, std::uint32_t*, const std::uint8_t*) const = nullptr;
};

// How far ahead of the row being filtered the source is fetched into the cache.
constexpr int kRowsAhead = 2;

// Source rows filtered horizontally, kept in a ring of slots: a row is filtered when a target
// row first needs it and stays until the least recently used slot is wanted again.
class RowRing {
public:
    RowRing(const forms::PixelView& source, const HorizontalFilter& horizontal, int targetWidth, int slots)
        : source_(source), horizontal_(horizontal), width_(targetWidth),
          slots_(static_cast<std::size_t>(std::min(slots, source.height))),
          rows_(slots_.size() * static_cast<std::size_t>(targetWidth)),
          slotOf_(static_cast<std::size_t>(source.height), -1) {}

    // The intermediate row y, filtered when missing; rows handed out for the same target row
    // (the same stamp) are never overwritten by one another.
    const std::uint8_t* row(int y, int stamp) {
        int slot = slotOf_[static_cast<std::size_t>(y)];
        if (slot < 0) {
            slot = 0;
            for (std::size_t k = 1; k < slots_.size(); ++k) {
                if (slots_[k].used < slots_[static_cast<std::size_t>(slot)].used) slot = static_cast<int>(k);
            }
            Slot& victim = slots_[static_cast<std::size_t>(slot)];
            if (victim.row >= 0) slotOf_[static_cast<std::size_t>(victim.row)] = -1;
            victim.row = y;
            slotOf_[static_cast<std::size_t>(y)] = slot;
            std::uint32_t* out = data(slot);
            horizontal_(source_.row(y), out, y + kRowsAhead < source_.height ? source_.row(y + kRowsAhead) : nullptr);
        }
        slots_[static_cast<std::size_t>(slot)].used = stamp;
        return reinterpret_cast<const std::uint8_t*>(data(slot));
    }

private:
    struct Slot {
        int row = -1;
        long long used = -1;
    };
    std::uint32_t* data(int slot) { return rows_.data() + static_cast<std::size_t>(slot) * width_; }

    const forms::PixelView& source_;
    const HorizontalFilter& horizontal_;
    int width_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> rows_;
    std::vector<int> slotOf_;
};

// Four finished pixels (blue, green, red, 0 each) from the sums of four, sharing one divider.
inline __m128i FinishFour(__m128i s0, __m128i s1, __m128i s2, __m128i s3, const Divider& d) {
    if (d.reciprocal != 0.0f) {
        const __m128 r = _mm_set1_ps(d.reciprocal);
        const __m128i lo = _mm_packs_epi32(Quotients(s0, r), Quotients(s1, r));
        const __m128i hi = _mm_packs_epi32(Quotients(s2, r), Quotients(s3, r));
        return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0x00FFFFFF));
    }
    return _mm_set_epi32(static_cast<int>(FinishPixel(s3, d)), static_cast<int>(FinishPixel(s2, d)),
                         static_cast<int>(FinishPixel(s1, d)), static_cast<int>(FinishPixel(s0, d)));
}

// Four 32-bit pixels written as 24-bit ones: out must have room for 16 bytes when wide.
inline void StoreThree(std::uint8_t* out, __m128i four, bool wide) {
    // Per 64-bit half: pixel 0 in bytes 0..2, pixel 1 moved down into bytes 3..5.
    const __m128i low = _mm_and_si128(four, _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF));
    const __m128i high = _mm_and_si128(_mm_srli_epi64(four, 8), _mm_set_epi32(0xFFFF, static_cast<int>(0xFF000000), 0xFFFF, static_cast<int>(0xFF000000)));
    const __m128i halves = _mm_or_si128(low, high);
    if (wide) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), halves);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 6), _mm_srli_si128(halves, 8));
        return;
    }
    alignas(16) std::uint8_t bytes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes), halves);
    std::memcpy(out, bytes, 6);
    std::memcpy(out + 6, bytes + 8, 6);
}

// The vertical list's weights as bytes for pmaddubsw, for the entries whose sums add up
// exactly in 16 bits: weights not negative, each two fitting (see FitsBytes) and the total at
// most 257 (255 * 257 < 2^16), as the triangle's are when the picture shrinks 2.6 times or more.
struct VerticalBytes {
    struct alignas(16) Pair {
        std::int8_t bytes[16];  // w0 w1, eight times
    };
    std::vector<std::uint8_t> usable;  // per entry
    std::vector<Pair> weights;         // per pair of taps

    VerticalBytes(const PairList& list, bool ssse3) : usable(list.dividers.size(), 0), weights(list.weights.size()) {
        if (!ssse3) return;
        for (std::size_t k = 0; k < usable.size(); ++k) {
            bool fits = list.dividers[k].total <= 257;
            for (std::size_t t = list.first[k]; t < list.first[k + 1] && fits; ++t) {
                const std::uint32_t both = list.weights[t].pair[0];
                const std::int32_t w0 = static_cast<std::int16_t>(both & 0xFFFF), w1 = static_cast<std::int16_t>(both >> 16);
                fits = w0 >= 0 && w1 >= 0 && FitsBytes(w0, w1);
                for (int n = 0; n < 8 && fits; ++n) {
                    weights[t].bytes[2 * n] = static_cast<std::int8_t>(w0);
                    weights[t].bytes[2 * n + 1] = static_cast<std::int8_t>(w1);
                }
            }
            usable[k] = fits ? 1 : 0;
        }
    }
};

// Four finished pixels of a target row at chunk c, as 32- or 24-bit pixels.
inline void StoreChunk(std::uint8_t* out, std::size_t c, __m128i four, int bpp, std::size_t rowBytes) {
    if (bpp == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * c), four);
    } else {
        StoreThree(out + 12 * c, four, 12 * c + 16 <= rowBytes);
    }
}

// One target row's whole chunks of four pixels from the intermediate rows of its entry
// (rows[2n], rows[2n + 1] for its pair t0 + n).
void VerticalChunks(const std::uint8_t* const* rows, const PairList& list, std::size_t t0, std::size_t t1,
                    std::size_t chunks, std::uint8_t* out, int bpp, std::size_t rowBytes, const Divider& d) {
    const __m128i zero = _mm_setzero_si128();
    for (std::size_t c = 0; c < chunks; ++c) {
        __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
        for (std::size_t t = t0; t < t1; ++t) {
            const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * (t - t0)] + 16 * c));
            const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * (t - t0) + 1] + 16 * c));
            const __m128i lo = _mm_unpacklo_epi8(r0, r1), hi = _mm_unpackhi_epi8(r0, r1);
            const __m128i w = list.weightsOf(t);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
        }
        StoreChunk(out, c, FinishFour(acc0, acc1, acc2, acc3, d), bpp, rowBytes);
    }
}

// The same with byte weights and 16-bit sums (see VerticalBytes).
RESAMPLE_SSSE3 void VerticalChunksBytes(const std::uint8_t* const* rows, const VerticalBytes& bytes, std::size_t t0,
                                        std::size_t t1, std::size_t chunks, std::uint8_t* out, int bpp,
                                        std::size_t rowBytes, const Divider& d) {
    const __m128i zero = _mm_setzero_si128();
    for (std::size_t c = 0; c < chunks; ++c) {
        __m128i lo = zero, hi = zero;
        for (std::size_t t = t0; t < t1; ++t) {
            const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * (t - t0)] + 16 * c));
            const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * (t - t0) + 1] + 16 * c));
            const __m128i w = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes.weights[t].bytes));
            lo = _mm_add_epi16(lo, _mm_maddubs_epi16(_mm_unpacklo_epi8(r0, r1), w));
            hi = _mm_add_epi16(hi, _mm_maddubs_epi16(_mm_unpackhi_epi8(r0, r1), w));
        }
        StoreChunk(out, c,
                   FinishFour(_mm_unpacklo_epi16(lo, zero), _mm_unpackhi_epi16(lo, zero), _mm_unpacklo_epi16(hi, zero),
                              _mm_unpackhi_epi16(hi, zero), d),
                   bpp, rowBytes);
    }
}

// Target rows firstRow..endRow - 1 of both passes.
void ResampleRows(const forms::PixelView& source, const forms::PixelView& target, const HorizontalFilter& horizontal,
                  const PairList& vertical, const VerticalBytes& bytes, int firstRow, int endRow) {
    const int dw = target.width, bpp = target.bytesPerPixel;
    // Room for every row of one target row's entry, and for the next one's first rows.
    RowRing ring(source, horizontal, dw, vertical.maxPixels + 4);
    const std::size_t chunks = static_cast<std::size_t>(dw) / 4;
    const std::size_t rowBytes = static_cast<std::size_t>(dw) * bpp;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(vertical.maxPixels));
    for (int k = firstRow; k < endRow; ++k) {
        const std::size_t t0 = vertical.first[static_cast<std::size_t>(k)], t1 = vertical.first[static_cast<std::size_t>(k) + 1];
        for (std::size_t n = 0; n < 2 * (t1 - t0); ++n) rows[n] = ring.row(vertical.pixels[2 * t0 + n], k);
        const Divider& d = vertical.dividers[static_cast<std::size_t>(k)];
        std::uint8_t* out = target.row(k);
        if (bytes.usable[static_cast<std::size_t>(k)]) {
            VerticalChunksBytes(rows.data(), bytes, t0, t1, chunks, out, bpp, rowBytes, d);
        } else {
            VerticalChunks(rows.data(), vertical, t0, t1, chunks, out, bpp, rowBytes, d);
        }
        // The last pixels, fewer than four.
        for (std::size_t x = 4 * chunks; x < static_cast<std::size_t>(dw); ++x) {
            std::int32_t sums[3] = {0, 0, 0};
            for (std::size_t t = t0; t < t1; ++t) {
                const std::uint8_t* a = rows[2 * (t - t0)] + 4 * x;
                const std::uint8_t* b = rows[2 * (t - t0) + 1] + 4 * x;
                const std::uint32_t both = vertical.weights[t].pair[0];
                const std::int32_t w0 = static_cast<std::int16_t>(both & 0xFFFF), w1 = static_cast<std::int16_t>(both >> 16);
                for (int ch = 0; ch < 3; ++ch) sums[ch] += w0 * a[ch] + w1 * b[ch];
            }
            WritePixel(out + x * bpp, bpp, Finish(sums[0], d.total), Finish(sums[1], d.total), Finish(sums[2], d.total));
        }
    }
}

}  // namespace
#endif

void ResamplePixels(const forms::PixelView& source, const forms::PixelView& target, TResamplingFilter filter,
                    float radius, int maxThreads, ResampleCode code) {
#if defined(__SSE2__)
    if (!Prepare(source, target)) return;
    PairList pairs = Pair(BuildContributors(source.width, target.width, filter, radius), source.width);
    const PairList vertical = Pair(BuildContributors(source.height, target.height, filter, radius), source.height);
    if (pairs.usable() && vertical.usable()) {
        const bool ssse3 = code == ResampleCode::Best && HasSsse3();
        const HorizontalFilter horizontal(std::move(pairs), source.width, source.bytesPerPixel, ssse3);
        const VerticalBytes bytes(vertical, ssse3);
        // Most of the work is the horizontal pass, one output pixel per target column and source row.
        const std::int64_t work = std::int64_t{target.width} * std::max(source.height, target.height);
        RunInParts(target.height, ResampleThreadCount(work, maxThreads),
                   [&](int first, int end) { ResampleRows(source, target, horizontal, vertical, bytes, first, end); });
        return;
    }
#endif
    ResamplePixelsReference(source, target, filter, radius);
}

}  // namespace controls
