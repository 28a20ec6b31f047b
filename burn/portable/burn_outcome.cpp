#include "burn/portable/burn_outcome.h"

namespace burn {

std::string EjectAfterBurn(TSCSIDevice& device) {
    // The flush and the allow are answered or not; only the eject is reported.
    device.SynchronizeCache(kFinalFlushTimeoutMs, false);
    device.PreventMediumRemoval(true);
    return device.LoadOrEject(true) ? kEjectDoneLog : kEjectFailedLog;
}

}  // namespace burn
