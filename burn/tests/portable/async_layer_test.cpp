// The recorder commands against a layer that answers later from a thread of its own, with
// real events: the request, its data and its event live until the answer is in.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "burn/portable/scsi_device.h"
#include "tests/virtual_recorder/portable/aspi_front.h"

namespace burn {
namespace {

class StdEvent : public CommandEvent {
public:
    void* Handle() override { return this; }
    void Reset() override {
        std::lock_guard lock(mutex_);
        set_ = false;
    }
    bool Wait(std::uint32_t ms) override {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return set_; });
    }
    static void Signal(void* handle) {
        auto* e = static_cast<StdEvent*>(handle);
        std::lock_guard lock(e->mutex_);
        e->set_ = true;
        e->cv_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool set_ = false;
};

class StdClock : public CommandClock {
public:
    void Sleep(std::uint32_t) override {}
    std::unique_ptr<CommandEvent> NewEvent() override { return std::make_unique<StdEvent>(); }
};

// One round: the write parameters, twenty writes, a refused write, the flush and the close.
void BurnRound() {
    vcdr::FrontEndOptions options;
    options.Asynchronous = true;  // with the strict recorder's gap between the status and the event
    options.Signal = &StdEvent::Signal;
    vcdr::AspiFrontEnd front({vcdr::DeviceConfig{}}, options);
    AspiLayer layer;
    layer.ASPIInitialized = true;
    layer.SendCommandEntry = [&](void* srb) { return front.Send(srb); };
    StdClock clock;
    TSCSIDevice d(layer, clock);
    d.HaId = d.Target = d.Lun = 0;
    d.FinalizeDisc = true;

    ASSERT_TRUE(d.Inquiry()) << d.LastError;
    EXPECT_EQ(d.InquiryBuffer[0], 5);
    ASSERT_TRUE(d.SetWriteParameters(false, false, 2)) << d.LastError;
    ASSERT_TRUE(d.ReadTrackInformation(255)) << d.LastError;
    std::uint32_t lba = d.TrackInfo.NextWritable;
    for (int i = 0; i < 20; ++i) {
        std::vector<std::uint8_t> block(31 * 2048, static_cast<std::uint8_t>(i));
        ASSERT_TRUE(d.Write10(lba, 31, 0x50, static_cast<std::uint32_t>(block.size()), block.data())) << d.LastError;
        lba += 31;
    }
    EXPECT_FALSE(d.Write10(0, 1, 0x50, 2048, std::vector<std::uint8_t>(2048).data()));
    EXPECT_EQ(d.LastError, "ILLEGAL REQUEST (33,2)");
    ASSERT_TRUE(d.SynchronizeCache(300000, false));
    ASSERT_TRUE(d.CloseTrackSession(false, false));
    EXPECT_EQ(front.Device(0)->State().Status, vcdr::DiscStatus::Complete);
    EXPECT_EQ(front.Device(0)->State().ClosedSessions.at(0).second, 620u);
}

TEST(AsyncLayer, CommandsCompleteFromTheLayersThread) { BurnRound(); }

// A layer that sets the status before it signals: the request and its event must outlive the
// status until the signal, round after round (the sanitizers see any use after its end).
TEST(AsyncLayer, ThousandsOfRoundsWithTheEventAfterTheStatus) {
    constexpr int kRounds = 2000;
    for (int i = 0; i < kRounds && !HasFailure(); ++i) BurnRound();
}

}  // namespace
}  // namespace burn
