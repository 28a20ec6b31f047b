#include "editor/portable/picture_names.h"

#include "forms/portable/text_case.h"

#include <algorithm>

namespace editor {

std::string PreviewName(std::string_view sourceName) { return std::string(kPreviewPrefix) + std::string(sourceName); }
std::string ThumbnailName(std::string_view sourceName) { return std::string(kThumbnailPrefix) + std::string(sourceName); }

std::string PreviewOfThumbnail(std::string_view thumbnailName) {
    // File names ignore case, so "THM_A.JPG" is the thumbnail of "prv_A.JPG".
    for (size_t at = 0; at + kThumbnailPrefix.size() <= thumbnailName.size(); ++at)
        if (forms::SameTextAscii(thumbnailName.substr(at, kThumbnailPrefix.size()), kThumbnailPrefix))
            return PreviewName(thumbnailName.substr(at + kThumbnailPrefix.size()));
    return PreviewName(thumbnailName);
}

bool IsThumbnailName(std::string_view name) {
    if (!forms::StartsWithTextAscii(name, kThumbnailPrefix)) return false;
    const auto rest = name.substr(kThumbnailPrefix.size());
    return forms::EndsWithTextAscii(rest, ".jpg") || forms::EndsWithTextAscii(rest, ".jpeg");
}

bool IsGalleryFileName(std::string_view name) {
    return forms::StartsWithTextAscii(name, kPreviewPrefix) || forms::StartsWithTextAscii(name, kThumbnailPrefix);
}

std::string FolderOfMenuCaption(std::string_view caption) {
    std::string text(caption);
    if (const auto amp = text.find('&'); amp != std::string::npos) text.erase(amp, 1);
    std::erase_if(text, [](char c) { return c == ' ' || c == '-'; });
    return text;
}

}  // namespace editor
