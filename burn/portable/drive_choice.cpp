#include "burn/portable/drive_choice.h"

#include "burn/portable/device_capabilities.h"
#include "burn/portable/speed_list.h"

namespace burn {

bool DriveChoice::Start() {
    if (!device_.InitializeASPI(true)) return false;
    choices_.Drives = device_.Devices;
    // No device: both lists stay empty, with no "Max" to offer.
    if (!choices_.Drives.empty()) PickDrive(0);
    return true;
}

void DriveChoice::PickDrive(int index) {
    if (index < 0 || index >= static_cast<int>(choices_.Drives.size())) return;
    choices_.DriveIndex = index;
    device_.SetDevice(choices_.Drives[index]);
    device_.GetDriveLetter();
    choices_.BurnEnabled = device_.HaId != kNoDevice && (device_.Capabilities & kCapAnyWrite) != 0;
    // Each recorder has its own speeds, and a DVD writer its own divisor.
    RebuildSpeeds();
}

void DriveChoice::RebuildSpeeds() {
    const int remembered = choices_.SpeedIndex;
    const std::uint16_t divisor = SpeedDivisor(device_.DeviceType());
    choices_.Speeds = BuildSpeedList(device_.MaxWriteSpeedX(), divisor, [&](std::uint16_t k) {
        device_.SetWriteSpeed(k);
        return device_.CurrentWriteSpeedX();
    });
    choices_.SpeedIndex = RestoredSpeedIndex(remembered, choices_.Speeds.size());
}

std::uint16_t DriveChoice::ChosenSpeed() {
    if (choices_.SpeedIndex < 0 || choices_.SpeedIndex >= static_cast<int>(choices_.Speeds.size()))
        choices_.SpeedIndex = 0;
    return GetSpeed(choices_.Speeds.empty() ? kMaxSpeedText : choices_.Speeds[choices_.SpeedIndex],
                    device_.DeviceType());
}

}  // namespace burn
