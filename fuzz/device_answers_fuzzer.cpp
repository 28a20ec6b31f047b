// The libFuzzer target (./fuzz.sh device-answers).
#include "fuzz/device_answers_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzDeviceAnswersOnce(data, size);
    return 0;
}
