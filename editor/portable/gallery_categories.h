// The eight fixed picture categories, in the order every page and the site build use.
#pragma once

#include <span>
#include <string_view>

namespace editor {

struct GalleryCategory {
    std::string_view caption;  // category button and menu caption
    std::string_view key;      // folder name in lower case; the site's anchor name
    std::string_view folder;   // folder under "Galleries\"
    std::string_view keyword;  // the galleries page's placeholder for this category's table
};

std::span<const GalleryCategory> GalleryCategories();

}  // namespace editor
