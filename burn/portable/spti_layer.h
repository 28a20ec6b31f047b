// The pass-through layer "REVADI32": answers the two ASPI entry points without an ASPI
// library by finding the CD/DVD drives by letter and turning each request block into a SCSI
// pass-through request on the drive's handle. It reaches the platform through a small table,
// so tests can put a drive of their own behind it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace burn {

inline constexpr std::intptr_t kInvalidDeviceHandle = -1;
inline constexpr std::uint32_t kDriveTypeCdRom = 5;
inline constexpr char kSptiLayerName[] = "REVADI32";

struct SptiPlatform {
    std::function<std::uint32_t(const std::string& root)> DriveType;           // "D:\"
    std::function<std::intptr_t(const std::string& path, bool readWrite)> Open;   // "\\.\D:"; invalid on failure
    std::function<bool(std::intptr_t handle, std::uint32_t code, void* in, std::uint32_t inSize, void* out,
                       std::uint32_t outSize, std::uint32_t* returned)>
        DeviceIoControl;
    std::function<bool(std::intptr_t handle)> CloseHandle;
};

class SptiLayer {
public:
    explicit SptiLayer(SptiPlatform platform);
    ~SptiLayer();
    SptiLayer(const SptiLayer&) = delete;
    SptiLayer& operator=(const SptiLayer&) = delete;

    // Fills the drive table; the number of drives that answered (0 also when already done).
    std::uint8_t SPTIInitialize();
    // Closes every drive handle and forgets the table; false when not initialised.
    bool SPTIClose();
    std::uint32_t SPTISupportInfo() const;
    std::uint32_t SPTISendCommand(void* srb, std::uint32_t timeoutMs = 0);
    // Drive number (2 = C:) of the first drive at that address; 0 when none.
    std::uint8_t FindDrive(std::uint8_t haId, std::uint8_t target, std::uint8_t lun) const;

    bool Initialized() const { return initialized_; }
    std::uint8_t AdapterCount() const { return adapterCount_; }

    // Close a drive's handle after every command (the write thread clears it while writing).
    bool CloseAfterCommand = false;

private:
    struct DriveEntry {
        std::uint8_t HaId = 0, Target = 0, Lun = 0, DriveNumber = 0;
        bool Used = false;
        std::intptr_t Handle = kInvalidDeviceHandle;
        std::array<std::uint8_t, 40> InquiryData{};
    };
    static constexpr std::uint8_t kFirstDrive = 2;  // C:
    static constexpr std::size_t kDrives = 25;      // drive numbers 2..26

    void Probe(std::uint8_t driveNumber);
    std::intptr_t OpenDrive(std::uint8_t driveNumber) const;
    DriveEntry* Entry(std::uint8_t driveNumber) { return &drives_[driveNumber - kFirstDrive]; }
    void ComputeAdapterCount();
    std::uint32_t Execute(void* srb, std::uint32_t timeoutMs);

    SptiPlatform platform_;
    std::array<DriveEntry, kDrives> drives_{};
    bool initialized_ = false;
    std::uint8_t adapterCount_ = 0;
    std::uint8_t pseudoTargetCounter_ = 0;
    std::mutex handles_;  // handles are opened lazily by whichever thread sends first
};

}  // namespace burn
