// The device layer chosen at start-up: the two entry points every request goes through.
// One per process in the program (the loader fills it); tests make their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace burn {

using SupportInfoFunction = std::function<std::uint32_t()>;
using SendCommandFunction = std::function<std::uint32_t(void* srb)>;
// The pass-through layer's entry also takes the caller's time-out, which no SRB field carries.
using SendTimedCommandFunction = std::function<std::uint32_t(void* srb, std::uint32_t timeoutMs)>;

struct AspiLayer {
    bool ASPIInitialized = false;     // a layer is loaded and both entries are set
    std::string ASPILayerName;        // "REVADI32", "WNASPI32.DLL", "ASAPI.DLL" or empty
    std::uintptr_t ASPILibrary = 0;   // the loaded library; 0 for none or the pass-through layer
    SupportInfoFunction SupportInfoEntry;
    SendCommandFunction SendCommandEntry;
    SendTimedCommandFunction SendTimedCommandEntry;  // set only for the pass-through layer
    bool PreferSPTIUsed = false;
};

}  // namespace burn
