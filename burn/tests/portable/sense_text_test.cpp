// Status, sense-key and additional-sense texts, and the failure message built from them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "burn/portable/sense_text.h"

namespace burn {
namespace {

std::vector<std::uint8_t> Sense(std::uint8_t response, std::uint8_t byte2, std::uint8_t asc, std::uint8_t ascq,
                                std::uint8_t additionalLength = 10) {
    std::vector<std::uint8_t> s(33, 0);
    s[0] = response;
    s[2] = byte2;
    s[7] = additionalLength;
    s[12] = asc;
    s[13] = ascq;
    return s;
}

TEST(SenseText, StatusTable) {
    struct Case {
        std::uint8_t status, ha, targ;
        const char* text;
        bool busy;
    };
    const Case cases[] = {
        {0, 0, 0, "", false}, {1, 0, 0, "", false}, {2, 0, 0, "OPERATION ABORTED BY USER", false},
        {3, 0, 0, "OPERATION ABORTED BY USER", false}, {4, 0, 0, "CHECK CONDITION", false},
        {4, 0, 2, "CHECK CONDITION", false}, {4, 0, 8, "TARGET BUSY", true},
        {4, 0, 0x18, "TARGET RESERVATION CONFLICT", false}, {4, 0, 0x28, "TARGET QUEUE FULL", false},
        {4, 0, 0x30, "UNKNOWN", false}, {4, 9, 0, "COMMAND TIMEOUT", false}, {4, 0x0B, 0, "SRB TIMEOUT", false},
        {4, 0x0D, 0, "MESSAGE REJECT", false}, {4, 0x0E, 0, "BUS RESET", false}, {4, 0x0F, 0, "PARITY ERROR", false},
        {4, 0x10, 0, "REQUEST SENSE FAILED", false}, {4, 0x11, 0, "SELECTION TIMEOUT", false},
        {4, 0x12, 0, "DATA OVERRUN", false}, {4, 0x13, 0, "UNEXPECTED BUS FREE", false},
        {0x80, 0, 0, "INVALID REQUEST", false}, {0x81, 0, 0, "INVALID HOST ADAPTER", false},
        {0x82, 0, 0, "NO DEVICE", false}, {0xE0, 0, 0, "INVALID SRB", false}, {0xE1, 0, 0, "BUFFER ALIGNMENT", false},
        {0xE5, 0, 0, "ASPI IS BUSY", false}, {0xE6, 0, 0, "BUFFER TOO BIG", false}, {0x55, 0, 0, "UNKNOWN", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.status) << "/" << int(c.ha) << "/" << int(c.targ));
        const auto m = StatusText(c.status, c.ha, c.targ);
        EXPECT_EQ(m.Text, c.text);
        EXPECT_EQ(m.Busy, c.busy);
    }
}

TEST(SenseText, SenseKeysOfBothResponseFormatsWithAndWithoutTheValidBit) {
    const std::pair<std::uint8_t, const char*> keys[] = {
        {0x00, "NO ADDITIONAL SENSE INFORMATION"}, {0x80, "FILEMARK"}, {0x40, "END OF MEDIA"},
        {0x20, "ILLEGAL LENGTH"}, {1, "RECOVERED ERROR"}, {2, "NOT READY"}, {3, "MEDIUM ERROR"},
        {4, "HARDWARE ERROR"}, {5, "ILLEGAL REQUEST"}, {6, "UNIT ATTENTION"}, {7, "DATA PROTECT"},
        {8, "ERASE CHECK"}, {9, "CHECK CONDITION"}, {10, "COPYABORTED"}, {11, "ABORTED COMMAND"},
        {12, "CHECK CONDITION"}, {13, "VOLUME OVERFLOW"}, {14, "MISCOMPARE"}, {15, "RESERVED"},
    };
    for (std::uint8_t response : {0x70, 0x71, 0xF0, 0xF1}) {
        for (const auto& [byte2, text] : keys) {
            SCOPED_TRACE(testing::Message() << std::hex << int(response) << " " << int(byte2));
            EXPECT_EQ(CheckConditionText(Sense(response, byte2, 0, 0)), text);
        }
    }
    EXPECT_EQ(CheckConditionText(Sense(0x72, 3, 0, 0)), "UNKNOWN");
}

TEST(SenseText, WriteErrorWithTheValidBitNamesTheMediumError) {
    // The usual form of a write error from a recorder: response code 0xF0.
    const auto m = FailureMessage(4, 0, 2, Sense(0xF0, 3, 0x0C, 0x00));
    EXPECT_EQ(m.Text, "MEDIUM ERROR (WRITE ERROR)");
}

TEST(SenseText, FailureWithoutSenseDataStaysAFailure) {
    // What the pass-through layer returns when the driver call itself fails.
    const auto m = FailureMessage(4, 0, 0, std::vector<std::uint8_t>(33, 0));
    EXPECT_EQ(m.Text, "CHECK CONDITION");
}

TEST(SenseText, AdditionalSenseSuffixOnlyWithAnAdditionalLength) {
    EXPECT_EQ(FailureMessage(4, 0, 2, Sense(0x70, 2, 0x3A, 0x00)).Text, "NOT READY (MEDIUM NOT PRESENT)");
    EXPECT_EQ(FailureMessage(4, 0, 2, Sense(0x70, 2, 0x3A, 0x00, 0)).Text, "NOT READY");
    EXPECT_EQ(FailureMessage(4, 0, 2, Sense(0x70, 5, 0x99, 0x01)).Text, "ILLEGAL REQUEST (153,1)");
    EXPECT_EQ(FailureMessage(4, 9, 0, std::vector<std::uint8_t>(33, 0)).Text, "COMMAND TIMEOUT");
    EXPECT_TRUE(FailureMessage(1, 0, 0, Sense(0x70, 5, 0x24, 0)).Text.empty());
}

TEST(SenseText, AdditionalSenseExamples) {
    EXPECT_EQ(AdditionalSenseText(0x04, 0x08), "LOGICAL UNIT NOT READY, LONG WRITE IN PROGRESS");
    EXPECT_EQ(AdditionalSenseText(0x30, 0x00), "INCOMPATIBLE MEDIUM INSTALLED");
    EXPECT_EQ(AdditionalSenseText(0x72, 0x00), "SESSION FIXATION ERROR");
    EXPECT_EQ(AdditionalSenseText(0x73, 0x03), "POWER CALIBRATION AREA ERROR");
    EXPECT_EQ(AdditionalSenseText(0x0C, 0x09), "WRITE ERROR - LOSS OF STREAMING");
    EXPECT_EQ(AdditionalSenseText(0x21, 0x02), "33,2");
}

// The pairs the table covers, as ranges per ASC: every one has a text, and no other pair has.
TEST(SenseText, TableCoversExactlyTheListedPairs) {
    const std::vector<std::pair<std::uint8_t, std::vector<std::pair<int, int>>>> ranges = {
        {0x00, {{0, 0}, {6, 6}, {0x11, 0x17}}}, {0x02, {{0, 0}}}, {0x04, {{0, 4}, {7, 9}}}, {0x05, {{0, 0}}},
        {0x06, {{0, 0}}}, {0x07, {{0, 0}}}, {0x08, {{0, 4}}}, {0x09, {{0, 4}}}, {0x0A, {{0, 0}}},
        {0x0B, {{0, 2}}}, {0x0C, {{0, 0}, {7, 0x0A}}}, {0x0D, {{0, 5}}},
        {0x11, {{0, 2}, {5, 6}, {0x0D, 0x11}}}, {0x14, {{0, 1}}}, {0x17, {{0, 5}, {7, 9}}},
        {0x18, {{0, 6}, {8, 8}}}, {0x1A, {{0, 0}}}, {0x1B, {{0, 0}}}, {0x1D, {{0, 0}}}, {0x20, {{0, 0}}},
        {0x24, {{0, 1}}}, {0x25, {{0, 0}}}, {0x26, {{0, 0x0D}}}, {0x27, {{0, 6}}}, {0x28, {{0, 1}}},
        {0x29, {{0, 6}}}, {0x2A, {{0, 5}}}, {0x2B, {{0, 0}}}, {0x2C, {{0, 0}, {3, 4}, {6, 6}}}, {0x2E, {{0, 0}}},
        {0x2F, {{0, 0}}}, {0x30, {{0, 9}, {0x10, 0x10}}}, {0x34, {{0, 0}}}, {0x35, {{0, 4}}}, {0x37, {{0, 0}}},
        {0x39, {{0, 0}}}, {0x3A, {{0, 4}}}, {0x3B, {{0x0D, 0x0F}, {0x11, 0x16}}}, {0x3D, {{0, 0}}},
        {0x3E, {{0, 4}}}, {0x3F, {{0, 0x11}}}, {0x43, {{0, 0}}}, {0x44, {{0, 0}}}, {0x45, {{0, 0}}},
        {0x46, {{0, 0}}}, {0x47, {{0, 4}}}, {0x48, {{0, 0}}}, {0x49, {{0, 0}}}, {0x4A, {{0, 0}}},
        {0x4B, {{0, 0}}}, {0x4C, {{0, 0}}}, {0x4E, {{0, 0}}}, {0x51, {{0, 1}}}, {0x53, {{0, 0}, {2, 2}}},
        {0x55, {{2, 4}}}, {0x57, {{0, 0}}}, {0x5A, {{0, 3}}}, {0x5B, {{0, 3}}}, {0x5D, {{0, 3}, {0xFF, 0xFF}}},
        {0x5E, {{0, 4}}}, {0x63, {{0, 1}}}, {0x64, {{0, 1}}}, {0x65, {{0, 0}}}, {0x6F, {{0, 5}}},
        {0x72, {{0, 5}}}, {0x73, {{0, 6}}},
    };
    std::set<std::pair<int, int>> listed;
    for (const auto& [asc, spans] : ranges) {
        for (const auto& [from, to] : spans) {
            for (int q = from; q <= to; ++q) listed.insert({asc, q});
        }
    }
    EXPECT_EQ(listed.size(), 247u);
    EXPECT_EQ(AdditionalSenseTableSize(), listed.size());
    std::set<std::string> texts;
    for (int asc = 0; asc < 256; ++asc) {
        for (int ascq = 0; ascq < 256; ++ascq) {
            const std::string text = AdditionalSenseText(asc, ascq);
            const std::string numeric = std::to_string(asc) + "," + std::to_string(ascq);
            EXPECT_EQ(text != numeric, listed.count({asc, ascq}) == 1) << asc << "/" << ascq;
            if (text != numeric) texts.insert(text);
        }
    }
    EXPECT_EQ(texts.size(), listed.size()) << "two pairs share one description";
}

}  // namespace
}  // namespace burn
