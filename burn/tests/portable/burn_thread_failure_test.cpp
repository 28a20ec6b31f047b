// The burn's threads when something raises in them or they cannot be made: no exception leaves
// the cache thread, the writer or the eject, and the burn ends once through OnWriteDone with an
// upper-case text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <stdexcept>
#include <system_error>

#include "burn/portable/burn_outcome.h"
#include "burn/portable/write_thread.h"
#include "burn/tests/portable/burner_fixture.h"
#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using testing_support::BurnerOnRecorder;

constexpr int kWrite = 0x2A, kAllowRemoval = 0x1E;

bool IsUpperCase(const std::string& text) {
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

void AddFiles(testing::MemoryDisk& disk) {
    disk.AddFile(u"C:\\src\\big.bin", testing::Pattern(400000, 1));
    disk.AddFile(u"C:\\src\\README", testing::Pattern(3000, 4));
}

void Prepare(BurnerOnRecorder& f) {
    AddFiles(f.disk);
    f.burner.tree.InsertDir(f.burner.tree.Root(), u"C:\\src", false, false, true, 63, u"*.*");
    f.burner.PrepareImage(f.burner.SelectedDevice(), {2026, 3, 4, 5, 6, 7}, 0);
}

// Gives blocks of zeros, then raises at the nth look for one.
class RaisingCache final : public BlockSource {
public:
    explicit RaisingCache(int raiseAt) : raiseAt_(raiseAt) {}
    int GetBlock(std::uint8_t* dest) override {
        if (++looks_ == raiseAt_) throw std::runtime_error("cache went away");
        std::fill_n(dest, 31 * 2048, 0);
        return 31 * 2048;
    }
    void WaitForBlock(std::chrono::milliseconds) override {}
    void Abort() override {}
    bool Filled() const override { return true; }
    std::string StatusText() const override { return {}; }
    std::u16string CurrentFile() const override { return {}; }

private:
    int raiseAt_;
    int looks_ = 0;
};

TEST(BurnThreads, AThreadThatCannotBeMadeEndsTheBurnOnTheCallersThread) {
    struct Case {
        const char* what;
        bool cacheFails;
        const char* prefix;
    };
    const Case cases[] = {
        {"the cache thread", true, "CAN'T START THE CACHE THREAD ["},
        {"the write thread", false, "CAN'T START THE WRITE THREAD ["},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BurnerOnRecorder f;
        Prepare(f);
        const auto noThread = [] { throw std::system_error(EAGAIN, std::generic_category(), "no thread"); };
        if (c.cacheFails) {
            f.burner.cacheFactory = [&](CacheJob) -> std::unique_ptr<BlockSource> { noThread(); return nullptr; };
        } else {
            f.burner.threadStarter = [&](std::function<void()>) -> std::thread { noThread(); return {}; };
        }
        EXPECT_FALSE(f.BurnPrepared());
        EXPECT_EQ(f.doneCalls, 1);
        EXPECT_EQ(f.doneThread, std::this_thread::get_id());
        EXPECT_EQ(f.doneText.rfind(c.prefix, 0), 0u) << f.doneText;
        EXPECT_TRUE(IsUpperCase(f.doneText)) << f.doneText;
        for (std::size_t i = f.preparedSteps; i < f.steps.size(); ++i) EXPECT_EQ(f.steps[i].opcode, -1) << "no command";
        // The next burn runs as if nothing had happened.
        f.burner.cacheFactory = nullptr;
        f.burner.threadStarter = nullptr;
        EXPECT_TRUE(f.BurnPrepared());
        EXPECT_EQ(f.doneText, "");
    }
}

TEST(BurnThreads, WhatRaisesInTheWriterOrTheCacheEndsTheBurnWithItsText) {
    struct Case {
        const char* what;
        std::function<void(BurnerOnRecorder&)> spoil;
        const char* text;
        bool written;  // some blocks reached the drive first
    };
    const Case cases[] = {
        {"the writer's cache raises", [](BurnerOnRecorder& f) {
             f.burner.cacheFactory = [](CacheJob) { return std::make_unique<RaisingCache>(3); };
         }, "WRITE THREAD FAILED [CACHE WENT AWAY]", true},
        {"the drive layer raises", [](BurnerOnRecorder& f) {
             const auto send = f.layer.SendCommandEntry;
             int writes = 0;
             f.layer.SendCommandEntry = [send, writes](void* p) mutable -> std::uint32_t {
                 const auto* srb = static_cast<const SrbExecute*>(p);
                 if (srb->Header.Cmd == kSrbExecute && srb->Cdb[0] == kWrite && ++writes == 3) throw std::bad_alloc();
                 return send(p);
             };
         }, "WRITE THREAD FAILED [OUT OF MEMORY]", true},
        {"the cache thread raises", [](BurnerOnRecorder& f) {
             f.disk.AddFile(u"C:\\src\\zz.bin", testing::Pattern(10, 1)).readRaises = true;
         }, "CACHE THREAD FAILED [DISK GONE]", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BurnerOnRecorder f;
        c.spoil(f);
        Prepare(f);
        f.BurnPrepared();
        EXPECT_EQ(f.doneCalls, 1);
        EXPECT_EQ(f.doneText, c.text);
        EXPECT_EQ(f.Count(kWrite) > 0, c.written);
        if (c.written) {
            EXPECT_GT(f.Count(kAllowRemoval, f.Last(kWrite)), 0u) << "the drive is still restored";
        }
    }
}

TEST(BurnThreads, AnEndHandlerThatRaisesDoesNotTakeTheWriterDown) {
    BurnerOnRecorder f;
    Prepare(f);
    int calls = 0;
    f.burner.OnWriteDone = [&](TCDBurner&, const std::string&) {
        ++calls;
        throw std::runtime_error("handler");
    };
    EXPECT_TRUE(f.BurnPrepared());
    EXPECT_EQ(calls, 1);
}

TEST(BurnThreads, AnEjectThatRaisesIsAFailedEjectWithItsTextInTheLog) {
    testing_support::DeviceOnRecorder r;
    r.layer.SendCommandEntry = [](void*) -> std::uint32_t { throw std::runtime_error("layer gone"); };
    EXPECT_EQ(EjectAfterBurn(r.device), kEjectFailedLog);
    ASSERT_EQ(r.log.size(), 1u);
    EXPECT_EQ(r.log[0].Text, ">>> EJECT THREAD FAILED [LAYER GONE]");
}

}  // namespace
}  // namespace burn
