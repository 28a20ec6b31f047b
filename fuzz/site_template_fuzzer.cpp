// The libFuzzer target (./fuzz.sh site-template).
#include "fuzz/site_template_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzSiteTemplateOnce(data, size);
    return 0;
}
