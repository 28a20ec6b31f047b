// The failed-command log line, the command names and which failures are logged.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "burn/portable/command_log.h"
#include "burn/portable/command_names.h"

namespace burn {
namespace {

SrbExecute WriteFailure() {
    SrbExecute srb{};
    srb.Header = {kSrbExecute, kSsErr, 1, 0x50, 0};
    srb.Target = 3;
    srb.Lun = 0;
    srb.BufLen = 4;
    srb.CdbLen = 10;
    srb.TargStat = 2;
    const std::uint8_t cdb[] = {0x2A, 0, 0, 0, 0x12, 0x34, 0, 0, 2, 0};
    std::memcpy(srb.Cdb, cdb, sizeof cdb);
    srb.SenseArea[0] = 0xF0;
    srb.SenseArea[2] = 0x03;
    srb.SenseArea[7] = 10;
    srb.SenseArea[12] = 0x0C;
    return srb;
}

TEST(CommandLog, LineCharacterByCharacter) {
    const SrbExecute srb = WriteFailure();
    const std::vector<std::uint8_t> data = {0xDE, 0xAD, 0x00, 0x0F};
    EXPECT_EQ(FailedCommandLine(srb, data, "MEDIUM ERROR (WRITE ERROR)"),
              "<<< WRITE (10)             (2A) {50|0A} - 1:3:0 <04> [0004] "
              "00 00 00 12 34 00 00 02 00 00 00 00 00 00 00  | DE AD 00 0F = 00 02 F0 03 ASC:0C,ASQ:00 "
              "MEDIUM ERROR (WRITE ERROR)");
}

TEST(CommandLog, UnnamedOpcodeByItsDigitsAndDataCutAt257Bytes) {
    SrbExecute srb = WriteFailure();
    srb.Cdb[0] = 0x99;
    srb.BufLen = 300;
    const std::vector<std::uint8_t> data(300, 0xAB);
    const std::string line = FailedCommandLine(srb, data, "X");
    EXPECT_EQ(line.rfind("<<< 99 (99) {50|0A}", 0), 0u) << line;
    EXPECT_NE(line.find("[012C]"), std::string::npos);
    const std::size_t from = line.find(" | ") + 3, to = line.find("= ");
    EXPECT_EQ(to - from, 257u * 3);
}

TEST(CommandLog, NamesArePaddedTo22) {
    EXPECT_EQ(CommandName(0x00), "TEST UNIT READY       ");
    EXPECT_EQ(CommandName(0x4A), "GET EVENT/STATUS NOTIF");
    EXPECT_EQ(CommandName(0xBF), "SEND DVD STRUCTURE    ");
    EXPECT_EQ(CommandName(0x02), "02");
    EXPECT_EQ(CommandName(0xFF), "FF");
}

TEST(CommandLog, WhichFailuresAreLogged) {
    struct Case {
        std::uint8_t opcode, asc, ascq;
        bool logged;
    };
    const Case cases[] = {
        {0x2A, 0x0C, 0x00, true},  {0x5B, 0x72, 0x00, true},  {0x1E, 0x53, 0x02, false},
        {0x00, 0x3A, 0x00, false}, {0x5A, 0x24, 0x00, false}, {0x35, 0x0C, 0x00, false},
        {0x12, 0x00, 0x00, false}, {0xBB, 0x24, 0x00, false}, {0x2A, 0x04, 0x08, false},
        {0x5B, 0x04, 0x08, false}, {0x2A, 0x04, 0x07, true},  {0x54, 0x73, 0x03, true},
    };
    for (const auto& c : cases) {
        SrbExecute srb = WriteFailure();
        srb.Cdb[0] = c.opcode;
        srb.SenseArea[12] = c.asc;
        srb.SenseArea[13] = c.ascq;
        EXPECT_EQ(ShouldLogFailure(srb), c.logged) << std::hex << int(c.opcode) << " " << int(c.asc);
    }
}

}  // namespace
}  // namespace burn
