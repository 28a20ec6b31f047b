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

    // Moves a picture to another gallery, replacing one of the same name there. Both files
    // are copied under temporary names and renamed into place, so a failed copy leaves the
    // target's own files as they were (and raises); the source goes only once the target
    // holds the picture. A move into the folder the picture is in does nothing.
    PictureMove Move(const std::string& sourceFolder, const std::string& targetFolder, const std::string& thumbnail);

    // Removes the previews of these source names that have no thumbnail beside them, as a
    // batch that stopped or refused a picture leaves them; returns the previews that could
    // not be removed, each with the reason.
    std::vector<std::pair<std::string, std::string>> RemoveLonePreviews(const std::string& folder,
                                                                        const std::vector<std::string>& sourceNames);

private:
    PortfolioFiles& files_;
    std::string programFolder_;
};

}  // namespace editor
