// Every saved input of the two skin fuzz targets through the same entries, under this tree's
// sanitizers: a mended fault stays mended. A text input is also held to the target's memory
// bound (its time bound is the fuzzer's alone: no timed tests).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "fuzz/skin_fuzz_entry.h"

namespace {

void Replay(const char* folder, const std::function<void(const std::uint8_t*, std::size_t)>& entry) {
    std::vector<std::filesystem::path> inputs;
    for (const auto& e : std::filesystem::directory_iterator(folder)) inputs.push_back(e.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_GE(inputs.size(), 4u) << "the seed corpus is missing in " << folder;
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        entry(bytes.data(), bytes.size());
    }
}

TEST(SkinFuzzCorpus, EveryStreamInputRunsClean) { Replay(SKIN_STREAM_FUZZ_CORPUS, fuzz::FuzzSkinStreamOnce); }
TEST(SkinFuzzCorpus, EveryTextInputRunsCleanWithinTheMemoryBound) {
    Replay(SKIN_TEXT_FUZZ_CORPUS, [](const std::uint8_t* data, std::size_t size) {
        EXPECT_EQ(fuzz::ExceededMemory(fuzz::FuzzSkinTextOnce(data, size), size), "");
    });
}

}  // namespace
