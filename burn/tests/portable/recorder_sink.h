// An image sink that writes a laid-out session to the recorder with WRITE (10) from its start
// address, then flushes and closes the session: the burn sequence in its smallest form.
#pragma once

#include <algorithm>
#include <vector>

#include "burn/portable/cd_burner.h"
#include "burn/portable/scsi_device.h"

namespace burn::testing_support {

class RecorderSink final : public ImageSink {
public:
    RecorderSink(TSCSIDevice& device, std::uint32_t start) : device_(device), next_(start) {}

    bool Create() override {
        device_.FinalizeDisc = false;  // the disc stays appendable
        return device_.SetWriteParameters(false, true, 1);
    }
    bool Write(const std::uint8_t* data, std::size_t count) override {
        for (std::size_t done = 0; done < count;) {
            const auto sectors = static_cast<std::uint16_t>(std::min<std::size_t>((count - done) / 2048, 31));
            if (sectors == 0) return false;
            if (!device_.Write10(next_, sectors, 0x50, sectors * 2048u, data + done)) return false;
            next_ += sectors;
            done += std::size_t{sectors} * 2048;
        }
        return true;
    }
    bool Commit() override {
        return device_.SynchronizeCache(120000, false) && device_.CloseTrackSession(false, false);
    }
    void Discard() override {}

private:
    TSCSIDevice& device_;
    std::uint32_t next_;
};

}  // namespace burn::testing_support
