// Input of the device-answers fuzz target: what a drive, a bridge or a layer may answer. The
// first part is handed straight to the parsers of answers (INQUIRY, mode pages 0x2A and 5 with
// their three start rules, the disc and track information, the three TOC formats, the buffer
// capacity, sense data) at lengths the input chooses; the rest answers, request by request, a
// device that is listed, selected and asked everything a burn asks before and after it writes:
// a status, sense data and any number of data bytes, the length fields inside them included.
// Nothing raises for any input; a crash or a sanitizer report is a fault.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fuzz {

void FuzzDeviceAnswersOnce(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
