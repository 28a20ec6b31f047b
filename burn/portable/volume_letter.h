// The drive letter of a recorder, asked of the system by its SCSI address.
#pragma once

#include <cstdint>

#include "burn/portable/spti_layer.h"

namespace burn {

// Opens B: to Z: in turn and asks each for its SCSI address; the first whose port and target
// match gives its letter. 0 when none does (under Wine the address query always fails, and the
// caller falls back to asking the ASPI layer).
char FindVolumeLetter(const SptiPlatform& platform, std::uint8_t haId, std::uint8_t target);

}  // namespace burn
