#include "tests/virtual_recorder/portable/aspi_front.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

namespace vcdr {

using namespace burn;

namespace {
constexpr char kLayerText[17] = "VIRTUAL RECORDER";
}

AspiFrontEnd::AspiFrontEnd(std::vector<DeviceConfig> devices, FrontEndOptions options) : options_(std::move(options)) {
    for (auto& d : devices) devices_.push_back(std::make_unique<RecorderCore>(std::move(d)));
    if (options_.Asynchronous) worker_ = std::thread([this] { Worker(); });
}

AspiFrontEnd::~AspiFrontEnd() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

std::size_t AspiFrontEnd::PendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size() + neverDone_.size();
}

std::uint8_t AspiFrontEnd::AdapterCount() const {
    std::uint8_t count = 0;
    for (const auto& d : devices_) count = std::max<std::uint8_t>(count, d->Config().HaId + 1);
    return count;
}

std::uint32_t AspiFrontEnd::SupportInfo() const {
    const std::uint8_t count = AdapterCount();
    return count == 0 ? std::uint32_t{kSsNoAdapters} << 8 : std::uint32_t{kSsComp} << 8 | count;
}

RecorderCore* AspiFrontEnd::Find(std::uint8_t ha, std::uint8_t target, std::uint8_t lun) {
    for (auto& d : devices_) {
        const auto& c = d->Config();
        if (c.HaId == ha && c.Target == target && c.Lun == lun) return d.get();
    }
    return nullptr;
}

std::uint32_t AspiFrontEnd::Send(void* srb) {
    if (srb == nullptr) return kSsErr;
    auto* header = static_cast<SrbHeader*>(srb);
    switch (header->Cmd) {
        case kSrbHaInquiry: return HaInquiry(*static_cast<SrbHaInquiry*>(srb));
        case kSrbGetDeviceType: {
            auto& s = *static_cast<SrbGetDeviceType*>(srb);
            RecorderCore* d = Find(s.Header.HaId, s.Target, s.Lun);
            s.PeripheralType = d ? d->Config().PeripheralType : 0x1F;
            return s.Header.Status = d ? kSsComp : kSsNoDevice;
        }
        case kSrbGetDiskInfo: {
            auto& s = *static_cast<SrbGetDiskInfo*>(srb);
            RecorderCore* d = Find(s.Header.HaId, s.Target, s.Lun);
            if (d) s.DriveNumber = static_cast<std::uint8_t>(d->Config().DriveLetter - 'A');
            return s.Header.Status = d ? kSsComp : kSsNoDevice;
        }
        case kSrbExecute: return Execute(*static_cast<SrbExecute*>(srb));
        case kSrbAbort: return Abort(*static_cast<SrbAbort*>(srb));
        default: return header->Status = kSsInvalidCmd;
    }
}

std::uint32_t AspiFrontEnd::HaInquiry(SrbHaInquiry& s) {
    s.HaCount = AdapterCount();
    if (s.Header.HaId >= s.HaCount) return s.Header.Status = kSsInvalidHa;
    s.HaScsiId = 7;
    std::memcpy(s.LayerText, kLayerText, sizeof s.LayerText);
    std::memset(s.AdapterText, 0, sizeof s.AdapterText);
    const std::string adapter = "VCDR " + std::to_string(s.Header.HaId);
    std::memcpy(s.AdapterText, adapter.data(), std::min(adapter.size(), sizeof s.AdapterText));
    std::memset(s.Unique, 0, sizeof s.Unique);
    s.Unique[3] = 8;
    s.Unique[6] = 0xFF;  // 0x00FF0000 bytes per transfer at most
    return s.Header.Status = kSsComp;
}

std::uint32_t AspiFrontEnd::Execute(SrbExecute& s) {
    if (Find(s.Header.HaId, s.Target, s.Lun) == nullptr) return s.Header.Status = kSsNoDevice;
    s.Header.Status = kSsPending;
    if (options_.Asynchronous) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(&s);
        }
        wake_.notify_one();
        return kSsPending;
    }
    const Answer a = RunOnDevice(s);
    if (a.NeverCompletes) {
        std::lock_guard lock(mutex_);
        neverDone_.push_back(&s);
        return kSsPending;
    }
    if (a.DelayMs && options_.Sleep) options_.Sleep(a.DelayMs);
    Complete(s, a);
    return s.Header.Status;
}

Answer AspiFrontEnd::RunOnDevice(SrbExecute& s) {
    RecorderCore* d = Find(s.Header.HaId, s.Target, s.Lun);
    const Transfer dir = (s.Header.Flags & kSrbDirIn)    ? Transfer::In
                         : (s.Header.Flags & kSrbDirOut) ? Transfer::Out
                                                         : Transfer::None;
    return d->Execute(s.Cdb, s.CdbLen, dir, s.BufPointer, s.BufLen, options_.ThreadId ? options_.ThreadId() : 0);
}

void AspiFrontEnd::Complete(SrbExecute& s, const Answer& a, std::uint32_t eventGapUs) {
    void* event = (s.Header.Flags & kSrbEventNotify) ? s.PostProc : nullptr;
    s.HaStat = a.HaStat;
    s.TargStat = a.TargStat;
    std::memset(s.SenseArea, 0, sizeof s.SenseArea);
    std::memcpy(s.SenseArea, a.Sense.data(), std::min<std::size_t>({s.SenseLen, a.Sense.size(), sizeof s.SenseArea}));
    // The caller reads the fields once it sees the status or the event.
    std::atomic_thread_fence(std::memory_order_release);
    std::atomic_ref<std::uint8_t>(s.Header.Status).store(a.SrbStatus, std::memory_order_release);
    if (event == nullptr || !options_.Signal) return;
    if (eventGapUs) std::this_thread::sleep_for(std::chrono::microseconds(eventGapUs));
    options_.Signal(event);
}

std::uint32_t AspiFrontEnd::Abort(SrbAbort& s) {
    auto* target = static_cast<SrbExecute*>(s.ToAbort);
    {
        std::lock_guard lock(mutex_);
        auto it = std::find(neverDone_.begin(), neverDone_.end(), target);
        if (it == neverDone_.end()) return s.Header.Status = kSsComp;  // nothing pending to abort
        neverDone_.erase(it);
    }
    Answer aborted;
    aborted.SrbStatus = kSsAborted;
    Complete(*target, aborted);
    return s.Header.Status = kSsComp;
}

void AspiFrontEnd::Worker() {
    for (;;) {
        SrbExecute* s = nullptr;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            s = queue_.front();
            queue_.pop_front();
        }
        const Answer a = RunOnDevice(*s);
        if (a.NeverCompletes) {
            std::lock_guard lock(mutex_);
            neverDone_.push_back(s);
            continue;
        }
        if (a.DelayMs && options_.Sleep) options_.Sleep(a.DelayMs);
        Complete(*s, a, options_.EventGapUs);
    }
}

}  // namespace vcdr
