// ExecCommand's own rules: requests that are not sent, time-outs and their aborts, which
// failures are logged, and the busy flag.
#include <gtest/gtest.h>

#include <cstring>

#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using namespace testing_support;

std::vector<std::uint8_t> Sectors(std::size_t n) {
    std::vector<std::uint8_t> v(n * 2048);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint8_t>(i * 7);
    return v;
}

TEST(ExecCommand, RequestThatIsNotSentFailsWithAText) {
    struct Case {
        const char* name;
        bool initialized;
        std::uint8_t haId;
    };
    for (const Case& c : {Case{"no layer", false, 0}, Case{"no device selected", true, kNoDevice}}) {
        SCOPED_TRACE(c.name);
        DeviceOnRecorder f;
        f.layer.ASPIInitialized = c.initialized;
        f.device.HaId = c.haId;
        const auto data = Sectors(1);
        EXPECT_FALSE(f.device.Write10(0, 1, 0x50, 2048, data.data()));
        EXPECT_EQ(f.device.LastError, "NO DEVICE SELECTED");
        EXPECT_FALSE(f.device.TestUnitReady(1000));
        EXPECT_FALSE(f.device.LastError.empty());
        EXPECT_TRUE(f.sent.empty());
    }
}

TEST(ExecCommand, WriteThatStaysPendingWithoutAnEventIsNoSuccess) {
    DeviceOnRecorder f({WithFault("op=2A never")});
    const auto data = Sectors(1);
    ASSERT_TRUE(f.device.SetWriteParameters(false, false, 2));
    // Flags without event notification: nothing to wait on, the request is still pending.
    EXPECT_FALSE(f.device.Write10(0, 1, kSrbDirOut, 2048, data.data()));
    EXPECT_EQ(f.device.LastError, "COMMAND TIMEOUT");
}

TEST(ExecCommand, TimeoutIsMarkedBeforeTheMessageAndLogged) {
    DeviceOnRecorder f({WithFault("op=2A never")});
    ASSERT_TRUE(f.device.SetWriteParameters(false, false, 2));
    const auto data = Sectors(2);
    EXPECT_FALSE(f.device.Write10(0, 2, 0x50, 4096, data.data()));
    EXPECT_EQ(f.device.LastError, "COMMAND TIMEOUT");
    EXPECT_FALSE(f.device.Busy);
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].Level, 0);
    EXPECT_EQ(f.log[0].Text.rfind("<<< WRITE (10)             (2A) {50|0A} - 0:0:0 <04> [1000] 00 00 00 00 00 00 00 02 00 ", 0), 0u)
        << f.log[0].Text;
    EXPECT_NE(f.log[0].Text.find("| 00 07 0E 15 "), std::string::npos);
    const std::string tail = "F9 00 = 09 00 00 00 ASC:00,ASQ:00 COMMAND TIMEOUT";
    EXPECT_EQ(f.log[0].Text.substr(f.log[0].Text.size() - tail.size()), tail);
}

// A layer that takes the request and answers neither it nor the abort: the request block, its
// data and its event must outlive the call, since the layer still writes into them.
TEST(ExecCommand, RequestTheLayerKeepsIsLeftAliveAfterItsTimeout) {
    DeviceOnRecorder f;
    SrbExecute* kept = nullptr;
    int aborts = 0;
    f.layer.SendCommandEntry = [&](void* srb) -> std::uint32_t {
        auto* h = static_cast<SrbHeader*>(srb);
        if (h->Cmd == kSrbAbort) {
            ++aborts;
            EXPECT_EQ(static_cast<SrbAbort*>(srb)->ToAbort, kept);
            return h->Status = kSsComp;
        }
        kept = static_cast<SrbExecute*>(srb);
        return kSsPending;
    };
    const std::size_t abandonedBefore = AbandonedRequestCount();
    std::uint8_t buffer[38];
    EXPECT_FALSE(f.device.ReadTrackInformation(255));
    EXPECT_EQ(f.device.LastError, "COMMAND TIMEOUT");
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(f.clock.Waits, (std::vector<std::uint32_t>{60000, kAbortGraceMs}));
    EXPECT_EQ(AbandonedRequestCount(), abandonedBefore + 1);
    // The layer finishes late: it writes the answer, the status and signals the event.
    ASSERT_NE(kept, nullptr);
    std::memset(buffer, 0x5A, sizeof buffer);
    std::memcpy(kept->BufPointer, buffer, kept->BufLen);
    kept->SenseArea[0] = 0x70;
    kept->Header.Status = kSsComp;
    VirtualClock::Signal(kept->PostProc);
    // The next command is a request of its own.
    f.layer.SendCommandEntry = [&](void* srb) { return f.front.Send(srb); };
    EXPECT_TRUE(f.device.ReadTrackInformation(255));
    EXPECT_EQ(+f.device.TrackInfo.NextWritable, 0u);
}

// A layer that answered "pending" owns the request until it signals the event, even when it has
// set the status first: the wait is on the event, and a request never signalled is kept alive.
TEST(ExecCommand, APendingAnswerIsWaitedForOnTheEventWhateverTheStatusSays) {
    for (const bool signals : {true, false}) {
        SCOPED_TRACE(signals ? "signalled later" : "never signalled");
        DeviceOnRecorder f;
        f.layer.SendCommandEntry = [&](void* srb) -> std::uint32_t {
            auto* h = static_cast<SrbHeader*>(srb);
            if (h->Cmd == kSrbAbort) return h->Status = kSsComp;
            h->Status = kSsComp;  // the status first, the event still to come
            return kSsPending;
        };
        f.clock.OnWait = [&](VirtualEvent& e, std::uint32_t) { e.Signalled = signals; };
        const std::size_t abandonedBefore = AbandonedRequestCount();
        EXPECT_EQ(f.device.TestUnitReady(5000), signals);
        ASSERT_FALSE(f.clock.Waits.empty()) << "no wait on the event";
        EXPECT_EQ(f.clock.Waits.front(), 10000u);
        if (signals) {
            EXPECT_EQ(f.clock.Waits.size(), 1u);
            EXPECT_EQ(AbandonedRequestCount(), abandonedBefore);
        } else {
            EXPECT_EQ(f.device.LastError, "COMMAND TIMEOUT");
            EXPECT_EQ(AbandonedRequestCount(), abandonedBefore + 1) << "kept for the layer that still holds it";
        }
    }
}

TEST(ExecCommand, RequestThatEndsDuringTheGraceWaitIsStillATimeout) {
    DeviceOnRecorder f;
    SrbExecute* kept = nullptr;
    f.layer.SendCommandEntry = [&](void* srb) -> std::uint32_t {
        auto* h = static_cast<SrbHeader*>(srb);
        if (h->Cmd == kSrbAbort) return h->Status = kSsComp;
        kept = static_cast<SrbExecute*>(srb);
        return kSsPending;
    };
    int waits = 0;
    f.clock.OnWait = [&](VirtualEvent& e, std::uint32_t) {
        if (++waits == 2) {  // the abort takes effect while the caller gives it its grace
            kept->Header.Status = kSsAborted;
            e.Signalled = true;
        }
    };
    const std::size_t abandonedBefore = AbandonedRequestCount();
    EXPECT_FALSE(f.device.SynchronizeCache(300000, false));
    EXPECT_EQ(f.device.LastError, "COMMAND TIMEOUT");
    EXPECT_EQ(AbandonedRequestCount(), abandonedBefore);
}

TEST(ExecCommand, WhichFailuresAreLogged) {
    struct Case {
        const char* name;
        const char* fault;
        std::function<bool(TSCSIDevice&)> call;
        bool logged;
        const char* error;
    };
    const auto data = Sectors(1);
    const Case cases[] = {
        {"write error", "op=2A sense=03/0C/00", [&](TSCSIDevice& d) { return d.Write10(0, 1, 0x50, 2048, data.data()); },
         true, "MEDIUM ERROR (WRITE ERROR)"},
        {"long write in progress", "op=2A sense=02/04/08",
         [&](TSCSIDevice& d) { return d.Write10(0, 1, 0x50, 2048, data.data()); }, false,
         "NOT READY (LOGICAL UNIT NOT READY, LONG WRITE IN PROGRESS)"},
        {"test unit ready", "op=00 sense=02/3A/00", [](TSCSIDevice& d) { return d.TestUnitReady(5000); }, false,
         "NOT READY (MEDIUM NOT PRESENT)"},
        {"mode sense", "op=5A sense=05/24/00",
         [](TSCSIDevice& d) { std::uint8_t b[128]; return d.ModeSense10(0x2A, b, false, 128, 0); }, false,
         "ILLEGAL REQUEST (INVALID FIELD IN CDB)"},
        {"synchronize cache", "op=35 sense=03/0C/00", [](TSCSIDevice& d) { return d.SynchronizeCache(120000, false); },
         false, "MEDIUM ERROR (WRITE ERROR)"},
        {"close session", "op=5B sense=03/72/00", [](TSCSIDevice& d) { return d.CloseTrackSession(false, false); },
         true, "MEDIUM ERROR (SESSION FIXATION ERROR)"},
        {"busy", "op=2A target=08", [&](TSCSIDevice& d) { return d.Write10(0, 1, 0x50, 2048, data.data()); }, true,
         "TARGET BUSY"},
        {"unknown pair", "op=54 sense=05/99/01", [](TSCSIDevice& d) { return d.SendOPC(); }, true,
         "ILLEGAL REQUEST (153,1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceOnRecorder f({WithFault(c.fault)});
        EXPECT_FALSE(c.call(f.device));
        EXPECT_EQ(f.device.LastError, c.error);
        EXPECT_EQ(f.log.size(), c.logged ? 1u : 0u);
        if (c.logged && !f.log.empty()) {
            EXPECT_EQ(f.log[0].Text.substr(f.log[0].Text.size() - std::strlen(c.error)), c.error);
        }
        EXPECT_EQ(f.device.Busy, std::string(c.error) == "TARGET BUSY");
    }
}

TEST(ExecCommand, LastSenseKeepsTheDrivesSenseAndIsClearedByTheNextCommand) {
    DeviceOnRecorder f({WithFault("op=00 sense=02/04/01")});
    EXPECT_FALSE(f.device.TestUnitReady(5000));
    EXPECT_EQ(f.device.LastSense[0], 0x70);
    EXPECT_EQ(f.device.LastSense[2], 2);
    EXPECT_EQ(f.device.LastSense[12], 4);
    EXPECT_EQ(f.device.LastSense[13], 1);
    EXPECT_TRUE(f.device.TestUnitReady(5000));
    EXPECT_EQ(f.device.LastSense[12], 0);
    EXPECT_EQ(f.device.LastError, "");
}

TEST(ExecCommand, NoEventToWaitOnIsAFailureTextNotAnException) {
    struct NoEvents : VirtualClock {
        std::unique_ptr<CommandEvent> NewEvent() override { throw std::runtime_error("CAN'T CREATE EVENT"); }
    } clock;
    DeviceOnRecorder f;
    TSCSIDevice device(f.layer, clock);
    device.HaId = device.Target = device.Lun = 0;
    bool ok = true;
    EXPECT_NO_THROW(ok = device.TestUnitReady(5000));
    EXPECT_FALSE(ok);
    EXPECT_EQ(device.LastError, "CAN'T CREATE EVENT");
    EXPECT_TRUE(f.sent.empty());
}

TEST(ExecCommand, NoOpCodeCompletesWithoutReachingTheDrive) {
    DeviceOnRecorder f;
    CommandBlock b = TestUnitReadyBlock(1000);
    b.Cdb[0] = 0xFF;
    EXPECT_EQ(f.device.ExecCommand(b), kSsComp);
    EXPECT_TRUE(f.sent.empty());
}

}  // namespace
}  // namespace burn
