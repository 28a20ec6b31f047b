// How a burn ends for its user: the texts of the outcome, and the drive's last steps after a
// good burn.
#pragma once

#include <cstdint>
#include <string>

#include "burn/portable/scsi_device.h"

namespace burn {

inline constexpr char kBurnCompleteLog[] = "CD Burning Process Complete";
inline constexpr char kBurnCompletedDialog[] = "CD Burn Completed!";
inline constexpr char kDoneWithErrorsLog[] = "Write / Burn Process done with errors";
inline constexpr char kEjectDoneLog[] = "Eject CD Completed, so enjoy the rest of your day.";
inline constexpr char kEjectFailedLog[] = "Eject CD Failed.";
inline constexpr std::uint32_t kFinalFlushTimeoutMs = 300000;

// After a good burn: flush the drive's cache, allow removal, eject. Gives the log line that
// says whether the eject went through; a failure that raises is logged in upper case first and
// counts as a failed eject. Slow (the flush may take minutes): never on the window's thread.
std::string EjectAfterBurn(TSCSIDevice& device) noexcept;

}  // namespace burn
