// The log line of a failed recorder command.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "burn/portable/srb.h"

namespace burn {

// data: the request's data buffer (BufLen bytes); at most the first 257 are shown.
std::string FailedCommandLine(const SrbExecute& srb, std::span<const std::uint8_t> data, const std::string& lastError);

// Whether a failure is logged: not for the routine commands, never for a long write in progress.
bool ShouldLogFailure(const SrbExecute& srb);

}  // namespace burn
