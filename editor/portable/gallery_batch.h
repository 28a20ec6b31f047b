// Adding chosen pictures to a gallery: a first pass makes each picture's preview, a second
// makes each preview's thumbnail. Both are made under temporary names that no grid or site
// listing takes, and a picture goes into the gallery, in place of one of the same name, only
// once both stand. A picture that cannot be made is skipped and reported with its reason; a
// stopped or failed batch removes what it made that was not placed, so the gallery keeps each
// old picture whole and never a preview without its thumbnail.
#pragma once

#include "editor/portable/gallery_store.h"
#include "editor/portable/picture_processing.h"

#include <functional>
#include <string>
#include <vector>

namespace editor {

struct RefusedPicture {
    std::string file;  // the chosen file's path
    std::string reason;
};

class PictureBatch {
public:
    // Writes target from source fitted into box; raises with a reason when it cannot.
    using MakePicture = std::function<void(const std::string& source, const std::string& target, PictureBox box)>;

    // folder: the gallery's, with its trailing backslash.
    PictureBatch(GalleryStore& store, std::string folder, MakePicture make);

    // Both passes over the chosen files (full paths), in their order.
    void Run(const std::vector<std::string>& files);

    // Asked before each picture; true stops the batch there.
    std::function<bool()> StopRequested;
    // Before each pass (1 previews, 2 thumbnails).
    std::function<void(int pass)> OnPassStart;
    // After each chosen file of a pass, made or skipped.
    std::function<void(int pass, int index)> OnPictureDone;

    bool Stopped() const { return stopped_; }
    const std::vector<RefusedPicture>& Refused() const { return refused_; }
    // One message naming each refused file and why, and any file the batch made that it could
    // not remove; empty when there is nothing to tell.
    std::string RefusalReport() const;

private:
    bool Stop();
    void Refuse(const std::string& file, const std::exception& e);
    void RunPasses(const std::vector<std::string>& files);
    // The temporary names of chosen file index's preview and thumbnail.
    std::string NewPreview(size_t index, const std::string& name) const;
    std::string NewThumbnail(size_t index, const std::string& name) const;
    // Removes what this batch made that was not placed.
    void RemoveUnplaced();

    GalleryStore& store_;
    std::string folder_;
    MakePicture make_;
    bool stopped_ = false;
    std::vector<RefusedPicture> refused_;
    std::vector<std::string> made_;  // temporary files this batch may have written
    std::vector<std::pair<std::string, std::string>> filesLeft_;
};

}  // namespace editor
