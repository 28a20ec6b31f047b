// Compares the resampler with ImageMagick's resize for every filter. ImageMagick centres
// pixels while we align corners; the two mappings coincide when (sw - 1) / (dw - 1) is an odd
// integer (or its inverse) and the source is padded by our own mirror rule, so we pad, let
// ImageMagick resize the padded picture, and crop its result to our target.
#include <gtest/gtest.h>

#ifndef _WIN32  // ImageMagick runs on the build host; under Wine the hash test stands for it
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "controls/portable/resample.h"

namespace controls {
namespace {

constexpr const char* kMagick = "/usr/bin/convert";

struct Rgb {
    int w = 0, h = 0;
    std::vector<std::uint8_t> bytes;  // red, green, blue
    std::uint8_t& at(int x, int y, int c) { return bytes[(static_cast<size_t>(y) * w + x) * 3 + c]; }
};

Rgb Photo(int w, int h) {
    Rgb p{w, h, std::vector<std::uint8_t>(static_cast<size_t>(w) * h * 3)};
    unsigned seed = 99;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int n = static_cast<int>((seed >> 16) % 9);
            p.at(x, y, 0) = static_cast<std::uint8_t>(40 + x * 160 / w + n);
            p.at(x, y, 1) = static_cast<std::uint8_t>(30 + y * 180 / h + n);
            p.at(x, y, 2) = static_cast<std::uint8_t>(128 + 100 * ((x / 13 + y / 11) % 2) - 50 + n);
        }
    }
    return p;
}

int Mirror(int j, int size) {
    if (j < 0) j = -j;
    else if (j >= size) j = 2 * size - 1 - j;
    return j;
}

Rgb Pad(Rgb& s, int px, int py) {
    Rgb p{s.w + 2 * px, s.h + 2 * py, {}};
    p.bytes.resize(static_cast<size_t>(p.w) * p.h * 3);
    for (int y = 0; y < p.h; ++y) {
        for (int x = 0; x < p.w; ++x) {
            for (int c = 0; c < 3; ++c) p.at(x, y, c) = s.at(Mirror(x - px, s.w), Mirror(y - py, s.h), c);
        }
    }
    return p;
}

void WritePpm(const std::string& path, const Rgb& p) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << p.w << " " << p.h << "\n255\n";
    out.write(reinterpret_cast<const char*>(p.bytes.data()), static_cast<std::streamsize>(p.bytes.size()));
}

Rgb ReadPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    Rgb p;
    in >> magic >> p.w >> p.h >> maxval;
    in.get();
    p.bytes.resize(static_cast<size_t>(p.w) * p.h * 3);
    in.read(reinterpret_cast<char*>(p.bytes.data()), static_cast<std::streamsize>(p.bytes.size()));
    if (magic != "P6" || maxval != 255 || !in) p.w = p.h = 0;
    return p;
}

// Padding (source side) and margin (target side) that line the two mappings up along one
// axis, for a ratio r = (src - 1) / (dst - 1) or its inverse, odd.
struct Alignment {
    int pad, margin;
};
Alignment Align(int src, int dst) {
    if (src == dst) return {0, 0};
    if (src > dst) {
        const int r = (src - 1) / (dst - 1);
        const int margin = 4;
        return {(r * (2 * margin + 1) - 1) / 2, margin};
    }
    const int r = (dst - 1) / (src - 1);
    const int pad = 4;
    return {pad, (r * (2 * pad + 1) - 1) / 2};
}

struct Stats {
    int maxAbs = 0;
    double meanSigned = 0;
    double withinOne = 0;
};

TEST(ResamplePeer, AgreesWithImageMagickForEveryFilter) {
    if (access(kMagick, X_OK) != 0) GTEST_SKIP() << "no ImageMagick";
    const struct {
        TResamplingFilter filter;
        const char* magick;
    } filters[] = {{TResamplingFilter::Box, "Box"},           {TResamplingFilter::Triangle, "Triangle"},
                   {TResamplingFilter::Hermite, "Hermite"},   {TResamplingFilter::Bell, "Quadratic"},
                   {TResamplingFilter::Spline, "Cubic"},      {TResamplingFilter::Lanczos3, "Lanczos"},
                   {TResamplingFilter::Mitchell, "Mitchell"}};
    // One row (or column) compares one pass: the other axis is an exact copy for both, its
    // taps all on the one pixel. Two passes truncate twice, so their agreement is looser.
    const struct {
        int sw, sh, dw, dh;
    } sizes[] = {{301, 1, 101, 1}, {101, 1, 301, 1}, {1, 151, 1, 51}, {1, 51, 1, 151},
                 {301, 151, 101, 51}, {101, 51, 301, 151}};
    char dirTemplate[] = "/tmp/resample_peer_XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    for (const auto& size : sizes) {
        Rgb src = Photo(size.sw, size.sh);
        const Alignment ax = Align(size.sw, size.dw), ay = Align(size.sh, size.dh);
        WritePpm(dir + "/in.ppm", Pad(src, ax.pad, ay.pad));
        forms::PixelBuffer ours(size.sw, size.sh, 3);
        for (int y = 0; y < size.sh; ++y) {
            for (int x = 0; x < size.sw; ++x) {
                for (int c = 0; c < 3; ++c) ours.row(y)[3 * x + 2 - c] = src.at(x, y, c);
            }
        }
        for (const auto& f : filters) {
            const int bigW = size.dw + 2 * ax.margin, bigH = size.dh + 2 * ay.margin;
            std::ostringstream cmd;
            cmd << kMagick << " " << dir << "/in.ppm -filter " << f.magick << " -resize " << bigW << "x" << bigH << "! "
                << dir << "/out.ppm";
            ASSERT_EQ(std::system(cmd.str().c_str()), 0) << cmd.str();
            Rgb peer = ReadPpm(dir + "/out.ppm");
            ASSERT_EQ(peer.w, bigW);
            ASSERT_EQ(peer.h, bigH);

            forms::PixelBuffer dst(size.dw, size.dh, 3);
            ResamplePixels(ours.view(), dst.view(), f.filter, 0.0f);
            Stats s;
            long long sum = 0, within = 0, count = 0;
            for (int y = 0; y < size.dh; ++y) {
                for (int x = 0; x < size.dw; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        const int d = dst.row(y)[3 * x + 2 - c] - peer.at(x + ax.margin, y + ay.margin, c);
                        s.maxAbs = std::max(s.maxAbs, std::abs(d));
                        sum += d;
                        within += std::abs(d) <= 1;
                        ++count;
                    }
                }
            }
            s.meanSigned = static_cast<double>(sum) / count;
            s.withinOne = static_cast<double>(within) / count;
            const bool lanczosUp = f.filter == TResamplingFilter::Lanczos3 && (size.dw > size.sw || size.dh > size.sh);
            const bool twoPasses = size.sw > 1 && size.sh > 1;
            const std::string what = std::string(f.magick) + " " + std::to_string(size.sw) + "x" + std::to_string(size.sh) +
                                     " to " + std::to_string(size.dw) + "x" + std::to_string(size.dh);
            EXPECT_LE(s.maxAbs, lanczosUp ? 4 : 2) << what;
            EXPECT_LE(s.meanSigned, 0.0) << what;
            EXPECT_GE(s.meanSigned, -1.0) << what;
            EXPECT_GE(s.withinOne, twoPasses ? 0.9 : 0.995) << what;
            std::printf("  %-34s max %d, mean %+.3f, within 1: %.2f%%\n", what.c_str(), s.maxAbs, s.meanSigned, 100 * s.withinOne);
        }
    }
    (void)std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace controls
#endif
