// WaitUnitReady's five stages in virtual time, against scripted answers of TEST UNIT READY,
// READ DISC INFORMATION and REQUEST SENSE.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>

#include "burn/portable/scsi_device.h"
#include "burn/tests/portable/virtual_clock.h"

namespace burn {
namespace {

using namespace testing_support;

struct Reply {
    std::uint8_t response, key, asc;
};
const Reply kGood{0, 0, 0};
const Reply kBecomingReady{0x70, 2, 0x04};
const Reply kNoMedium{0x70, 2, 0x3A};
const Reply kValidBitNoSense{0xF0, 0, 0};

struct Script {
    std::map<std::uint8_t, std::deque<Reply>> replies;  // then kGood, or the last one "for ever"
    std::map<std::uint8_t, bool> forever;
};

struct Case {
    const char* name;
    bool slowQuirk;
    std::uint16_t discType;
    Script script;
    std::int64_t total, interval;
    bool result;
    int tur, rdi, rs;
    std::uint64_t elapsed;
};

TEST(WaitUnitReady, Stages) {
    const Case cases[] = {
        {"ready at once", false, 2, {}, 10000, 1000, true, 1, 1, 0, 1000},
        {"disc becomes ready on the third poll", false, 2, {{{0x51, {kBecomingReady, kBecomingReady}}}, {}},
         10000, 1000, true, 1, 3, 0, 3000},
        {"disc never ready", false, 2, {{{0x51, {kBecomingReady}}}, {{0x51, true}}}, 10000, 1000, false, 0, 11, 0, 11000},
        {"unit ready after two more polls", false, 2, {{{0x00, {kBecomingReady, kBecomingReady}}}, {}},
         10000, 1000, true, 3, 1, 1, 3000},
        {"no medium runs out of time", false, 2, {{{0x00, {kNoMedium}}, {0x03, {kNoMedium}}}, {{0x00, true}, {0x03, true}}},
         10000, 1000, false, 2, 1, 9, 2000},
        {"sense with the valid bit waits", false, 2,
         {{{0x00, {kNoMedium, kNoMedium}}, {0x03, {kValidBitNoSense, kValidBitNoSense}}}, {}},
         10000, 1000, true, 2, 1, 3, 4000},
        {"slow drive", true, 2, {}, 10000, 1000, true, 2, 1, 0, 2500},
        {"slow drive not ready", true, 2, {{{0x00, {kBecomingReady, kBecomingReady}}}, {}}, 10000, 1000, true, 4, 1, 0,
         5500},
        {"DVD-RAM asks the sense", false, 6, {}, 10000, 1000, true, 2, 0, 1, 1000},
        {"long steps", false, 2, {{{0x51, {kBecomingReady}}}, {{0x51, true}}}, 240000, 5000, false, 0, 49, 0, 245000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualClock clock;
        AspiLayer layer;
        Script script = c.script;
        std::map<std::uint8_t, int> polls;
        layer.SendCommandEntry = [&](void* p) -> std::uint32_t {
            auto* s = static_cast<SrbExecute*>(p);
            const std::uint8_t op = s->Cdb[0];
            ++polls[op];
            Reply r = kGood;
            auto& q = script.replies[op];
            if (!q.empty()) {
                r = q.front();
                if (q.size() > 1 || !script.forever[op]) q.pop_front();
            }
            if (op == 0x03) {  // REQUEST SENSE answers with data
                std::memset(s->BufPointer, 0, s->BufLen);
                s->BufPointer[0] = r.response ? r.response : 0x70;
                s->BufPointer[2] = r.key;
                s->BufPointer[12] = r.asc;
                s->Header.Status = kSsComp;
            } else if (r.response != 0) {
                s->SenseArea[0] = r.response;
                s->SenseArea[2] = r.key;
                s->SenseArea[7] = 10;
                s->SenseArea[12] = r.asc;
                s->TargStat = 2;
                s->Header.Status = kSsErr;
            } else {
                s->Header.Status = kSsComp;
            }
            VirtualClock::Signal(s->PostProc);
            return s->Header.Status;
        };
        TSCSIDevice device(layer, clock);
        // Loaded once the device is made: the script answers the drive's commands, not a scan.
        layer.ASPIInitialized = true;
        device.HaId = device.Target = device.Lun = 0;
        device.SlowReadyQuirk = c.slowQuirk;
        device.CurrentDiscType = c.discType;
        EXPECT_EQ(device.WaitUnitReady(c.total, c.interval), c.result);
        EXPECT_EQ(polls[0x00], c.tur);
        EXPECT_EQ(polls[0x51], c.rdi);
        EXPECT_EQ(polls[0x03], c.rs);
        EXPECT_EQ(clock.Now, c.elapsed);
        EXPECT_TRUE(clock.Waits.empty());
    }
}

}  // namespace
}  // namespace burn
