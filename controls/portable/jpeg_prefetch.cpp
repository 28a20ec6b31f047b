#include "controls/portable/jpeg_prefetch.h"

#include <algorithm>

namespace controls {

JpegPrefetcher::JpegPrefetcher(std::vector<std::string> paths, ScaleFor scaleFor, int ahead)
    : scaleFor_(std::move(scaleFor)), ahead_(static_cast<std::size_t>(std::max(ahead, 1))) {
    items_.reserve(paths.size());
    for (auto& p : paths) items_.push_back({std::move(p), {}});
}

JpegPrefetcher::~JpegPrefetcher() {
    for (std::size_t i = 0; i < started_; ++i)
        if (items_[i].result.valid()) items_[i].result.wait();
}

void JpegPrefetcher::StartUpTo(std::size_t end) {
    end = std::min(end, items_.size());
    for (; started_ < end; ++started_) {
        const std::string path = items_[started_].path;
        ScaleFor scaleFor = scaleFor_;
        items_[started_].result = std::async(std::launch::async, [path, scaleFor] {
            PrefetchedJpeg out;
            out.scaleDenominator = scaleFor(path);
            forms::JpegDecodeOptions options;
            options.scaleDenominator = out.scaleDenominator;
            out.decoded = forms::DecodeJpegFile(path, options);
            return out;
        });
    }
}

std::optional<PrefetchedJpeg> JpegPrefetcher::Take(const std::string& path) {
    // Usually the very next item; a path the caller skipped stays behind.
    std::size_t i = next_;
    while (i < items_.size() && items_[i].path != path) ++i;
    if (i == items_.size()) return std::nullopt;
    next_ = i + 1;
    StartUpTo(i + 1 + ahead_);
    return items_[i].result.get();
}

}  // namespace controls
