// Picture scaling with one of seven reconstruction filters: two separable passes with integer
// weights (256 = 1), the corners of source and target aligned.
#pragma once
#include <cstdint>
#include <vector>

#include "forms/portable/pixels.h"

namespace controls {

enum class TResamplingFilter { Box, Triangle, Hermite, Bell, Spline, Lanczos3, Mitchell };
constexpr int kResamplingFilterCount = 7;

// The filter's own support, used when the caller passes a radius of 0 (or below).
float DefaultFilterRadius(TResamplingFilter filter);
// The filter's kernel in single precision.
float FilterValue(TResamplingFilter filter, float x);

// Radii past this change nothing (every kernel is 0 beyond 3) but would cost time.
constexpr float kMaxResampleRadius = 16.0f;
// Larger targets are refused.
constexpr int kMaxResampleSide = 65536;
constexpr std::int64_t kMaxResamplePixels = std::int64_t{1} << 28;

// 0 or negative: the default; capped at kMaxResampleRadius.
float EffectiveRadius(TResamplingFilter filter, float radius);
// (dst - 1) / (src - 1), or dst / src for a one-pixel source; 0 for a one-pixel target of a
// larger source (see BuildContributors).
float ResampleScale(int srcSize, int dstSize);

struct TContributor {
    std::int32_t Weight;
    std::int32_t Pixel;  // source index along the line
};
struct TContributorEntry {
    int N = 0;
    std::vector<TContributor> Contributors;  // sized to the whole tap range, N in use
};
using TContributorList = std::vector<TContributorEntry>;

// One entry per target index. A one-pixel target of a larger source takes the middle of the
// source and averages across the whole line; indices mirrored past the line are clamped into
// it; an entry whose weights all rounded to 0 takes the nearest source pixel.
TContributorList BuildContributors(int srcSize, int dstSize, TResamplingFilter filter, float radius);

// The weighted sum of one channel over an entry: sum / total truncated, or the unsigned sum
// shifted right by 8 when the total is 0; clamped to 0..255.
std::uint8_t WeightedChannel(const TContributorEntry& entry, const std::int32_t* channel);

// Whether a resample to dstWidth x dstHeight is carried out at all (sizes not negative, not
// absurd, every buffer size representable).
bool ResampleSizeAccepted(int srcWidth, int srcHeight, int dstWidth, int dstHeight);

// Scales source (24 or 32 bits) into target (24 or 32 bits; a fourth byte is written 0),
// each at its own size. Nothing happens when either is empty or the sizes are refused.
// The straightforward version, column by column as described; the test oracle.
void ResamplePixelsReference(const forms::PixelView& source, const forms::PixelView& target,
                             TResamplingFilter filter, float radius);
// The code the fast version runs: the best the processor has, or the SSE2 code alone (what
// processors without SSSE3 run; the tests hold both to the plain version).
enum class ResampleCode { Best, Sse2 };

// The same results, both passes streamed row by row and split across up to maxThreads threads
// (0: one per processor) when the picture is large enough.
void ResamplePixels(const forms::PixelView& source, const forms::PixelView& target, TResamplingFilter filter,
                    float radius, int maxThreads = 0, ResampleCode code = ResampleCode::Best);

// Below this many output pixels a pass stays on one thread; above, each thread gets at least
// this many, so thumbnails never pay for starting threads.
constexpr std::int64_t kResamplePixelsPerThread = std::int64_t{1} << 16;
// The threads one pass of outputPixels runs on: 1 up to twice kResamplePixelsPerThread, at most
// maxThreads (0 or below: the processor count).
int ResampleThreadCount(std::int64_t outputPixels, int maxThreads);

}  // namespace controls
