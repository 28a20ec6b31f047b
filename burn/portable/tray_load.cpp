#include "burn/portable/tray_load.h"

namespace burn {
namespace {

constexpr std::uint32_t kReadyPollMs = 5000;
constexpr std::int64_t kLoadedWaitMs = 10000, kLoadedStepMs = 500;
constexpr std::uint8_t kNotReady = 0x02, kUnitAttention = 0x06;
constexpr std::uint8_t kMediumNotPresent = 0x3A, kTrayClosed = 0x01;

std::uint8_t SenseKey(const TSCSIDevice& device) { return device.LastSense[2] & 0x0F; }

}  // namespace

bool LoadTrayWhenOpen(TSCSIDevice& device) {
    // A disc that went in reports itself once before the drive answers about the tray.
    bool ready = device.TestUnitReady(kReadyPollMs);
    if (!ready && SenseKey(device) == kUnitAttention) ready = device.TestUnitReady(kReadyPollMs);
    if (ready || SenseKey(device) != kNotReady || device.LastSense[12] != kMediumNotPresent ||
        device.LastSense[13] == kTrayClosed)
        return false;
    device.LoadOrEject(false);
    device.WaitUnitReady(kLoadedWaitMs, kLoadedStepMs);
    return true;
}

}  // namespace burn
