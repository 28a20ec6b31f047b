// Names of recorder operation codes for the command log, and which failures go unlogged.
#pragma once

#include <cstdint>
#include <string>

namespace burn {

// The command's name padded to 22 characters, or its two upper-case hexadecimal digits.
const std::string& CommandName(std::uint8_t opcode);

// Commands whose failure is routine (probing, polling, capability reads) and not logged.
bool IsUnloggedCommand(std::uint8_t opcode);

}  // namespace burn
