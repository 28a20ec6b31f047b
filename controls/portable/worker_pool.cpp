#include "controls/portable/worker_pool.h"

#include <algorithm>
#include <system_error>

namespace controls {

WorkerPool::WorkerPool(int threads) : wanted_(static_cast<std::size_t>(std::max(threads, 1))) {}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void WorkerPool::Post(std::function<void()> task) {
    std::unique_lock<std::mutex> hold(lock_);
    queue_.push_back(std::move(task));
    // A thread more only when more tasks wait than threads wait for them.
    if (queue_.size() > idle_ && threads_.size() < wanted_) {
        try {
            threads_.emplace_back([this] { Run(); });
        } catch (const std::system_error&) {
            // The threads there are run it; with none, the caller must.
            if (threads_.empty()) {
                queue_.pop_back();
                throw;
            }
        }
    }
    hold.unlock();
    wake_.notify_one();
}

void WorkerPool::Run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        ++idle_;
        wake_.wait(hold, [this] { return stopping_ || !queue_.empty(); });
        --idle_;
        if (queue_.empty()) return;  // stopping, and nothing left
        std::function<void()> task = std::move(queue_.front());
        queue_.pop_front();
        hold.unlock();
        task();
        hold.lock();
    }
}

}  // namespace controls
