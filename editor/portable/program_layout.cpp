#include "editor/portable/program_layout.h"

#include "editor/portable/gallery_categories.h"
#include "editor/portable/gallery_store.h"

#include <vector>

namespace editor {

std::span<const std::string_view> StartupFolders() {
    // The galleries' folders follow the one table of categories.
    static const std::vector<std::string> folders = [] {
        std::vector<std::string> list;
        for (const auto& c : GalleryCategories()) list.push_back(std::string(kGalleriesFolder) + "\\" + std::string(c.folder));
        list.emplace_back("Comment Files");
        return list;
    }();
    static const std::vector<std::string_view> views(folders.begin(), folders.end());
    return views;
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string FolderOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace editor
