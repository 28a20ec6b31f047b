// A TCDBurner on the virtual recorder's core in virtual time, with its sources in memory. Every
// command and every sleep is kept in one list, in order, for the burn's tests to read.
#pragma once

#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "burn/portable/big_endian.h"
#include "burn/portable/cd_burner.h"
#include "burn/tests/portable/memory_sources.h"
#include "burn/tests/portable/virtual_clock.h"
#include "tests/virtual_recorder/portable/aspi_front.h"

namespace burn::testing_support {

struct Step {
    int opcode = -1;  // -1: a sleep
    std::uint32_t ms = 0;
    std::array<std::uint8_t, 16> cdb{};
    bool ok = false;
    std::uint32_t lba = 0, blocks = 0;  // WRITE(10)
};

class StepClock : public VirtualClock {
public:
    explicit StepClock(std::vector<Step>& steps) : steps_(steps) {}
    void Sleep(std::uint32_t ms) override {
        Step s;
        s.ms = ms;
        steps_.push_back(s);
        VirtualClock::Sleep(ms);
    }

private:
    std::vector<Step>& steps_;
};

class BurnerOnRecorder {
public:
    explicit BurnerOnRecorder(vcdr::DeviceConfig disc = {})
        : front({std::move(disc)}, Options()), clock(steps), burner(layer, clock, disk) {
        layer.ASPIInitialized = true;
        layer.ASPILayerName = "WNASPI32.DLL";
        layer.SupportInfoEntry = [this] { return front.SupportInfo(); };
        layer.SendCommandEntry = [this](void* srb) { return Send(srb); };
        burner.HaId = burner.Target = burner.Lun = 0;
        burner.tree.lister = &disk;
        burner.FinalizeDisc = true;
        burner.OnDebugMessage = [this](TSCSIDevice&, const std::string& text, std::uint8_t level) {
            std::lock_guard guard(lock);
            log.emplace_back(text, level);
        };
        burner.OnWriteDone = [this](TCDBurner&, const std::string& error) {
            std::lock_guard guard(lock);
            ++doneCalls;
            doneText = error;
            doneThread = std::this_thread::get_id();
        };
        burner.SetCloseAfterCommand = [this](bool close) {
            closeAfterCommand.emplace_back(close, Count(0x2A));
        };
        burner.LocalTime = [] { return TimeStamp{2026, 3, 4, 5, 6, 7}; };
    }

    // Adds the files, lays them out as the recorder's disc asks, and burns to the end.
    bool Burn() {
        burner.ClearFiles();
        burner.tree.InsertDir(burner.tree.Root(), u"C:\\src", false, false, true, 63, u"*.*");
        burner.PrepareImage(burner.SelectedDevice(), {2026, 3, 4, 5, 6, 7}, 0);
        return BurnPrepared();
    }
    bool BurnPrepared() {
        preparedSteps = steps.size();
        const bool started = burner.BurnCD();
        burner.WaitForWriter();
        return started;
    }

    vcdr::RecorderCore& Core() { return *front.Device(0); }

    std::size_t Count(int opcode, std::size_t from = 0) const {
        std::size_t n = 0;
        for (std::size_t i = from; i < steps.size(); ++i) n += steps[i].opcode == opcode;
        return n;
    }
    std::size_t CountSleeps(std::uint32_t ms, std::size_t from = 0) const {
        std::size_t n = 0;
        for (std::size_t i = from; i < steps.size(); ++i) n += steps[i].opcode < 0 && steps[i].ms == ms;
        return n;
    }
    // Index of the first (or last) step of that opcode from `from`; steps.size() when none.
    std::size_t First(int opcode, std::size_t from = 0) const {
        for (std::size_t i = from; i < steps.size(); ++i) if (steps[i].opcode == opcode) return i;
        return steps.size();
    }
    std::size_t Last(int opcode) const {
        for (std::size_t i = steps.size(); i-- > 0;) if (steps[i].opcode == opcode) return i;
        return steps.size();
    }
    bool Logged(const std::string& text) const {
        for (const auto& [t, level] : log) if (t == text) return true;
        return false;
    }

    std::vector<Step> steps;
    std::size_t preparedSteps = 0;
    std::map<std::uint32_t, std::vector<std::uint8_t>> written;  // sector -> its 2048 bytes
    testing::MemoryDisk disk;
    AspiLayer layer;
    vcdr::AspiFrontEnd front;
    StepClock clock;
    TCDBurner burner;
    std::mutex lock;
    std::vector<std::pair<std::string, int>> log;
    int doneCalls = 0;
    std::string doneText;
    std::thread::id doneThread;
    std::vector<std::pair<bool, std::size_t>> closeAfterCommand;  // value, WRITEs sent before

private:
    static vcdr::FrontEndOptions Options() {
        vcdr::FrontEndOptions o;
        o.Signal = &VirtualClock::Signal;
        return o;
    }

    std::uint32_t Send(void* p) {
        auto* header = static_cast<SrbHeader*>(p);
        if (header->Cmd != kSrbExecute) return front.Send(p);
        auto& srb = *static_cast<SrbExecute*>(p);
        const std::uint32_t result = front.Send(p);
        Step s;
        s.opcode = srb.Cdb[0];
        std::memcpy(s.cdb.data(), srb.Cdb, s.cdb.size());
        s.ok = srb.Header.Status == kSsComp;
        if (s.opcode == 0x2A) {
            s.lba = GetBE32(&srb.Cdb[2]);
            s.blocks = GetBE16(&srb.Cdb[7]);
            if (s.ok) {
                const auto* data = static_cast<const std::uint8_t*>(srb.BufPointer);
                for (std::uint32_t i = 0; i < s.blocks; ++i)
                    written[s.lba + i].assign(data + i * 2048, data + (i + 1) * 2048);
            }
        }
        steps.push_back(s);
        return result;
    }
};

}  // namespace burn::testing_support
