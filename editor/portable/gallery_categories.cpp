#include "editor/portable/gallery_categories.h"

namespace editor {
namespace {

// Art Nudes takes %ARTNUDE%, the keyword the biography also uses for its interest box.
constexpr GalleryCategory kCategories[] = {
    {"General", "general", "General", "%GENERAL%"},
    {"Glamour - Fashion", "glamourfashion", "GlamourFashion", "%GLAMOURFASHION%"},
    {"Swimwear", "swimwear", "Swimwear", "%SWIMWEAR%"},
    {"Lingerie", "lingerie", "Lingerie", "%LINGERIE%"},
    {"Sheer", "sheer", "Sheer", "%SHEER%"},
    {"Implied Nudity", "impliednudity", "ImpliedNudity", "%IMPLIEDNUDITY%"},
    {"Art Nudes", "artnudes", "ArtNudes", "%ARTNUDE%"},
    {"Miscellaneous", "miscellaneous", "Miscellaneous", "%MISCELLANEOUS%"},
};

}  // namespace

std::span<const GalleryCategory> GalleryCategories() { return kCategories; }

}  // namespace editor
