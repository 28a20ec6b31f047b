#include "editor/portable/gallery_batch.h"

#include "editor/portable/picture_names.h"

namespace editor {
namespace {

// Made files wait under this prefix, which no grid or site listing takes; the number keeps two
// chosen files of one name apart.
constexpr std::string_view kAddingPrefix = "~adding";

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

PictureBatch::PictureBatch(GalleryStore& store, std::string folder, MakePicture make)
    : store_(store), folder_(std::move(folder)), make_(std::move(make)) {}

bool PictureBatch::Stop() {
    if (!stopped_ && StopRequested && StopRequested()) stopped_ = true;
    return stopped_;
}

void PictureBatch::Refuse(const std::string& file, const std::exception& e) { refused_.push_back({file, e.what()}); }

void PictureBatch::Run(const std::vector<std::string>& files) {
    store_.MakeFolder(folder_);
    try {
        RunPasses(files);
    } catch (...) {
        // However the batch ends, nothing it made stays unplaced; the failure that ended it
        // is the one reported.
        try {
            RemoveUnplaced();
        } catch (...) {
        }
        throw;
    }
    RemoveUnplaced();
}

std::string PictureBatch::NewPreview(size_t index, const std::string& name) const {
    return folder_ + std::string(kAddingPrefix) + std::to_string(index) + "_" + PreviewName(name);
}

std::string PictureBatch::NewThumbnail(size_t index, const std::string& name) const {
    return folder_ + std::string(kAddingPrefix) + std::to_string(index) + "_" + ThumbnailName(name);
}

void PictureBatch::RemoveUnplaced() {
    filesLeft_ = store_.RemoveFiles(made_);
    made_.clear();
}

void PictureBatch::RunPasses(const std::vector<std::string>& files) {
    std::vector<bool> previewMade(files.size(), false);
    for (int pass = 1; pass <= 2; ++pass) {
        if (OnPassStart) OnPassStart(pass);
        for (size_t i = 0; i < files.size(); ++i) {
            if (Stop()) return;
            const std::string name = NameOf(files[i]);
            const std::string preview = NewPreview(i, name), thumbnail = NewThumbnail(i, name);
            if (pass == 1) {
                try {
                    made_.push_back(preview);
                    make_(files[i], preview, kPreviewBox);
                    previewMade[i] = true;
                } catch (const std::exception& e) {
                    Refuse(files[i], e);
                }
            } else if (previewMade[i]) {
                try {
                    made_.push_back(thumbnail);
                    make_(preview, thumbnail, kThumbnailBox);
                    store_.Place(folder_, ThumbnailName(name), thumbnail, preview);
                } catch (const std::exception& e) {
                    Refuse(files[i], e);
                }
            }
            if (OnPictureDone) OnPictureDone(pass, static_cast<int>(i));
        }
    }
}

std::string PictureBatch::RefusalReport() const {
    std::string text;
    if (!refused_.empty()) {
        text = refused_.size() == 1 ? "This image could not be added and was skipped:\n"
                                    : "These images could not be added and were skipped:\n";
        for (const auto& r : refused_) text += "\n" + NameOf(r.file) + ": " + r.reason;
    }
    if (!filesLeft_.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "These unfinished images could not be removed:\n";
        for (const auto& [file, reason] : filesLeft_) text += "\n" + NameOf(file) + ": " + reason;
    }
    return text;
}

}  // namespace editor
