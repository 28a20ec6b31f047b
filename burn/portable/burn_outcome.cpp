#include "burn/portable/burn_outcome.h"

#include "burn/portable/thread_failure.h"

namespace burn {

std::string EjectAfterBurn(TSCSIDevice& device) noexcept {
    try {
        // The flush and the allow are answered or not; only the eject is reported.
        device.SynchronizeCache(kFinalFlushTimeoutMs, false);
        device.PreventMediumRemoval(true);
        return device.LoadOrEject(true) ? kEjectDoneLog : kEjectFailedLog;
    } catch (...) {
        const std::string failure = FailureText(kEjectThreadFailed);
        try {
            device.DebugMessage(">>> " + failure, 0);
        } catch (...) {
            // The log is out of reach too; the line below still says the disc is in.
        }
        return kEjectFailedLog;
    }
}

}  // namespace burn
