#include "burn/device_layers.h"

#include "burn/win_platform.h"

namespace burn {

AspiLayer& ProcessAspiLayer() {
    static AspiLayer layer;
    return layer;
}

SptiLayer& ProcessSptiLayer() {
    static SptiLayer spti(WindowsSptiPlatform());
    return spti;
}

AspiLoader& ProcessAspiLoader() {
    static AspiLoader loader(ProcessAspiLayer(), ProcessSptiLayer(), WindowsLibraryPlatform());
    return loader;
}

CommandClock& SystemClock() {
    static WinCommandClock clock;
    return clock;
}

}  // namespace burn
