// The galleries: one folder per category under "Galleries\", each picture kept there as a
// preview beside its thumbnail (picture_names.h). Listing, deleting and moving pictures go
// through here, over the portfolio's file interface; the galleries page and the site build
// take pictures by the same rules.
#pragma once

#include "editor/portable/portfolio_files.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace editor {

// The folder under the program folder that holds one folder per category.
inline constexpr std::string_view kGalleriesFolder = "Galleries";

struct GalleryPicture {
    std::string thumbnail;  // file names as stored
    std::string preview;    // empty when the thumbnail has no preview
};

struct PictureRemoval {
    bool thumbnail = true;  // false: the file is still there
    bool preview = true;
};

struct PictureMove {
    // The source's thumbnail is gone, so its cell goes from the grid.
    bool thumbnailRemoved = false;
    // Set when the picture is in the target but not all of it left the source.
    std::string problem;
};

class GalleryStore {
public:
    // programFolder has its trailing backslash.
    GalleryStore(PortfolioFiles& files, std::string programFolder);

    // ProgramFolder + "Galleries\" + name + "\"; name is a category's folder or its key
    // (file names ignore case, so both reach one folder).
    std::string Folder(std::string_view name) const;
    void MakeFolder(const std::string& folder);

    // The preview that belongs to a thumbnail of the folder.
    static std::string PreviewPath(const std::string& folder, const std::string& thumbnail);

    // The thumbnails the grid shows, in name order, each with its preview.
    std::vector<GalleryPicture> Pictures(const std::string& folder);
    int ThumbnailCount(const std::string& folder);

    // Removes a picture's thumbnail and preview; a file that was not there counts as removed.
    PictureRemoval Delete(const std::string& folder, const std::string& thumbnail);

    // Moves a picture to another gallery, replacing the picture of the same name there (both
    // its files, also when the moving thumbnail has no preview). Both files are copied under
    // temporary names and placed (Place), so a failed copy leaves the
    // target's own files as they were (and raises); the source goes only once the target
    // holds the picture. A move into the folder the picture is in does nothing.
    PictureMove Move(const std::string& sourceFolder, const std::string& targetFolder, const std::string& thumbnail);

    // Puts a picture made under temporary names in folder (newPreview empty: a thumbnail
    // alone) in place of the picture of that thumbnail's name: the old pair, both its files,
    // goes only once the new one stands; a failure puts it back and raises, and the
    // temporary files are the caller's to remove.
    void Place(const std::string& folder, const std::string& thumbnail, const std::string& newThumbnail,
               const std::string& newPreview);

    // Removes the files that are there; returns those that stay, each with the reason.
    std::vector<std::pair<std::string, std::string>> RemoveFiles(const std::vector<std::string>& paths);

private:
    PortfolioFiles& files_;
    std::string programFolder_;
};

}  // namespace editor
