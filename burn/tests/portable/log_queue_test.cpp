// Log lines written from two threads arrive on the owner's thread in each writer's order.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/log_queue.h"
#include "burn/portable/scsi_device.h"
#include "burn/tests/portable/virtual_clock.h"

namespace burn {
namespace {

TEST(LogQueue, EachThreadKeepsItsOrder) {
    std::atomic<int> wakes = 0;
    LogQueue queue([&] { ++wakes; });
    constexpr int kLines = 2000;
    std::vector<LogLine> received;
    std::atomic<bool> done = false;
    std::thread owner([&] {  // drains while the writers write, as the window does on each wake
        while (!done) {
            for (auto& line : queue.Drain()) received.push_back(std::move(line));
        }
        for (auto& line : queue.Drain()) received.push_back(std::move(line));
    });
    auto writer = [&](char name) {
        for (int i = 0; i < kLines; ++i) queue.Push(std::string(1, name) + std::to_string(i), name == 'a' ? 0 : 1);
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    done = true;
    owner.join();

    ASSERT_EQ(received.size(), 2u * kLines);
    std::map<char, int> next;
    for (const auto& line : received) {
        const char name = line.Text[0];
        EXPECT_EQ(line.Text.substr(1), std::to_string(next[name]++)) << "out of order";
        EXPECT_EQ(line.Level, name == 'a' ? 0 : 1);
    }
    EXPECT_GE(wakes, 1);
    EXPECT_LE(wakes, 2 * kLines);
}

TEST(LogQueue, WakesOncePerBatch) {
    int wakes = 0;
    LogQueue queue([&] { ++wakes; });
    queue.Push("one", 0);
    queue.Push("two", 1);
    EXPECT_EQ(wakes, 1);
    const auto lines = queue.Drain();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, "one");
    EXPECT_EQ(lines[1].Text, "two");
    EXPECT_TRUE(queue.Drain().empty());
    queue.Push("three", 0);
    EXPECT_EQ(wakes, 2);
}

// A device's DebugWindow gets every line before OnDebugMessage hears of it, and none once cleared.
TEST(LogQueue, IsTheDebugWindowOfADevice) {
    AspiLayer layer;
    testing_support::VirtualClock clock;
    TSCSIDevice device(layer, clock);
    LogQueue queue([] {});
    std::vector<std::string> order;
    device.OnDebugMessage = [&](TSCSIDevice&, const std::string& text, std::uint8_t) {
        std::string queued;
        for (const auto& line : queue.Drain()) queued += line.Text + "/" + std::to_string(line.Level);
        order.push_back(text + ": queued [" + queued + "]");
    };
    device.DebugMessage("before", 0);
    device.DebugWindow = &queue;
    device.DebugMessage("one", 1);
    device.DebugWindow = nullptr;
    device.DebugMessage("after", 0);
    EXPECT_EQ(order, (std::vector<std::string>{"before: queued []", "one: queued [one/1]", "after: queued []"}));
}

}  // namespace
}  // namespace burn
