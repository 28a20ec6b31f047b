#include "controls/portable/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>

namespace controls {
namespace {

TEST(WorkerPool, RunsEveryTaskOnAtMostItsThreadsAndFinishesTheQueueBeforeItGoes) {
    std::atomic<int> done{0};
    std::mutex lock;
    std::set<std::thread::id> threads;
    {
        WorkerPool pool(3);
        for (int i = 0; i < 200; ++i)
            pool.Post([&] {
                {
                    std::lock_guard<std::mutex> hold(lock);
                    threads.insert(std::this_thread::get_id());
                }
                ++done;
            });
    }
    EXPECT_EQ(done.load(), 200);
    EXPECT_GE(threads.size(), 1u);
    EXPECT_LE(threads.size(), 3u);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u) << "never on the caller's thread";
}

TEST(WorkerPool, TasksWaitingTogetherRunTogether) {
    // Two tasks that each wait for the other: they finish only on two threads at once.
    WorkerPool pool(2);
    std::atomic<int> arrived{0};
    std::atomic<int> finished{0};
    for (int i = 0; i < 2; ++i)
        pool.Post([&] {
            ++arrived;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (arrived.load() < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
            if (arrived.load() == 2) ++finished;
        });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (finished.load() < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(finished.load(), 2);
}

}  // namespace
}  // namespace controls
