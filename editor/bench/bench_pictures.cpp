// Prints what adding a picture costs: per picture of the photo corpus (scripts/photo-corpus.sh),
// the whole road of both passes as the galleries page runs it (read the source file, decode,
// resample, encode, write the preview file; read the preview back, decode, resample, encode,
// write the thumbnail file) on one thread, beside peers doing the same from the same file:
// djpeg decoding it once (one process, output discarded), and vipsthumbnail and ImageMagick
// each writing the same two sizes as files (one process per file written, the thumbnail made
// from the written preview, single-threaded, each with its shrink-on-load).
// ./bench.sh pictures [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "editor/portable/picture_processing.h"
#include "forms/portable/jpeg_codec.h"
#include "tests/support/bench_figures.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// Runs a program (no shell) with extra environment entries; true when it exits with 0.
bool Run(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> envStrings(extraEnv);
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    std::vector<char*> args, env;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : envStrings) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> Corpus() {
    std::vector<std::string> files;
    FILE* list = popen("scripts/photo-corpus.sh build/corpus/pictures", "r");
    if (!list) return files;
    char line[4096];
    while (std::fgets(line, sizeof line, list)) {
        std::string path(line);
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
        if (!path.empty()) files.push_back(path);
    }
    if (pclose(list) != 0) files.clear();
    return files;
}

// The old synthetic picture: gradients under strong noise, 12 MP.
std::string WriteNoisePicture(const fs::path& folder) {
    const int width = 4000, height = 3000;
    forms::PixelBuffer b(width, height, 3);
    unsigned seed = 777u;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = b.row(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 15);
            row[3 * x] = static_cast<std::uint8_t>(x * 255 / width + noise);
            row[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / height + noise);
            row[3 * x + 2] = static_cast<std::uint8_t>((x + y) * 127 / (width + height) + 64 + noise);
        }
    }
    forms::JpegEncodeOptions options;
    options.quality = 92;
    const std::string path = (folder / "noise-12mp-420.jpg").string();
    forms::WriteJpegFileBytes(path, forms::EncodeJpeg(b.view(), options));
    return path;
}

std::string SizeOf(const std::string& path) {
    try {
        const auto info = forms::ProbeJpeg(forms::ReadJpegFileBytes(path));
        return std::to_string(info.width) + "x" + std::to_string(info.height);
    } catch (const std::exception&) {
        return "none";
    }
}

struct Row {
    std::string name;
    double ours, djpeg, vips, magick;
    std::string oursSizes, vipsSizes, magickSizes;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);
    std::vector<std::string> pictures = Corpus();
    if (pictures.empty()) {
        std::fprintf(stderr, "no photo corpus: scripts/photo-corpus.sh failed\n");
        return 1;
    }
    const fs::path folder = fs::temp_directory_path() / ("bench_pictures_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    pictures.push_back(WriteNoisePicture(folder));
    const std::string prv = (folder / "prv.jpg").string(), thm = (folder / "thm.jpg").string();
    const std::string vprv = (folder / "vprv.jpg").string(), vthm = (folder / "vthm.jpg").string();
    const std::string mprv = (folder / "mprv.jpg").string(), mthm = (folder / "mthm.jpg").string();
    const std::vector<std::string> oneThread = {"VIPS_CONCURRENCY=1", "MAGICK_THREAD_LIMIT=1", "OMP_NUM_THREADS=1"};
    const auto box = [](editor::PictureBox b) { return std::to_string(b.width) + "x" + std::to_string(b.height); };
    const auto hint = [](editor::PictureBox b) { return std::to_string(2 * b.width) + "x" + std::to_string(2 * b.height); };

    std::printf("Whole preview + thumbnail road per picture, files in and out, one thread; medians of %d runs, ms.\n", runs);
    std::printf("ours: both passes (the thumbnail decoded from the written preview); djpeg: one full decode of the\n"
                "source, one process, output discarded; vipsthumbnail and ImageMagick: one process per file written\n"
                "(preview from the source, thumbnail from that preview), quality 100, VIPS_CONCURRENCY=1 and\n"
                "MAGICK_THREAD_LIMIT=1, shrink-on-load (vips) and -define jpeg:size= (ImageMagick).\n");
    std::printf("load average before: %s\n\n", bench::MachineLoad().c_str());

    editor::PictureWorkspace workspace;
    workspace.resampleThreads = 1;
    std::vector<Row> rows;
    bool peersRan = true;
    for (const auto& picture : pictures) {
        std::vector<double> ours, djpeg, vips, magick;
        for (int r = 0; r < runs; ++r) {
            auto t = Clock::now();
            editor::ProcessPictureFile(picture, prv, editor::kPreviewBox, {}, workspace);
            editor::ProcessPictureFile(prv, thm, editor::kThumbnailBox, {}, workspace);
            ours.push_back(Ms(t));

            t = Clock::now();
            peersRan &= Run({"djpeg", "-outfile", "/dev/null", picture});
            djpeg.push_back(Ms(t));

            t = Clock::now();
            peersRan &= Run({"vipsthumbnail", picture, "-s", box(editor::kPreviewBox), "-o", vprv + "[Q=100]"}, oneThread);
            peersRan &= Run({"vipsthumbnail", vprv, "-s", box(editor::kThumbnailBox), "-o", vthm + "[Q=100]"}, oneThread);
            vips.push_back(Ms(t));

            t = Clock::now();
            peersRan &= Run({"convert", "-define", "jpeg:size=" + hint(editor::kPreviewBox), picture, "-filter", "Triangle",
                             "-resize", box(editor::kPreviewBox), "-quality", "100", mprv},
                            oneThread);
            peersRan &= Run({"convert", "-define", "jpeg:size=" + hint(editor::kThumbnailBox), mprv, "-filter", "Triangle",
                             "-resize", box(editor::kThumbnailBox), "-quality", "100", mthm},
                            oneThread);
            magick.push_back(Ms(t));
        }
        rows.push_back({fs::path(picture).stem().string(), bench::Median(ours), bench::Median(djpeg), bench::Median(vips), bench::Median(magick),
                        SizeOf(prv) + " " + SizeOf(thm), SizeOf(vprv) + " " + SizeOf(vthm),
                        SizeOf(mprv) + " " + SizeOf(mthm)});
        const Row& row = rows.back();
        std::printf("%-26s ours %7.1f  djpeg %7.1f  vips %7.1f  IM %7.1f\n", row.name.c_str(), row.ours, row.djpeg,
                    row.vips, row.magick);
        std::fflush(stdout);
    }
    fs::remove_all(folder);

    std::printf("\n%-26s %8s %8s %8s %8s %7s %7s %7s  %-17s %-17s %s\n", "picture", "ours", "djpeg", "vips", "IM",
                "/djpeg", "vips/us", "IM/us", "our sizes", "vips sizes", "IM sizes");
    std::vector<double> p, v, m;
    for (const Row& row : rows) {
        std::printf("%-26s %8.1f %8.1f %8.1f %8.1f %7.2f %7.2f %7.2f  %-17s %-17s %s\n", row.name.c_str(), row.ours,
                    row.djpeg, row.vips, row.magick, row.ours / row.djpeg, row.vips / row.ours, row.magick / row.ours,
                    row.oursSizes.c_str(), row.vipsSizes.c_str(), row.magickSizes.c_str());
        if (&row == &rows.back()) break;  // the synthetic picture stays out of the summary
        p.push_back(row.ours / row.djpeg);
        v.push_back(row.vips / row.ours);
        m.push_back(row.magick / row.ours);
    }
    std::printf("\nload average after: %s\n", bench::MachineLoad().c_str());
    if (!peersRan) std::printf("a peer failed to run (djpeg, vipsthumbnail or convert): its figures are not valid\n");
    std::printf("summary: medians over the %zu corpus pictures of the per-picture ratios\n", p.size());
    std::printf("pictures: %.2f times djpeg, %.2f times faster than vipsthumbnail, %.2f times faster than ImageMagick\n",
                bench::Median(p), bench::Median(v), bench::Median(m));
    return peersRan ? 0 : 1;
}
