// An MMC CD-R recorder in software: one device with its tray, disc and write state, answering
// command descriptor blocks as a drive would. The sectors written go to a sparse image file,
// the disc state to a small text file, and every request to a trace.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "tests/virtual_recorder/portable/faults.h"

namespace vcdr {

inline constexpr std::uint32_t kSector = 2048;

enum class Transfer { None, In, Out };
enum class MediumKind { None, CdR, CdRw, DvdR };
enum class DiscStatus { Blank = 0, Appendable = 1, Complete = 2 };

struct DeviceConfig {
    std::uint8_t HaId = 0, Target = 0, Lun = 0;
    std::uint8_t PeripheralType = 5;
    std::string Vendor = "VANTRELL", Product = "VIRTUAL CD-R", Revision = "1.0";
    char DriveLetter = 'E';
    MediumKind Medium = MediumKind::CdR;
    DiscStatus Status = DiscStatus::Blank;
    std::uint32_t CapacityBlocks = 359849;        // an 80-minute CD-R
    std::uint32_t EarlierSessionBlocks = 1000;    // size of the session on an appendable or complete disc
    std::vector<std::uint16_t> WriteSpeedsX = {4, 8, 16, 24, 32, 40, 48};
    std::uint16_t MaxReadSpeedX = 48;
    std::uint32_t BufferBytes = 2 * 1024 * 1024;
    bool UnderrunFree = true;
    bool Writer = true;        // false: a read-only drive (no write bits, writing commands refused)
    bool TestWrite = true;
    // Write types the drive takes in page 5: 1 track-at-once, 2 session-at-once, 3 raw.
    std::vector<std::uint8_t> WriteTypes = {1, 2, 3};
    // Requests a close with IMMED answers "operation in progress" (02/04/07) while it fixates.
    std::uint32_t FixationRequests = 2;
    bool FreshDiscAfterEject = false;
    bool ResumeState = false;  // start from the state file when there is one
    std::string ImagePath, StatePath, TracePath;  // empty: not kept
    // A file whose appearance closes the tray before the next request, as a user pushes it in.
    std::string CloseTrayPath;
    std::vector<Fault> Faults;
};

struct Answer {
    std::uint8_t SrbStatus = 1;
    std::uint8_t HaStat = 0, TargStat = 0;
    std::array<std::uint8_t, 18> Sense{};
    std::uint32_t Moved = 0;
    bool NeverCompletes = false;
    std::uint32_t DelayMs = 0;
};

// What the disc and the drive hold between requests (and, through the state file, between runs).
struct DriveState {
    MediumKind Medium = MediumKind::CdR;
    DiscStatus Status = DiscStatus::Blank;
    bool TrayOpen = false;
    bool PreventRemoval = false;
    bool UnitAttention = false;
    bool EjectedSinceLoad = false;
    std::uint32_t DiscNumber = 0;
    std::uint32_t Capacity = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ClosedSessions;  // start, blocks
    std::vector<std::uint8_t> ClosedTrackModes;  // the track mode of each closed session's track
    std::uint8_t OpenTrackMode = 4;      // the track mode the open session's writes used
    std::uint32_t SessionStart = 0;      // start of the open session
    std::uint32_t NextWritable = 0;
    std::uint32_t BlocksWritten = 0;     // in the open session
    std::uint32_t UnderrunsAbsorbed = 0;
    std::uint16_t WriteSpeedKBs = 0;
    std::vector<std::uint8_t> Page5;     // the write-parameters page last accepted
    std::array<std::uint8_t, 18> PendingSense{};
    std::uint32_t FixationLeft = 0;      // requests until a background fixation ends
    bool FixationFailing = false;        // the fixation under way (or the next) fails
    std::array<std::uint8_t, 18> DeferredSense{};  // reported by the next command
};

class RecorderCore {
public:
    explicit RecorderCore(DeviceConfig config);

    const DeviceConfig& Config() const { return config_; }
    Answer Execute(const std::uint8_t* cdb, std::size_t cdbLen, Transfer direction, std::uint8_t* buffer,
                   std::uint32_t length, std::uint32_t threadId = 0);

    DriveState State() const;
    std::string CurrentImagePath() const;

private:
    struct Context;
    Answer Run(Context& c);
    Answer Dispatch(Context& c);
    void ApplyFault(Fault& f, Context& c, Answer& answer, bool& handled);

    Answer TestUnitReady(Context& c);
    Answer RequestSense(Context& c);
    Answer Inquiry(Context& c);
    Answer StartStop(Context& c);
    Answer PreventAllow(Context& c);
    Answer ReadCapacity(Context& c);
    Answer Read10(Context& c);
    Answer Write10(Context& c);
    Answer ReadToc(Context& c);
    Answer GetConfiguration(Context& c);
    Answer ReadDiscInformation(Context& c);
    Answer ReadTrackInformation(Context& c);
    Answer ModeSelect(Context& c);
    Answer ModeSense(Context& c);
    Answer CloseTrackSession(Context& c);
    Answer ReadBufferCapacity(Context& c);
    Answer SetCdSpeed(Context& c);
    Answer Accept(Context& c);

    Answer Check(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq);
    bool PageRefused(const std::uint8_t* page) const;
    std::uint32_t BlockBytes() const;
    std::uint8_t TrackModeOf(std::size_t session) const;
    void CloseSession();
    bool FixationAnswer(std::uint8_t op, Answer& answer);
    bool ReadyOrAnswer(Answer& answer);
    bool Writable() const;
    std::uint16_t SpeedKBs(std::uint16_t x) const;
    std::uint16_t MaxWriteKBs() const;
    void InsertFreshDisc();
    std::uint32_t NextUnusedDisc(std::uint32_t from) const;
    void CloseTray();
    void LoadState();
    void SaveState() const;
    void Trace(const Context& c, const Answer& a) const;

    DeviceConfig config_;
    DriveState state_;
    std::uint64_t sequence_ = 0;
    mutable std::mutex mutex_;
};

// The image file of disc number n: the configured path for the first disc, "name-n.ext" after.
std::string NumberedImagePath(const std::string& path, std::uint32_t discNumber);

}  // namespace vcdr
