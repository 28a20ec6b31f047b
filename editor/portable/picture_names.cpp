#include "editor/portable/picture_names.h"

#include <algorithm>
#include <cctype>

namespace editor {
namespace {

bool SameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameAscii(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && SameAscii(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

std::string PreviewName(std::string_view sourceName) { return std::string(kPreviewPrefix) + std::string(sourceName); }
std::string ThumbnailName(std::string_view sourceName) { return std::string(kThumbnailPrefix) + std::string(sourceName); }

std::string PreviewOfThumbnail(std::string_view thumbnailName) {
    // File names ignore case, so "THM_A.JPG" is the thumbnail of "prv_A.JPG".
    for (size_t at = 0; at + kThumbnailPrefix.size() <= thumbnailName.size(); ++at)
        if (SameAscii(thumbnailName.substr(at, kThumbnailPrefix.size()), kThumbnailPrefix))
            return PreviewName(thumbnailName.substr(at + kThumbnailPrefix.size()));
    return PreviewName(thumbnailName);
}

bool IsThumbnailName(std::string_view name) {
    if (!StartsWithNoCase(name, kThumbnailPrefix)) return false;
    const auto rest = name.substr(kThumbnailPrefix.size());
    return EndsWithNoCase(rest, ".jpg") || EndsWithNoCase(rest, ".jpeg");
}

bool IsGalleryFileName(std::string_view name) {
    return StartsWithNoCase(name, kPreviewPrefix) || StartsWithNoCase(name, kThumbnailPrefix);
}

std::string FolderOfMenuCaption(std::string_view caption) {
    std::string text(caption);
    if (const auto amp = text.find('&'); amp != std::string::npos) text.erase(amp, 1);
    std::erase_if(text, [](char c) { return c == ' ' || c == '-'; });
    return text;
}

}  // namespace editor
