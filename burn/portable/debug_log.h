// Where a device's DebugMessage puts every line: the log its window shows.
#pragma once

#include <cstdint>
#include <string>

namespace burn {

class DebugLog {
public:
    virtual ~DebugLog() = default;
    // May be called from any thread that drives the device (the writer's too).
    virtual void Push(std::string text, std::uint8_t level) = 0;
};

}  // namespace burn
