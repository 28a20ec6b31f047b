// Faults the virtual recorder injects: a trigger counted by opcode occurrence and address,
// never by time, and the answer given instead of (or on top of) the normal one.
#pragma once

#include <cstdint>
#include <string>

namespace vcdr {

enum class FaultAnswer {
    Sense,       // check condition with the given sense key, ASC and ASCQ
    Target,      // a target status without sense (8 = busy)
    Host,        // a host adapter status
    SrbStatus,   // a bare SRB status
    Never,       // the request never completes (until aborted)
    Delay,       // completes normally after DelayMs
    TrayOpen,    // the tray opens, then the request fails as a drive without a disc would
    Underrun,    // loss of streaming unless the stored write page asks for underrun protection
    NextWritable, // READ TRACK INFORMATION reports (and the drive takes) another next writable address
    FixationFails // the close is taken, the session's fixation then fails (03/72/00; deferred after IMMED)
};

struct Fault {
    // Trigger: requests of Opcode (-1: any) with an LBA at or past LbaFrom (-1: any); the
    // Nth matching request fires, and the Times - 1 after it (Times 0: every one from the Nth on).
    int Opcode = -1;
    std::int64_t LbaFrom = -1;
    std::uint32_t Nth = 1;
    std::uint32_t Times = 1;

    FaultAnswer Answer = FaultAnswer::Sense;
    std::uint8_t Key = 0, Asc = 0, Ascq = 0;
    std::uint8_t Value = 0;      // target, host or SRB status
    std::uint32_t Number = 0;    // delay in ms, or the next writable address

    std::uint32_t Matched = 0;   // matching requests seen so far

    // Counts a matching request and says whether the fault fires for it.
    bool Fires(std::uint8_t opcode, std::int64_t lba);
};

// "op=2A nth=3 lba=100 times=2 sense=03/0C/00" and the other answers: target=08, host=11,
// srb=82, never, delay=500, tray-open, underrun, nwa=12345, fixation-fails. Throws std::invalid_argument.
Fault ParseFault(const std::string& text);

}  // namespace vcdr
