// Virtual time for the recorder commands' tests: sleeps and event waits only move a counter,
// and a hook may signal an event while it is waited on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "burn/portable/command_clock.h"

namespace burn::testing_support {

class VirtualClock;

class VirtualEvent : public CommandEvent {
public:
    explicit VirtualEvent(VirtualClock& clock) : clock_(clock) {}
    void* Handle() override { return this; }
    void Reset() override { Signalled = false; }
    bool Wait(std::uint32_t ms) override;
    bool Signalled = false;

private:
    VirtualClock& clock_;
};

class VirtualClock : public CommandClock {
public:
    std::uint64_t Now = 0;
    std::vector<std::uint32_t> Sleeps, Waits;
    std::function<void(VirtualEvent&, std::uint32_t ms)> OnWait;

    void Sleep(std::uint32_t ms) override {
        Sleeps.push_back(ms);
        Now += ms;
    }
    std::unique_ptr<CommandEvent> NewEvent() override { return std::make_unique<VirtualEvent>(*this); }

    // The front end's signal of an event handle.
    static void Signal(void* handle) { static_cast<VirtualEvent*>(handle)->Signalled = true; }
};

inline bool VirtualEvent::Wait(std::uint32_t ms) {
    clock_.Waits.push_back(ms);
    if (!Signalled && clock_.OnWait) clock_.OnWait(*this, ms);
    if (!Signalled) clock_.Now += ms;
    return Signalled;
}

}  // namespace burn::testing_support
