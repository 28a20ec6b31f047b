// The speed list a recorder is offered and the speed a chosen line sends; the device list line.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

#include "burn/portable/device_line.h"
#include "burn/portable/speed_list.h"

namespace burn {
namespace {

using Lines = std::vector<std::string>;

TEST(SpeedList, LineText) {
    struct Case {
        std::uint16_t accepted, divisor;
        const char* text;
    };
    const Case cases[] = {
        {48, 1, "48X (7,200 KB/s)"}, {8, 1, "08X (1,200 KB/s)"}, {10, 1, "10X (1,500 KB/s)"},
        {1, 1, "01X (150 KB/s)"},    {6, 1, "06X (900 KB/s)"},   {0, 1, "00X (0 KB/s)"},
        {112, 7, "16X (16,800 KB/s)"}, {6, 7, "00X (900 KB/s)"}, {440, 1, "440X (66,000 KB/s)"},
    };
    for (const auto& c : cases) EXPECT_EQ(SpeedLine(c.accepted, c.divisor), c.text);
}

TEST(SpeedList, BuiltFromWhatTheDriveAccepts) {
    // A drive that snaps each request down to the speeds it has.
    const std::map<std::uint16_t, std::uint16_t> snaps = {{6, 4}, {5, 4}, {4, 4}, {3, 2}, {2, 2}, {1, 1}};
    std::vector<std::uint16_t> asked;
    const auto list = BuildSpeedList(6, 1, [&](std::uint16_t k) {
        asked.push_back(k);
        return snaps.at(k);
    });
    EXPECT_EQ(list, (Lines{"Max", "04X (600 KB/s)", "02X (300 KB/s)", "01X (150 KB/s)"}));
    EXPECT_EQ(asked, (std::vector<std::uint16_t>{6, 5, 4, 3, 2, 1}));
}

TEST(SpeedList, NoMaximumListsOnlyMax) {
    bool asked = false;
    EXPECT_EQ(BuildSpeedList(0, 1, [&](std::uint16_t) { return asked = true, std::uint16_t{4}; }), Lines{"Max"});
    EXPECT_FALSE(asked);
}

TEST(SpeedList, DvdDividesInListAndMultipliesInGetSpeed) {
    EXPECT_EQ(SpeedDivisor(0), 1);
    EXPECT_EQ(SpeedDivisor(3), 1);
    EXPECT_EQ(SpeedDivisor(4), 7);
    EXPECT_EQ(SpeedDivisor(10), 7);
    const auto list = BuildSpeedList(2, SpeedDivisor(5), [](std::uint16_t k) { return std::uint16_t(k * 14); });
    EXPECT_EQ(list, (Lines{"Max", "04X (4,200 KB/s)", "02X (2,100 KB/s)"}));
    EXPECT_EQ(GetSpeed(list[1], 5), 28);
    EXPECT_EQ(GetSpeed(list[1], 2), 4);
}

TEST(SpeedList, GetSpeed) {
    struct Case {
        const char* text;
        std::uint8_t type;
        std::uint16_t x;
    };
    const Case cases[] = {
        {"Max", 2, 0}, {"Max", 9, 0}, {"48X (7,200 KB/s)", 2, 48}, {"08X (1,200 KB/s)", 0, 8},
        {"08X (1,200 KB/s)", 3, 8}, {"08X (1,200 KB/s)", 4, 56}, {"004X", 2, 4},
    };
    for (const auto& c : cases) EXPECT_EQ(GetSpeed(c.text, c.type), c.x) << c.text << " " << int(c.type);
    for (const char* bad : {"", "X", "fast", "max", "4 X", "-4X"}) EXPECT_THROW(GetSpeed(bad, 2), std::invalid_argument) << bad;
}

TEST(SpeedList, SelectionRestoredInsideTheList) {
    EXPECT_EQ(RestoredSpeedIndex(-1, 5), 0);
    EXPECT_EQ(RestoredSpeedIndex(3, 5), 3);
    EXPECT_EQ(RestoredSpeedIndex(4, 5), 4);
    EXPECT_EQ(RestoredSpeedIndex(5, 5), 0);
    EXPECT_EQ(RestoredSpeedIndex(2, 1), 0);
}

std::array<std::uint8_t, 40> Inquiry(std::uint8_t type, const char* vendor, const char* product, const char* rev) {
    std::array<std::uint8_t, 40> in{};
    in[0] = type;
    std::memcpy(in.data() + 8, vendor, std::strlen(vendor));
    std::memcpy(in.data() + 16, product, std::strlen(product));
    std::memcpy(in.data() + 32, rev, std::strlen(rev));
    return in;
}

TEST(DeviceLine, TextOfEachDevice) {
    struct Case {
        DeviceAddress address;
        char letter;
        std::array<std::uint8_t, 40> inquiry;
        const char* line;
    };
    const Case cases[] = {
        {{1, 0, 0}, 'E', Inquiry(5, "VENDOR  ", "PRODUCT NAME    ", "1.00"), "1:0:0,E: VENDOR  PRODUCT NAME    1.00"},
        {{0, 1, 0}, 0, Inquiry(5, "VENDOR  ", "PRODUCT NAME    ", "1.00"), "0:1:0,?: VENDOR  PRODUCT NAME    1.00"},
        {{0, 3, 2}, 'F', Inquiry(4, "WO", "DISC", "9"), "0:3:2,F: WODISC9 (not supported)"},
        {{2, 7, 7}, 'Z', Inquiry(5, "", "", ""), "2:7:7,Z: "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeviceLine(c.address, c.letter, c.inquiry), c.line);
        EXPECT_EQ(ParseDeviceLine(c.line), c.address) << c.line;
    }
}

TEST(DeviceLine, ParsingRefusesWhatIsNotAnAddress) {
    for (const char* line : {"", "0:1:", "0:1:0", "a:1:0,E:", "0:x:0,E:", "0:1:-,E:", "10:1:0,E:"}) {
        const auto address = ParseDeviceLine(line);
        if (std::string_view(line) == "0:1:0") {
            EXPECT_EQ(address, (DeviceAddress{0, 1, 0}));  // the five characters of an address suffice
        } else {
            EXPECT_FALSE(address) << line;
        }
    }
}

TEST(DeviceLine, DescriptionIsThirtyCharacters) {
    auto in = Inquiry(5, "VEND", "PROD", "1");
    EXPECT_EQ(DeviceDescription(in), "VEND     PROD             1   ");
    EXPECT_EQ(DeviceDescription(in).size(), 30u);
}

}  // namespace
}  // namespace burn
