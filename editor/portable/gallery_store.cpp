#include "editor/portable/gallery_store.h"

#include "editor/portable/picture_names.h"
#include "forms/portable/text_case.h"

#include <algorithm>
#include <map>

namespace editor {
namespace {

// A move's copies wait under this prefix, which no grid or site listing takes.
constexpr std::string_view kMovingPrefix = "~moving_";
constexpr std::string_view kKeptPrefix = "~kept_";

bool Removed(PortfolioFiles& files, const std::string& path, std::string* reason = nullptr) {
    if (!files.FileExists(path)) return true;
    try {
        files.Remove(path);
        return true;
    } catch (const std::exception& e) {
        if (reason) *reason = e.what();
        return false;
    }
}

// Copies made under temporary names; those still there when it ends (not renamed into place) go.
class PendingCopies {
public:
    explicit PendingCopies(PortfolioFiles& files) : files_(files) {}
    ~PendingCopies() {
        for (const auto& path : pending_) Removed(files_, path);
    }
    void Copy(const std::string& source, const std::string& temporary) {
        pending_.push_back(temporary);
        files_.Copy(source, temporary);
    }

private:
    PortfolioFiles& files_;
    std::vector<std::string> pending_;
};

// The target's own files of the moving picture's names, renamed aside until the moved ones
// stand in their place: a move that fails midway puts them back instead of losing them.
class SetAside {
public:
    explicit SetAside(PortfolioFiles& files) : files_(files) {}
    ~SetAside() {
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
            if (committed_) {
                Removed(files_, it->second);
                continue;
            }
            try {
                files_.Rename(it->second, it->first);
            } catch (const std::exception&) {
                // Still whole under its kept name: nothing is deleted.
            }
        }
    }
    void Keep(const std::string& path) {
        if (!files_.FileExists(path)) return;
        const auto slash = path.rfind('\\') + 1;
        const std::string kept = path.substr(0, slash) + std::string(kKeptPrefix) + path.substr(slash);
        files_.Rename(path, kept);
        kept_.push_back({path, kept});
    }
    void Commit() { committed_ = true; }

private:
    PortfolioFiles& files_;
    std::vector<std::pair<std::string, std::string>> kept_;  // original, kept
    bool committed_ = false;
};

}  // namespace

GalleryStore::GalleryStore(PortfolioFiles& files, std::string programFolder)
    : files_(files), programFolder_(std::move(programFolder)) {}

std::string GalleryStore::Folder(std::string_view name) const {
    return programFolder_ + std::string(kGalleriesFolder) + "\\" + std::string(name) + "\\";
}

std::string GalleryStore::PreviewPath(const std::string& folder, const std::string& thumbnail) {
    return folder + PreviewOfThumbnail(thumbnail);
}

void GalleryStore::MakeFolder(const std::string& folder) { files_.MakeFolders(folder); }

std::vector<GalleryPicture> GalleryStore::Pictures(const std::string& folder) {
    std::vector<std::string> thumbnails;
    std::map<std::string, std::string> stored;  // upper case -> as stored
    for (const auto& entry : files_.List(folder)) {
        if (entry.folder) continue;
        stored[forms::UpperAscii(entry.name)] = entry.name;
        if (IsThumbnailName(entry.name)) thumbnails.push_back(entry.name);
    }
    std::sort(thumbnails.begin(), thumbnails.end(), [](const std::string& a, const std::string& b) {
        const int folded = forms::CompareTextAscii(a, b);
        return folded != 0 ? folded < 0 : a < b;
    });
    std::vector<GalleryPicture> pictures;
    for (auto& thumbnail : thumbnails) {
        const auto preview = stored.find(forms::UpperAscii(PreviewOfThumbnail(thumbnail)));
        pictures.push_back({std::move(thumbnail), preview == stored.end() ? std::string() : preview->second});
    }
    return pictures;
}

int GalleryStore::ThumbnailCount(const std::string& folder) {
    int count = 0;
    for (const auto& entry : files_.List(folder)) count += !entry.folder && IsThumbnailName(entry.name);
    return count;
}

PictureRemoval GalleryStore::Delete(const std::string& folder, const std::string& thumbnail) {
    PictureRemoval removal;
    removal.thumbnail = Removed(files_, folder + thumbnail);
    removal.preview = Removed(files_, folder + PreviewOfThumbnail(thumbnail));
    return removal;
}

void GalleryStore::Place(const std::string& folder, const std::string& thumbnail, const std::string& newThumbnail,
                         const std::string& newPreview) {
    const std::string preview = PreviewOfThumbnail(thumbnail);
    SetAside kept(files_);
    kept.Keep(folder + thumbnail);
    // Also for a thumbnail placed alone: the old preview is another picture's.
    kept.Keep(folder + preview);
    // The preview first: should the thumbnail then fail, the preview placed is taken back
    // and the old picture returns.
    if (!newPreview.empty()) files_.Rename(newPreview, folder + preview);
    try {
        files_.Rename(newThumbnail, folder + thumbnail);
    } catch (...) {
        if (!newPreview.empty()) Removed(files_, folder + preview);
        throw;
    }
    kept.Commit();
}

PictureMove GalleryStore::Move(const std::string& sourceFolder, const std::string& targetFolder,
                               const std::string& thumbnail) {
    // Into its own folder (in any letter case) a move would end by deleting the picture.
    if (forms::SameTextAscii(sourceFolder, targetFolder)) return {};
    const std::string preview = PreviewOfThumbnail(thumbnail);
    const bool hasPreview = files_.FileExists(sourceFolder + preview);
    files_.MakeFolders(targetFolder);
    {
        PendingCopies copies(files_);
        const std::string movingThumbnail = targetFolder + std::string(kMovingPrefix) + thumbnail;
        const std::string movingPreview = targetFolder + std::string(kMovingPrefix) + preview;
        copies.Copy(sourceFolder + thumbnail, movingThumbnail);
        if (hasPreview) copies.Copy(sourceFolder + preview, movingPreview);
        Place(targetFolder, thumbnail, movingThumbnail, hasPreview ? movingPreview : std::string());
    }
    PictureMove move;
    std::string reason;
    move.thumbnailRemoved = Removed(files_, sourceFolder + thumbnail, &reason);
    // With its thumbnail still there the source keeps its preview too, so it stays whole.
    if (move.thumbnailRemoved && hasPreview) Removed(files_, sourceFolder + preview, &reason);
    if (!reason.empty())
        move.problem = "The image was copied to " + targetFolder + " but could not be removed from " + sourceFolder +
                       ".\n\n" + reason;
    return move;
}

std::vector<std::pair<std::string, std::string>> GalleryStore::RemoveFiles(const std::vector<std::string>& paths) {
    std::vector<std::pair<std::string, std::string>> left;
    for (const auto& path : paths)
        if (std::string reason; !Removed(files_, path, &reason)) left.push_back({path, reason});
    return left;
}

}  // namespace editor
