// The capability mask, the medium type, the maximum speeds and the model quirks.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "burn/portable/device_capabilities.h"

namespace burn {
namespace {

CapabilitySources Sources(std::uint8_t read, std::uint8_t write = 0, std::uint8_t byte4 = 0, bool page30 = false,
                          bool quirk = false, FeatureAnswer plusRw = {}, FeatureAnswer dvdRw = {}) {
    return {read, write, byte4, page30, quirk, plusRw, dvdRw};
}

TEST(DeviceCapabilities, MaskFromPageAndFeatures) {
    struct Case {
        const char* name;
        CapabilitySources sources;
        std::uint32_t mask;
    };
    const Case cases[] = {
        {"nothing", Sources(0), 0},
        {"reads CD-R, CD-RW, method 2, DVD-ROM", Sources(0x0F), 0xF},
        {"reads DVD-R sets both bits", Sources(0x10), 0x30},
        {"reads DVD-RAM", Sources(0x20), 0x40},
        {"CD-R writer with test write", Sources(0x03, 0x05), 0x3 | 0x200 | 0x800},
        {"writes CD-RW", Sources(0, 0x02), 0x400},
        {"writes DVD-R sets both bits", Sources(0, 0x10), 0x3000},
        {"writes DVD-RAM", Sources(0, 0x20), 0x4000},
        {"bits the mask does not name", Sources(0xC0, 0xC8), 0},
        {"underrun-free from byte 4", Sources(0, 0, 0x80), 0x40000},
        {"underrun-free from the 0x30 page", Sources(0, 0, 0, true), 0x40000},
        {"underrun-free by quirk", Sources(0, 0, 0, false, true), 0x40000},
        {"DVD+RW feature, reads only", Sources(0, 0, 0, false, false, {true, 0}), 0x180},
        {"DVD+RW feature, writes", Sources(0, 0, 0, false, false, {true, 1}), 0x18180},
        {"DVD+RW feature absent ignores its byte", Sources(0, 0, 0, false, false, {false, 1}), 0},
        {"DVD-R/RW feature, reads only", Sources(0, 0, 0, false, false, {}, {true, 2}), 0x30},
        {"DVD-R/RW feature, writes", Sources(0, 0, 0, false, false, {}, {true, 1}), 0x3030},
    };
    for (const auto& c : cases) EXPECT_EQ(CapabilityMask(c.sources), c.mask) << c.name;
}

TEST(DeviceCapabilities, BurnableWhenAnyWriteBit) {
    EXPECT_TRUE(CapabilityMask(Sources(0, 0x01)) & kCapAnyWrite);
    EXPECT_TRUE(CapabilityMask(Sources(0, 0, 0, false, false, {}, {true, 1})) & kCapAnyWrite);
    EXPECT_FALSE(CapabilityMask(Sources(0xFF, 0x02, 0x80)) & kCapAnyWrite);  // a CD-RW-only writer is not offered
}

TEST(DeviceCapabilities, TypeFromProfileAndAtip) {
    const std::pair<std::uint16_t, std::uint8_t> profiles[] = {
        {0x00, 0}, {0x08, 1}, {0x09, 2}, {0x0A, 3}, {0x10, 4}, {0x11, 5}, {0x12, 6}, {0x13, 7},
        {0x14, 7}, {0x15, 0}, {0x1A, 9}, {0x1B, 10}, {0x20, 11}, {0x21, 12}, {0x22, 13}, {0x2B, 0}, {0x0108, 0},
    };
    for (const auto& [profile, type] : profiles) EXPECT_EQ(DeviceTypeFromProfile(profile), type) << profile;
    EXPECT_EQ(DeviceTypeName(DeviceTypeFromProfile(0x14)), "DVD-RW");

    const std::pair<std::uint8_t, std::uint8_t> atips[] = {{0x00, 1}, {0x40, 1}, {0x80, 2}, {0xC0, 3}, {0xBF, 2}};
    for (const auto& [byte6, type] : atips) EXPECT_EQ(DeviceTypeFromAtip(byte6), type) << int(byte6);
}

TEST(DeviceCapabilities, TypeNames) {
    EXPECT_EQ(DeviceTypeName(0), "UNKNOWN");
    EXPECT_EQ(DeviceTypeName(2), "CD-R");
    EXPECT_EQ(DeviceTypeName(10), "DVD+R");
    EXPECT_EQ(DeviceTypeName(13), "DDCD-RW");
    EXPECT_EQ(DeviceTypeName(14), "UNKNOWN");
}

TEST(DeviceCapabilities, MaximumSpeedInX) {
    struct Case {
        std::uint16_t kbs;
        bool dvdRam;
        std::uint16_t x;
    };
    const Case cases[] = {{7056, false, 40}, {1411, false, 8}, {0, true, 1}, {0, false, 0},
                          {8467, false, 48}, {706, true, 4}, {176, false, 1}, {88, false, 0}};
    for (const auto& c : cases) EXPECT_EQ(MaxSpeedXFromField(c.kbs, c.dvdRam), c.x) << c.kbs;
}

std::array<std::uint8_t, 96> Inquiry(const char* vendor, const char* product) {
    std::array<std::uint8_t, 96> in{};
    in[0] = 5;
    std::memset(in.data() + 8, ' ', 28);
    std::memcpy(in.data() + 8, vendor, std::strlen(vendor));
    std::memcpy(in.data() + 16, product, std::strlen(product));
    return in;
}

TEST(DeviceCapabilities, QuirksFromInquiryStrings) {
    struct Case {
        const char *vendor, *product;
        bool underrun, link, dvr, slow, closeImmediate;
    };
    const Case cases[] = {
        {"PLAIN", "CD-RW WRITER", false, false, false, false, true},
        {"YAMAHA", "CD-W512EB", true, false, false, false, true},
        {"SONY", "CRX175E", false, true, false, false, true},
        {"SONY", "CD-RW  CRX800E", false, true, false, false, true},
        {"SONY", "CRX175E2", false, false, false, false, true},
        {"MATSHITA", "UJDA710", false, false, false, true, true},
        {"TDK", "CDRW121032", false, false, false, true, true},
        {"TD", "CDRW121032", false, false, false, false, true},  // short vendor becomes blanks
        {"LITEON", "CDRW321040X", false, false, false, false, false},
        {"PIONEER", "DVD-RW  DVR-103", false, false, true, false, true},
        {"PIONEER", "DVD-RW  DVR-104", false, false, true, false, true},
        {"PIONEER", "DVD-RW  DVR-105", false, false, false, false, true},
    };
    for (const auto& c : cases) {
        const auto q = QuirksFromInquiry(Inquiry(c.vendor, c.product));
        SCOPED_TRACE(c.product);
        EXPECT_EQ(q.ForceUnderrunFree, c.underrun);
        EXPECT_EQ(q.LinkSize, c.link);
        EXPECT_EQ(q.DvrRw, c.dvr);
        EXPECT_EQ(q.SlowReady, c.slow);
        EXPECT_EQ(q.CloseImmediate, c.closeImmediate);
    }
}

}  // namespace
}  // namespace burn
