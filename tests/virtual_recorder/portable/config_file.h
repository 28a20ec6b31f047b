// vcdr.ini: the virtual recorder's devices, discs, faults and files (see the README).
#pragma once

#include <string>
#include <vector>

#include "tests/virtual_recorder/portable/aspi_front.h"
#include "tests/virtual_recorder/portable/recorder_core.h"

namespace vcdr {

struct RecorderConfig {
    bool Asynchronous = false;
    // Asynchronous completion as real layers do it: the status first, the event this much later.
    std::uint32_t EventGapUs = kDefaultEventGapUs;
    std::vector<DeviceConfig> Devices;
};

// Relative file paths are taken from folder (ends with a separator). Throws std::invalid_argument.
RecorderConfig ParseConfig(const std::string& text, const std::string& folder);

}  // namespace vcdr
