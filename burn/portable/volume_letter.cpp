#include "burn/portable/volume_letter.h"

#include <string>

#include "burn/portable/srb.h"

namespace burn {

char FindVolumeLetter(const SptiPlatform& platform, std::uint8_t haId, std::uint8_t target) {
    for (char letter = 'B'; letter <= 'Z'; ++letter) {
        const std::string path = std::string("\\\\.\\") + letter + ":";
        std::intptr_t h = platform.Open(path, true);
        if (h == kInvalidDeviceHandle) h = platform.Open(path, false);
        if (h == kInvalidDeviceHandle) continue;
        ScsiAddress address{};
        address.Length = sizeof address;
        std::uint32_t returned = 0;
        const bool answered =
            platform.DeviceIoControl(h, kIoctlScsiGetAddress, nullptr, 0, &address, sizeof address, &returned);
        platform.CloseHandle(h);
        if (answered && address.PortNumber == haId && address.TargetId == target) return letter;
    }
    return 0;
}

}  // namespace burn
