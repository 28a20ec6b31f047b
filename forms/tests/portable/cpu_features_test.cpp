#include "forms/portable/cpu_features.h"

#include <gtest/gtest.h>

namespace forms {
namespace {

TEST(CpuFeatures, VendorsByTheirIdentification) {
    const struct {
        const char* id;
        CpuVendor vendor;
    } cases[] = {
        {"GenuineIntel", CpuVendor::Intel}, {"AuthenticAMD", CpuVendor::AMD},        {"CyrixInstead", CpuVendor::Cyrix},
        {"CentaurHauls", CpuVendor::Via},   {"GenuineTMx86", CpuVendor::Transmeta},  {"HygonGenuine", CpuVendor::Generic},
        {"genuineintel", CpuVendor::Generic}, {"Unknown", CpuVendor::Generic},
    };
    for (const auto& c : cases) EXPECT_EQ(VendorOf(c.id), c.vendor) << c.id;
}

TEST(CpuFeatures, TheProcessorReadsAsItsOwnVendor) {
    const ProcessorFeatures cpu = ReadProcessorFeatures();
    ASSERT_TRUE(cpu.hasCpuid);
    EXPECT_EQ(cpu.vendorId.size(), 12u);
    EXPECT_EQ(cpu.vendor, VendorOf(cpu.vendorId));
    EXPECT_NE(cpu.features & kCpuFeatureMMX, 0u);
}

}  // namespace
}  // namespace forms
