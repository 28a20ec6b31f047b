#include "editor/portable/gallery_batch.h"

#include "editor/portable/picture_names.h"

namespace editor {
namespace {

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
        // However the batch ends, no preview it made stays without its thumbnail; the
        // failure that ended it is the one reported.
        try {
            TakeBackLonePreviews();
        } catch (...) {
        }
        throw;
    }
    TakeBackLonePreviews();
}

void PictureBatch::TakeBackLonePreviews() {
    previewsLeft_ = store_.RemoveLonePreviews(folder_, made_);
    made_.clear();
}

void PictureBatch::RunPasses(const std::vector<std::string>& files) {
    std::vector<bool> previewMade(files.size(), false);
    for (int pass = 1; pass <= 2; ++pass) {
        if (OnPassStart) OnPassStart(pass);
        for (size_t i = 0; i < files.size(); ++i) {
            if (Stop()) return;
            const std::string name = NameOf(files[i]);
            const std::string preview = folder_ + PreviewName(name);
            if (pass == 1) {
                try {
                    make_(files[i], preview, kPreviewBox);
                    made_.push_back(name);
                    previewMade[i] = true;
                } catch (const std::exception& e) {
                    Refuse(files[i], e);
                }
            } else if (previewMade[i]) {
                try {
                    make_(preview, folder_ + ThumbnailName(name), kThumbnailBox);
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
    if (!previewsLeft_.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "These previews have no thumbnail and could not be removed:\n";
        for (const auto& [preview, reason] : previewsLeft_) text += "\n" + preview + ": " + reason;
    }
    return text;
}

}  // namespace editor
