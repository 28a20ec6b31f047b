// The libFuzzer target (./fuzz.sh skin-text): an input past the memory or time bound aborts,
// so that libFuzzer keeps it as a crash.
#include <cstdio>
#include <cstdlib>

#include "fuzz/skin_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::InputCost cost = fuzz::FuzzSkinTextOnce(data, size);
    for (const std::string& fault : {fuzz::ExceededMemory(cost, size), fuzz::ExceededTime(cost)}) {
        if (fault.empty()) continue;
        std::fprintf(stderr, "skin-text: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
