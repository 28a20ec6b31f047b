// Prints what adding a picture costs, for the photo corpus (scripts/photo-corpus.sh): the whole road
// of both passes as the galleries page runs it (read the source file, decode, resample, encode,
// write the preview file; read the preview back, decode, resample, encode, write the thumbnail
// file) on one thread, beside peers run as their users run them:
//   - per picture, djpeg decoding it once (one process, output discarded; djpeg has no batch mode);
//   - over the whole corpus, vipsthumbnail and ImageMagick's mogrify as batches: one process for
//     the preview pass over all the pictures, then one for the thumbnail pass over the previews
//     it wrote, single-threaded, each with its shrink-on-load; per picture is the total over the
//     count, beside the same total of ours.
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
    double ours, djpeg;
};

// A fresh, empty folder.
fs::path Emptied(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<std::string> JpegsIn(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".jpg") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Both passes of every picture, as the galleries page runs a batch: prv_ and thm_ files in out.
double OursBatch(const std::vector<std::string>& pictures, const fs::path& out, editor::PictureWorkspace& workspace) {
    const auto t = Clock::now();
    for (const auto& picture : pictures) {
        const std::string stem = fs::path(picture).stem().string();
        const std::string prv = (out / ("prv_" + stem + ".jpg")).string(), thm = (out / ("thm_" + stem + ".jpg")).string();
        editor::ProcessPictureFile(picture, prv, editor::kPreviewBox, {}, workspace);
        editor::ProcessPictureFile(prv, thm, editor::kThumbnailBox, {}, workspace);
    }
    return Ms(t);
}

// A peer's pass as one process: the arguments, then every input file.
bool RunPass(std::vector<std::string> argv, const std::vector<std::string>& inputs, const std::vector<std::string>& env) {
    argv.insert(argv.end(), inputs.begin(), inputs.end());
    return Run(argv, env);
}

// How many pictures have in folder (named by the picture's stem) a file of the size ours has.
int SameSizes(const std::vector<std::string>& pictures, const fs::path& folder, const fs::path& ours, const std::string& ourPrefix) {
    int same = 0;
    for (const auto& picture : pictures) {
        const std::string stem = fs::path(picture).stem().string();
        const std::string theirs = SizeOf((folder / (stem + ".jpg")).string());
        if (theirs != "none" && theirs == SizeOf((ours / (ourPrefix + stem + ".jpg")).string())) ++same;
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);
    const std::vector<std::string> corpus = Corpus();
    if (corpus.empty()) {
        std::fprintf(stderr, "no photo corpus: scripts/photo-corpus.sh failed\n");
        return 1;
    }
    const fs::path folder = fs::temp_directory_path() / ("bench_pictures_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<std::string> pictures = corpus;
    pictures.push_back(WriteNoisePicture(folder));
    const std::string prv = (folder / "prv.jpg").string(), thm = (folder / "thm.jpg").string();
    const std::vector<std::string> oneThread = {"VIPS_CONCURRENCY=1", "MAGICK_THREAD_LIMIT=1", "OMP_NUM_THREADS=1"};
    const auto box = [](editor::PictureBox b) { return std::to_string(b.width) + "x" + std::to_string(b.height); };
    const auto hint = [](editor::PictureBox b) { return std::to_string(2 * b.width) + "x" + std::to_string(2 * b.height); };

    std::printf("What adding a picture costs, files in and out, one thread; medians of %d runs, ms.\n", runs);
    std::printf("Per picture: \"ours\" times both passes of one picture (the preview from the source file, the\n"
                "thumbnail decoded from the written preview); \"djpeg\" times one djpeg process decoding the source\n"
                "once, output discarded (djpeg has no batch mode).\n");
    std::printf("load average before: %s\n\n", bench::MachineLoad().c_str());

    editor::PictureWorkspace workspace;
    workspace.resampleThreads = 1;
    bool peersRan = true;
    std::vector<double> perDjpeg;
    std::printf("%-26s %8s %8s %7s  %s\n", "picture", "ours", "djpeg", "/djpeg", "our sizes");
    for (const auto& picture : pictures) {
        std::vector<double> ours, djpeg;
        for (int r = 0; r < runs; ++r) {
            auto t = Clock::now();
            editor::ProcessPictureFile(picture, prv, editor::kPreviewBox, {}, workspace);
            editor::ProcessPictureFile(prv, thm, editor::kThumbnailBox, {}, workspace);
            ours.push_back(Ms(t));

            t = Clock::now();
            peersRan &= Run({"djpeg", "-outfile", "/dev/null", picture});
            djpeg.push_back(Ms(t));
        }
        const Row row{fs::path(picture).stem().string(), bench::Median(ours), bench::Median(djpeg)};
        std::printf("%-26s %8.1f %8.1f %7.2f  %s\n", row.name.c_str(), row.ours, row.djpeg, row.ours / row.djpeg,
                    (SizeOf(prv) + " " + SizeOf(thm)).c_str());
        std::fflush(stdout);
        if (picture != pictures.back()) perDjpeg.push_back(row.ours / row.djpeg);  // the synthetic picture stays out
    }

    // The batches take the corpus pictures only, the same files on every side.
    const int count = static_cast<int>(corpus.size());
    const fs::path ourOut = folder / "ours", vprv = folder / "vips-prv", vthm = folder / "vips-thm",
                   mprv = folder / "im-prv", mthm = folder / "im-thm";
    std::vector<double> ours, vips, magick;
    bool allMade = true;
    for (int r = 0; r < runs; ++r) {
        ours.push_back(OursBatch(corpus, Emptied(ourOut), workspace));

        auto t = Clock::now();
        peersRan &= RunPass({"vipsthumbnail", "-s", box(editor::kPreviewBox), "-o", (Emptied(vprv) / "%s.jpg[Q=100]").string()},
                            corpus, oneThread);
        peersRan &= RunPass({"vipsthumbnail", "-s", box(editor::kThumbnailBox), "-o", (Emptied(vthm) / "%s.jpg[Q=100]").string()},
                            JpegsIn(vprv), oneThread);
        vips.push_back(Ms(t));

        t = Clock::now();
        peersRan &= RunPass({"mogrify", "-path", Emptied(mprv).string(), "-define", "jpeg:size=" + hint(editor::kPreviewBox),
                             "-filter", "Triangle", "-resize", box(editor::kPreviewBox), "-quality", "100"},
                            corpus, oneThread);
        peersRan &= RunPass({"mogrify", "-path", Emptied(mthm).string(), "-define", "jpeg:size=" + hint(editor::kThumbnailBox),
                             "-filter", "Triangle", "-resize", box(editor::kThumbnailBox), "-quality", "100"},
                            JpegsIn(mprv), oneThread);
        magick.push_back(Ms(t));
        for (const fs::path& made : {vprv, vthm, mprv, mthm}) allMade &= static_cast<int>(JpegsIn(made).size()) == count;
    }
    const double oursEach = bench::Median(ours) / count, vipsEach = bench::Median(vips) / count,
                 magickEach = bench::Median(magick) / count;
    std::printf("\nBatch of the %d corpus pictures; per picture = the median total over the count, ms. \"ours\" times\n"
                "both passes of every picture in this one process; \"vips\" times two vipsthumbnail processes, one\n"
                "over all the pictures (previews, -s %s) then one over the previews it wrote (thumbnails,\n"
                "-s %s), VIPS_CONCURRENCY=1, shrink-on-load; \"IM\" times two mogrify processes the same way\n"
                "(-define jpeg:size=, -filter Triangle -resize, MAGICK_THREAD_LIMIT=1); quality 100 on every side.\n",
                count, box(editor::kPreviewBox).c_str(), box(editor::kThumbnailBox).c_str());
    std::printf("%-26s %8s %8s %8s %7s %7s\n", "", "ours", "vips", "IM", "vips/us", "IM/us");
    std::printf("%-26s %8.1f %8.1f %8.1f %7.2f %7.2f\n", "per picture", oursEach, vipsEach, magickEach, vipsEach / oursEach,
                magickEach / oursEach);
    std::printf("sizes as ours: vips %d and %d, IM %d and %d of %d previews and thumbnails\n",
                SameSizes(corpus, vprv, ourOut, "prv_"), SameSizes(corpus, vthm, ourOut, "thm_"),
                SameSizes(corpus, mprv, ourOut, "prv_"), SameSizes(corpus, mthm, ourOut, "thm_"), count);
    fs::remove_all(folder);

    std::printf("\nload average after: %s\n", bench::MachineLoad().c_str());
    const bool valid = peersRan && allMade;
    if (!valid) std::printf("a peer failed to run or made too few files (djpeg, vipsthumbnail or mogrify): its figures are not valid\n");
    std::printf("summary: djpeg, the median over the %zu corpus pictures of the per-picture ratios; the peers, their batches\n",
                perDjpeg.size());
    std::printf("pictures: %.2f times djpeg, %.2f times faster than vipsthumbnail, %.2f times faster than ImageMagick\n",
                bench::Median(perDjpeg), vipsEach / oursEach, magickEach / oursEach);
    return valid ? 0 : 1;
}
