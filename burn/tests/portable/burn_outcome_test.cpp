// The drive's last steps after a good burn, in their order, and the eject reported as it went.
#include <gtest/gtest.h>

#include <vector>

#include "burn/portable/burn_outcome.h"
#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using testing_support::DeviceOnRecorder;
using testing_support::WithFault;

TEST(EjectAfterBurn, FlushThenAllowRemovalThenEject) {
    struct Case {
        const char* fault;
        const char* logged;
    };
    const Case cases[] = {
        {nullptr, kEjectDoneLog},
        {"op=1B sense=05/53/02", kEjectFailedLog},   // the drive refuses to eject
        {"op=35 sense=03/0C/00", kEjectDoneLog},     // a failed flush does not stop the eject
    };
    for (const auto& c : cases) {
        DeviceOnRecorder r({c.fault ? WithFault(c.fault) : vcdr::DeviceConfig{}});
        r.device.PreventMediumRemoval(false);
        r.sent.clear();
        EXPECT_EQ(EjectAfterBurn(r.device), c.logged) << (c.fault ? c.fault : "no fault");
        ASSERT_EQ(r.sent.size(), 3u);
        EXPECT_EQ(r.sent[0].Cdb[0], 0x35);
        EXPECT_EQ(r.sent[0].Cdb[1] & 2, 0) << "the flush waits for its end";
        EXPECT_EQ(r.sent[1].Cdb[0], 0x1E);
        EXPECT_EQ(r.sent[1].Cdb[4] & 1, 0) << "removal allowed";
        EXPECT_EQ(r.sent[2].Cdb[0], 0x1B);
        EXPECT_EQ(r.sent[2].Cdb[4] & 3, 2) << "eject";
    }
}

TEST(EjectAfterBurn, ADriveThatStillPreventsRemovalDoesNotEject) {
    // Without the allow step the recorder refuses the eject, as a drive does.
    DeviceOnRecorder r;
    r.device.PreventMediumRemoval(false);
    EXPECT_FALSE(r.device.LoadOrEject(true));
    EXPECT_EQ(EjectAfterBurn(r.device), kEjectDoneLog);
    EXPECT_TRUE(r.Core().State().TrayOpen);
}

}  // namespace
}  // namespace burn
