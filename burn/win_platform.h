// The Win32 side of the device layers: the platform tables of the pass-through layer and the
// library loader, and the system clock of the recorder commands.
#pragma once

#include "burn/portable/aspi_loader.h"
#include "burn/portable/command_clock.h"
#include "burn/portable/spti_layer.h"

namespace burn {

SptiPlatform WindowsSptiPlatform();
LibraryPlatform WindowsLibraryPlatform();

// Sleep and manual-reset events of the system.
class WinCommandClock : public CommandClock {
public:
    void Sleep(std::uint32_t ms) override;
    std::unique_ptr<CommandEvent> NewEvent() override;
};

}  // namespace burn
