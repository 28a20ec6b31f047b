// Time as the recorder commands see it: sleeps and the events a request signals when it ends.
// The program uses the system's; tests use a virtual clock so waits are exact and instant.
#pragma once

#include <cstdint>
#include <memory>

namespace burn {

// A manual-reset event whose handle travels in a request's PostProc.
class CommandEvent {
public:
    virtual ~CommandEvent() = default;
    virtual void* Handle() = 0;
    virtual void Reset() = 0;
    // True when signalled within ms.
    virtual bool Wait(std::uint32_t ms) = 0;
};

class CommandClock {
public:
    virtual ~CommandClock() = default;
    virtual void Sleep(std::uint32_t ms) = 0;
    // Throws std::runtime_error when the system has no event to give.
    virtual std::unique_ptr<CommandEvent> NewEvent() = 0;
};

}  // namespace burn
