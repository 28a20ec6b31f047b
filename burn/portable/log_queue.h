// Log lines from any thread, handed to the window's thread in the order each thread wrote
// them: Push queues a line and wakes the owner once per batch; the owner Drains on its thread.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "burn/portable/debug_log.h"

namespace burn {

struct LogLine {
    std::string Text;
    std::uint8_t Level = 0;
};

// A device's DebugWindow: the window itself must not be touched from the writer's thread.
class LogQueue final : public DebugLog {
public:
    // wake runs on the pushing thread (a PostMessage to the window) when the queue was empty.
    explicit LogQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

    void Push(std::string text, std::uint8_t level) override;
    std::vector<LogLine> Drain();

private:
    std::mutex mutex_;
    std::vector<LogLine> lines_;
    std::function<void()> wake_;
};

}  // namespace burn
