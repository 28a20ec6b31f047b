// Prints how long the thumbnail view takes to scan a gallery folder of camera-size JPEGs
// (1 to 8 MB, so every scale band is met) into a view set up as the editor's, beside
// vipsthumbnail making 150-pixel thumbnails of the same files in the same run (one process,
// and for reference as many processes as there are processors: the scan decodes ahead on
// that many threads).
//   bench_scan [pictures folder]    (default: scan-pictures beside this program)
// The pictures are generated on the first run and kept for the next ones.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "controls/portable/jpeg_scale_choice.h"
#include "controls/thumb_view.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/gdi_handle.h"
#include "forms/portable/jpeg_codec.h"

namespace {

constexpr int kPictures = 500;
constexpr const char* kVips = "/usr/bin/vipsthumbnail";
// Byte sizes the generated pictures aim at, with the picture size for each: small camera
// pictures at full-size decoding, then 12-megapixel ones across the three reduced bands.
struct Target {
    int width, height;
    std::uint64_t bytes;
};
constexpr Target kTargets[] = {
    {1600, 1200, 950'000},   {2048, 1536, 990'000},   {4000, 3000, 1'500'000}, {4000, 3000, 2'500'000},
    {4000, 3000, 3'600'000}, {4000, 3000, 4'300'000}, {4000, 3000, 5'200'000}, {4000, 3000, 6'500'000},
    {4000, 3000, 7'400'000}, {4000, 3000, 7'900'000},
};

double Seconds() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

// A photograph-like picture: gradients and shapes, with grain whose strength sets the file size.
std::vector<std::uint8_t> EncodeCameraPicture(int w, int h, double grain, int seed) {
    forms::PixelBuffer p(w, h, 3);
    unsigned state = 2166136261u ^ static_cast<unsigned>(seed);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = p.row(y);
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            const double n = (static_cast<int>(state >> 24) - 128) * grain;
            const double base = 128 + 60 * std::sin(x * 0.004 + seed) * std::cos(y * 0.003);
            for (int c = 0; c < 3; ++c) {
                const double v = base + (c - 1) * 30 * std::sin((x + y) * 0.002 * (c + 1)) + n * (0.6 + 0.2 * c);
                row[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            }
        }
    }
    forms::JpegEncodeOptions options;
    options.quality = 92;
    return forms::EncodeJpeg(p.view(), options);
}

// The grain that brings a picture closest to its target size from below (sizes grow with it).
std::vector<std::uint8_t> PictureNear(const Target& t, int seed) {
    double lo = 0, hi = 1.5;
    std::vector<std::uint8_t> best;
    for (int i = 0; i < 9; ++i) {
        const double mid = (lo + hi) / 2;
        std::vector<std::uint8_t> bytes = EncodeCameraPicture(t.width, t.height, mid, seed);
        if (bytes.size() <= t.bytes) {
            lo = mid;
            best.swap(bytes);
        } else {
            hi = mid;
        }
    }
    if (best.empty()) best = EncodeCameraPicture(t.width, t.height, 0, seed);
    return best;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string PictureName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "thm_%03d.jpg", i + 1);
    return name;
}

void Generate(const std::string& folder) {
    const std::string stamp = folder + "ready.txt";
    if (Exists(stamp)) return;
    CreateDirectoryA(folder.c_str(), nullptr);
    std::printf("generating %d pictures in %s (once)...\n", kPictures, folder.c_str());
    std::fflush(stdout);
    const int kinds = static_cast<int>(std::size(kTargets));
    std::vector<std::vector<std::uint8_t>> bases;
    for (int k = 0; k < kinds; ++k) bases.push_back(PictureNear(kTargets[k], k));
    for (int i = 0; i < kPictures; ++i) {
        const auto& bytes = bases[static_cast<std::size_t>(i % kinds)];
        std::ofstream f(folder + PictureName(i), std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::ofstream(stamp) << kPictures << " pictures\n";
}

std::string UnixPath(const std::string& windowsPath) {
    std::string s = windowsPath;
    if (s.size() >= 2 && (s[0] == 'Z' || s[0] == 'z') && s[1] == ':') s = s.substr(2);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

int CountFiles(const std::string& pattern) {
    WIN32_FIND_DATAA found{};
    forms::UniqueFind search(forms::NullIfInvalid(FindFirstFileA(pattern.c_str(), &found)));
    if (!search) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileA(search.get(), &found));
    return n;
}

void DeleteFiles(const std::string& folder, const std::string& mask) {
    WIN32_FIND_DATAA found{};
    forms::UniqueFind search(forms::NullIfInvalid(FindFirstFileA((folder + mask).c_str(), &found)));
    if (!search) return;
    do DeleteFileA((folder + found.cFileName).c_str());
    while (FindNextFileA(search.get(), &found));
}

// Seconds vipsthumbnail takes for every picture; negative when it did not make them all.
// Wine neither waits for a Unix program nor hands on its exit code reliably, so a shell
// times the run itself and leaves the nanoseconds in a file that appears when it is done.
// With processes above 1, that many vipsthumbnail processes share the pictures (xargs -P).
double RunVips(const std::string& folder, const std::string& outFolder, int processes) {
    CreateDirectoryA(outFolder.c_str(), nullptr);
    DeleteFiles(outFolder, "*.*");
    const std::string out = UnixPath(outFolder);
    const std::string vips = std::string(kVips) + " -s 150 -o " + out + "%s.jpg";
    const std::string run = processes > 1 ? "ls thm_*.jpg | xargs -P " + std::to_string(processes) + " -n 16 " + vips
                                          : vips + " thm_*.jpg";
    std::string command = "Z:\\bin\\sh -c \"cd " + UnixPath(folder) + " && s=$(date +%s%N) && " + run +
                          " && e=$(date +%s%N) && echo $((e - s)) > " + out + "ns.tmp && mv " + out + "ns.tmp " + out +
                          "ns.txt\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("vipsthumbnail did not start (error %lu)\n", GetLastError());
        return -1;
    }
    forms::UniqueKernelHandle thread(pi.hThread), process(pi.hProcess);
    const std::string done = outFolder + "ns.txt";
    for (int waited = 0; !Exists(done) && waited < 600000; waited += 20) Sleep(20);
    long long ns = -1;
    std::ifstream(done) >> ns;
    const int made = CountFiles(outFolder + "thm_*.jpg");
    if (made != kPictures) std::printf("vipsthumbnail made %d of %d thumbnails\n", made, kPictures);
    return made == kPictures && ns > 0 ? static_cast<double>(ns) / 1e9 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace controls;
    std::string folder = argc > 1 ? argv[1] : ProgramFolder() + "scan-pictures";
    if (folder.back() != '\\') folder += '\\';
    Generate(folder);

    int bands[4] = {};
    double megabytes = 0;
    for (int i = 0; i < kPictures; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA((folder + PictureName(i)).c_str(), GetFileExInfoStandard, &data);
        const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        megabytes += static_cast<double>(size) / 1e6;
        const int scale = JpegScaleForFileSize(size);
        ++bands[scale == 1 ? 0 : scale == 2 ? 1 : scale == 4 ? 2 : 3];
    }

    forms::ApplicationScope scope;
    forms::TForm form(nullptr);
    form.SetBounds(20, 20, 260, 560);
    auto* view = new TThumbView(&form);
    view->SetBounds(0, 0, 193, 513);
    view->SetAlignView(vtFitToScreen);
    view->SetMaxWidth(150);
    view->SetMaxHeight(150);
    view->SetScrollMode(smVertical);
    view->SetAsButtons(true);
    view->SetTitlePlacement(tpNone);
    view->SetFilter("Thumbnails|thm_*.jpg|Thumbnails|thm_*.jpeg");
    view->SetShowShadow(true);
    view->SetParent(&form);
    form.Show();
    forms::Application->ProcessMessages();  // the first paint and its rescan of nothing
    int seen = 0;
    view->OnScanProgress = [&](forms::TObject*, int, bool&) { ++seen; };

    const double start = Seconds();
    view->SetDirectory(folder.substr(0, folder.size() - 1));
    const double scan = Seconds() - start;
    const int count = view->Count();

    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const double vipsParallel = RunVips(folder, ProgramFolder() + "scan-vips\\", threads);
    const double vips = RunVips(folder, ProgramFolder() + "scan-vips\\", 1);

    std::printf("%d pictures, %.0f MB; scale bands full/half/quarter/eighth: %d/%d/%d/%d\n", kPictures, megabytes,
                bands[0], bands[1], bands[2], bands[3]);
    std::printf("%-34s %10s %14s\n", "", "total s", "ms per picture");
    std::printf("%-34s %10.2f %14.2f\n", "thumbnail view scan (under Wine)", scan, scan * 1000 / std::max(count, 1));
    if (vips < 0) {
        std::printf("vipsthumbnail could not run (%s)\n", kVips);
        return 1;
    }
    if (vipsParallel > 0) {
        const std::string label = "vipsthumbnail, " + std::to_string(threads) + " processes";
        std::printf("%-34s %10.2f %14.2f\n", label.c_str(), vipsParallel, vipsParallel * 1000 / kPictures);
    }
    std::printf("%-34s %10.2f %14.2f\n", "vipsthumbnail -s 150", vips, vips * 1000 / kPictures);
    if (count != kPictures || seen != kPictures) {
        std::printf("the scan showed %d of %d pictures\n", count, kPictures);
        return 1;
    }
    std::printf("scan: %.2f times the speed of vipsthumbnail\n", (vips / kPictures) / (scan / count));
    return 0;
}
