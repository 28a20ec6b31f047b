// The device layer chosen at start-up: the two entry points every request goes through.
// One per process in the program (the loader fills it); tests make their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace burn {

using SupportInfoFunction = std::function<std::uint32_t()>;
using SendCommandFunction = std::function<std::uint32_t(void* srb)>;

struct AspiLayer {
    bool ASPIInitialized = false;     // a layer is loaded and both entries are set
    std::string ASPILayerName;        // "REVADI32", "WNASPI32.DLL", "ASAPI.DLL" or empty
    std::uintptr_t ASPILibrary = 0;   // the loaded library; 0 for none or the pass-through layer
    SupportInfoFunction SupportInfoEntry;
    SendCommandFunction SendCommandEntry;
    bool PreferSPTIUsed = false;
};

}  // namespace burn
