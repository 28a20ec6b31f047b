// Adding chosen pictures to a gallery: a first pass makes each picture's preview, a second
// makes each preview's thumbnail. A picture that cannot be made is skipped and reported with
// its reason; a stopped batch takes back the previews it made that got no thumbnail, so the
// gallery never keeps a preview the grid cannot show.
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
    // One message naming each refused file and why, and any preview the batch could not
    // take back; empty when there is nothing to tell.
    std::string RefusalReport() const;

private:
    bool Stop();
    void Refuse(const std::string& file, const std::exception& e);
    void RunPasses(const std::vector<std::string>& files);
    // Removes the previews this batch made that got no thumbnail.
    void TakeBackLonePreviews();

    GalleryStore& store_;
    std::string folder_;
    MakePicture make_;
    bool stopped_ = false;
    std::vector<RefusedPicture> refused_;
    std::vector<std::string> made_;  // source names whose preview this batch wrote
    std::vector<std::pair<std::string, std::string>> previewsLeft_;
};

}  // namespace editor
