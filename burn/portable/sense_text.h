// Status and sense data turned into the engine's upper-case failure texts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace burn {

struct StatusMessage {
    std::string Text;  // empty: success
    bool Busy = false;  // the target answered BUSY
};

// The text of an SRB status with its host and target status, before the sense is looked at.
StatusMessage StatusText(std::uint8_t status, std::uint8_t haStat, std::uint8_t targStat);

// "CHECK CONDITION" refined by the sense data (response code and sense key).
std::string CheckConditionText(std::span<const std::uint8_t> sense);

// The additional-sense description of an ASC/ASCQ pair, or "ASC,ASCQ" in decimal.
std::string AdditionalSenseText(std::uint8_t asc, std::uint8_t ascq);

// The number of ASC/ASCQ pairs that have a description.
std::size_t AdditionalSenseTableSize();

// The whole failure message of a finished request, as LastError holds it.
StatusMessage FailureMessage(std::uint8_t status, std::uint8_t haStat, std::uint8_t targStat,
                             std::span<const std::uint8_t> sense);

}  // namespace burn
