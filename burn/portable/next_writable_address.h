// The burner's own next-writable-address query: where an image on the inserted disc begins.
#pragma once

#include <cstdint>
#include <optional>

#include "burn/portable/scsi_device.h"

namespace burn {

// Sets the write parameters as a burn would (closing the disc, for this call only) and reads
// the invisible track's next writable address; nothing when READ TRACK INFORMATION fails.
std::optional<std::uint32_t> GetNextWritableAddress(TSCSIDevice& device, bool testWrite, bool underrunProtection,
                                                    std::uint8_t deviceType);

}  // namespace burn
