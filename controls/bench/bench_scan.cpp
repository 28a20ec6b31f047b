// Prints how long the thumbnail view, set up as the editor's, takes from Directory set to the
// last cell painted (every picture decoded and placed in its cell; the cells in view, the only
// ones with windows, painted), beside vipsthumbnail making 150-pixel thumbnails of the same files:
//   - a portfolio's galleries: 1,000 thumbnails made by the editor's own pipeline;
//   - a folder of 500 camera pictures from the photo corpus (4, 12 and 24 megapixels);
//   - the growth: 2,000 and 10,000 of the small thumbnails;
//   - the scroll end to end of the 10,000: top to bottom and back, ten view heights a step, each
//     step's cells in view painted (windows made for the cells coming in, given back by those
//     far out of view).
// The scan decodes ahead on as many threads as there are processors; vipsthumbnail runs as
// that many processes of one worker thread each over the same files (xargs -P), each taking
// 16 files at a time.
//   bench_scan [RUNS] [growth]    (runs of each timing, default 5, the median printed; with
//                                  growth, only the growth rows, each cell's time printed)
// The folders are made on the first run, beside this program, and kept for the next ones.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "controls/thumb_view.h"
#include "editor/portable/picture_processing.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/gdi_handle.h"
#include "tests/support/bench_figures.h"

namespace {

constexpr const char* kVips = "/usr/bin/vipsthumbnail";
constexpr int kGalleryThumbnails = 1000;
constexpr int kCameraPictures = 500;
constexpr int kGrowthCounts[] = {2000, 10000};
// The corpus's default: every size (4, 12, 24 MP) of every kind (4:2:0, 4:2:2, 4:4:4,
// progressive, grey) once.
constexpr int kCorpusPhotos = 15;

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

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string UnixPath(const std::string& windowsPath) {
    std::string s = windowsPath;
    if (s.size() >= 2 && (s[0] == 'Z' || s[0] == 'z') && s[1] == ':') s = s.substr(2);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

std::vector<std::string> FilesMatching(const std::string& folder, const std::string& mask) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    forms::UniqueFind search(forms::NullIfInvalid(FindFirstFileA((folder + mask).c_str(), &found)));
    if (!search) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

void DeleteFiles(const std::string& folder, const std::string& mask) {
    for (const std::string& name : FilesMatching(folder, mask)) DeleteFileA((folder + name).c_str());
}

// Runs a shell command line; Wine neither waits for a Unix program nor hands on its exit code
// reliably, so the command leaves a file when it is done, and that file's first word is read.
std::string RunShell(const std::string& script, const std::string& doneFile, int timeoutSeconds) {
    DeleteFileA(doneFile.c_str());
    std::string command = "Z:\\bin\\sh -c \"" + script + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
    forms::UniqueKernelHandle thread(pi.hThread), process(pi.hProcess);
    for (int waited = 0; !Exists(doneFile) && waited < timeoutSeconds * 1000; waited += 20) Sleep(20);
    std::string word;
    std::ifstream(doneFile) >> word;
    return word;
}

// A folder of names made once: the stamp is written last, so a stopped run makes it again.
bool Ready(const std::string& folder) { return Exists(folder + "ready.txt"); }
void MarkReady(const std::string& folder) { std::ofstream(folder + "ready.txt") << "ready\n"; }

// The same file under another name: a hard link where the file system has them.
void Duplicate(const std::string& from, const std::string& to) {
    if (!CreateHardLinkA(to.c_str(), from.c_str(), nullptr)) CopyFileA(from.c_str(), to.c_str(), FALSE);
}

std::string Numbered(const char* prefix, int i) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%05d.jpg", prefix, i + 1);
    return name;
}

// The photo corpus (scripts/photo-corpus.sh), made by its own script.
std::vector<std::string> CorpusPhotos(const std::string& folder) {
    std::vector<std::string> photos = FilesMatching(folder, "*.jpg");
    if (static_cast<int>(photos.size()) >= kCorpusPhotos) return photos;
    std::printf("making the photo corpus in %s (once)...\n", folder.c_str());
    std::fflush(stdout);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string root = UnixPath(ProgramFolder()) + "../../..";
    const std::string done = folder + "made.txt";
    RunShell("cd " + root + " && scripts/photo-corpus.sh " + UnixPath(folder) + " " + std::to_string(kCorpusPhotos) +
                 " >/dev/null && echo ok > " + UnixPath(done),
             done, 1800);
    return FilesMatching(folder, "*.jpg");
}

// A portfolio's gallery: thumbnails made by the editor's pipeline from the corpus, repeated.
void MakeGallery(const std::vector<std::string>& photos, const std::string& photoFolder, const std::string& folder,
                 int count) {
    if (Ready(folder)) return;
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFiles(folder, "thm_*.jpg");
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + Numbered("thm_", i);
        if (i < static_cast<int>(photos.size())) editor::ProcessPictureFile(photoFolder + photos[static_cast<size_t>(i)], name, editor::kThumbnailBox);
        else Duplicate(folder + Numbered("thm_", i % static_cast<int>(photos.size())), name);
    }
    MarkReady(folder);
}

void MakeCopies(const std::string& from, const std::vector<std::string>& names, const std::string& folder,
                const char* prefix, int count) {
    if (Ready(folder)) return;
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFiles(folder, "*.jpg");
    for (int i = 0; i < count; ++i)
        Duplicate(from + names[static_cast<size_t>(i) % names.size()], folder + Numbered(prefix, i));
    MarkReady(folder);
}

struct Bench {
    forms::TForm form{nullptr};
    controls::TThumbView* view = nullptr;

    Bench() {
        using namespace controls;
        form.SetBounds(20, 20, 260, 560);
        view = new TThumbView(&form);
        view->SetBounds(0, 0, 193, 513);
        view->SetAlignView(vtFitToScreen);
        view->SetMaxWidth(150);
        view->SetMaxHeight(150);
        view->SetScrollMode(smVertical);
        view->SetAsButtons(true);
        view->SetTitlePlacement(tpNone);
        view->SetShowShadow(true);
        view->HorzScrollBar()->SetVisible(false);
        view->SetParent(&form);
        form.Show();
        forms::Application->ProcessMessages();  // the first paint and its rescan of nothing
    }

    // Seconds from Directory set to the last cell painted; negative when cells are missing.
    double Scan(const std::string& folder, const std::string& filter, int expected) {
        view->SetDirectory("");
        view->SetFilter(filter);
        forms::Application->ProcessMessages();
        const double start = Seconds();
        view->SetDirectory(folder.substr(0, folder.size() - 1));
        RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        forms::Application->ProcessMessages();
        const double seconds = Seconds() - start;
        if (view->Count() != expected) {
            std::printf("the scan of %s showed %d of %d pictures\n", folder.c_str(), view->Count(), expected);
            return -1;
        }
        return seconds;
    }

    // Scrolls to a position and paints the cells in view.
    void Show(int position) {
        view->VertScrollBar()->SetPosition(position);
        RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
};

// Seconds vipsthumbnail takes for every file of mask in folder, with processes processes;
// negative when it did not make them all.
double RunVips(const std::string& folder, const std::string& mask, int expected, const std::string& outFolder,
               int processes) {
    CreateDirectoryA(outFolder.c_str(), nullptr);
    DeleteFiles(outFolder, "*.*");
    const std::string out = UnixPath(outFolder);
    const std::string done = outFolder + "ns.txt";
    // One worker thread per process (libvips starts one per processor in each by default), so
    // that both sides decode on as many threads as there are processors.
    const std::string vips = "env VIPS_CONCURRENCY=1 " + std::string(kVips) + " -s 150 -o " + out + "%s.jpg";
    const std::string run = "ls " + mask + " | xargs -P " + std::to_string(processes) + " -n 16 " + vips;
    const std::string word = RunShell("cd " + UnixPath(folder) + " && s=$(date +%s%N) && " + run +
                                          " && e=$(date +%s%N) && echo $((e - s)) > " + out + "ns.tmp && mv " + out +
                                          "ns.tmp " + UnixPath(done),
                                      done, 1800);
    const long long ns = word.empty() ? -1 : std::atoll(word.c_str());
    const int made = static_cast<int>(FilesMatching(outFolder, "*.jpg").size());
    if (made != expected) std::printf("vipsthumbnail made %d of %d thumbnails\n", made, expected);
    return made == expected && ns > 0 ? static_cast<double>(ns) / 1e9 : -1;
}

struct Row {
    std::string label;
    int files;
    double ours, vips;  // medians; vips < 0: not run
};

void PrintRow(const Row& r) {
    if (r.vips > 0)
        std::printf("%-40s %7d %10.2f %8.2f %12.2f %8.2f\n", r.label.c_str(), r.files, r.ours, r.ours * 1000 / r.files,
                    r.vips, r.vips / r.ours);
    else
        std::printf("%-40s %7d %10.2f %8.2f %12s %8s\n", r.label.c_str(), r.files, r.ours, r.ours * 1000 / r.files, "-", "-");
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bool growthOnly = argc > 2 && std::string(argv[2]) == "growth";
    const std::string base = ProgramFolder();
    const std::string corpus = base + "scan-corpus\\";
    const std::vector<std::string> photos = CorpusPhotos(corpus);
    if (static_cast<int>(photos.size()) < kCorpusPhotos) {
        std::printf("the photo corpus could not be made in %s\n", corpus.c_str());
        return 1;
    }
    const std::string gallery = base + "scan-gallery\\", camera = base + "scan-camera\\";
    MakeGallery(photos, corpus, gallery, kGalleryThumbnails);
    MakeCopies(corpus, photos, camera, "photo_", kCameraPictures);
    std::vector<std::string> growthFolders;
    const std::vector<std::string> thumbnails = FilesMatching(gallery, "thm_*.jpg");
    for (int count : kGrowthCounts) {
        growthFolders.push_back(base + "scan-growth-" + std::to_string(count) + "\\");
        MakeCopies(gallery, thumbnails, growthFolders.back(), "thm_", count);
    }

    forms::ApplicationScope scope;
    Bench bench;
    const int processes = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::string galleryFilter = "Thumbnails|thm_*.jpg|Thumbnails|thm_*.jpeg";
    auto measure = [&](const std::string& label, const std::string& folder, const std::string& filter,
                       const std::string& mask, int files, bool withVips, int times) {
        std::vector<double> ours, vips;
        for (int i = 0; i < times; ++i) {
            ours.push_back(bench.Scan(folder, filter, files));
            if (withVips) vips.push_back(RunVips(folder, mask, files, base + "scan-vips\\", processes));
        }
        const bool failed = std::any_of(ours.begin(), ours.end(), [](double s) { return s < 0; }) ||
                            std::any_of(vips.begin(), vips.end(), [](double s) { return s < 0; });
        return Row{label, files, failed ? -1 : bench::Median(ours), withVips && !failed ? bench::Median(vips) : -1};
    };

    std::printf("Load before: %s\n", bench::MachineLoad().c_str());
    std::printf("Thumbnail view (under Wine, decoding ahead on %d threads) from Directory set to the last cell painted\n"
                "(every picture decoded and placed in its cell; the cells in view, the only ones with windows, painted),\n"
                "beside vipsthumbnail -s 150 as %d processes of one worker thread each (VIPS_CONCURRENCY=1,\n"
                "xargs -P %d -n 16) on the same files: %d decoding threads on each side; medians of %d runs.\n"
                "The scroll row: the 10,000-cell view from top to bottom and back, ten view heights a step, each\n"
                "step painted, one pass; its last column the milliseconds per step.\n",
                processes, processes, processes, processes, runs);
    std::printf("%-40s %7s %10s %8s %12s %8s\n", "", "files", "view s", "ms/file", "vips s", "ratio");
    if (growthOnly) {
        double last = Seconds();
        bench.view->OnScanProgress = [&](forms::TObject*, int position, bool&) {
            if (position % 1000 != 0) return;
            const double now = Seconds();
            std::printf("  cells %5d to %5d: %.2f ms per cell\n", position - 999, position, (now - last));
            last = now;
        };
        for (std::size_t i = 0; i < growthFolders.size(); ++i) {
            last = Seconds();
            PrintRow(measure("growth", growthFolders[i], galleryFilter, "thm_*.jpg", kGrowthCounts[i], false, 1));
        }
        return 0;
    }
    const Row galleryRow = measure("portfolio gallery, 150-pixel thumbnails", gallery, galleryFilter, "thm_*.jpg",
                                   kGalleryThumbnails, true, runs);
    PrintRow(galleryRow);
    const Row cameraRow = measure("camera pictures, 4 to 24 megapixels", camera, "*.jpg", "photo_*.jpg", kCameraPictures,
                                  true, runs);
    PrintRow(cameraRow);
    std::vector<Row> growth;
    for (std::size_t i = 0; i < growthFolders.size(); ++i) {
        const int count = kGrowthCounts[i];
        growth.push_back(measure("growth, thumbnails", growthFolders[i], galleryFilter, "thm_*.jpg", count, false, runs));
        PrintRow(growth.back());
    }
    // The view still holds the largest folder: scrolled end to end and back.
    if (bench.view->Count() == kGrowthCounts[std::size(kGrowthCounts) - 1]) {
        // One pass: it is thousands of steps already.
        forms::TControlScrollBar* bar = bench.view->VertScrollBar();
        const int page = 10 * bench.view->ClientRect().bottom;
        const int end = bar->Range();
        int steps = 0;
        const double start = Seconds();
        for (int down = 0; down <= end; down += page, ++steps) bench.Show(down);
        for (int up = bar->Position(); up >= 0; up -= page, ++steps) bench.Show(up);
        const double seconds = Seconds() - start;
        std::printf("%-40s %7d %10.2f %8.2f  (ms per step of %d steps)\n", "scroll end to end and back, painted",
                    bench.view->Count(), seconds, seconds * 1000 / std::max(steps, 1), steps);
    }
    // One removal and one change of size move every cell.
    if (bench.view->Count() == kGrowthCounts[std::size(kGrowthCounts) - 1]) {
        std::vector<double> removal, resize;
        for (int i = 0; i < runs; ++i) {
            double start = Seconds();
            bench.view->DeleteItem(0);
            removal.push_back(Seconds() - start);
            start = Seconds();
            bench.view->SetSize(i % 2 ? 100 : 50);
            forms::Application->ProcessMessages();
            resize.push_back(Seconds() - start);
        }
        std::printf("%-40s %7d %10.2f\n", "DeleteItem of the first cell", bench.view->Count(), bench::Median(removal));
        std::printf("%-40s %7d %10.2f\n", "Size 100 to 50 and back", bench.view->Count(), bench::Median(resize));
    }
    std::printf("Load after: %s\n", bench::MachineLoad().c_str());
    if (galleryRow.ours < 0 || cameraRow.ours < 0 || galleryRow.vips < 0 || cameraRow.vips < 0 || growth.back().ours < 0) {
        std::printf("a timing failed; no summary\n");
        return 1;
    }
    std::printf("ratio: vipsthumbnail's time over the view's (above 1: the view is faster); S is the lower of the two.\n"
                "10,000 cells against the 1,000-thumbnail gallery: linear growth would be 10.\n");
    const double s = std::min(galleryRow.vips / galleryRow.ours, cameraRow.vips / cameraRow.ours);
    const double t = growth.back().ours / galleryRow.ours;
    std::printf("scan: %.2f times vipsthumbnail, 10000 cells in %.2f times the time of 1000\n", s, t);
    return 0;
}
