#include "controls/portable/jpeg_prefetch.h"

#include <algorithm>
#include <system_error>

namespace controls {

JpegPrefetcher::JpegPrefetcher(std::vector<std::string> paths, ScaleFor scaleFor, int ahead, Launch launch)
    : scaleFor_(std::move(scaleFor)), ahead_(static_cast<std::size_t>(std::max(ahead, 1))), launch_(std::move(launch)) {
    if (!launch_) {
        workers_ = std::make_unique<WorkerPool>(static_cast<int>(ahead_));
        launch_ = [this](Task task) {
            auto decode = std::make_shared<std::packaged_task<PrefetchedJpeg()>>(std::move(task));
            std::future<PrefetchedJpeg> result = decode->get_future();
            workers_->Post([decode] { (*decode)(); });
            return result;
        };
    }
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
        // The destructor waits for every task, so `this` outlives them.
        Task task = [this, path, scaleFor] {
            PrefetchedJpeg out;
            forms::JpegDecodeOptions options;
            options.scaleFor = [&](const forms::JpegInfo& header) { return out.scaleDenominator = scaleFor(path, header); };
            out.decoded = Reused();
            forms::DecodeJpegFileInto(path, options, out.decoded);
            return out;
        };
        try {
            items_[started_].result = launch_(task);
        } catch (const std::system_error&) {
            // No thread to be had: the picture is decoded when it is taken, on the caller's.
            items_[started_].result = std::async(std::launch::deferred, std::move(task));
        }
    }
}

forms::DecodedJpeg JpegPrefetcher::Reused() {
    std::lock_guard<std::mutex> hold(poolLock_);
    if (pool_.empty()) return {};
    forms::DecodedJpeg reused = std::move(pool_.back());
    pool_.pop_back();
    return reused;
}

void JpegPrefetcher::Recycle(forms::DecodedJpeg&& done) {
    std::lock_guard<std::mutex> hold(poolLock_);
    // No more than the decodes that can run at once: the rest would only hold memory.
    if (pool_.size() <= ahead_) pool_.push_back(std::move(done));
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
