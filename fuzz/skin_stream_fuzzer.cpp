// The libFuzzer target (./fuzz.sh skin-stream).
#include "fuzz/skin_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzSkinStreamOnce(data, size);
    return 0;
}
