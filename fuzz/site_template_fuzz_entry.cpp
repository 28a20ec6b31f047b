#include "fuzz/site_template_fuzz_entry.h"

#include "editor/portable/gallery_categories.h"
#include "editor/portable/gallery_store.h"
#include "editor/portable/picture_names.h"
#include "editor/portable/site_build.h"
#include "tests/support/memory_portfolio_files.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace fuzz {
namespace {

using editor::testing_files::MemoryPortfolioFiles;

constexpr const char* kProgram = "C:\\V\\";
// Keeps a huge value's pages within memory: a template may repeat its keyword thousands of times.
constexpr std::size_t kMostRepeatedBytes = 32 * 1024;

std::vector<std::string> Split(std::string_view text, std::string_view end) {
    std::vector<std::string> parts;
    for (;;) {
        const auto at = text.find(end);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + end.size());
    }
}

std::string Part(const std::vector<std::string>& parts, std::size_t i) { return i < parts.size() ? parts[i] : std::string(); }

// A name the file system could hold: no separators, drive colon or NUL.
std::string FileName(std::string name) {
    std::erase_if(name, [](char c) { return c == '\\' || c == '/' || c == ':' || c == '\0'; });
    return name.empty() ? "x" : name;
}

struct Portfolio {
    MemoryPortfolioFiles files;
    editor::SiteContent content;
    std::size_t biography = 0;  // the next keyword to fill
};

void AddItem(Portfolio& p, const std::string& field) {
    if (field.empty()) return;
    const std::string rest = field.substr(1);
    const auto parts = Split(rest, std::string_view(&kPartEnd, 1));
    const auto keywords = editor::BiographyKeywords();
    switch (field[0]) {
    case 'b':
    case 'h': {
        if (p.biography >= keywords.size()) return;
        std::string value = field[0] == 'b' ? rest : rest.substr(std::min<std::size_t>(1, rest.size()));
        if (field[0] == 'h' && !rest.empty() && !value.empty()) {
            const std::size_t n = static_cast<unsigned char>(rest[0]);
            const std::size_t copies = std::min(n * n, kMostRepeatedBytes / value.size());
            std::string huge;
            huge.reserve(copies * value.size());
            for (std::size_t i = 0; i < copies; ++i) huge += value;
            value = std::move(huge);
        }
        p.content.biography[std::string(keywords[p.biography++].keyword)] = value;
        break;
    }
    case 'w':
    case 'p':
        (field[0] == 'w' ? p.content.work : p.content.photographers)
            .push_back({Part(parts, 0), Part(parts, 1), Part(parts, 2), Part(parts, 3), Part(parts, 4), Part(parts, 5)});
        break;
    case 's': p.content.websites.push_back({Part(parts, 0), Part(parts, 1), Part(parts, 2)}); break;
    case 'g': {
        if (rest.size() < 2) return;
        const auto categories = editor::GalleryCategories();
        const auto& category = categories[static_cast<unsigned char>(rest[0]) % categories.size()];
        const std::string folder = editor::GalleryStore(p.files, kProgram).Folder(category.folder);
        const std::string name = FileName(rest.substr(2));
        p.files.Put(folder + editor::ThumbnailName(name), "thumbnail of " + name);
        if (!(rest[1] & 1)) p.files.Put(folder + editor::PreviewName(name), "preview of " + name);
        break;
    }
    case 'f': {
        if (rest.empty()) return;
        const std::string folder = std::string(kProgram) + "html\\T\\" + (rest[0] & 1 ? "files\\" : "");
        const auto named = Split(rest.substr(1), std::string_view(&kPartEnd, 1));
        p.files.Put(folder + FileName(named[0]), rest.substr(1 + named[0].size() + (named.size() > 1 ? 1 : 0)));
        break;
    }
    default: break;
    }
}

}  // namespace

void FuzzSiteTemplateOnce(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> fields =
        Split(std::string_view(reinterpret_cast<const char*>(data), size), kFieldEnd);
    Portfolio p;
    p.files.MakeFolders(kProgram);
    std::size_t field = 0;
    for (const auto& page : editor::TemplatePages()) {
        const std::string folder = std::string(kProgram) + "html\\T\\" + (page.inFiles ? "files\\" : "");
        p.files.Put(folder + std::string(page.name), Part(fields, field++));
    }
    for (; field < fields.size(); ++field) AddItem(p, fields[field]);

    editor::SiteBuild build(p.files, kProgram);
    std::size_t logged = 0;
    build.OnLog = [&](const std::string& line) { logged += line.size(); };
    build.Run("T", "P", p.content);

    // Every byte written is read (a hash, not a loop the fuzzer instruments byte by byte).
    std::size_t sum = logged;
    for (const auto& path : p.files.Files()) sum += std::hash<std::string>{}(p.files.ReadFile(path));
    if (sum == 1) std::memset(&sum, 0, sizeof sum);  // keeps the reads from being optimised away
}

}  // namespace fuzz
