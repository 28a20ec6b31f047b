#include "tests/virtual_recorder/portable/config_file.h"

#include <map>
#include <sstream>
#include <stdexcept>

namespace vcdr {

namespace {

std::string Trim(const std::string& s) {
    const auto from = s.find_first_not_of(" \t\r");
    if (from == std::string::npos) return "";
    return s.substr(from, s.find_last_not_of(" \t\r") - from + 1);
}

// "key=value   ; note": a ";" after a blank starts a comment, as the README's example writes them.
std::string WithoutComment(const std::string& line) {
    for (std::size_t at = line.find(';'); at != std::string::npos; at = line.find(';', at + 1)) {
        if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t') return line.substr(0, at);
    }
    return line;
}

bool IsAbsolute(const std::string& p) {
    return (!p.empty() && (p[0] == '/' || p[0] == '\\')) || (p.size() > 1 && p[1] == ':');
}

struct MediumSetting {
    MediumKind Kind;
    DiscStatus Status;
};

const std::map<std::string, MediumSetting>& Media() {
    static const std::map<std::string, MediumSetting> m = {
        {"none", {MediumKind::None, DiscStatus::Blank}},
        {"blank", {MediumKind::CdR, DiscStatus::Blank}},
        {"blank-cdrw", {MediumKind::CdRw, DiscStatus::Blank}},
        {"blank-dvdr", {MediumKind::DvdR, DiscStatus::Blank}},
        {"appendable", {MediumKind::CdR, DiscStatus::Appendable}},
        {"complete", {MediumKind::CdR, DiscStatus::Complete}},
    };
    return m;
}

unsigned long Number(const std::string& key, const std::string& value) {
    try {
        std::size_t used = 0;
        const unsigned long v = std::stoul(value, &used, 0);
        if (used == value.size()) return v;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument("vcdr.ini: " + key + " is not a number: \"" + value + "\"");
}

void Apply(DeviceConfig& d, const std::string& key, const std::string& value, const std::string& folder) {
    auto path = [&] { return value.empty() || IsAbsolute(value) ? value : folder + value; };
    auto flag = [&] { return Number(key, value) != 0; };
    if (key == "address") {
        unsigned ha = 0, target = 0, lun = 0;
        char c1 = 0, c2 = 0;
        std::istringstream in(value);
        if (!(in >> ha >> c1 >> target >> c2 >> lun) || c1 != ':' || c2 != ':') {
            throw std::invalid_argument("vcdr.ini: address is HA:TARGET:LUN, not \"" + value + "\"");
        }
        d.HaId = static_cast<std::uint8_t>(ha);
        d.Target = static_cast<std::uint8_t>(target);
        d.Lun = static_cast<std::uint8_t>(lun);
    } else if (key == "type") {
        d.PeripheralType = static_cast<std::uint8_t>(Number(key, value));
    } else if (key == "vendor") {
        d.Vendor = value;
    } else if (key == "product") {
        d.Product = value;
    } else if (key == "revision") {
        d.Revision = value;
    } else if (key == "letter") {
        d.DriveLetter = value.empty() ? 'E' : value[0];
    } else if (key == "medium") {
        const auto it = Media().find(value);
        if (it == Media().end()) throw std::invalid_argument("vcdr.ini: unknown medium \"" + value + "\"");
        d.Medium = it->second.Kind;
        d.Status = it->second.Status;
    } else if (key == "capacity") {
        d.CapacityBlocks = static_cast<std::uint32_t>(Number(key, value));
    } else if (key == "earlier_session") {
        d.EarlierSessionBlocks = static_cast<std::uint32_t>(Number(key, value));
    } else if (key == "speeds") {
        d.WriteSpeedsX.clear();
        std::istringstream in(value);
        for (std::string x; std::getline(in, x, ',');) d.WriteSpeedsX.push_back(static_cast<std::uint16_t>(Number(key, Trim(x))));
    } else if (key == "max_read_speed") {
        d.MaxReadSpeedX = static_cast<std::uint16_t>(Number(key, value));
    } else if (key == "buffer") {
        d.BufferBytes = static_cast<std::uint32_t>(Number(key, value));
    } else if (key == "underrun_free") {
        d.UnderrunFree = flag();
    } else if (key == "writer") {
        d.Writer = flag();
    } else if (key == "test_write") {
        d.TestWrite = flag();
    } else if (key == "write_types") {
        static const std::map<std::string, std::uint8_t> types = {{"tao", 1}, {"sao", 2}, {"raw", 3}};
        d.WriteTypes.clear();
        std::istringstream in(value);
        for (std::string t; std::getline(in, t, ',');) {
            const auto it = types.find(Trim(t));
            if (it == types.end()) throw std::invalid_argument("vcdr.ini: write_types are tao, sao, raw, not \"" + t + "\"");
            d.WriteTypes.push_back(it->second);
        }
    } else if (key == "fixation_requests") {
        d.FixationRequests = static_cast<std::uint32_t>(Number(key, value));
    } else if (key == "fresh_disc_after_eject") {
        d.FreshDiscAfterEject = flag();
    } else if (key == "resume_state") {
        d.ResumeState = flag();
    } else if (key == "image") {
        d.ImagePath = path();
    } else if (key == "state") {
        d.StatePath = path();
    } else if (key == "trace") {
        d.TracePath = path();
    } else if (key == "close_tray") {
        d.CloseTrayPath = path();
    } else if (key.rfind("fault", 0) == 0) {
        d.Faults.push_back(ParseFault(value));
    } else {
        throw std::invalid_argument("vcdr.ini: unknown key \"" + key + "\"");
    }
}

}  // namespace

RecorderConfig ParseConfig(const std::string& text, const std::string& folder) {
    RecorderConfig config;
    std::map<std::string, std::size_t> deviceBySection;
    std::string section;
    std::istringstream in(text);
    for (std::string raw; std::getline(in, raw);) {
        const std::string line = Trim(WithoutComment(raw));
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            if (section.rfind("device", 0) == 0 && !deviceBySection.count(section)) {
                deviceBySection[section] = config.Devices.size();
                config.Devices.emplace_back();
            } else if (section != "recorder" && section.rfind("device", 0) != 0) {
                throw std::invalid_argument("vcdr.ini: unknown section [" + section + "]");
            }
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) throw std::invalid_argument("vcdr.ini: not key=value: \"" + line + "\"");
        const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (section == "recorder") {
            if (key == "event_gap_us") {
                config.EventGapUs = static_cast<std::uint32_t>(Number(key, value));
                continue;
            }
            if (key != "asynchronous") {
                DeviceConfig probe;
                try {
                    Apply(probe, key, value, folder);
                } catch (const std::invalid_argument&) {
                    throw std::invalid_argument("vcdr.ini: unknown key \"" + key + "\"");
                }
                throw std::invalid_argument("vcdr.ini: \"" + key + "\" belongs to a [deviceN] section, not [recorder]");
            }
            config.Asynchronous = Number(key, value) != 0;
        } else if (deviceBySection.count(section)) {
            Apply(config.Devices[deviceBySection[section]], key, value, folder);
        } else {
            throw std::invalid_argument("vcdr.ini: \"" + key + "\" outside a section");
        }
    }
    return config;
}

}  // namespace vcdr
