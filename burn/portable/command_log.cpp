#include "burn/portable/command_log.h"

#include <algorithm>
#include <cstdio>

#include "burn/portable/command_names.h"

namespace burn {

namespace {

constexpr std::size_t kMaxLoggedDataBytes = 257;
constexpr std::size_t kAscOffset = 12;
constexpr std::size_t kAscqOffset = 13;

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

std::string FailedCommandLine(const SrbExecute& srb, std::span<const std::uint8_t> data, const std::string& lastError) {
    const std::uint8_t opcode = srb.Cdb[0];
    std::string line = "<<< " + CommandName(opcode) + " (" + Hex(opcode, 2) + ") {" + Hex(srb.Header.Flags, 2) + "|" +
                       Hex(srb.CdbLen, 2) + "} - " + std::to_string(srb.Header.HaId) + ":" + Hex(srb.Target, 1) + ":" +
                       std::to_string(srb.Lun) + " <" + Hex(srb.Header.Status, 2) + ">" + " [" + Hex(srb.BufLen, 4) +
                       "]" + " ";
    for (std::size_t i = 1; i < kCdbSize; ++i) line += Hex(srb.Cdb[i], 2) + " ";
    line += " | ";
    const std::size_t shown = std::min({data.size(), std::size_t{srb.BufLen}, kMaxLoggedDataBytes});
    for (std::size_t i = 0; i < shown; ++i) line += Hex(data[i], 2) + " ";
    line += "= " + Hex(srb.HaStat, 2) + " " + Hex(srb.TargStat, 2) + " " + Hex(srb.SenseArea[0], 2) + " " +
            Hex(srb.SenseArea[2], 2) + " " + "ASC:" + Hex(srb.SenseArea[kAscOffset], 2) +
            ",ASQ:" + Hex(srb.SenseArea[kAscqOffset], 2) + " " + lastError;
    return line;
}

bool ShouldLogFailure(const SrbExecute& srb) {
    if (IsUnloggedCommand(srb.Cdb[0])) return false;
    return !(srb.SenseArea[kAscOffset] == 0x04 && srb.SenseArea[kAscqOffset] == 0x08);
}

}  // namespace burn
