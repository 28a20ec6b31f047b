#include "editor/portable/picture_names.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

TEST(PictureNames, PreviewAndThumbnailNamesFollowTheSourceName) {
    EXPECT_EQ(PreviewName("beach.jpg"), "prv_beach.jpg");
    EXPECT_EQ(ThumbnailName("beach.jpeg"), "thm_beach.jpeg");
    const struct { const char* thumbnail; const char* preview; } cases[] = {
        {"thm_beach.jpg", "prv_beach.jpg"},
        {"thm_thm_x.jpg", "prv_thm_x.jpg"},  // only the first prefix goes
        {"thm_.jpg", "prv_.jpg"},
        {"THM_Beach.JPG", "prv_Beach.JPG"},
    };
    for (const auto& c : cases) EXPECT_EQ(PreviewOfThumbnail(c.thumbnail), c.preview) << c.thumbnail;
}

TEST(PictureNames, MenuCaptionsNameTheirCategoryFolders) {
    const struct { const char* caption; const char* folder; } cases[] = {
        {"Glamour - Fashion", "GlamourFashion"}, {"&Implied Nudity", "ImpliedNudity"},
        {"Art && Nudes", "Art&Nudes"},  // only the first ampersand is an accelerator mark
        {"General", "General"},
    };
    for (const auto& c : cases) EXPECT_EQ(FolderOfMenuCaption(c.caption), c.folder) << c.caption;
}

// The grid's filter and the site build take the same pictures.
TEST(PictureNames, ThumbnailsAreJpgOrJpegFilesWithThePrefixInAnyCase) {
    const struct { const char* name; bool thumbnail; } cases[] = {
        {"thm_beach.jpg", true}, {"THM_Beach.JPEG", true}, {"thm_a.Jpeg", true}, {"thm_.jpg", true},
        {"prv_beach.jpg", false}, {"thmbeach.jpg", false}, {"thm_beach.jpg.tmp", false},
        {"thm_beach.png", false}, {"thm_beachjpg", false}, {"thm_", false}, {"~moving_thm_a.jpg", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsThumbnailName(c.name), c.thumbnail) << c.name;
    EXPECT_EQ(std::string(kThumbnailFilter), "Thumbnails|thm_*.jpg|Thumbnails|thm_*.jpeg");
}

}  // namespace
}  // namespace editor
