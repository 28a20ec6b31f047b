#include "burn/portable/scsi_device.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "burn/portable/command_log.h"
#include "burn/portable/sense_text.h"

namespace burn {

namespace {

constexpr std::uint8_t kSenseLenAsked = 14;
constexpr std::uint8_t kNoOpOpcode = 0xFF;  // completes without reaching the drive

struct Abandoned {
    std::mutex Lock;
    std::vector<std::unique_ptr<CommandRequest>> Requests;
};

// Never destroyed: a layer thread may write into these requests until the process ends.
Abandoned& AbandonedRequests() {
    static Abandoned* abandoned = new Abandoned;
    return *abandoned;
}

void Abandon(std::unique_ptr<CommandRequest> request) {
    Abandoned& a = AbandonedRequests();
    std::lock_guard lock(a.Lock);
    a.Requests.push_back(std::move(request));
}

// The layer writes the status from its own thread when the request ends asynchronously.
std::uint8_t StatusOf(SrbExecute& srb) {
    return std::atomic_ref<std::uint8_t>(srb.Header.Status).load(std::memory_order_acquire);
}

}  // namespace

std::size_t AbandonedRequestCount() {
    Abandoned& a = AbandonedRequests();
    std::lock_guard lock(a.Lock);
    return a.Requests.size();
}

TSCSIDevice::TSCSIDevice(AspiLayer& layer, CommandClock& clock) : layer_(layer), clock_(clock) {
    if (!ASPIInitialized()) return;
    QueryHostAdapters(0);
    EnumerateDevices();
}

void TSCSIDevice::DebugMessage(const std::string& text, std::uint8_t level) {
    if (DebugWindow) DebugWindow->Push(text, level);
    if (OnDebugMessage) OnDebugMessage(*this, text, level);
}

std::uint8_t TSCSIDevice::ExecCommand(const CommandBlock& block, std::span<const std::uint8_t> out,
                                      std::vector<std::uint8_t>* in) {
    LastError.clear();
    Busy = false;
    LastSense.fill(0);
    if (!layer_.ASPIInitialized || !layer_.SendCommandEntry || HaId == kNoDevice) {
        // Nothing reached a drive: that must never read as success.
        LastError = kNotSentMessage;
        return kSsPending;
    }

    auto request = std::make_unique<CommandRequest>();
    request->Data.assign(block.Length, 0);
    if (block.Direction == DataDirection::Out) {
        std::copy_n(out.begin(), std::min<std::size_t>(out.size(), block.Length), request->Data.begin());
    }
    SrbExecute& srb = request->Srb;
    srb.Header.Cmd = kSrbExecute;
    srb.Header.HaId = HaId;
    srb.Header.Flags = block.Flags;
    srb.Target = Target;
    srb.Lun = Lun;
    srb.BufLen = block.Length;
    srb.BufPointer = block.Length ? request->Data.data() : nullptr;
    srb.SenseLen = kSenseLenAsked;
    srb.CdbLen = block.CdbLen;
    std::memcpy(srb.Cdb, block.Cdb, kCdbSize);
    srb.Cdb[1] = static_cast<std::uint8_t>((srb.Cdb[1] & 0x1F) | (Lun << 5));
    if (block.Flags & kSrbEventNotify) {
        try {
            request->Event = clock_.NewEvent();
        } catch (const std::exception& e) {
            // The engine reports failures as texts; nothing was sent.
            LastError = e.what();
            return kSsPending;
        }
        request->Event->Reset();
        srb.PostProc = request->Event->Handle();
    }
    const std::uint32_t timeoutMs = std::max(block.TimeoutMs, kMinCommandTimeoutMs);
    // What is reported: the request as sent, then as the layer finished it.
    SrbExecute report = srb;

    std::uint32_t sent = kSsComp;
    if (srb.Cdb[0] == kNoOpOpcode) {
        srb.Header.Status = kSsComp;
    } else if (layer_.SendTimedCommandEntry) {
        sent = layer_.SendTimedCommandEntry(&srb, timeoutMs);
    } else {
        sent = layer_.SendCommandEntry(&srb);
    }
    // A layer that answered "pending" is done with the request only once it has signalled the
    // event: it may set the status first and signal later, still holding the request.
    const bool awaitsEvent = sent == kSsPending && request->Event;
    bool ended = awaitsEvent ? request->Event->Wait(timeoutMs) : StatusOf(srb) != kSsPending;

    std::span<const std::uint8_t> shownData = request->Data;
    bool abandoned = false;
    if (ended) {
        report = srb;
    } else {
        SrbAbort abort{};
        abort.Header.Cmd = kSrbAbort;
        abort.Header.HaId = HaId;
        abort.ToAbort = &srb;
        layer_.SendCommandEntry(&abort);
        ended = awaitsEvent ? request->Event->Wait(kAbortGraceMs) : StatusOf(srb) != kSsPending;
        abandoned = !ended;
        if (!abandoned) report = srb;
        // A time-out whatever the abort made of it: marked before the message is built.
        report.Header.Status = kSsErr;
        report.HaStat = kHaStatTimeout;
        report.TargStat = 0;
        std::memset(report.SenseArea, 0, sizeof report.SenseArea);
        if (abandoned) shownData = out;
    }

    const std::uint8_t status = report.Header.Status;
    if (status != kSsPending && status != kSsComp) {
        const StatusMessage message = FailureMessage(status, report.HaStat, report.TargStat, report.SenseArea);
        LastError = message.Text;
        Busy = message.Busy;
        std::memcpy(LastSense.data(), report.SenseArea, kSenseAreaSize);
        if (ShouldLogFailure(report)) DebugMessage(FailedCommandLine(report, shownData, LastError), 0);
    }
    if (abandoned) {
        Abandon(std::move(request));
    } else if (in != nullptr) {
        *in = std::move(request->Data);
    }
    return status;
}

}  // namespace burn
