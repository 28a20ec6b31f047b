// The libFuzzer target (./fuzz.sh jpeg).
#include "fuzz/jpeg_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzJpegOnce(data, size);
    return 0;
}
