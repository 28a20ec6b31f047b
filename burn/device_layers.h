// The process's one set of device layers: the layer state every command reads, the
// pass-through layer, the loader that chooses between them, and the system clock.
#pragma once

#include "burn/portable/aspi_layer.h"
#include "burn/portable/cd_burner.h"
#include "burn/portable/aspi_loader.h"
#include "burn/portable/command_clock.h"
#include "burn/portable/spti_layer.h"

namespace burn {

AspiLayer& ProcessAspiLayer();
SptiLayer& ProcessSptiLayer();
AspiLoader& ProcessAspiLoader();
CommandClock& SystemClock();

// Wires a burner to these layers and to the system: layer loading and reload, the pass-through
// layer's handle policy while writing, the cache and writer threads' priorities, the local time,
// and the drive letter by SCSI address.
void ConnectBurner(TCDBurner& burner);

}  // namespace burn
