// The device and speed choices of the burn window as plain data: the scan at start, a device
// picked, the speed list of the picked device, and the speed the chosen line sends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "burn/portable/scsi_device.h"

namespace burn {

struct DriveChoices {
    std::vector<std::string> Drives;
    int DriveIndex = -1;
    std::vector<std::string> Speeds;
    int SpeedIndex = -1;
    bool BurnEnabled = false;
};

class DriveChoice {
public:
    explicit DriveChoice(TSCSIDevice& device) : device_(device) {}

    // Loads the layer and lists the devices, selecting the first; false when the layer is missing.
    bool Start();
    // The user picked another device line: select it and offer its own speeds.
    void PickDrive(int index);
    void RebuildSpeeds();
    // The CD X to send for the chosen line; "Max" when none is chosen.
    std::uint16_t ChosenSpeed();

    const DriveChoices& Choices() const { return choices_; }
    void SetSpeedIndex(int index) { choices_.SpeedIndex = index; }

private:
    TSCSIDevice& device_;
    DriveChoices choices_;
};

}  // namespace burn
