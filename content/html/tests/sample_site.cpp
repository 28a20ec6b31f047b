// Builds a sample portfolio from a template folder on the host file system, for the browser
// and validator checks: sample_site <template folder> <work folder> [RECORDS]. The site lands
// in <work folder>/Distributable/Sample/; RECORDS gives the work history and the photographers
// that many records each, drawn in turn from a few of different shapes.
#include "editor/portable/gallery_categories.h"
#include "editor/portable/site_build.h"
#include "forms/portable/jpeg_codec.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;
using namespace editor;

namespace {

fs::path Native(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

class HostPortfolioFiles : public PortfolioFiles {
public:
    bool FileExists(const std::string& path) override { return fs::is_regular_file(Native(path)); }
    std::string ReadFile(const std::string& path) override {
        std::ifstream in(Native(path), std::ios::binary);
        if (!in) throw std::runtime_error("Cannot open file " + path);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void WriteFile(const std::string& path, const std::string& data) override {
        std::ofstream out(Native(path), std::ios::binary);
        if (!(out << data)) throw std::runtime_error("Cannot create file " + path);
    }
    void MakeFolders(const std::string& folder) override { fs::create_directories(Native(folder)); }
    std::vector<FileEntry> List(const std::string& folder) override {
        std::vector<FileEntry> entries;
        if (!fs::is_directory(Native(folder))) return entries;
        for (const auto& e : fs::directory_iterator(Native(folder)))
            entries.push_back({e.path().filename().string(), e.is_directory()});
        return entries;
    }
    void Copy(const std::string& source, const std::string& target) override {
        fs::copy_file(Native(source), Native(target), fs::copy_options::overwrite_existing);
    }
    void Rename(const std::string& source, const std::string& target) override {
        fs::rename(Native(source), Native(target));
    }
    void Remove(const std::string& path) override { fs::remove(Native(path)); }
};

void Picture(const fs::path& path, int width, int height, int hue) {
    forms::PixelBuffer pixels(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto* p = pixels.row(y) + x * 3;
            p[0] = static_cast<std::uint8_t>((hue * 37 + x * 200 / width) & 0xFF);
            p[1] = static_cast<std::uint8_t>((hue * 91 + y * 160 / height) & 0xFF);
            p[2] = static_cast<std::uint8_t>(120 + hue * 13 % 100);
        }
    const auto jpeg = forms::EncodeJpeg(pixels.view());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), jpeg.size());
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: sample_site <template folder> <work folder> [RECORDS]\n";
        return 2;
    }
    const fs::path root = fs::absolute(argv[2]);
    fs::remove_all(root);
    fs::create_directories(root / "html");
    fs::copy(argv[1], root / "html" / "Default", fs::copy_options::recursive);
    // Pictures in three galleries, five in one (a second, open row) and awkward names.
    const struct { const char* folder; const char* name; int w, h; } pictures[] = {
        {"General", "beach.jpg", 834, 540}, {"General", "a b#1%.jpg", 500, 754}, {"General", "studio.jpg", 750, 754},
        {"General", "city.jpg", 834, 624},  {"General", "park&lake.jpg", 500, 754},
        {"Swimwear", "pool.jpg", 834, 540}, {"Miscellaneous", "my pic (2).jpg", 600, 600},
    };
    int hue = 0;
    for (const auto& p : pictures) {
        const fs::path folder = root / "Galleries" / p.folder;
        fs::create_directories(folder);
        Picture(folder / (std::string("prv_") + p.name), p.w, p.h, ++hue);
        Picture(folder / (std::string("thm_") + p.name), p.w * 150 / 834, p.h * 150 / 834, hue);
    }
    for (const auto& c : GalleryCategories()) fs::create_directories(root / "Galleries" / std::string(c.folder));

    SiteContent content;
    content.biography = {
        {"%MODELNAME%", "Ann Example"}, {"%MODELEMAIL%", "ann@example.com"}, {"%MODELURL%", "www.example.com"},
        {"%MODELWEBSITE%", "www.example.com"}, {"%MODELTOWN%", "Leeds"}, {"%MODELSTATE%", "West Yorkshire"},
        {"%MODELAGE%", "24 Years Of age."}, {"%MODELBODYTYPE%", "Slim to Medium"}, {"%MODELHEIGHT%", "5' 9\""},
        {"%MODELHAIRCOLOR%", "Auburn"}, {"%MODELHAIRLENGTH%", "Long and Wavy"}, {"%MODELEYECOLOR%", "Green"},
        {"%MODELCHEST%", "34 inches"}, {"%MODELWAIST%", "25 inches"}, {"%MODELHIPS%", "35 inches"},
        {"%CATWALK%", "Yes"}, {"%PHOTOGRAPHIC%", "Yes"}, {"%FASHION%", "Yes"}, {"%SWIMWEAR%", "Yes"},
    };
    for (const auto& k : BiographyKeywords())
        if (!content.biography.count(std::string(k.keyword)))
            content.biography[std::string(k.keyword)] = k.source == BiographySource::YesNo ? "No" : "";
    content.work = {{"North Studio & Co", "0113 555 0100", "bookings@north.example", "https://north.example",
                     "Studio", "Catalogue shoot, two days.\r\nBooked again for the spring range."},
                    {"Harbour Fashion Week", "", "", "", "On Location", "Catwalk, four shows."}};
    content.photographers = {{"Pat Lens", "07700 900123", "pat@lens.example", "lens.example", "Location and Studio",
                              "Portfolio update <2025>."}};
    if (argc == 4) {
        // Names, phone numbers (with blanks, hyphens, brackets, one long) and
        // comments of different lengths, so that no two rows size their cells alike.
        const JobRecord shapes[] = {
            {"North Studio & Co", "0113 555 0100", "bookings@north.example", "https://north.example", "Studio",
             "Catalogue shoot, two days.\r\nBooked again for the spring range."},
            {"Harbour Fashion Week", "", "", "", "On Location", "Catwalk, four shows."},
            {"Pat Lens", "+44 (0)113-496-0000", "pat@lens.example", "lens.example", "Location and Studio",
             "Portfolio update <2025>."},
            {"Studio Nine", "0113 496 0000 (evenings) or 07700 900123 (days)", "nine@example.com", "", "Studio", ""},
        };
        const int records = std::stoi(argv[3]);
        content.work.clear();
        content.photographers.clear();
        for (int i = 0; i < records; ++i) {
            JobRecord work = shapes[i % std::size(shapes)], photographer = shapes[(i + 2) % std::size(shapes)];
            work.name += " " + std::to_string(i + 1);
            photographer.name += " " + std::to_string(i + 1);
            content.work.push_back(work);
            content.photographers.push_back(photographer);
        }
    }
    content.websites = {{"Agency Board", "https://agency.example/ann", "My agency profile."}};

    HostPortfolioFiles files;
    SiteBuild build(files, root.string() + "/");
    build.OnLog = [](const std::string& line) { std::cout << line << "\n"; };
    build.Run("Default", "Sample", content);
    return 0;
} catch (const std::exception& e) {
    std::cerr << "sample_site: " << e.what() << "\n";
    return 1;
}
