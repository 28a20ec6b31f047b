// A burn's first step: a disc laid on the open tray is pulled in before the drive is asked
// anything about it, as a user who confirmed "Insert a Blank CD-R" expects. A tray that is in
// is left alone.
#pragma once

#include "burn/portable/scsi_device.h"

namespace burn {

// Asks the drive whether it is ready; when it answers that no medium is there and its tray is
// not known to be closed, loads the tray and waits until the drive is ready. True when a LOAD
// was sent.
bool LoadTrayWhenOpen(TSCSIDevice& device);

}  // namespace burn
