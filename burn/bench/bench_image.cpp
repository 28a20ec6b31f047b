// The image benchmark. Times, as the median of 5 after one untimed round, taking turns:
//  (a) the copy floor: image_copy_floor.exe under Wine copies the tree's files into one file in
//      63488-byte blocks;
//  (b) ours: burn_mkimage.exe under Wine masters the tree into an image file;
//  (c) genisoimage -quiet -J -o on the same tree;
//  (d) layout only: listing a tree of 3000 folders and 6000 files and PrepareImage, against
//      genisoimage -quiet -J -print-size of the same tree (both single-threaded, both list the tree).
// The tree is site-like, about 600 MB in 6000 files and 300 folders, made once with a fixed seed.
// The images of (a) to (c) go to one RAM-backed folder and each is removed, untimed, right after
// its run: (a) and (b) both flush their output as they always do, and no run pays for a disk
// write-back of its own or another's output, which made the floor swing with the disk's load.
// (a) and (b) are timed by themselves, from the start of main to their output flushed: Wine's
// process start-up (0.2 s idle, up to 0.9 s on a loaded machine) is the same on both sides and
// was most of the rest of the swing. Their wall times are printed beside.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "burn/portable/cd_burner.h"
#include "burn/portable/joliet_names.h"
#include "tests/support/bench_figures.h"

namespace fs = std::filesystem;

namespace {

const fs::path kWork = fs::path(VANTRELL_BUILD) / "bench-image";
const fs::path kOutput = fs::path("/dev/shm") / ("vantrell-bench-image-" + std::to_string(getpid()));

void MakeFile(const fs::path& path, std::size_t size, std::mt19937& random) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; i += 4) {
        const std::uint32_t v = random();
        std::copy_n(reinterpret_cast<const char*>(&v), std::min<std::size_t>(4, size - i), bytes.data() + i);
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

// 1050 galleries' worth of pictures (400 KB), previews (150 KB) and thumbnails (20 KB), and 2850
// pages (3 KB), sizes within 10 %, spread over 300 folders.
fs::path SiteTree() {
    const fs::path root = kWork / "site";
    if (fs::exists(kWork / "site.done")) return root;
    fs::remove_all(root);
    std::mt19937 random(20261210);
    std::vector<fs::path> folders;
    for (int i = 0; i < 300; ++i) {
        folders.push_back(i < 20 ? root / ("section " + std::to_string(i))
                                 : folders[i % 20] / ("gallery_" + std::to_string(i)));
        fs::create_directories(folders.back());
    }
    auto jitter = [&](std::size_t kb) { return kb * 1024 * (90 + random() % 21) / 100; };
    int n = 0;
    for (int i = 0; i < 1050; ++i) {
        const fs::path& f = folders[random() % folders.size()];
        const std::string name = "IMG_" + std::to_string(1000 + i) + ".jpg";
        MakeFile(f / name, jitter(400), random);
        MakeFile(f / ("prv_" + name), jitter(150), random);
        MakeFile(f / ("thm_" + name), jitter(20), random);
        n += 3;
    }
    for (int i = 0; i < 2850; ++i) MakeFile(folders[random() % folders.size()] / ("page" + std::to_string(i) + ".html"), jitter(3), random);
    std::ofstream(kWork / "site.done") << n + 2850 << " files\n";
    return root;
}

fs::path LayoutTree() {
    const fs::path root = kWork / "layout";
    if (fs::exists(kWork / "layout-3000.done")) return root;
    fs::remove_all(root);
    std::mt19937 random(7);
    // 60 folders of 49 sub folders: 3000 folders, each with 2 files.
    for (int top = 0; top < 60; ++top) {
        for (int sub = -1; sub < 49; ++sub) {
            const fs::path d = root / ("folder " + std::to_string(top)) / (sub < 0 ? "" : "sub folder " + std::to_string(sub));
            fs::create_directories(d);
            for (int f = 0; f < 2; ++f) MakeFile(d / ("file number " + std::to_string(f) + ".html"), 100 + random() % 4000, random);
        }
    }
    std::ofstream(kWork / "layout-3000.done") << "3000 folders\n";
    return root;
}

std::size_t CountFolders(const fs::path& root) {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(root)) n += e.is_directory();
    return n;
}

class PosixLister final : public burn::FolderLister {
public:
    std::vector<burn::ListingRecord> List(const std::u16string& folder, const std::u16string&) override {
        std::string path = burn::Utf8(folder);
        std::replace(path.begin(), path.end(), '\\', '/');
        std::vector<burn::ListingRecord> out;
        DIR* dir = opendir(path.c_str());
        if (!dir) return out;
        while (dirent* e = readdir(dir)) {
            struct stat st{};
            if (stat((path + e->d_name).c_str(), &st) != 0) continue;
            burn::ListingRecord r;
            r.name = burn::Utf16(e->d_name);
            r.size = static_cast<std::uint64_t>(st.st_size);
            r.attributes = S_ISDIR(st.st_mode) ? burn::kAttrDirectory : burn::kAttrArchive;
            out.push_back(std::move(r));
        }
        closedir(dir);
        return out;
    }
};

class NoFiles final : public burn::FileSource {
public:
    std::unique_ptr<burn::SourceFile> Open(const std::u16string&) override { return nullptr; }
};

// No device layer is loaded: the burner sends no command and never waits.
class NoClock final : public burn::CommandClock {
public:
    void Sleep(std::uint32_t) override {}
    std::unique_ptr<burn::CommandEvent> NewEvent() override { return nullptr; }
};

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Contender {
    std::string name;
    // Runs once; the seconds the program measured itself, or a negative value: the wall time counts.
    std::function<double()> run;
    fs::path output;  // when set: removed, untimed, after each run
};

// Medians of 5 after one untimed round that warms the page cache and Wine. The contenders take
// turns within each round, so that the load of a shared machine falls on all of them alike.
// The output sizes of the last round come back in sizes.
std::vector<double> Medians(const std::vector<Contender>& contenders, std::vector<std::uintmax_t>* sizes = nullptr) {
    std::vector<std::vector<double>> times(contenders.size()), walls(contenders.size());
    if (sizes) sizes->assign(contenders.size(), 0);
    for (int round = -1; round < 5; ++round) {
        for (std::size_t i = 0; i < contenders.size(); ++i) {
            double own = -1;
            const double wall = Seconds([&] { own = contenders[i].run(); });
            if (round >= 0) {
                times[i].push_back(own >= 0 ? own : wall);
                walls[i].push_back(wall);
            }
            if (!contenders[i].output.empty()) {
                std::error_code ignored;
                if (sizes) (*sizes)[i] = fs::file_size(contenders[i].output, ignored);
                fs::remove(contenders[i].output, ignored);
            }
        }
    }
    std::vector<double> medians;
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::printf("  %-28s runs:", contenders[i].name.c_str());
        for (double x : times[i]) std::printf(" %.3f", x);
        if (times[i] != walls[i]) std::printf("  (wall, with Wine's start: median %.3f)", bench::Median(walls[i]));
        std::printf("\n");
        medians.push_back(bench::Median(times[i]));
    }
    return medians;
}

void Run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1 </dev/null").c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// Runs a program that ends by writing "elapsed SECONDS" to its standard error; gives those seconds.
// The error output goes to a file: a pipe would also wait for the wineserver that inherits it.
double RunSelfTimed(const std::string& command) {
    const fs::path errors = kOutput / "stderr.txt";
    const int status = std::system((command + " >/dev/null 2>" + "'" + errors.string() + "' </dev/null").c_str());
    std::ifstream in(errors);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const std::size_t at = text.rfind("elapsed ");
    if (status != 0 || at == std::string::npos) {
        std::fprintf(stderr, "failed: %s\n%s", command.c_str(), text.c_str());
        std::exit(1);
    }
    return std::strtod(text.c_str() + at + 8, nullptr);
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }
std::string Windows(const fs::path& p) {
    std::string s = "Z:" + p.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

std::string Wine(const std::string& exe, const std::string& args) {
    const char* prefix = std::getenv("WINEPREFIX");
    return "WINEPREFIX=" + Quote(prefix ? prefix : VANTRELL_WINE_PREFIX) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' wine " + Quote(exe) + " " + args;
}

}  // namespace

int main() {
    const fs::path winBurn = fs::path(VANTRELL_BUILD) / "win" / "burn";
    for (const char* exe : {"burn_mkimage.exe", "image_copy_floor.exe"}) {
        if (!fs::exists(winBurn / exe)) {
            std::fprintf(stderr, "%s missing: build the Windows tree first (./build.sh)\n", exe);
            return 1;
        }
    }
    fs::create_directories(kWork);
    std::printf("making the trees under %s (once)...\n", kWork.c_str());
    std::fflush(stdout);
    const fs::path site = SiteTree();
    const fs::path layout = LayoutTree();

    std::uint64_t bytes = 0;
    std::size_t files = 0;
    {
        std::ofstream list(kWork / "files.txt");
        std::vector<fs::path> all;
        for (const auto& e : fs::recursive_directory_iterator(site)) {
            if (e.is_regular_file()) all.push_back(e.path());
        }
        std::sort(all.begin(), all.end());
        for (const auto& p : all) {
            list << Windows(p) << "\n";
            bytes += fs::file_size(p);
            ++files;
        }
    }
    fs::create_directories(kOutput);
    const fs::path floorOut = kOutput / "floor.bin", ours = kOutput / "ours.iso", theirs = kOutput / "genisoimage.iso";
    PosixLister lister;
    NoFiles none;
    NoClock clock;
    std::uint32_t sectors = 0;
    std::vector<std::uintmax_t> sizes;
    const std::vector<double> image = Medians({
        {"(a) copy floor", [&] {
             return RunSelfTimed(Wine((winBurn / "image_copy_floor.exe").string(),
                                      Quote(Windows(kWork / "files.txt")) + " " + Quote(Windows(floorOut))));
         }, floorOut},
        {"(b) burn_mkimage", [&] {
             return RunSelfTimed(
                 Wine((winBurn / "burn_mkimage.exe").string(), Quote(Windows(site)) + " " + Quote(Windows(ours))));
         }, ours},
        {"(c) genisoimage", [&] {
             Run("genisoimage -quiet -J -o " + Quote(theirs.string()) + " " + Quote(site.string()));
             return -1.0;
         }, theirs},
    }, &sizes);
    fs::remove_all(kOutput);
    const double floor = image[0], mastering = image[1], peer = image[2];
    std::printf("image sizes: ours %.1f MB, genisoimage %.1f MB, copy floor %.1f MB\n", sizes[1] / 1e6, sizes[2] / 1e6,
                sizes[0] / 1e6);
    const std::vector<double> layouts = Medians({
        {"(d) listing + PrepareImage", [&] {
             burn::AspiLayer noLayer;
             burn::TCDBurner burner(noLayer, clock, none);
             burner.tree.lister = &lister;
             burner.tree.InsertDir(burner.tree.Root(), burn::Utf16(layout.string() + "/"), false, false, true, 63,
                                   u"*.*");
             burner.PrepareImage({}, {}, 0);
             sectors = burner.ImageSectors();
             return -1.0;
         }, {}},
        {"(d) genisoimage -print-size", [&] {
             Run("genisoimage -quiet -J -print-size " + Quote(layout.string()));
             return -1.0;
         }, {}},
    });
    const double layoutOurs = layouts[0], layoutPeer = layouts[1];

    std::printf("site tree: %zu files, %.1f MB, 300 folders; layout tree: %zu folders, 6000 files (%u sectors)\n", files,
                bytes / 1e6, CountFolders(layout), sectors);

    std::printf("median of 5, seconds; images written to RAM, each flushed by its maker\n");
    std::printf("%-58s %9.3f\n", "(a) copy floor: Win32 copy in 63488-byte blocks, Wine (own)", floor);
    std::printf("%-58s %9.3f\n", "(b) burn_mkimage.exe, Wine (own: listing to image flushed)", mastering);
    std::printf("%-58s %9.3f\n", "(c) genisoimage -quiet -J -o", peer);
    std::printf("%-58s %9.3f\n", "(d) listing + PrepareImage, 3000 folders / 6000 files", layoutOurs);
    std::printf("%-58s %9.3f\n", "(d) genisoimage -quiet -J -print-size, same tree", layoutPeer);
    std::printf("machine load (1, 5, 15 min): %s\n", bench::MachineLoad().c_str());
    std::printf("image: %.2f times the copy floor, %.2f times genisoimage; layout %.2f times genisoimage -print-size\n",
                mastering / floor, mastering / peer, layoutOurs / layoutPeer);
    return 0;
}
