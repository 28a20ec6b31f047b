// The session-import fuzz target's inputs through the same entry, under this tree's sanitizers:
// the peer images it starts from (made here by fuzz/session_seeds.sh) and any crash saved since.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "fuzz/session_fuzz_entry.h"

namespace {

namespace fs = std::filesystem;

TEST(SessionFuzzCorpus, EverySeedAndSavedInputRunsClean) {
    const fs::path seeds = fs::temp_directory_path() / ("session-seeds-" + std::to_string(std::random_device{}()));
    ASSERT_EQ(std::system(("'" SESSION_SEEDS "' '" + seeds.string() + "'").c_str()), 0);
    std::vector<fs::path> inputs;
    for (const fs::path folder : {seeds, fs::path(SESSION_FUZZ_CORPUS)})
        for (const auto& e : fs::directory_iterator(folder))
            if (e.path().filename() != ".keep") inputs.push_back(e.path());
    std::sort(inputs.begin(), inputs.end());
    EXPECT_GE(inputs.size(), 7u) << "the peers made no seeds";
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        fuzz::FuzzSessionImportOnce(bytes.data(), bytes.size());
    }
    fs::remove_all(seeds);
}

}  // namespace
