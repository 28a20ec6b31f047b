#include "burn/portable/aspi_loader.h"

namespace burn {

namespace {

// Module handles up to 31 are the old loader's error codes.
constexpr std::uintptr_t kHighestErrorHandle = 31;

using SupportInfoPointer = std::uint32_t (*)();
using SendCommandPointer = std::uint32_t (*)(void*);

struct Candidate {
    const char* File;
    const char* LayerName;
    const char* SupportExport;
    const char* SendExport;
};

// The copy in the working folder first, then the system's, then the other vendor's library.
constexpr Candidate kCandidates[] = {
    {".\\WNASPI32.DLL", "WNASPI32.DLL", "GetASPI32SupportInfo", "SendASPI32Command"},
    {"WNASPI32.DLL", "WNASPI32.DLL", "GetASPI32SupportInfo", "SendASPI32Command"},
    {"ASAPI.DLL", "ASAPI.DLL", "GetASAPI32SupportInfo", "SendASAPI32Command"},
};

class ErrorModeScope {
public:
    explicit ErrorModeScope(const LibraryPlatform& p) : platform_(p) {
        if (platform_.SetErrorMode) old_ = platform_.SetErrorMode(kFailCriticalErrors);
    }
    ~ErrorModeScope() {
        if (platform_.SetErrorMode) platform_.SetErrorMode(old_);
    }

private:
    const LibraryPlatform& platform_;
    std::uint32_t old_ = 0;
};

}  // namespace

AspiLoader::AspiLoader(AspiLayer& layer, SptiLayer& spti, LibraryPlatform platform)
    : layer_(layer), spti_(spti), platform_(std::move(platform)) {}

AspiLoader::~AspiLoader() {
    if (layer_.ASPIInitialized && layer_.ASPILibrary != 0) platform_.Free(layer_.ASPILibrary);
    Forget();
}

void AspiLoader::Forget() {
    layer_.ASPIInitialized = false;
    layer_.ASPILayerName.clear();
    layer_.ASPILibrary = 0;
    layer_.SupportInfoEntry = nullptr;
    layer_.SendCommandEntry = nullptr;
    layer_.SendTimedCommandEntry = nullptr;
}

bool AspiLoader::UseSpti() {
    if (spti_.SPTIInitialize() == 0) return false;
    layer_.SupportInfoEntry = [this] { return spti_.SPTISupportInfo(); };
    layer_.SendCommandEntry = [this](void* srb) { return spti_.SPTISendCommand(srb); };
    layer_.SendTimedCommandEntry = [this](void* srb, std::uint32_t ms) { return spti_.SPTISendCommand(srb, ms); };
    layer_.ASPILayerName = kSptiLayerName;
    layer_.ASPIInitialized = true;
    return true;
}

bool AspiLoader::TryLibrary(const std::string& file, const std::string& layerName, const char* supportExport,
                            const char* sendExport) {
    std::uintptr_t library = 0;
    try {
        library = platform_.Load(file);
    } catch (...) {
        library = 0;  // a load that raises is no module
    }
    if (library == 0) return false;
    if (library <= kHighestErrorHandle) return false;
    auto* support = reinterpret_cast<SupportInfoPointer>(platform_.Find(library, supportExport));
    auto* send = reinterpret_cast<SendCommandPointer>(platform_.Find(library, sendExport));
    if (support == nullptr || send == nullptr) {
        // Not a layer we can use: give it back and let the next candidate try.
        platform_.Free(library);
        return false;
    }
    layer_.ASPILibrary = library;
    layer_.ASPILayerName = layerName;
    layer_.SupportInfoEntry = [support] { return support(); };
    layer_.SendCommandEntry = [send](void* srb) { return send(srb); };
    layer_.SendTimedCommandEntry = nullptr;
    layer_.ASPIInitialized = true;  // only now that both entries are set
    return true;
}

bool AspiLoader::LoadASPILayer(bool preferSpti) {
    ErrorModeScope errorMode(platform_);
    if (!(preferSpti && UseSpti()) && !layer_.ASPIInitialized) {
        for (const auto& c : kCandidates) {
            if (TryLibrary(c.File, c.LayerName, c.SupportExport, c.SendExport)) break;
        }
        if (!layer_.ASPIInitialized) UseSpti();
    }
    if (layer_.ASPIInitialized) layer_.SupportInfoEntry();
    layer_.PreferSPTIUsed = preferSpti;
    return layer_.ASPIInitialized;
}

bool AspiLoader::ReloadASPILayer() {
    if (layer_.ASPILayerName == kSptiLayerName) {
        spti_.SPTIClose();
    } else if (layer_.ASPILibrary != 0) {
        platform_.Free(layer_.ASPILibrary);
    }
    Forget();
    LoadASPILayer(layer_.PreferSPTIUsed);
    return true;
}

bool AspiLoader::UnloadASPILibrary() {
    if (!layer_.ASPIInitialized || layer_.ASPILibrary == 0) return true;
    const bool freed = platform_.Free(layer_.ASPILibrary);
    Forget();
    return freed;
}

}  // namespace burn
