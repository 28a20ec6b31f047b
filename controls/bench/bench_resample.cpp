// Prints how fast the resampler is beside ImageMagick's resize of the same pixels to the same
// sizes with the same filters, each on one thread and then each on every processor, and beside
// libjpeg-turbo's djpeg decoding the source JPEG (one process, output discarded).
//
// The sources are real camera photographs (4, 12 and 24 megapixels, 4:2:0) made by
// scripts/photo-corpus.sh, decoded once by our codec as the editor decodes them (24-bit); the
// editor's preview and thumbnail steps are timed on each, every filter on the 12-megapixel one,
// and a synthetic 3000 x 2000 picture is one extra row.
//
// Ours: ResamplePixels in process, a new target each call as the editor makes one, median of
// the runs. ImageMagick (its Q16 build, the one installed): the decoded pixels are handed to it
// as a memory-mapped pixel cache (MPC), and its resize alone is timed as the growth of one
// process's time from 1 to 1 + n resizes of the same picture (-duplicate n), so its start, the
// read and the exit cancel out; thread count by -limit thread. Times are wall-clock medians,
// so other work on the machine slows both sides: the load is printed before and after.
//   bench_resample [runs]    (default 5, at least 5 for the medians to mean anything)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "controls/portable/resample.h"
#include "forms/portable/jpeg_codec.h"
#include "tests/support/bench_figures.h"

namespace {

using controls::TResamplingFilter;
using Clock = std::chrono::steady_clock;

constexpr const char* kMagick = "/usr/bin/convert";
constexpr const char* kDjpeg = "/usr/bin/djpeg";
constexpr const char* kCorpus = "build/resample-corpus";
// ImageMagick's extra resizes: about this many source pixels in all, at least 3, so that small
// pictures' times stand out of a process's start-up noise.
constexpr double kExtraPixels = 24e6;
constexpr const char* kFilterNames[] = {"box", "triangle", "Hermite", "bell", "spline", "Lanczos3", "Mitchell"};
constexpr const char* kMagickFilters[] = {"Box", "Triangle", "Hermite", "Quadratic", "Cubic", "Lanczos", "Mitchell"};
// The editor's boxes and its call: triangle, radius 5.
constexpr int kPreviewBox[] = {834, 754};
constexpr int kThumbnailBox[] = {150, 150};
constexpr float kEditorRadius = 5.0f;

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

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

// The editor's fit of a picture into a box (whole percent of the longer side).
std::pair<int, int> Fit(int w, int h, const int box[2]) {
    long long fw, fh;
    if (w > h) {
        fw = box[0];
        fh = (fw * 100 / w) * h / 100;
    } else {
        fh = box[1];
        fw = (fh * 100 / h) * w / 100;
    }
    return {static_cast<int>(std::max(fw, 1LL)), static_cast<int>(std::max(fh, 1LL))};
}

void WritePpm(const std::string& path, const forms::PixelBuffer& b) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << b.width() << " " << b.height() << "\n255\n";
    const int bpp = b.bytesPerPixel();
    std::vector<char> rgb(static_cast<std::size_t>(b.width()) * 3);
    for (int y = 0; y < b.height(); ++y) {
        const std::uint8_t* row = b.row(y);
        for (int x = 0; x < b.width(); ++x) {
            rgb[3 * x] = static_cast<char>(row[bpp * x + 2]);
            rgb[3 * x + 1] = static_cast<char>(row[bpp * x + 1]);
            rgb[3 * x + 2] = static_cast<char>(row[bpp * x]);
        }
        out.write(rgb.data(), static_cast<std::streamsize>(rgb.size()));
    }
}

// A synthetic photograph-like picture: smooth gradients with some texture.
forms::PixelBuffer Synthetic(int w, int h) {
    forms::PixelBuffer b(w, h, 3);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = b.row(y);
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 15);
            row[3 * x] = static_cast<std::uint8_t>((x * 255 / w + noise) & 0xFF);
            row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / h + noise) & 0xFF);
            row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) * 127 / (w + h) + 64 + noise) & 0xFF);
        }
    }
    return b;
}

// A source picture: its JPEG file, our decode of it and that decode as ImageMagick's cache.
struct Source {
    std::string name, jpeg, mpc;
    forms::PixelBuffer pixels;
    double djpegMs = 0;
};

struct Case {
    int dw, dh;
    TResamplingFilter filter;
    float radius;
    bool headline;  // a preview of a photograph: the closing line's ratios
};

struct Result {
    double ours1, magick1, oursAll, magickAll;
};

class Bench {
public:
    Bench(int runs, int threads, std::string dir) : runs_(runs), threads_(threads), dir_(std::move(dir)) {}

    void Prepare(Source& s) {
        const std::string stem = dir_ + "/source" + std::to_string(prepared_++);
        s.mpc = stem + ".mpc";
        WritePpm(stem + ".ppm", s.pixels);
        (void)std::system((std::string(kMagick) + " " + stem + ".ppm " + s.mpc).c_str());
        std::remove((stem + ".ppm").c_str());
        const std::string djpeg = std::string(kDjpeg) + " -outfile /dev/null " + s.jpeg;
        s.djpegMs = MedianMs(runs_, [&] { (void)std::system(djpeg.c_str()); });
    }

    double Ours(const forms::PixelBuffer& from, const Case& c, int threads) const {
        auto view = const_cast<forms::PixelBuffer&>(from).view();
        return MedianMs(runs_, [&] {
            forms::PixelBuffer to(c.dw, c.dh, 3);
            controls::ResamplePixels(view, to.view(), c.filter, c.radius, threads);
        });
    }

    double Magick(const std::string& mpc, double sourcePixels, const Case& c, int threads) const {
        std::ostringstream base;
        base << kMagick << " -limit thread " << threads << " " << mpc;
        std::ostringstream resize;
        resize << " -filter " << kMagickFilters[static_cast<int>(c.filter)] << " -resize " << c.dw << "x" << c.dh
               << "! null: 2>/dev/null";
        const int extra = std::clamp(static_cast<int>(kExtraPixels / sourcePixels), 3, 60);
        const std::string one = base.str() + resize.str();
        const std::string more = base.str() + " -duplicate " + std::to_string(extra) + resize.str();
        const double a = MedianMs(runs_, [&] { (void)std::system(one.c_str()); });
        const double b = MedianMs(runs_, [&] { (void)std::system(more.c_str()); });
        return std::max(b - a, 0.001) / extra;
    }

    Result Measure(const forms::PixelBuffer& from, const std::string& mpc, const Case& c) const {
        const double pixels = static_cast<double>(from.width()) * from.height();
        return {Ours(from, c, 1), Magick(mpc, pixels, c, 1), Ours(from, c, threads_), Magick(mpc, pixels, c, threads_)};
    }

    const std::string& dir() const { return dir_; }

private:
    int runs_, threads_;
    std::string dir_;
    int prepared_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (std::system((std::string(kMagick) + " -version >/dev/null 2>&1").c_str()) != 0 ||
        std::system((std::string(kDjpeg) + " -version >/dev/null 2>&1 </dev/null").c_str()) != 0) {
        std::printf("resample: ImageMagick or djpeg missing; run ./build.sh as root once\n");
        return 1;
    }
    // The corpus' first three files are the three sizes at 4:2:0.
    std::istringstream corpus(Run(std::string("scripts/photo-corpus.sh ") + kCorpus + " 3 4 12 24"));
    std::vector<std::string> photos;
    for (std::string line; std::getline(corpus, line);) {
        if (!line.empty()) photos.push_back(line);
    }
    if (photos.size() != 3) {
        std::printf("resample: the photo corpus could not be made (scripts/photo-corpus.sh)\n");
        return 1;
    }
    std::string dir = "/tmp";
    if (const char* t = std::getenv("TMPDIR")) dir = t;
    char dirTemplate[] = "bench_resample_XXXXXX";
    std::string work = dir + "/" + dirTemplate;
    if (!mkdtemp(work.data())) return 1;
    Bench bench(runs, threads, work);

    std::vector<Source> sources;
    const char* names[] = {"4 MP", "12 MP", "24 MP"};
    for (std::size_t i = 0; i < photos.size(); ++i) {
        sources.push_back({names[i], photos[i], "", forms::DecodeJpegFile(photos[i]).pixels});
    }
    {
        Source synthetic{"synthetic", work + "/synthetic.jpg", "", Synthetic(3000, 2000)};
        forms::WriteJpegFileBytes(synthetic.jpeg, forms::EncodeJpeg(synthetic.pixels.view()));
        synthetic.pixels = forms::DecodeJpegFile(synthetic.jpeg).pixels;
        sources.push_back(std::move(synthetic));
    }
    for (Source& s : sources) bench.Prepare(s);

    std::printf("Resampling, median of %d runs, ms. Ours: in process, %d-bit source and target as the editor\n", runs, 24);
    std::string version = Run(std::string(kMagick) + " -version | head -n 1 | cut -d' ' -f3,4");
    version.erase(std::remove(version.begin(), version.end(), '\n'), version.end());
    std::printf("resamples a decoded JPEG. ImageMagick %s: its resize alone (growth of one process's time\n",
                version.c_str());
    std::printf("from 1 resize to 1 + n of the same memory-mapped picture, n = 3 to 60 as it is large or small).\n");
    std::printf("1 thread each, then %d threads each.\n", threads);
    std::printf("djpeg: one process decoding the source JPEG, output discarded; d = ours on all cores / djpeg.\n");
    std::printf("Load before: %s\n\n", bench::MachineLoad().c_str());
    std::printf("%-10s %-9s %-24s %9s %9s %6s %9s %9s %6s %8s %6s\n", "source", "step", "size, filter", "ours 1",
                "IM 1", "ratio", "ours all", "IM all", "ratio", "djpeg", "d");

    std::vector<double> headlineR, headlineD;
    // d only where the step starts from the decoded source.
    auto report = [&](const Source& s, const char* step, const forms::PixelBuffer& from, const std::string& mpc, const Case& c) {
        const Result r = bench.Measure(from, mpc, c);
        char size[64];
        std::snprintf(size, sizeof size, "%dx%d>%dx%d %s", from.width(), from.height(), c.dw, c.dh,
                      kFilterNames[static_cast<int>(c.filter)]);
        char d[16] = "-";
        if (&from == &s.pixels) std::snprintf(d, sizeof d, "%.3f", r.oursAll / s.djpegMs);
        std::printf("%-10s %-9s %-24s %9.2f %9.2f %6.2f %9.2f %9.2f %6.2f %8.2f %6s\n", s.name.c_str(), step, size, r.ours1,
                    r.magick1, r.magick1 / r.ours1, r.oursAll, r.magickAll, r.magickAll / r.oursAll, s.djpegMs, d);
        std::fflush(stdout);
        if (c.headline) {
            headlineR.push_back(r.magick1 / r.ours1);
            headlineD.push_back(r.oursAll / s.djpegMs);
        }
    };
    for (Source& s : sources) {
        const auto [pw, ph] = Fit(s.pixels.width(), s.pixels.height(), kPreviewBox);
        const Case preview{pw, ph, TResamplingFilter::Triangle, kEditorRadius, s.name != "synthetic"};
        report(s, "preview", s.pixels, s.mpc, preview);
        // The thumbnail is made from the preview, as the editor makes it.
        forms::PixelBuffer small(pw, ph, 3);
        controls::ResamplePixels(s.pixels.view(), small.view(), TResamplingFilter::Triangle, kEditorRadius);
        const std::string previewMpc = bench.dir() + "/preview-" + std::to_string(pw) + "x" + std::to_string(ph) + ".mpc";
        WritePpm(bench.dir() + "/preview.ppm", small);
        (void)std::system((std::string(kMagick) + " " + bench.dir() + "/preview.ppm " + previewMpc).c_str());
        const auto [tw, th] = Fit(pw, ph, kThumbnailBox);
        report(s, "thumbnail", small, previewMpc, {tw, th, TResamplingFilter::Triangle, kEditorRadius, false});
        if (s.name == "12 MP") {
            for (int f = 0; f < controls::kResamplingFilterCount; ++f) {
                report(s, "filter", s.pixels, s.mpc, {pw, ph, static_cast<TResamplingFilter>(f), 0.0f, false});
            }
            report(s, "enlarge", small, previewMpc, {2 * pw, 2 * ph, TResamplingFilter::Triangle, kEditorRadius, false});
        }
    }
    {
        const Source& s = sources[1];
        const auto [pw, ph] = Fit(s.pixels.width(), s.pixels.height(), kPreviewBox);
        auto view = const_cast<forms::PixelBuffer&>(s.pixels).view();
        const double ms = MedianMs(runs, [&] {
            forms::PixelBuffer to(pw, ph, 3);
            controls::ResamplePixelsReference(view, to.view(), TResamplingFilter::Triangle, kEditorRadius);
        });
        std::printf("%-10s %-9s %dx%d>%dx%d %-9s %9.2f  (the plain version, one thread, for comparison)\n", s.name.c_str(),
                    "reference", s.pixels.width(), s.pixels.height(), pw, ph, "triangle", ms);
    }
    std::printf("\nLoad after: %s. The closing line's ratios: the median over the three photographs' previews.\n",
                bench::MachineLoad().c_str());
    (void)std::system(("rm -rf " + work).c_str());
    std::printf("resample: %.2f times faster than ImageMagick on one thread, %.2f of one djpeg decode on all cores\n",
                bench::Median(headlineR), bench::Median(headlineD));
    return 0;
}
