// The burn's first step on the virtual recorder: the open tray is loaded before the drive is
// asked about its disc; a tray that is in, or a drive that says its tray is closed, is not.
#include <gtest/gtest.h>

#include <algorithm>

#include "burn/portable/next_writable_address.h"
#include "burn/portable/tray_load.h"
#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using namespace testing_support;

std::size_t Loads(const std::vector<SrbExecute>& sent) {
    return static_cast<std::size_t>(std::count_if(sent.begin(), sent.end(), [](const SrbExecute& s) {
        return s.Cdb[0] == 0x1B && (s.Cdb[4] & 3) == 3;
    }));
}

TEST(LoadTrayWhenOpen, OnlyAnOpenTrayIsLoaded) {
    struct Case {
        const char* name;
        bool ejectFirst;
        vcdr::MediumKind medium;
        bool loaded;
    };
    const Case cases[] = {
        {"tray in, blank disc", false, vcdr::MediumKind::CdR, false},
        {"tray open, blank disc on it", true, vcdr::MediumKind::CdR, true},
        {"tray in, no disc", false, vcdr::MediumKind::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vcdr::DeviceConfig config;
        config.Medium = c.medium;
        DeviceOnRecorder d({config});
        if (c.ejectFirst) ASSERT_TRUE(d.device.LoadOrEject(true));
        d.sent.clear();
        EXPECT_EQ(LoadTrayWhenOpen(d.device), c.loaded);
        EXPECT_EQ(Loads(d.sent), c.loaded ? 1u : 0u);
        EXPECT_FALSE(d.Core().State().TrayOpen);
        if (c.medium != vcdr::MediumKind::None)
            EXPECT_TRUE(GetNextWritableAddress(d.device, false, true, 2).has_value()) << "the disc answers";
    }
}

}  // namespace
}  // namespace burn
