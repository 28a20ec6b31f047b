#include "burn/device_layers.h"

#include <windows.h>

#include "burn/portable/volume_letter.h"
#include "burn/win_platform.h"
#include "burn/win_sources.h"

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

void ConnectBurner(TCDBurner& burner) {
    burner.VolumeLetter = [](std::uint8_t haId, std::uint8_t target) {
        return FindVolumeLetter(WindowsSptiPlatform(), haId, target);
    };
    burner.LoadLayer = [](bool preferSpti) { return ProcessAspiLoader().LoadASPILayer(preferSpti); };
    burner.ReloadLayer = [] { return ProcessAspiLoader().ReloadASPILayer(); };
    burner.SetCloseAfterCommand = [](bool close) { ProcessSptiLayer().CloseAfterCommand = close; };
    burner.setCachePriority = SetCachePriority;
    burner.setWriterPriority = [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL); };
    burner.LocalTime = [] {
        const LocalDateTime t = LocalNow();
        return TimeStamp{t.year, t.month, t.day, t.hour, t.minute, t.second};
    };
}

}  // namespace burn
