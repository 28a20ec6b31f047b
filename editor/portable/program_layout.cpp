#include "editor/portable/program_layout.h"

namespace editor {
namespace {

constexpr std::string_view kStartupFolders[] = {
    "Galleries\\General", "Galleries\\GlamourFashion", "Galleries\\Swimwear",
    "Galleries\\Lingerie", "Galleries\\Sheer", "Galleries\\ImpliedNudity",
    "Galleries\\ArtNudes", "Galleries\\Miscellaneous", "Comment Files",
};

}  // namespace

std::span<const std::string_view> StartupFolders() { return kStartupFolders; }

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string FolderOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace editor
