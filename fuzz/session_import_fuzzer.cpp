// The libFuzzer target (./fuzz.sh session-import).
#include "fuzz/session_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzSessionImportOnce(data, size);
    return 0;
}
