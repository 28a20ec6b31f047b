#include "controls/portable/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
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

#if defined(__SSE2__)
namespace {

// Calls work(part, first, end) for parts contiguous slices of 0..count - 1, all but the first
// on threads of their own; a thread that cannot be started leaves its slice to this one.
template <class Work>
void RunInParts(int count, int parts, const Work& work) {
    parts = std::min(parts, count);
    if (parts <= 1) {
        work(0, 0, count);
        return;
    }
    const auto bound = [&](int p) { return static_cast<int>(std::int64_t{count} * p / parts); };
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
            threads.emplace_back(work, p, bound(p), bound(p + 1));
        } catch (...) {
            work(p, bound(p), bound(p + 1));
        }
    }
    work(0, 0, bound(1));
}

// Truncating division by one entry's fixed total, clamped to 0..255: a multiplication by a
// 32-bit reciprocal, exact for these sums (below 2^17) and totals, checked once more anyway.
class ChannelDivider {
public:
    explicit ChannelDivider(std::int32_t total)
        : total_(total), magic_(total > 0 ? (std::uint64_t{1} << 32) / static_cast<std::uint64_t>(total) + 1 : 0) {}
    std::uint8_t operator()(std::int32_t sum) const {
        if (total_ <= 0) return Finish(sum, total_);
        if (sum < total_) return 0;  // sum / total is 0 or below
        if (sum >= 256 * static_cast<std::int64_t>(total_)) return 255;
        std::uint32_t q = static_cast<std::uint32_t>((static_cast<std::uint64_t>(sum) * magic_) >> 32);
        if (static_cast<std::int64_t>(q) * total_ > sum) --q;
        return static_cast<std::uint8_t>(q);
    }

private:
    std::int32_t total_;
    std::uint64_t magic_;
};

// The same division for the three channels of one pixel at once (lanes blue, green, red,
// fourth), for totals 2..32767; other totals take the scalar divider.
struct PixelDivider {
    bool vector = false;
    __m128i magic, total, limit;
    explicit PixelDivider(std::int32_t t) {
        vector = t >= 2 && t <= 32767;
        if (!vector) return;
        magic = _mm_set1_epi32(static_cast<int>((std::uint64_t{1} << 32) / static_cast<std::uint64_t>(t) + 1));
        total = _mm_set1_epi32(t);
        limit = _mm_set1_epi32(256 * t - 1);
    }
    // Blue, green, red in the low three bytes, 0 in the fourth.
    std::uint32_t operator()(__m128i s) const {
        const __m128i zero = _mm_setzero_si128();
        s = _mm_and_si128(s, _mm_cmpgt_epi32(s, zero));
        const __m128i over = _mm_cmpgt_epi32(s, limit);
        s = _mm_or_si128(_mm_andnot_si128(over, s), _mm_and_si128(over, limit));
        const __m128i even = _mm_srli_epi64(_mm_mul_epu32(s, magic), 32);
        const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(s, 32), magic);
        __m128i q = _mm_or_si128(even, _mm_and_si128(odd, _mm_set_epi32(-1, 0, -1, 0)));
        q = _mm_add_epi32(q, _mm_cmpgt_epi32(_mm_madd_epi16(q, total), s));  // one too many: -1
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(q, zero), zero);
        return static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFFu;
    }
};

// A contributor list in pairs of taps for pmaddwd: pair t of entry i has pixels
// pixels[2t], pixels[2t + 1] and the weights w0, w1 repeated four times as 16-bit values.
// An odd tap is paired with a weight of 0.
struct PairList {
    std::vector<std::int32_t> pixels;
    struct alignas(16) Weights {
        std::uint32_t pair[4];  // w0 | w1 << 16, four times
    };
    std::vector<Weights> weights;
    std::vector<std::size_t> first;  // pairs of entry i: [first[i], first[i + 1])
    std::vector<ChannelDivider> dividers;
    std::vector<PixelDivider> pixelDividers;
    // Whether every pair of the entry is two neighbouring pixels (one 8-byte load).
    std::vector<std::uint8_t> adjacent;
};

// nullopt-like: empty first when a weight does not fit 16 bits (never with these filters).
PairList Pair(const TContributorList& list, int srcSize) {
    PairList p;
    p.first.push_back(0);
    for (const TContributorEntry& e : list) {
        std::int32_t total = 0;
        bool adjacent = true;
        for (int k = 0; k < e.N; k += 2) {
            const TContributor a = e.Contributors[static_cast<std::size_t>(k)];
            // The odd tap's partner is its right neighbour (weight 0), so the pair stays adjacent.
            const TContributor b = k + 1 < e.N ? e.Contributors[static_cast<std::size_t>(k + 1)]
                                               : TContributor{0, a.Pixel + 1 < srcSize ? a.Pixel + 1 : a.Pixel};
            if (b.Pixel != a.Pixel + 1) adjacent = false;
            if (a.Weight < -32768 || a.Weight > 32767 || b.Weight < -32768 || b.Weight > 32767) return PairList{};
            p.pixels.push_back(a.Pixel);
            p.pixels.push_back(b.Pixel);
            const auto w0 = static_cast<std::uint16_t>(a.Weight), w1 = static_cast<std::uint16_t>(b.Weight);
            const std::uint32_t both = w0 | (static_cast<std::uint32_t>(w1) << 16);
            p.weights.push_back({{both, both, both, both}});
            total += a.Weight + b.Weight;
        }
        p.first.push_back(p.weights.size());
        p.dividers.emplace_back(total);
        p.pixelDividers.emplace_back(total);
        p.adjacent.push_back(adjacent ? 1 : 0);
    }
    return p;
}

__m128i WeightsOf(const PairList& list, std::size_t t) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(list.weights[t].pair));
}

std::int32_t Load32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void WriteFinished(std::uint8_t* p, int bytesPerPixel, __m128i sums, const PixelDivider& v, const ChannelDivider& d) {
    if (v.vector) {
        const std::uint32_t bgr = v(sums);
        p[0] = static_cast<std::uint8_t>(bgr);
        p[1] = static_cast<std::uint8_t>(bgr >> 8);
        p[2] = static_cast<std::uint8_t>(bgr >> 16);
        if (bytesPerPixel == 4) p[3] = 0;
        return;
    }
    alignas(16) std::int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
    WritePixel(p, bytesPerPixel, d(lanes[0]), d(lanes[1]), d(lanes[2]));
}

// Rows firstRow..endRow - 1; line holds one 32-bit row when the source has 24 bits.
void SseHorizontalPass(const forms::PixelView& source, forms::PixelBuffer& inter, const PairList& list, int firstRow,
                       int endRow, std::uint8_t* line) {
    const int sw = source.width;
    const __m128i zero = _mm_setzero_si128();
    for (int y = firstRow; y < endRow; ++y) {
        const std::uint8_t* s = source.row(y);
        const std::uint8_t* l = s;  // 32-bit rows are read in place
        if (source.bytesPerPixel == 3) {
            for (int x = 0; x < sw; ++x) {
                line[4 * x] = s[3 * x];
                line[4 * x + 1] = s[3 * x + 1];
                line[4 * x + 2] = s[3 * x + 2];
            }
            l = line;
        }
        std::uint8_t* out = inter.row(y);
        for (int i = 0; i < inter.width(); ++i) {
            __m128i acc = zero;
            const std::size_t end = list.first[i + 1];
            if (list.adjacent[i]) {
                for (std::size_t t = list.first[i]; t < end; ++t) {
                    // Two neighbours in one load: b0 g0 r0 x0 b1 g1 r1 x1 becomes b0 b1 g0 g1 ...
                    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(l + 4 * list.pixels[2 * t]));
                    const __m128i both = _mm_unpacklo_epi8(_mm_unpacklo_epi8(two, _mm_srli_si128(two, 4)), zero);
                    acc = _mm_add_epi32(acc, _mm_madd_epi16(both, WeightsOf(list, t)));
                }
            } else {
                for (std::size_t t = list.first[i]; t < end; ++t) {
                    const __m128i a = _mm_cvtsi32_si128(Load32(l + 4 * list.pixels[2 * t]));
                    const __m128i b = _mm_cvtsi32_si128(Load32(l + 4 * list.pixels[2 * t + 1]));
                    // b0 b1 g0 g1 r0 r1 x0 x1 as 16-bit values, times w0 w1 and added in pairs.
                    const __m128i both = _mm_unpacklo_epi8(_mm_unpacklo_epi8(a, b), zero);
                    acc = _mm_add_epi32(acc, _mm_madd_epi16(both, WeightsOf(list, t)));
                }
            }
            WriteFinished(out + 4 * i, 4, acc, list.pixelDividers[i], list.dividers[i]);
        }
    }
}

// Target rows firstRow..endRow - 1.
void SseVerticalPass(const forms::PixelBuffer& inter, const forms::PixelView& target, const PairList& list, int firstRow,
                     int endRow) {
    const int dw = target.width;
    const std::size_t samples = static_cast<std::size_t>(dw) * 4;
    const std::size_t chunks = samples / 16;
    const __m128i zero = _mm_setzero_si128();
    alignas(16) std::int32_t sums[16];
    const int bpp = target.bytesPerPixel;
    for (int k = firstRow; k < endRow; ++k) {
        const ChannelDivider& d = list.dividers[static_cast<std::size_t>(k)];
        std::uint8_t* out = target.row(k);
        auto emit = [&](std::size_t firstSample, std::size_t count) {
            for (std::size_t n = 0; n < count; n += 4) {
                const std::size_t x = (firstSample + n) / 4;
                WritePixel(out + x * bpp, bpp, d(sums[n]), d(sums[n + 1]), d(sums[n + 2]));
            }
        };
        for (std::size_t c = 0; c < chunks; ++c) {
            __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
            for (std::size_t t = list.first[k], end = list.first[k + 1]; t < end; ++t) {
                const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(inter.row(list.pixels[2 * t]) + 16 * c));
                const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(inter.row(list.pixels[2 * t + 1]) + 16 * c));
                const __m128i lo = _mm_unpacklo_epi8(r0, r1), hi = _mm_unpackhi_epi8(r0, r1);
                const __m128i w = WeightsOf(list, t);
                acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
                acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
                acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
                acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
            }
            const PixelDivider& v = list.pixelDividers[static_cast<std::size_t>(k)];
            std::uint8_t* o = out + 4 * c * bpp;
            WriteFinished(o, bpp, acc0, v, d);
            WriteFinished(o + bpp, bpp, acc1, v, d);
            WriteFinished(o + 2 * bpp, bpp, acc2, v, d);
            WriteFinished(o + 3 * bpp, bpp, acc3, v, d);
        }
        const std::size_t rest = samples - 16 * chunks;
        if (rest == 0) continue;
        std::fill(std::begin(sums), std::end(sums), 0);
        for (std::size_t t = list.first[k], end = list.first[k + 1]; t < end; ++t) {
            const std::uint8_t* r0 = inter.row(list.pixels[2 * t]) + 16 * chunks;
            const std::uint8_t* r1 = inter.row(list.pixels[2 * t + 1]) + 16 * chunks;
            const std::uint32_t both = list.weights[t].pair[0];
            const std::int32_t w0 = static_cast<std::int16_t>(both & 0xFFFF), w1 = static_cast<std::int16_t>(both >> 16);
            for (std::size_t n = 0; n < rest; ++n) sums[n] += w0 * r0[n] + w1 * r1[n];
        }
        emit(16 * chunks, rest);
    }
}

}  // namespace
#endif

int ResampleThreadCount(std::int64_t outputPixels, int maxThreads) {
    if (maxThreads <= 0) maxThreads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<int>(std::clamp<std::int64_t>(outputPixels / kResamplePixelsPerThread, 1, maxThreads));
}

void ResamplePixels(const forms::PixelView& source, const forms::PixelView& target, TResamplingFilter filter,
                    float radius, int maxThreads) {
#if defined(__SSE2__)
    if (!Prepare(source, target)) return;
    const PairList horizontal = Pair(BuildContributors(source.width, target.width, filter, radius), source.width);
    const PairList vertical = Pair(BuildContributors(source.height, target.height, filter, radius), source.height);
    if (!horizontal.first.empty() && !vertical.first.empty()) {
        // The same integer sums as the plain version, eight products at a time; the vertical
        // pass runs along rows so memory is read in order.
        forms::PixelBuffer inter(target.width, source.height, 4);
        const int rowParts = ResampleThreadCount(std::int64_t{target.width} * source.height, maxThreads);
        const int sw = source.width;
        std::vector<std::uint8_t> lines(source.bytesPerPixel == 3 ? static_cast<std::size_t>(sw) * 4 * rowParts : 0);
        RunInParts(source.height, rowParts, [&](int part, int first, int end) {
            SseHorizontalPass(source, inter, horizontal, first, end, lines.data() + static_cast<std::size_t>(sw) * 4 * part);
        });
        RunInParts(target.height, ResampleThreadCount(std::int64_t{target.width} * target.height, maxThreads),
                   [&](int, int first, int end) { SseVerticalPass(inter, target, vertical, first, end); });
        return;
    }
#endif
    ResamplePixelsReference(source, target, filter, radius);
}

}  // namespace controls
