#include "burn/portable/next_writable_address.h"

namespace burn {
namespace {

constexpr std::uint32_t kInvisibleTrack = 255;
constexpr std::int64_t kReadyWaitMs = 10000, kReadyStepMs = 500;

}  // namespace

std::optional<std::uint32_t> GetNextWritableAddress(TSCSIDevice& device, bool testWrite, bool underrunProtection,
                                                    std::uint8_t deviceType) {
    device.WaitUnitReady(kReadyWaitMs, kReadyStepMs);
    const bool finalize = device.FinalizeDisc;
    device.FinalizeDisc = true;
    device.SetWriteParameters(testWrite, underrunProtection, deviceType);
    device.FinalizeDisc = finalize;
    device.WaitUnitReady(kReadyWaitMs, kReadyStepMs);
    if (!device.ReadTrackInformation(kInvisibleTrack)) return std::nullopt;
    const std::uint32_t next = device.TrackInfo.NextWritable;  // a packed field: copied, not bound
    return next;
}

}  // namespace burn
