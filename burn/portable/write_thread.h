// TThWrite: the recorder path of the write thread. It prepares the recorder, sends the cache's
// blocks with WRITE(10), flushes and closes the track or session, restores the drive and calls
// the burner's OnWriteDone exactly once. Every wait goes through the burner's clock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "burn/portable/cache_thread.h"

namespace burn {

class TCDBurner;

// Medium type codes that steer the sequence.
inline constexpr std::uint8_t kTypeDvdR = 5, kTypeDvdRam = 6, kTypeDvdRw = 7, kTypeDvdRwSequential = 8,
                              kTypeDvdPlusRw = 9, kTypeDvdPlusR = 10;

// The texts a burn ends with when the disc or the drive is not as the image needs.
inline constexpr char kNwaErrorText[] = "ERROR GETTING NEXT WRITABLE ADDRESS";
inline constexpr char kNwaChangedText[] = "NEXT WRITABLE ADDRESS CHANGED";
inline constexpr char kDiscNotWritableText[] = "DISC IS NOT BLANK OR APPENDABLE";
// Followed by " [" + the drive's error + "]": a drive that did not answer said nothing of its disc.
inline constexpr char kDiscInfoErrorText[] = "ERROR READING DISC INFORMATION";
inline constexpr char kNoSpaceText[] = "NOT ENOUGH SPACE ON DISC";
inline constexpr char kWriterBusyText[] = "WRITER BUSY/BUFFER FULL";
// Inside "CLOSE TRACK/SESSION FAILED [...]": after the close the disc read back neither
// complete nor appendable as asked.
inline constexpr char kSessionNotClosedText[] = "SESSION NOT CLOSED";

inline constexpr int kWriteTries = 10000;
inline constexpr std::uint32_t kWriteRetryMs = 600;
inline constexpr int kCloseTries = 1000;
inline constexpr std::uint32_t kCloseRetryMs = 1000;
inline constexpr std::uint32_t kLeadOutPollMs = 1000;
// The lead-out poll gives up with the flush's own time-out (1 800 000 ms).
inline constexpr int kLeadOutPolls = 1800;

// A WRITE(10) failure worth sending again: the drive said it is busy, or its sense (fixed
// format, current or deferred) says "not ready" (ASC 4). Anything else will not get better.
bool IsBusyAnswer(bool busy, const std::uint8_t* sense);

class TThWrite {
public:
    // The writer is the cache's one owner: it frees the cache at its end.
    TThWrite(TCDBurner& burner, std::shared_ptr<BlockSource> cache);
    void Execute();

private:
    bool DvdROrRw() const;
    std::string StartUp();
    std::string CheckDisc(std::uint32_t neededSectors);
    void SetDvdStreaming();
    void WriteLoop();
    void Closing();
    void Flush();
    void CloseSession();
    std::string FixationError();
    void Restore();
    void End();
    bool Failed() const;
    void Fail(std::string text);
    void Sleep(std::uint32_t ms);

    TCDBurner& b_;
    std::shared_ptr<BlockSource> cache_;
    std::mutex lock_;
    std::uint8_t type_ = 0;
    std::uint32_t sessionStart_ = 0;
    std::string status_;  // the writer's own failure; the cache's comes after it
};

}  // namespace burn
