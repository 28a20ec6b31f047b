#include "burn/portable/log_queue.h"

#include <utility>

namespace burn {

void LogQueue::Push(std::string text, std::uint8_t level) {
    bool first;
    {
        std::lock_guard lock(mutex_);
        first = lines_.empty();
        lines_.push_back({std::move(text), level});
    }
    // One wake per batch; the owner takes every line queued until it drains.
    if (first && wake_) wake_();
}

std::vector<LogLine> LogQueue::Drain() {
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
}

}  // namespace burn
