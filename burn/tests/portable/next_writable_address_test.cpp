// The session start asked of a recorder: the virtual recorder's blank and appendable discs, and
// a drive that cannot answer, through PrepareImage.
#include <gtest/gtest.h>

#include "burn/portable/next_writable_address.h"
#include "burn/tests/portable/device_fixture.h"
#include "burn/tests/portable/iso_reader.h"
#include "burn/tests/portable/memory_sources.h"

namespace burn {
namespace {

using testing_support::DeviceOnRecorder;

vcdr::DeviceConfig Disc(vcdr::DiscStatus status, const char* fault = nullptr) {
    vcdr::DeviceConfig d = fault ? testing_support::WithFault(fault) : vcdr::DeviceConfig{};
    d.Status = status;
    return d;
}

TEST(NextWritableAddress, ImageStartsWhereTheDiscLetsItAndOnFailureAtZero) {
    struct Case {
        const char* what;
        vcdr::DeviceConfig disc;
        bool answers;
    };
    const Case cases[] = {
        {"blank", Disc(vcdr::DiscStatus::Blank), true},
        {"appendable", Disc(vcdr::DiscStatus::Appendable), true},
        {"no answer", Disc(vcdr::DiscStatus::Appendable, "op=52 times=ever sense=05/24/00"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeviceOnRecorder f({c.disc});
        const std::uint32_t expected = f.Core().State().NextWritable;
        testing::Master m;
        m.disk.AddFile(u"C:\\src\\a.txt", testing::Pattern(3000, 1));
        m.Insert();
        DeviceQueries device;
        device.nextWritableAddress = [&] { return GetNextWritableAddress(f.device, false, true, 1); };
        m.burner.PrepareImage(device, {}, 0);
        EXPECT_FALSE(f.device.FinalizeDisc) << "closing the disc was for the query only";
        const ImageLayout& l = m.burner.Layout();
        if (c.answers) {
            EXPECT_EQ(l.sessionStart, expected);
            EXPECT_TRUE(m.log.empty());
        } else {
            EXPECT_EQ(l.sessionStart, 0u);
            ASSERT_FALSE(m.log.empty());
            EXPECT_EQ(m.log.back().first, ">>> ERROR GETTING NEXT WRITABLE ADDRESS");
        }
        const testing::ImageView v{m.burner.MetadataStream(), l.sessionStart};
        EXPECT_EQ(testing::Both32(v.Sector(l.pvd) + 80), l.end);
    }
    DeviceOnRecorder appendable({Disc(vcdr::DiscStatus::Appendable)});
    EXPECT_GT(appendable.Core().State().NextWritable, 0u) << "the appendable case starts past sector 0";
}

}  // namespace
}  // namespace burn
