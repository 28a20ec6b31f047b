// Decoding ahead: while a scan makes its cells one by one on the user-interface thread,
// worker threads decode the next pictures, so that each picture is still decoded exactly
// once but several at a time. Nothing but the decoding leaves the calling thread.
#pragma once
#include <cstddef>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "controls/portable/worker_pool.h"
#include "forms/portable/jpeg_codec.h"

namespace controls {

struct PrefetchedJpeg {
    int scaleDenominator = 1;
    forms::DecodedJpeg decoded;
};

class JpegPrefetcher {
public:
    // The scale each file is decoded at, once its header is read (called on the worker
    // threads; may throw).
    using ScaleFor = std::function<int(const std::string& path, const forms::JpegInfo& header)>;
    // Runs one decode on another thread; raises std::system_error when no thread can be
    // started, and that decode is then done in place when it is taken. The default hands it
    // to the prefetcher's own threads, as many as `ahead`; tests inject a failure.
    using Task = std::function<PrefetchedJpeg()>;
    using Launch = std::function<std::future<PrefetchedJpeg>(Task)>;

    // Decodes paths in order, at most `ahead` of them beyond the one taken last; nothing
    // starts before the first Take, so a scan stopped at once decodes nothing.
    JpegPrefetcher(std::vector<std::string> paths, ScaleFor scaleFor, int ahead, Launch launch = {});
    // Waits for the decodes already started.
    ~JpegPrefetcher();
    JpegPrefetcher(const JpegPrefetcher&) = delete;
    JpegPrefetcher& operator=(const JpegPrefetcher&) = delete;

    // The decode of path, waiting for it when needed; a failure of the decode is raised here
    // as it would have been raised in place. Empty for a path that is not among the next
    // ones (each is handed out once).
    std::optional<PrefetchedJpeg> Take(const std::string& path);

    // Gives back a decode the caller is done with: a later decode reuses its memory instead
    // of allocating (and faulting in) a buffer of its own.
    void Recycle(forms::DecodedJpeg&& done);

    // How many decodes have been started (for tests).
    std::size_t Started() const { return started_; }

private:
    void StartUpTo(std::size_t end);
    forms::DecodedJpeg Reused();

    struct Item {
        std::string path;
        std::future<PrefetchedJpeg> result;
    };
    std::vector<Item> items_;
    ScaleFor scaleFor_;
    std::size_t ahead_;
    Launch launch_;
    std::size_t next_ = 0;     // the first item not taken
    std::size_t started_ = 0;  // items [0, started_) have a decode running or done
    std::mutex poolLock_;      // the workers take from the pool
    std::vector<forms::DecodedJpeg> pool_;
    // Last: destroyed first, once the destructor has waited for every decode.
    std::unique_ptr<WorkerPool> workers_;
};

}  // namespace controls
