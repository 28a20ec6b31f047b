// Where the sessions of a disc lie, from the recorder's table of contents, and the import's view
// of a recorder.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "burn/portable/scsi_device.h"
#include "burn/portable/session_import.h"

namespace burn {

// READ TOC format 1 in MSF: the first track of the last session.
std::optional<std::uint32_t> LastSessionStartFromToc(std::span<const std::uint8_t> answer);
// READ TOC format 2 (always MSF): the start of that session's first track.
std::optional<std::uint32_t> SessionStartFromFullToc(std::span<const std::uint8_t> answer, int session);
// READ TOC format 0 in LBA: the start of the lead-out, the end of the recorded area.
std::optional<std::uint32_t> LeadOutFromToc(std::span<const std::uint8_t> answer);

// The recorder's answers, through ReadToc and single-sector Read10 commands.
SessionDisc DeviceSessionDisc(TSCSIDevice& device);

}  // namespace burn
