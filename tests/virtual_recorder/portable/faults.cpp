#include "tests/virtual_recorder/portable/faults.h"

#include <sstream>
#include <stdexcept>

namespace vcdr {

namespace {

unsigned long Hex(const std::string& text, const std::string& what) {
    try {
        std::size_t used = 0;
        const unsigned long v = std::stoul(text, &used, 16);
        if (used == text.size()) return v;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument("fault: bad " + what + " \"" + text + "\"");
}

unsigned long Dec(const std::string& text, const std::string& what) {
    try {
        std::size_t used = 0;
        const unsigned long v = std::stoul(text, &used, 10);
        if (used == text.size()) return v;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument("fault: bad " + what + " \"" + text + "\"");
}

}  // namespace

bool Fault::Fires(std::uint8_t opcode, std::int64_t lba) {
    if (Opcode >= 0 && Opcode != opcode) return false;
    if (LbaFrom >= 0 && lba < LbaFrom) return false;
    ++Matched;
    if (Matched < Nth) return false;
    return Times == 0 || Matched < Nth + Times;
}

Fault ParseFault(const std::string& text) {
    Fault f;
    bool answered = false;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const auto eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
        auto answer = [&](FaultAnswer a) {
            f.Answer = a;
            answered = true;
        };
        if (key == "op") {
            f.Opcode = static_cast<int>(Hex(value, "opcode"));
        } else if (key == "nth") {
            f.Nth = static_cast<std::uint32_t>(Dec(value, "nth"));
            if (f.Nth == 0) throw std::invalid_argument("fault: nth counts from 1");
        } else if (key == "lba") {
            f.LbaFrom = static_cast<std::int64_t>(Dec(value, "lba"));
        } else if (key == "times") {
            f.Times = value == "ever" ? 0 : static_cast<std::uint32_t>(Dec(value, "times"));
        } else if (key == "sense") {
            if (value.size() != 8 || value[2] != '/' || value[5] != '/') {
                throw std::invalid_argument("fault: sense is KK/AA/QQ, not \"" + value + "\"");
            }
            f.Key = static_cast<std::uint8_t>(Hex(value.substr(0, 2), "sense key"));
            f.Asc = static_cast<std::uint8_t>(Hex(value.substr(3, 2), "ASC"));
            f.Ascq = static_cast<std::uint8_t>(Hex(value.substr(6, 2), "ASCQ"));
            answer(FaultAnswer::Sense);
        } else if (key == "target" || key == "host" || key == "srb") {
            f.Value = static_cast<std::uint8_t>(Hex(value, key));
            answer(key == "target" ? FaultAnswer::Target : key == "host" ? FaultAnswer::Host : FaultAnswer::SrbStatus);
        } else if (key == "never") {
            answer(FaultAnswer::Never);
        } else if (key == "delay") {
            f.Number = static_cast<std::uint32_t>(Dec(value, "delay"));
            answer(FaultAnswer::Delay);
        } else if (key == "tray-open") {
            answer(FaultAnswer::TrayOpen);
        } else if (key == "fixation-fails") {
            answer(FaultAnswer::FixationFails);
        } else if (key == "underrun") {
            answer(FaultAnswer::Underrun);
        } else if (key == "nwa") {
            f.Number = static_cast<std::uint32_t>(Dec(value, "nwa"));
            answer(FaultAnswer::NextWritable);
        } else {
            throw std::invalid_argument("fault: unknown word \"" + word + "\"");
        }
    }
    if (!answered) throw std::invalid_argument("fault: no answer in \"" + text + "\"");
    return f;
}

}  // namespace vcdr
