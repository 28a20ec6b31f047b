// A machine's drive letters for the pass-through layer's tests: fixed disks, CD-ROM letters
// backed by virtual recorders, and the ways a real platform can fail.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "burn/portable/spti_layer.h"
#include "burn/portable/srb.h"
#include "tests/virtual_recorder/portable/recorder_core.h"

namespace burn::testing_support {

struct FakeDrive {
    std::uint32_t Type = kDriveTypeCdRom;
    std::unique_ptr<vcdr::RecorderCore> Core;  // none: every pass-through call fails
    bool HasAddress = false;
    ScsiAddress Address{8, 0, 0, 0, 0};
    bool ReadWriteOpenFails = false;
    // Forces the answer of the next pass-through request after the probe.
    bool Override = false;
    bool OverrideCallOk = true;
    std::uint8_t OverrideScsiStatus = 0, OverrideSenseLength = 0;
};

class FakeDrives {
public:
    std::map<char, FakeDrive> Drives;
    std::map<std::intptr_t, char> Open;  // handle -> letter
    std::vector<PassThroughRequest> Requests;
    std::vector<std::string> Opens;
    int Ioctls = 0;

    FakeDrive& Cd(char letter, vcdr::DeviceConfig config = {}) {
        FakeDrive& d = Drives[letter];
        d.Core = std::make_unique<vcdr::RecorderCore>(std::move(config));
        return d;
    }

    SptiPlatform Platform() {
        SptiPlatform p;
        p.DriveType = [this](const std::string& root) -> std::uint32_t {
            auto it = Drives.find(root[0]);
            return it == Drives.end() ? 1 : it->second.Type;  // 1: no such root
        };
        p.Open = [this](const std::string& path, bool readWrite) -> std::intptr_t {
            Opens.push_back(path + (readWrite ? " rw" : " r"));
            auto it = Drives.find(path[4]);
            if (path.rfind("\\\\.\\", 0) != 0 || it == Drives.end()) return kInvalidDeviceHandle;
            if (readWrite && it->second.ReadWriteOpenFails) return kInvalidDeviceHandle;
            const std::intptr_t h = next_++;
            Open[h] = path[4];
            return h;
        };
        p.CloseHandle = [this](std::intptr_t h) { return Open.erase(h) == 1; };
        p.DeviceIoControl = [this](std::intptr_t h, std::uint32_t code, void* in, std::uint32_t inSize, void* out,
                                   std::uint32_t outSize, std::uint32_t* returned) {
            ++Ioctls;
            auto open = Open.find(h);
            if (open == Open.end()) return false;
            FakeDrive& d = Drives.at(open->second);
            if (code == kIoctlScsiGetAddress) {
                if (!d.HasAddress || outSize < sizeof(ScsiAddress)) return false;
                std::memcpy(out, &d.Address, sizeof d.Address);
                return true;
            }
            if (code != kIoctlScsiPassThroughDirect || in != out || inSize != sizeof(PassThroughRequest)) return false;
            auto& r = *static_cast<PassThroughRequest*>(in);
            Requests.push_back(r);
            if (d.Override && r.Spt.Cdb[0] != 0x12) {
                r.Spt.ScsiStatus = d.OverrideScsiStatus;
                r.Spt.SenseInfoLength = d.OverrideSenseLength;
                std::memset(r.Sense, 0x70, sizeof r.Sense);
                return d.OverrideCallOk;
            }
            if (!d.Core) return false;
            const vcdr::Transfer dir = r.Spt.DataIn == kPassThroughDataIn    ? vcdr::Transfer::In
                                       : r.Spt.DataIn == kPassThroughDataOut ? vcdr::Transfer::Out
                                                                             : vcdr::Transfer::None;
            const vcdr::Answer a = d.Core->Execute(r.Spt.Cdb, r.Spt.CdbLength, dir,
                                                   static_cast<std::uint8_t*>(r.Spt.DataBuffer), r.Spt.DataTransferLength);
            r.Spt.ScsiStatus = a.TargStat;
            if (a.SrbStatus == kSsComp) {
                r.Spt.SenseInfoLength = 0;
            } else {
                const std::size_t n = std::min<std::size_t>(r.Spt.SenseInfoLength, a.Sense.size());
                std::memcpy(r.Sense, a.Sense.data(), n);
                r.Spt.SenseInfoLength = static_cast<std::uint8_t>(n);
            }
            *returned = sizeof r;
            return true;
        };
        return p;
    }

private:
    std::intptr_t next_ = 100;
};

}  // namespace burn::testing_support
