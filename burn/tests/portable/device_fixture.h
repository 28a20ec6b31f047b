// A TSCSIDevice wired to the virtual recorder's front end in virtual time, with every
// execute request that reaches the layer kept for inspection.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "burn/portable/scsi_device.h"
#include "burn/tests/portable/virtual_clock.h"
#include "tests/virtual_recorder/portable/aspi_front.h"

namespace burn::testing_support {

struct LoggedLine {
    std::string Text;
    std::uint8_t Level;
};

class DeviceOnRecorder {
public:
    explicit DeviceOnRecorder(std::vector<vcdr::DeviceConfig> devices = {vcdr::DeviceConfig{}})
        : front(std::move(devices), Options()), device(layer, clock) {
        layer.ASPIInitialized = true;
        layer.ASPILayerName = "WNASPI32.DLL";
        layer.SupportInfoEntry = [this] { return front.SupportInfo(); };
        layer.SendCommandEntry = [this](void* srb) {
            if (static_cast<SrbHeader*>(srb)->Cmd == kSrbExecute) sent.push_back(*static_cast<SrbExecute*>(srb));
            return front.Send(srb);
        };
        device.HaId = 0;
        device.Target = 0;
        device.Lun = 0;
        device.OnDebugMessage = [this](TSCSIDevice&, const std::string& text, std::uint8_t level) {
            log.push_back({text, level});
        };
    }

    vcdr::RecorderCore& Core() { return *front.Device(0); }

    VirtualClock clock;
    AspiLayer layer;
    vcdr::AspiFrontEnd front;
    TSCSIDevice device;
    std::vector<SrbExecute> sent;
    std::vector<LoggedLine> log;

private:
    static vcdr::FrontEndOptions Options() {
        vcdr::FrontEndOptions o;
        o.Signal = &VirtualClock::Signal;
        return o;
    }
};

inline vcdr::DeviceConfig WithFault(const char* fault) {
    vcdr::DeviceConfig d;
    d.Faults.push_back(vcdr::ParseFault(fault));
    return d;
}

}  // namespace burn::testing_support
