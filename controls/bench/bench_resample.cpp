// Prints how fast the resampler is: milliseconds per call and source megapixels per second,
// median of several runs with one thread a processor (ImageMagick's resize of the same picture
// runs on one), beside libjpeg-turbo's decode of its 3000 x 2000 source.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "controls/portable/resample.h"
#include "forms/portable/jpeg_codec.h"

namespace {

using controls::TResamplingFilter;
using Clock = std::chrono::steady_clock;

constexpr const char* kMagick = "/usr/bin/convert";
constexpr const char* kFilterNames[] = {"box", "triangle", "Hermite", "bell", "spline", "Lanczos3", "Mitchell"};
constexpr const char* kMagickFilters[] = {"Box", "Triangle", "Hermite", "Quadratic", "Cubic", "Lanczos", "Mitchell"};

double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A photograph-like source: smooth gradients with some texture.
forms::PixelBuffer MakeSource(int w, int h) {
    forms::PixelBuffer b(w, h, 4);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.row(y);
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 15);
            row[4 * x] = static_cast<std::uint8_t>((x * 255 / w + noise) & 0xFF);
            row[4 * x + 1] = static_cast<std::uint8_t>((y * 255 / h + noise) & 0xFF);
            row[4 * x + 2] = static_cast<std::uint8_t>(((x + y) * 127 / (w + h) + 64 + noise) & 0xFF);
            row[4 * x + 3] = 0;
        }
    }
    return b;
}

void WritePpm(const std::string& path, forms::PixelBuffer& b) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << b.width() << " " << b.height() << "\n255\n";
    for (int y = 0; y < b.height(); ++y) {
        const std::uint8_t* row = b.row(y);
        for (int x = 0; x < b.width(); ++x) {
            const char rgb[3] = {static_cast<char>(row[4 * x + 2]), static_cast<char>(row[4 * x + 1]), static_cast<char>(row[4 * x])};
            out.write(rgb, 3);
        }
    }
}

bool MagickAvailable() { return std::system((std::string(kMagick) + " -version >/dev/null 2>&1").c_str()) == 0; }

// ImageMagick's own time for the resize: the run with it less the run that only reads the
// memory-mapped cache file.
double MagickMs(const std::string& mpc, int w, int h, const char* filter, int runs) {
    const std::string base = std::string("MAGICK_THREAD_LIMIT=1 ") + kMagick + " " + mpc;
    const std::string with = base + " -filter " + filter + " -resize " + std::to_string(w) + "x" + std::to_string(h) + "! null: 2>/dev/null";
    const std::string without = base + " null: 2>/dev/null";
    const double a = MedianMs(runs, [&] { (void)std::system(with.c_str()); });
    const double b = MedianMs(runs, [&] { (void)std::system(without.c_str()); });
    return std::max(a - b, 0.001);
}

struct Case {
    const char* name;
    int sw, sh, dw, dh;
    TResamplingFilter filter;
    float radius;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    forms::PixelBuffer big = MakeSource(3000, 2000);
    forms::PixelBuffer preview(834, 540, 4);
    controls::ResamplePixels(big.view(), preview.view(), TResamplingFilter::Triangle, 5.0f);

    const std::vector<std::uint8_t> jpeg = forms::EncodeJpeg(big.view());
    const double decodeMs = MedianMs(runs, [&] { (void)forms::DecodeJpeg(jpeg); });

    const bool magick = MagickAvailable();
    std::string dir = "/tmp";
    if (const char* t = std::getenv("TMPDIR")) dir = t;
    const std::string bigMpc = dir + "/bench_resample_big.mpc", previewMpc = dir + "/bench_resample_preview.mpc";
    if (magick) {
        WritePpm(dir + "/bench_resample_big.ppm", big);
        WritePpm(dir + "/bench_resample_preview.ppm", preview);
        (void)std::system((std::string(kMagick) + " " + dir + "/bench_resample_big.ppm " + bigMpc).c_str());
        (void)std::system((std::string(kMagick) + " " + dir + "/bench_resample_preview.ppm " + previewMpc).c_str());
    }

    std::vector<Case> cases = {
        {"preview", 3000, 2000, 834, 540, TResamplingFilter::Triangle, 5.0f},
        {"thumbnail", 834, 540, 150, 91, TResamplingFilter::Triangle, 5.0f},
        {"enlarge", 834, 540, 1668, 1080, TResamplingFilter::Triangle, 5.0f},
    };
    for (int f = 0; f < controls::kResamplingFilterCount; ++f) {
        cases.push_back({kFilterNames[f], 3000, 2000, 834, 540, static_cast<TResamplingFilter>(f), 0.0f});
    }

    std::printf("libjpeg-turbo decode of 3000 x 2000: %.2f ms; resampling on up to %d threads\n", decodeMs,
                controls::ResampleThreadCount(controls::kMaxResamplePixels, 0));
    std::printf("%-10s %-22s %-9s %10s %10s %12s %8s\n", "case", "size", "filter", "ms", "MP/s", "magick ms", "ratio");
    double previewMs = 0, previewMagick = 0;
    for (const Case& c : cases) {
        forms::PixelBuffer& src = c.sw == 3000 ? big : preview;
        forms::PixelBuffer dst(c.dw, c.dh, 4);
        const double ms = MedianMs(runs, [&] { controls::ResamplePixels(src.view(), dst.view(), c.filter, c.radius); });
        const double mps = (static_cast<double>(c.sw) * c.sh / 1e6) / (ms / 1000.0);
        double mm = 0;
        if (magick) mm = MagickMs(c.sw == 3000 ? bigMpc : previewMpc, c.dw, c.dh, kMagickFilters[static_cast<int>(c.filter)], runs);
        const std::string size = std::to_string(c.sw) + "x" + std::to_string(c.sh) + " to " + std::to_string(c.dw) + "x" + std::to_string(c.dh);
        if (magick) {
            std::printf("%-10s %-22s %-9s %10.2f %10.1f %12.2f %8.2f\n", c.name, size.c_str(), kFilterNames[static_cast<int>(c.filter)], ms, mps, mm, mm / ms);
        } else {
            std::printf("%-10s %-22s %-9s %10.2f %10.1f %12s %8s\n", c.name, size.c_str(), kFilterNames[static_cast<int>(c.filter)], ms, mps, "-", "-");
        }
        if (std::string(c.name) == "preview") {
            previewMs = ms;
            previewMagick = mm;
        }
    }
    {
        forms::PixelBuffer dst(834, 540, 4);
        const double ms = MedianMs(runs, [&] { controls::ResamplePixelsReference(big.view(), dst.view(), TResamplingFilter::Triangle, 5.0f); });
        std::printf("%-10s %-22s %-9s %10.2f %10.1f   (the plain version, for comparison)\n", "reference", "3000x2000 to 834x540", "triangle", ms, 6.0 / (ms / 1000.0));
    }
    if (magick) {
        std::printf("resample: %.2f times faster than ImageMagick, %.2f of one decode\n", previewMagick / previewMs, previewMs / decodeMs);
    } else {
        std::printf("resample: ImageMagick not found, %.2f of one decode\n", previewMs / decodeMs);
    }
    return 0;
}
