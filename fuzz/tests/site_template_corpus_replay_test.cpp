// Every saved input of the site-template fuzz target (the seeds and any crash found since)
// through the same entry, under this tree's sanitizers: a mended fault stays mended.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/site_template_fuzz_entry.h"

namespace {

TEST(SiteTemplateFuzzCorpus, EveryInputRunsClean) {
    std::vector<std::filesystem::path> inputs;
    for (const auto& e : std::filesystem::directory_iterator(SITE_TEMPLATE_FUZZ_CORPUS)) inputs.push_back(e.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_GE(inputs.size(), 5u) << "the seed corpus is missing";
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        fuzz::FuzzSiteTemplateOnce(bytes.data(), bytes.size());
    }
}

}  // namespace
