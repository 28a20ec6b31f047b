#include "burn/portable/write_thread.h"

#include <array>
#include <cmath>
#include <ctime>
#include <vector>

#include "burn/portable/big_endian.h"
#include "burn/portable/cd_burner.h"
#include "burn/portable/device_capabilities.h"
#include "burn/portable/iso_records.h"
#include "burn/portable/next_writable_address.h"
#include "burn/portable/srb.h"
#include "burn/portable/thread_failure.h"

namespace burn {
namespace {

constexpr std::int64_t kReadyWaitMs = 10000, kReadyStepMs = 1000;
constexpr std::int64_t kClosedWaitMs = 240000, kClosedStepMs = 5000;
constexpr std::uint32_t kFlushTimeoutMs = 120000, kLeadOutTimeoutMs = 1800000;
constexpr std::uint32_t kRestoreReadyMs = 5000;
constexpr std::uint16_t kRestoreWriteX = 2;
constexpr int kPollEveryBlocks = 5;
constexpr std::uint8_t kWriteFlags = kSrbEventNotify | kSrbDirOut;
constexpr std::uint8_t kCdRom = 1;
constexpr std::uint16_t kDiscInformationLength = 34;
constexpr std::uint8_t kNextWritableValid = 0x01;
constexpr std::uint8_t kNotReadyAsc = 0x04;
constexpr std::uint8_t kDeferredError = 0x71;
constexpr std::uint32_t kFixationStepMs = 1000, kFixationPollTimeoutMs = 5000;
constexpr std::uint8_t kDiscComplete = 2, kDiscIncomplete = 1, kSessionEmpty = 0;
constexpr char kPassThroughLayer[] = "REVADI32";

// SET STREAMING's performance descriptor for DVD-R/RW: whole disc, nominal read and write rates.
std::array<std::uint8_t, 28> DvdPerformanceDescriptor() {
    std::array<std::uint8_t, 28> d{};
    PutBE32(&d[4], 0);
    PutBE32(&d[8], 2298495);
    PutBE32(&d[12], 43965);
    PutBE32(&d[16], 1000);
    PutBE32(&d[20], 1418);
    PutBE32(&d[24], 1000);
    return d;
}

TimeStamp SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    return {t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec};
}

// FormatFloat("0X", speed): DVD speeds are shown in DVD units of seven CD speeds.
std::string SpeedText(std::uint16_t speed, std::uint8_t type) {
    const bool dvdUnits = type == kTypeDvdR || type == kTypeDvdRw || type == kTypeDvdRwSequential ||
                          type == kTypeDvdPlusRw || type == kTypeDvdPlusR;
    const double x = dvdUnits ? speed / 7.0 : speed;
    return std::to_string(std::lround(x)) + "X";
}

}  // namespace

bool IsBusyAnswer(bool busy, const std::uint8_t* sense) {
    const std::uint8_t responseCode = sense[0] & 0x7F;
    return busy || ((responseCode == 0x70 || responseCode == 0x71) && sense[12] == kNotReadyAsc);
}

TThWrite::TThWrite(TCDBurner& burner, std::shared_ptr<BlockSource> cache) : b_(burner), cache_(std::move(cache)) {}

bool TThWrite::DvdROrRw() const {
    return type_ == kTypeDvdR || type_ == kTypeDvdRw || type_ == kTypeDvdRwSequential;
}

void TThWrite::Sleep(std::uint32_t ms) { b_.clock_.Sleep(ms); }

bool TThWrite::Failed() const { return !status_.empty() || !cache_->StatusText().empty(); }

// The first failure is the one reported; the cache stops reading.
void TThWrite::Fail(std::string text) {
    if (status_.empty()) status_ = std::move(text);
    cache_->Abort();
}

void TThWrite::Execute() {
    b_.cancelRequest_ = false;
    b_.BytesWritten = 0;
    // Whatever raises, the drive is still flushed and restored and the burn ends with a text.
    try {
        const std::string refusal = StartUp();
        if (!refusal.empty()) {
            Fail(refusal);
        } else {
            // The pass-through layer keeps the drive's handle open while the data flow.
            if (b_.SetCloseAfterCommand) b_.SetCloseAfterCommand(false);
            WriteLoop();
            if (b_.SetCloseAfterCommand) b_.SetCloseAfterCommand(true);
        }
    } catch (...) {
        Fail(FailureText(kWriteThreadFailed));
    }
    try {
        Closing();
    } catch (...) {
        Fail(FailureText(kWriteThreadFailed));
    }
    End();
}

std::string TThWrite::StartUp() {
    type_ = b_.DeviceType();
    b_.CurrentDiscType = type_;
    if (type_ != kTypeDvdRam) b_.LoadOrEject(false);
    if (type_ != kTypeDvdPlusRw) b_.RezeroUnit();
    if (type_ != kTypeDvdRam) b_.SetCDSpeed(b_.ReadSpeed, b_.WriteSpeed());
    b_.WaitUnitReady(kReadyWaitMs, kReadyStepMs);
    const std::uint16_t speed = b_.CurrentWriteSpeedX();
    const bool finalize = b_.FinalizeDisc;
    b_.FinalizeDisc = true;
    b_.SetWriteParameters(b_.TestWrite, b_.UnderrunProtection, type_);
    b_.FinalizeDisc = finalize;

    // The metadata name absolute sectors from the layout's session start: the writer must
    // write exactly there, on a disc that takes a session there and has room for the image.
    const std::optional<std::uint32_t> next = GetNextWritableAddress(b_, b_.TestWrite, b_.UnderrunProtection, type_);
    if (!next || !b_.sessionStartRead_) return kNwaErrorText;
    sessionStart_ = SessionStartFrom(*next);
    if (sessionStart_ != b_.Layout().sessionStart) return kNwaChangedText;
    const std::uint32_t needed = b_.ImageSectors() + (DvdROrRw() ? 1 : 0);
    if (std::string refusal = CheckDisc(needed); !refusal.empty()) return refusal;

    if (DvdROrRw()) {
        SetDvdStreaming();
        b_.SendTimeStamp(b_.LocalTime ? b_.LocalTime() : SystemLocalTime());
        b_.ReserveTrack(needed);
        b_.WaitUnitReady(kReadyWaitMs, kReadyStepMs);
    }
    if (type_ != kTypeDvdRam && b_.PerformOPC && !b_.TestWrite) b_.SendOPC();
    b_.DebugMessage(">>> STARTING WRITE PROCESS ON " + std::string(DeviceTypeName(type_)) + " AT " +
                        SpeedText(speed, type_),
                    1);
    if (b_.TestWrite) b_.DebugMessage(">>> TEST/DUMMY WRITE", 1);
    return {};
}

// The invisible track read by GetNextWritableAddress is still in TrackInfo.
std::string TThWrite::CheckDisc(std::uint32_t neededSectors) {
    // Random-access media are overwritten where they stand and report neither state nor room
    // the same way; the others must be blank or appendable, with room for the image.
    if (type_ == kTypeDvdRam || type_ == kTypeDvdPlusRw) return {};
    std::uint8_t info[kDiscInformationLength] = {};
    if (!b_.ReadDiscInformation(info, sizeof info)) return std::string(kDiscInfoErrorText) + " [" + b_.LastError + "]";
    const std::uint8_t status = info[2] & 0x03;
    if (status > 1 || !(b_.TrackInfo.Valid & kNextWritableValid)) return kDiscNotWritableText;
    const std::uint32_t free = b_.TrackInfo.FreeBlocks;
    if (neededSectors > free) return kNoSpaceText;
    return {};
}

void TThWrite::SetDvdStreaming() {
    const std::array<std::uint8_t, 28> descriptor = DvdPerformanceDescriptor();
    b_.SetStreaming(descriptor.data(), static_cast<std::uint16_t>(descriptor.size()));
}

void TThWrite::WriteLoop() {
    std::vector<std::uint8_t> buffer(kBlockBytes);
    std::uint32_t sectorsWritten = 0;
    int pollCountdown = kPollEveryBlocks;
    for (;;) {
        const int length = cache_->GetBlock(buffer.data());
        if (length == 0) return;
        if (length < 0) {
            if (b_.cancelRequest_) return Fail(kAbortedText);
            if (!cache_->StatusText().empty()) return;
            cache_->WaitForBlock(std::chrono::milliseconds(1));
            continue;
        }
        b_.SetCurrentFile(cache_->CurrentFile());
        b_.BytesWritten += static_cast<std::uint64_t>(length);
        if (type_ != kTypeDvdRam) {
            std::uint32_t size = 0, free = 0;
            if (pollCountdown == 0 && b_.ReadBufferCapacity(size, free)) pollCountdown = kPollEveryBlocks;
            --pollCountdown;  // a failed poll leaves it below 0: polling stops
        }
        const auto sectors = static_cast<std::uint16_t>(static_cast<std::uint32_t>(length) / kSectorSize);
        for (int tries = 1;; ++tries) {
            if (b_.cancelRequest_) {
                Fail(kAbortedText);
                break;
            }
            if (b_.Write10(sessionStart_ + sectorsWritten, sectors, kWriteFlags, static_cast<std::uint32_t>(length),
                           buffer.data())) {
                break;
            }
            if (!IsBusyAnswer(b_.Busy, b_.LastSense.data())) {
                Fail("WRITER ERROR [" + b_.LastError + "]");
                break;
            }
            if (tries == kWriteTries) {
                Fail(kWriterBusyText);
                break;
            }
            Sleep(kWriteRetryMs);
        }
        if (!status_.empty()) {
            b_.DeviceBufferSize = b_.DeviceFreeBufferSize = 0;
            return;
        }
        sectorsWritten += sectors;
    }
}

void TThWrite::Closing() {
    if (type_ != kTypeDvdRam) {
        std::uint32_t size = 0, free = 0;
        b_.ReadBufferCapacity(size, free);
    }
    Flush();
    b_.DeviceBufferSize = b_.DeviceFreeBufferSize = 0;
    // A failed burn leaves the track open but still restores the drive.
    const bool closes = !b_.TestWrite && !DvdROrRw() && type_ != kTypeDvdRam && b_.FinalizeTrack;
    if (!Failed() && closes) CloseSession();
    b_.WaitUnitReady(kClosedWaitMs, kClosedStepMs);
    if (type_ != kTypeDvdRam) {
        std::uint32_t size = 0, free = 0;
        b_.ReadBufferCapacity(size, free);
    }
    Restore();
}

// The recorder's cache goes to the disc; data it still holds are not burnt until it has.
void TThWrite::Flush() {
    std::lock_guard guard(lock_);
    if (b_.OnFinalizingTrack) b_.OnFinalizingTrack(b_);
    bool flushed = false;
    if (DvdROrRw()) {
        if (b_.QuirkDvrRw) b_.DebugMessage(">>> WRITING LEAD-OUT (THIS CAN TAKE APPROXIMATELY 15-20 MINUTES)", 1);
        flushed = b_.SynchronizeCache(kLeadOutTimeoutMs, true);
        // The free size counts down for the display while the lead-out is written.
        b_.DeviceFreeBufferSize = b_.DeviceBufferSize;
        const std::uint32_t step = b_.DeviceBufferSize / 960;
        int polls = 0;
        while (!b_.UnitFinished()) {
            if (++polls > kLeadOutPolls) {
                flushed = false;
                break;
            }
            Sleep(kLeadOutPollMs);
            b_.DeviceFreeBufferSize -= std::min(step, b_.DeviceFreeBufferSize);
        }
    } else {
        flushed = b_.SynchronizeCache(kFlushTimeoutMs, false) || b_.SynchronizeCache(kFlushTimeoutMs, true);
    }
    if (!flushed && !Failed()) Fail("SYNCHRONIZE CACHE FAILED [" + b_.LastError + "]");
}

void TThWrite::CloseSession() {
    b_.SetWriteParameters(b_.TestWrite, b_.UnderrunProtection, type_);
    bool closed = false;
    for (int tries = 1; tries <= kCloseTries; ++tries) {
        if (b_.CloseTrackSession(false, b_.CloseImmediateQuirk)) {
            closed = true;
            break;
        }
        if (!b_.Busy && b_.LastSense[12] != kNotReadyAsc) {
            closed = b_.CloseTrackSession(false, b_.CloseImmediateQuirk);
            break;
        }
        Sleep(kCloseRetryMs);
    }
    if (!closed) return Fail("CLOSE TRACK/SESSION FAILED [" + b_.LastError + "]");
    if (!b_.CloseImmediateQuirk) return;
    if (const std::string error = FixationError(); !error.empty()) Fail("CLOSE TRACK/SESSION FAILED [" + error + "]");
}

// A close with IMMED returns at once while the drive fixates the session: the burn is good only
// once the drive is ready again, with no deferred error, and the disc reads back closed as asked.
std::string TThWrite::FixationError() {
    const auto deferred = [&] { return (b_.LastSense[0] & 0x7F) == kDeferredError; };
    for (std::int64_t waited = 0; !b_.TestUnitReady(kFixationPollTimeoutMs);) {
        if (deferred()) return b_.LastError;
        if (b_.LastSense[12] != kNotReadyAsc) break;  // not fixating: the disc says how it ended
        if (waited >= kClosedWaitMs) return b_.LastError;
        Sleep(kFixationStepMs);
        waited += kFixationStepMs;
    }
    std::uint8_t info[kDiscInformationLength] = {};
    if (!b_.ReadDiscInformation(info, sizeof info)) return b_.LastError;
    const std::uint8_t status = info[2] & 0x03, lastSession = (info[2] >> 2) & 0x03;
    // Asked to stay appendable, a disc with no room for another session is closed all the same.
    const bool closedAsAsked =
        status == kDiscComplete || (!b_.FinalizeDisc && status == kDiscIncomplete && lastSession == kSessionEmpty);
    return closedAsAsked ? std::string() : kSessionNotClosedText;
}

// Failures here are not reported: the burn's outcome is already known.
void TThWrite::Restore() {
    const bool finalize = b_.FinalizeDisc;
    b_.FinalizeDisc = false;
    b_.SetWriteParameters(false, false, kCdRom);
    b_.FinalizeDisc = finalize;
    b_.SetCDSpeed(b_.MaxReadSpeedX(), kRestoreWriteX);
    b_.RezeroUnit();
    b_.PreventMediumRemoval(true);
    b_.LoadOrEject(false);
    b_.RezeroUnit();
    b_.TestUnitReady(kRestoreReadyMs);
    if (type_ < kTypeDvdR || type_ > kTypeDvdPlusRw) b_.RezeroUnit();
}

void TThWrite::End() {
    std::string result;
    {
        std::lock_guard guard(lock_);
        try {
            if (b_.layer_.ASPILayerName == kPassThroughLayer && b_.ReloadLayer) b_.ReloadLayer();
            b_.SetCurrentFile(cache_->CurrentFile());
            result = status_.empty() ? cache_->StatusText() : status_;
        } catch (...) {
            result = status_.empty() ? FailureText(kWriteThreadFailed) : status_;
        }
        cache_.reset();  // the cache thread is joined and freed
    }
    b_.WriteDone(result);
    b_.SetCurrentFile({});
}

}  // namespace burn
