#include "controls/portable/jpeg_prefetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "forms/portable/exceptions.h"

namespace controls {
namespace {

namespace fs = std::filesystem;

struct JpegPrefetchTest : testing::Test {
    fs::path dir = fs::temp_directory_path() / ("jpeg_prefetch_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                 "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::vector<std::string> paths;

    void SetUp() override {
        fs::create_directories(dir);
        for (int i = 0; i < 6; ++i) {
            forms::PixelBuffer p(40 + i * 8, 24, 3);
            forms::FillPixels(p.view(), static_cast<std::uint8_t>(i * 40), 90, 200);
            const auto bytes = forms::EncodeJpeg(p.view());
            const std::string path = (dir / ("p" + std::to_string(i) + ".jpg")).string();
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            paths.push_back(path);
        }
        std::ofstream((dir / "broken.jpg").string()) << "not a picture";
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(JpegPrefetchTest, HandsOutEachDecodeOnceInOrderAtItsScale) {
    std::atomic<int> asked{0};
    // The scale is chosen from each file's header: the wider pictures are reduced more.
    JpegPrefetcher prefetcher(paths, [&](const std::string&, const forms::JpegInfo& header) { ++asked; return header.width >= 56 ? 4 : 2; }, 2);
    EXPECT_EQ(prefetcher.Started(), 0u) << "nothing before the first take";
    for (std::size_t i = 0; i < paths.size(); ++i) {
        auto got = prefetcher.Take(paths[i]);
        ASSERT_TRUE(got.has_value()) << i;
        const int width = 40 + static_cast<int>(i) * 8;
        const int scale = width >= 56 ? 4 : 2;
        EXPECT_EQ(got->scaleDenominator, scale) << i;
        EXPECT_EQ(got->decoded.pixels.width(), (width + scale - 1) / scale) << i;
        EXPECT_LE(prefetcher.Started(), i + 1 + 2) << "at most two ahead";
        EXPECT_FALSE(prefetcher.Take(paths[i]).has_value()) << "handed out once";
    }
    EXPECT_EQ(asked.load(), 6);
}

TEST_F(JpegPrefetchTest, DecodesRunOnAsManyThreadsAsMayRunAheadEachKeptForTheNext) {
    // A thread per decode would make each decode the first of its thread; with two threads
    // for six decodes, one of them makes at least three.
    thread_local int decodesOnThisThread = 0;
    std::mutex lock;
    std::set<std::thread::id> threads;
    int most = 0;
    {
        JpegPrefetcher prefetcher(paths, [&](const std::string&, const forms::JpegInfo&) {
            std::lock_guard<std::mutex> hold(lock);
            threads.insert(std::this_thread::get_id());
            most = std::max(most, ++decodesOnThisThread);
            return 1;
        }, 2);
        for (const std::string& path : paths) ASSERT_TRUE(prefetcher.Take(path).has_value());
    }
    EXPECT_LE(threads.size(), 2u);
    EXPECT_GE(most, 3);
}

TEST_F(JpegPrefetchTest, SkippedAndUnknownPathsAndFailures) {
    std::vector<std::string> list = {paths[0], (dir / "broken.jpg").string(), paths[1], paths[2]};
    JpegPrefetcher prefetcher(list, [](const std::string&, const forms::JpegInfo&) { return 1; }, 8);
    EXPECT_FALSE(prefetcher.Take((dir / "other.jpg").string()).has_value());
    EXPECT_THROW(prefetcher.Take(list[1]), forms::EInvalidGraphic) << "raised where the decode is taken";
    ASSERT_TRUE(prefetcher.Take(paths[2]).has_value());  // paths[1] skipped
    EXPECT_FALSE(prefetcher.Take(paths[1]).has_value());
    EXPECT_FALSE(prefetcher.Take(paths[0]).has_value()) << "behind the last one taken";
}

TEST_F(JpegPrefetchTest, AScaleThatFailsIsRaisedOnTake) {
    JpegPrefetcher prefetcher(paths, [](const std::string&, const forms::JpegInfo&) -> int { throw forms::EFOpenError("gone"); }, 3);
    EXPECT_THROW(prefetcher.Take(paths[0]), forms::EFOpenError);
    // Destruction waits for the decodes still running.
}

TEST_F(JpegPrefetchTest, AThreadThatCannotStartLeavesTheDecodeToTheCaller) {
    // Every other launch fails as a system out of threads fails.
    int launches = 0;
    auto launch = [&](JpegPrefetcher::Task task) {
        if (launches++ % 2 == 0) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::async(std::launch::async, std::move(task));
    };
    JpegPrefetcher prefetcher(paths, [](const std::string&, const forms::JpegInfo&) { return 1; }, 2, launch);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        auto got = prefetcher.Take(paths[i]);
        ASSERT_TRUE(got.has_value()) << i;
        EXPECT_EQ(got->decoded.pixels.width(), 40 + static_cast<int>(i) * 8) << i;
        EXPECT_NEAR(got->decoded.pixels.row(0)[0], static_cast<int>(i) * 40, 3) << i;  // this picture's own blue
    }
    EXPECT_GT(launches, 2);
}

TEST_F(JpegPrefetchTest, ARecycledDecodeLendsItsMemoryToALaterOne) {
    // Largest first, so that each later picture fits in a recycled buffer.
    const std::vector<std::string> list = {paths[5], paths[4], paths[3], paths[2]};
    JpegPrefetcher prefetcher(list, [](const std::string&, const forms::JpegInfo&) { return 1; }, 1);
    auto first = prefetcher.Take(list[0]);
    ASSERT_TRUE(first.has_value());
    const std::uint8_t* memory = first->decoded.pixels.data();
    prefetcher.Recycle(std::move(first->decoded));
    // The first decode to begin after the recycling takes the buffer; which one that is
    // depends on the threads, but the last two begin after it.
    std::vector<PrefetchedJpeg> later;
    for (std::size_t i = 1; i < list.size(); ++i) {
        auto got = prefetcher.Take(list[i]);
        ASSERT_TRUE(got.has_value()) << i;
        const int width = 40 + static_cast<int>(5 - i) * 8;
        EXPECT_EQ(got->decoded.pixels.width(), width) << i;
        // Its own picture, to the last pixel.
        EXPECT_NEAR(got->decoded.pixels.row(23)[(width - 1) * 3], static_cast<int>(5 - i) * 40, 3) << i;
        later.push_back(std::move(*got));
    }
    EXPECT_EQ(std::count_if(later.begin(), later.end(), [&](const PrefetchedJpeg& p) { return p.decoded.pixels.data() == memory; }), 1);
}

}  // namespace
}  // namespace controls
