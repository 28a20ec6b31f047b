// Chooses the layer that answers the two ASPI entry points: the pass-through layer, or an ASPI
// library loaded from disk. Libraries are reached through a small platform table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "burn/portable/aspi_layer.h"
#include "burn/portable/spti_layer.h"

namespace burn {

struct LibraryPlatform {
    std::function<std::uintptr_t(const std::string& name)> Load;             // 0: not loaded
    std::function<void*(std::uintptr_t library, const char* name)> Find;     // nullptr: no such export
    std::function<bool(std::uintptr_t library)> Free;
    std::function<std::uint32_t(std::uint32_t mode)> SetErrorMode;           // gives the old mode
};

inline constexpr std::uint32_t kFailCriticalErrors = 0x0001;

class AspiLoader {
public:
    AspiLoader(AspiLayer& layer, SptiLayer& spti, LibraryPlatform platform);
    ~AspiLoader();
    AspiLoader(const AspiLoader&) = delete;
    AspiLoader& operator=(const AspiLoader&) = delete;

    bool LoadASPILayer(bool preferSpti);
    bool ReloadASPILayer();
    bool UnloadASPILibrary();

private:
    bool UseSpti();
    bool TryLibrary(const std::string& file, const std::string& layerName, const char* supportExport,
                    const char* sendExport);
    void Forget();

    AspiLayer& layer_;
    SptiLayer& spti_;
    LibraryPlatform platform_;
};

}  // namespace burn
