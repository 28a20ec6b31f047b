// The virtual recorder behind the two ASPI entry points: request blocks in, answers out,
// at once or (asynchronous mode) later from a thread of its own that signals the event.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "burn/portable/srb.h"
#include "tests/virtual_recorder/portable/recorder_core.h"

namespace vcdr {

// The gap between a request's status and its event in the asynchronous mode, in microseconds.
inline constexpr std::uint32_t kDefaultEventGapUs = 200;

struct FrontEndOptions {
    bool Asynchronous = false;
    // Asynchronous mode: the status is set first and the event signalled this much later, as
    // real layers complete a request; a caller that takes the status for the end frees too early.
    std::uint32_t EventGapUs = kDefaultEventGapUs;
    std::function<void(void* event)> Signal;       // signals the event of a request's PostProc
    std::function<std::uint32_t()> ThreadId;       // for the trace
    std::function<void(std::uint32_t ms)> Sleep;   // a fault's delay
};

class AspiFrontEnd {
public:
    AspiFrontEnd(std::vector<DeviceConfig> devices, FrontEndOptions options);
    ~AspiFrontEnd();
    AspiFrontEnd(const AspiFrontEnd&) = delete;
    AspiFrontEnd& operator=(const AspiFrontEnd&) = delete;

    std::uint32_t SupportInfo() const;
    std::uint32_t Send(void* srb);

    RecorderCore* Device(std::size_t i) { return devices_.at(i).get(); }
    std::size_t PendingCount() const;

private:
    RecorderCore* Find(std::uint8_t ha, std::uint8_t target, std::uint8_t lun);
    std::uint8_t AdapterCount() const;
    std::uint32_t HaInquiry(burn::SrbHaInquiry& srb);
    std::uint32_t Execute(burn::SrbExecute& srb);
    std::uint32_t Abort(burn::SrbAbort& srb);
    Answer RunOnDevice(burn::SrbExecute& srb);
    void Complete(burn::SrbExecute& srb, const Answer& answer, std::uint32_t eventGapUs = 0);
    void Worker();

    std::vector<std::unique_ptr<RecorderCore>> devices_;
    FrontEndOptions options_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<burn::SrbExecute*> queue_;
    std::vector<burn::SrbExecute*> neverDone_;  // waiting for an abort
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace vcdr
