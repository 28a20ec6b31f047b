// The names of a gallery's files: a picture whose source file is N (with its extension) is
// kept as the preview "prv_" + N beside the thumbnail "thm_" + N. The grid, the store and
// the site build all take pictures by these rules.
#pragma once

#include <string>
#include <string_view>

namespace editor {

inline constexpr std::string_view kPreviewPrefix = "prv_";
inline constexpr std::string_view kThumbnailPrefix = "thm_";
// What the grid lists: thumbnails of ".jpg" and ".jpeg" pictures.
inline constexpr std::string_view kThumbnailFilter = "Thumbnails|thm_*.jpg|Thumbnails|thm_*.jpeg";

// "prv_" + name and "thm_" + name, for a source file name with its extension.
std::string PreviewName(std::string_view sourceName);
std::string ThumbnailName(std::string_view sourceName);
// The preview's name for a thumbnail's file name: the text after its first "thm_".
std::string PreviewOfThumbnail(std::string_view thumbnailName);
// A thumbnail as the grid lists it: "thm_" then a name ending in ".jpg" or ".jpeg", any case.
bool IsThumbnailName(std::string_view name);
// A preview or thumbnail of any picture: "prv_" or "thm_" first, any case.
bool IsGalleryFileName(std::string_view name);

// The category folder a "Move Image to" caption names: its first "&" and every blank and
// hyphen removed.
std::string FolderOfMenuCaption(std::string_view caption);

}  // namespace editor
