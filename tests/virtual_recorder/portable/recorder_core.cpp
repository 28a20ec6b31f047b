#include "tests/virtual_recorder/portable/recorder_core.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "burn/portable/big_endian.h"
#include "burn/portable/command_names.h"
#include "burn/portable/srb.h"

namespace vcdr {

using burn::GetBE16;
using burn::GetBE32;
using burn::PutBE16;
using burn::PutBE32;

namespace {

constexpr std::uint32_t kSessionGap = 11400;  // lead-out, next lead-in and pre-gap of a new session
constexpr double kKBsPerX = 176.4;
constexpr std::uint8_t kBufe = 0x40;
constexpr std::uint8_t kMultiSession = 0xC0;
constexpr std::uint8_t kTestWriteBit = 0x10;
constexpr std::uint8_t kLinkSizeValid = 0x20;
constexpr std::uint8_t kDataTrack = 0x04;  // the track mode's data bit; 4 uninterrupted, 5 incremental
constexpr std::uint8_t kAdrPosition = 0x10;  // ADR 1 in a TOC descriptor's ADR/control byte
constexpr std::uint8_t kCdLinkSize = 7, kDvdLinkSize = 16;

// Bytes per block of each data block type of page 5 (0 to 3 raw, 8 and up data); 0: none.
std::uint32_t BlockBytesOfType(std::uint8_t type) {
    static const std::map<std::uint8_t, std::uint32_t> bytes = {
        {0, 2352}, {1, 2368}, {2, 2448}, {3, 2448}, {8, 2048}, {10, 2048}, {11, 2056}, {12, 2324}, {13, 2332}};
    const auto it = bytes.find(type);
    return it == bytes.end() ? 0 : it->second;
}

bool IsRecorderType(std::uint8_t type) { return type == 4 || type == 5; }

void PutMsf(std::uint8_t* p, std::uint32_t lba) {
    const std::uint32_t a = lba + 150;
    p[0] = 0;
    p[1] = static_cast<std::uint8_t>(a / 4500);
    p[2] = static_cast<std::uint8_t>(a / 75 % 60);
    p[3] = static_cast<std::uint8_t>(a % 75);
}

const std::map<MediumKind, std::string>& MediumNames() {
    static const std::map<MediumKind, std::string> names = {
        {MediumKind::None, "none"}, {MediumKind::CdR, "cd-r"}, {MediumKind::CdRw, "cd-rw"}, {MediumKind::DvdR, "dvd-r"}};
    return names;
}

const std::map<DiscStatus, std::string>& StatusNames() {
    static const std::map<DiscStatus, std::string> names = {
        {DiscStatus::Blank, "blank"}, {DiscStatus::Appendable, "appendable"}, {DiscStatus::Complete, "complete"}};
    return names;
}

template <typename E>
E FromName(const std::map<E, std::string>& names, const std::string& text, E otherwise) {
    for (const auto& [value, name] : names) {
        if (name == text) return value;
    }
    return otherwise;
}

std::string HexBytes(const std::uint8_t* p, std::size_t n) {
    std::string s;
    char b[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02X", p[i]);
        s += b;
    }
    return s;
}

}  // namespace

struct RecorderCore::Context {
    const std::uint8_t* Cdb;
    std::size_t CdbLen;
    Transfer Direction;
    std::uint8_t* Buffer;
    std::uint32_t Length;
    std::uint32_t ThreadId;
    std::uint8_t Opcode() const { return Cdb[0]; }
    std::int64_t Lba() const { return (Opcode() == 0x28 || Opcode() == 0x2A) ? std::int64_t{GetBE32(Cdb + 2)} : -1; }
    std::uint16_t Blocks() const { return GetBE16(Cdb + 7); }

    // Data to the host: the answer cut to the transfer length, the rest of the buffer zeroed.
    Answer Give(const std::vector<std::uint8_t>& bytes) const {
        Answer a;
        if (Buffer != nullptr && Direction == Transfer::In) {
            std::fill_n(Buffer, Length, 0);
            a.Moved = static_cast<std::uint32_t>(std::min<std::size_t>(Length, bytes.size()));
            std::copy_n(bytes.begin(), a.Moved, Buffer);
        }
        return a;
    }
};

std::string NumberedImagePath(const std::string& path, std::uint32_t discNumber) {
    if (discNumber == 0 || path.empty()) return path;
    const std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + "-" + std::to_string(discNumber) + p.extension().string())).string();
}

RecorderCore::RecorderCore(DeviceConfig config) : config_(std::move(config)) {
    state_.Medium = config_.Medium;
    state_.Status = config_.Status;
    state_.Capacity = config_.CapacityBlocks;
    state_.WriteSpeedKBs = MaxWriteKBs();
    if (state_.Status != DiscStatus::Blank) {
        state_.ClosedSessions.push_back({0, config_.EarlierSessionBlocks});
        state_.ClosedTrackModes.push_back(kDataTrack);
        state_.SessionStart = state_.NextWritable = config_.EarlierSessionBlocks + kSessionGap;
    }
    if (config_.ResumeState && !config_.StatePath.empty() && std::filesystem::exists(config_.StatePath)) {
        LoadState();
    } else if (!config_.ImagePath.empty() && state_.Status == DiscStatus::Blank) {
        // A disc an earlier run burnt is kept: this start's blank disc takes the next numbered image.
        state_.DiscNumber = NextUnusedDisc(0);
        const std::string path = NumberedImagePath(config_.ImagePath, state_.DiscNumber);
        if (!std::filesystem::exists(path)) std::ofstream(path, std::ios::binary);
    }
}

std::uint32_t RecorderCore::NextUnusedDisc(std::uint32_t from) const {
    for (std::uint32_t n = from;; ++n) {
        std::error_code error;
        const std::string path = NumberedImagePath(config_.ImagePath, n);
        if (!std::filesystem::exists(path, error) || std::filesystem::file_size(path, error) == 0) return n;
    }
}

DriveState RecorderCore::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::string RecorderCore::CurrentImagePath() const {
    std::lock_guard lock(mutex_);
    return NumberedImagePath(config_.ImagePath, state_.DiscNumber);
}

Answer RecorderCore::Execute(const std::uint8_t* cdb, std::size_t cdbLen, Transfer direction, std::uint8_t* buffer,
                             std::uint32_t length, std::uint32_t threadId) {
    std::lock_guard lock(mutex_);
    ++sequence_;
    std::error_code absent;
    if (!config_.CloseTrayPath.empty() && std::filesystem::remove(config_.CloseTrayPath, absent)) CloseTray();
    Context c{cdb, cdbLen, direction, buffer, length, threadId};
    Answer a = Run(c);
    // Sense data lasts until the next command, as on a drive.
    if (c.Opcode() != 0x03 && !a.NeverCompletes) {
        state_.PendingSense = a.SrbStatus == burn::kSsErr ? a.Sense : std::array<std::uint8_t, 18>{};
    }
    Trace(c, a);
    return a;
}

Answer RecorderCore::Run(Context& c) {
    Answer answer;
    bool handled = false;
    for (Fault& f : config_.Faults) {
        if (f.Fires(c.Opcode(), c.Lba()) && !handled) ApplyFault(f, c, answer, handled);
    }
    if (handled) return answer;
    const std::uint32_t delay = answer.DelayMs;
    answer = Dispatch(c);
    answer.DelayMs = delay;
    return answer;
}

void RecorderCore::ApplyFault(Fault& f, Context& c, Answer& answer, bool& handled) {
    handled = true;
    switch (f.Answer) {
        case FaultAnswer::Sense: answer = Check(f.Key, f.Asc, f.Ascq); break;
        case FaultAnswer::Target: answer.SrbStatus = burn::kSsErr; answer.TargStat = f.Value; break;
        case FaultAnswer::Host: answer.SrbStatus = burn::kSsErr; answer.HaStat = f.Value; break;
        case FaultAnswer::SrbStatus: answer.SrbStatus = f.Value; break;
        case FaultAnswer::Never: answer.NeverCompletes = true; break;
        case FaultAnswer::TrayOpen:
            state_.TrayOpen = true;
            SaveState();
            answer = Check(2, 0x3A, 0x02);
            break;
        case FaultAnswer::Delay: answer.DelayMs = f.Number; handled = false; break;
        case FaultAnswer::NextWritable: state_.NextWritable = f.Number; handled = false; break;
        case FaultAnswer::FixationFails: state_.FixationFailing = true; handled = false; break;
        case FaultAnswer::Underrun:
            if (!state_.Page5.empty() && (state_.Page5[2] & kBufe)) {
                ++state_.UnderrunsAbsorbed;
                handled = false;
            } else {
                answer = Check(3, 0x0C, 0x09);
            }
            break;
    }
}

Answer RecorderCore::Dispatch(Context& c) {
    using Handler = Answer (RecorderCore::*)(Context&);
    static const std::map<std::uint8_t, Handler> handlers = {
        {0x00, &RecorderCore::TestUnitReady}, {0x01, &RecorderCore::Accept}, {0x03, &RecorderCore::RequestSense},
        {0x12, &RecorderCore::Inquiry}, {0x1B, &RecorderCore::StartStop}, {0x1E, &RecorderCore::PreventAllow},
        {0x25, &RecorderCore::ReadCapacity}, {0x28, &RecorderCore::Read10}, {0x2A, &RecorderCore::Write10},
        {0x35, &RecorderCore::Accept}, {0x43, &RecorderCore::ReadToc}, {0x46, &RecorderCore::GetConfiguration},
        {0x51, &RecorderCore::ReadDiscInformation}, {0x52, &RecorderCore::ReadTrackInformation},
        {0x53, &RecorderCore::Accept}, {0x54, &RecorderCore::Accept}, {0x55, &RecorderCore::ModeSelect},
        {0x5A, &RecorderCore::ModeSense}, {0x5B, &RecorderCore::CloseTrackSession},
        {0x5C, &RecorderCore::ReadBufferCapacity}, {0x5D, &RecorderCore::Accept}, {0xB6, &RecorderCore::Accept},
        {0xBB, &RecorderCore::SetCdSpeed}, {0xBF, &RecorderCore::Accept},
    };
    const std::uint8_t op = c.Opcode();
    const auto it = handlers.find(op);
    if (it == handlers.end() || (!IsRecorderType(config_.PeripheralType) && op != 0x12)) return Check(5, 0x20, 0);
    // A read-only drive knows no writing commands.
    static const std::uint8_t kWriting[] = {0x2A, 0x53, 0x54, 0x5B, 0x5D};
    if (!config_.Writer && std::find(std::begin(kWriting), std::end(kWriting), op) != std::end(kWriting))
        return Check(5, 0x20, 0);
    Answer fixation;
    if (FixationAnswer(op, fixation)) return fixation;
    // After a disc goes in, the first command (other than those that report state) learns of it.
    if (state_.UnitAttention && op != 0x12 && op != 0x03 && op != 0x46) {
        state_.UnitAttention = false;
        return Check(6, 0x28, 0);
    }
    return (this->*it->second)(c);
}

// A close with IMMED fixates in the background: meanwhile the drive answers "operation in
// progress" to all but INQUIRY and the reports of its state, and a failed fixation is told, as a
// deferred error, to the next command after it.
bool RecorderCore::FixationAnswer(std::uint8_t op, Answer& answer) {
    static const std::uint8_t kAnsweredMeanwhile[] = {0x03, 0x12, 0x46, 0x51};
    if (state_.FixationLeft > 0) {
        const bool answered =
            std::find(std::begin(kAnsweredMeanwhile), std::end(kAnsweredMeanwhile), op) != std::end(kAnsweredMeanwhile);
        const Answer inProgress = Check(2, 0x04, 0x07);
        if (!answered) answer = inProgress;
        if (op == 0x03 && state_.PendingSense[0] == 0) state_.PendingSense = inProgress.Sense;
        if (--state_.FixationLeft == 0) {
            if (state_.FixationFailing) {
                state_.FixationFailing = false;
                state_.DeferredSense = Check(3, 0x72, 0x00).Sense;
                state_.DeferredSense[0] = 0x71;
            } else {
                CloseSession();
            }
            SaveState();
        }
        return !answered;
    }
    if (state_.DeferredSense[0] == 0 || op == 0x12) return false;
    const std::array<std::uint8_t, 18> deferred = state_.DeferredSense;
    state_.DeferredSense = {};
    SaveState();
    if (op == 0x03) {  // REQUEST SENSE hands it over as its data
        state_.PendingSense = deferred;
        return false;
    }
    answer = Check(0, 0, 0);
    answer.Sense = deferred;
    return true;
}

Answer RecorderCore::Check(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    Answer a;
    a.SrbStatus = burn::kSsErr;
    a.TargStat = 2;
    a.Sense[0] = 0x70;
    a.Sense[2] = key;
    a.Sense[7] = 10;
    a.Sense[12] = asc;
    a.Sense[13] = ascq;
    return a;
}

bool RecorderCore::ReadyOrAnswer(Answer& answer) {
    if (state_.TrayOpen) {
        answer = Check(2, 0x3A, 0x02);
        return false;
    }
    if (state_.Medium == MediumKind::None) {
        answer = Check(2, 0x3A, 0x01);
        return false;
    }
    return true;
}

bool RecorderCore::Writable() const {
    return state_.Medium != MediumKind::None && state_.Status != DiscStatus::Complete;
}

std::uint16_t RecorderCore::SpeedKBs(std::uint16_t x) const {
    return static_cast<std::uint16_t>(std::lround(x * kKBsPerX));
}

std::uint16_t RecorderCore::MaxWriteKBs() const {
    const auto& v = config_.WriteSpeedsX;
    return v.empty() ? 0 : SpeedKBs(*std::max_element(v.begin(), v.end()));
}

Answer RecorderCore::Accept(Context&) {
    Answer a;
    ReadyOrAnswer(a);
    return a;
}

Answer RecorderCore::TestUnitReady(Context& c) { return Accept(c); }

Answer RecorderCore::RequestSense(Context& c) {
    std::array<std::uint8_t, 18> sense = state_.PendingSense;
    if (sense[0] == 0) {
        Answer notReady;
        sense = ReadyOrAnswer(notReady) ? Check(0, 0, 0).Sense : notReady.Sense;
    }
    state_.PendingSense = {};
    return c.Give({sense.begin(), sense.end()});
}

Answer RecorderCore::Inquiry(Context& c) {
    std::vector<std::uint8_t> d(36, 0);
    d[0] = config_.PeripheralType;
    d[1] = 0x80;  // removable
    d[2] = 0x05;
    d[3] = 0x32;
    d[4] = 31;
    auto put = [&](std::size_t at, std::size_t width, const std::string& text) {
        for (std::size_t i = 0; i < width; ++i) d[at + i] = i < text.size() ? text[i] : ' ';
    };
    put(8, 8, config_.Vendor);
    put(16, 16, config_.Product);
    put(32, 4, config_.Revision);
    return c.Give(d);
}

Answer RecorderCore::StartStop(Context& c) {
    const std::uint8_t loej = c.Cdb[4] & 3;
    if (loej == 2) {
        if (state_.PreventRemoval) return Check(5, 0x53, 0x02);
        state_.TrayOpen = true;
        state_.EjectedSinceLoad = true;
    } else if (loej == 3) {
        CloseTray();
    }
    SaveState();
    return {};
}

void RecorderCore::CloseTray() {
    if (!state_.TrayOpen) return;
    state_.TrayOpen = false;
    if (config_.FreshDiscAfterEject && state_.EjectedSinceLoad) InsertFreshDisc();
    state_.EjectedSinceLoad = false;
    state_.UnitAttention = state_.Medium != MediumKind::None;
    SaveState();
}

void RecorderCore::InsertFreshDisc() {
    state_.DiscNumber = config_.ImagePath.empty() ? state_.DiscNumber + 1 : NextUnusedDisc(state_.DiscNumber + 1);
    state_.Medium = config_.Medium == MediumKind::None ? MediumKind::CdR : config_.Medium;
    state_.Status = DiscStatus::Blank;
    state_.ClosedSessions.clear();
    state_.ClosedTrackModes.clear();
    state_.SessionStart = state_.NextWritable = state_.BlocksWritten = 0;
    state_.Capacity = config_.CapacityBlocks;
    if (!config_.ImagePath.empty()) {
        const std::string path = NumberedImagePath(config_.ImagePath, state_.DiscNumber);
        if (!std::filesystem::exists(path)) std::ofstream(path, std::ios::binary);
    }
}

Answer RecorderCore::PreventAllow(Context& c) {
    state_.PreventRemoval = (c.Cdb[4] & 1) != 0;
    SaveState();
    return {};
}

Answer RecorderCore::ReadCapacity(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    std::vector<std::uint8_t> d(8, 0);
    PutBE32(d.data(), state_.NextWritable == 0 ? 0 : state_.NextWritable - 1);
    PutBE32(d.data() + 4, kSector);
    return c.Give(d);
}

Answer RecorderCore::Read10(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    const std::uint64_t bytes = std::uint64_t{c.Blocks()} * kSector;
    if (c.Length < bytes || c.Direction != Transfer::In) return Check(5, 0x24, 0);
    std::vector<std::uint8_t> d(bytes, 0);
    std::ifstream in(NumberedImagePath(config_.ImagePath, state_.DiscNumber), std::ios::binary);
    if (in) {
        in.seekg(static_cast<std::streamoff>(c.Lba()) * kSector);
        in.read(reinterpret_cast<char*>(d.data()), static_cast<std::streamsize>(bytes));
    }
    return c.Give(d);
}

Answer RecorderCore::Write10(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    if (!Writable()) return Check(5, 0x30, 0x05);
    if (state_.Page5.empty() || ((state_.Page5[2] & 0x0F) != 1 && (state_.Page5[2] & 0x0F) != 2)) {
        return Check(5, 0x2C, 0x00);
    }
    const std::uint32_t lba = static_cast<std::uint32_t>(c.Lba());
    const std::uint32_t blocks = c.Blocks();
    if (lba != state_.NextWritable) return Check(5, 0x21, 0x02);
    if (std::uint64_t{lba} + blocks > state_.Capacity) return Check(5, 0x21, 0x00);
    // The transfer must be whole blocks of the size the stored page's data block type gives.
    if (c.Length != blocks * BlockBytes() || c.Direction != Transfer::Out || c.Buffer == nullptr)
        return Check(5, 0x24, 0);
    if (!config_.ImagePath.empty()) {
        const std::string path = NumberedImagePath(config_.ImagePath, state_.DiscNumber);
        // Created when missing, never truncated: earlier sectors stay.
        if (!std::filesystem::exists(path)) std::ofstream(path, std::ios::binary);
        std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(static_cast<std::streamoff>(lba) * kSector);
        out.write(reinterpret_cast<const char*>(c.Buffer), c.Length);
        out.flush();
        if (!out) return Check(3, 0x0C, 0x00);
    }
    if (state_.BlocksWritten == 0) state_.OpenTrackMode = state_.Page5[3] & 0x0F;
    state_.NextWritable += blocks;
    state_.BlocksWritten += blocks;
    SaveState();
    a.Moved = c.Length;
    return a;
}

Answer RecorderCore::ReadToc(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    const std::uint8_t format = c.Cdb[2] & 0x0F;
    const bool msf = (c.Cdb[1] & 2) != 0;
    const auto& sessions = state_.ClosedSessions;
    auto address = [&](std::uint8_t* p, std::uint32_t lba) { msf ? PutMsf(p, lba) : PutBE32(p, lba); };
    std::vector<std::uint8_t> d(4, 0);
    if (format == 4) {  // ATIP
        if (state_.Medium != MediumKind::CdR && state_.Medium != MediumKind::CdRw) return Check(5, 0x24, 0);
        d.resize(28, 0);
        d[6] = state_.Medium == MediumKind::CdRw ? 0xC0 : 0x80;
        PutMsf(d.data() + 7, 450000 - 150 - 11634);  // lead-in start 97:26:66
        PutMsf(d.data() + 11, state_.Capacity);
    } else if (format == 0 || format == 1) {
        if (sessions.empty()) return Check(5, 0x24, 0);
        if (format == 1) {
            d[2] = 1;
            d[3] = static_cast<std::uint8_t>(sessions.size());
            d.resize(12, 0);
            d[5] = static_cast<std::uint8_t>(kAdrPosition | TrackModeOf(sessions.size() - 1));
            d[6] = static_cast<std::uint8_t>(sessions.size());
            address(d.data() + 8, sessions.back().first);
        } else {
            d[2] = 1;
            d[3] = static_cast<std::uint8_t>(sessions.size());
            for (std::size_t i = 0; i <= sessions.size(); ++i) {
                const std::uint8_t control = TrackModeOf(std::min(i, sessions.size() - 1));
                std::uint8_t t[8] = {0, static_cast<std::uint8_t>(kAdrPosition | control),
                                     static_cast<std::uint8_t>(i == sessions.size() ? 0xAA : i + 1)};
                address(t + 4, i == sessions.size() ? sessions.back().first + sessions.back().second : sessions[i].first);
                d.insert(d.end(), t, t + 8);
            }
        }
    } else if (format == 2) {  // full TOC: A0 (first track), A1 (last track), A2 (lead-out), the track
        if (sessions.empty()) return Check(5, 0x24, 0);
        d[2] = 1;
        d[3] = static_cast<std::uint8_t>(sessions.size());
        for (std::size_t i = 0; i < sessions.size(); ++i) {
            const auto number = static_cast<std::uint8_t>(i + 1);
            const std::pair<std::uint8_t, std::uint32_t> points[] = {
                {0xA0, 0}, {0xA1, 0}, {0xA2, sessions[i].first + sessions[i].second}, {number, sessions[i].first}};
            for (const auto& [point, lba] : points) {
                std::uint8_t t[11] = {number, static_cast<std::uint8_t>(kAdrPosition | TrackModeOf(i)), 0, point};
                if (point == 0xA0 || point == 0xA1) t[8] = number;
                else PutMsf(t + 7, lba);
                d.insert(d.end(), t, t + 11);
            }
        }
    } else {
        return Check(5, 0x24, 0);
    }
    PutBE16(d.data(), static_cast<std::uint32_t>(d.size() - 2));
    return c.Give(d);
}

Answer RecorderCore::GetConfiguration(Context& c) {
    static const std::map<MediumKind, std::uint16_t> profiles = {
        {MediumKind::None, 0x0000}, {MediumKind::CdR, 0x0009}, {MediumKind::CdRw, 0x000A}, {MediumKind::DvdR, 0x0011}};
    std::vector<std::uint8_t> d(8, 0);
    PutBE16(d.data() + 6, state_.TrayOpen ? 0 : profiles.at(state_.Medium));
    const std::uint16_t feature = GetBE16(c.Cdb + 2);
    if (feature == 0x2F && state_.Medium == MediumKind::DvdR && config_.Writer) {
        const std::uint8_t dvdWrite[] = {0x00, 0x2F, 0x05, 0x04, 0x01, 0, 0, 0};
        d.insert(d.end(), std::begin(dvdWrite), std::end(dvdWrite));
    }
    PutBE32(d.data(), static_cast<std::uint32_t>(d.size() - 4));
    return c.Give(d);
}

Answer RecorderCore::ReadDiscInformation(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    std::vector<std::uint8_t> d(34, 0);
    PutBE16(d.data(), 32);
    const bool open = state_.Status != DiscStatus::Complete;
    std::uint8_t status = static_cast<std::uint8_t>(state_.Status);
    if (state_.Status == DiscStatus::Blank && state_.BlocksWritten > 0) status = 1;
    const std::uint8_t lastSession = !open ? 3 : state_.BlocksWritten > 0 ? 1 : 0;
    d[2] = static_cast<std::uint8_t>((state_.Medium == MediumKind::CdRw ? 0x10 : 0) | lastSession << 2 | status);
    d[3] = 1;
    const auto sessions = static_cast<std::uint8_t>(state_.ClosedSessions.size() + (open ? 1 : 0));
    d[4] = sessions;
    d[5] = d[6] = sessions;
    d[7] = 0x20;
    if (open) {
        PutMsf(d.data() + 16, state_.SessionStart);
        PutMsf(d.data() + 20, state_.Capacity);
    } else {
        std::fill_n(d.begin() + 16, 8, 0xFF);
    }
    return c.Give(d);
}

Answer RecorderCore::ReadTrackInformation(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    const auto& sessions = state_.ClosedSessions;
    const std::uint32_t wanted = GetBE32(c.Cdb + 2);
    const bool open = state_.Status != DiscStatus::Complete;
    const std::uint32_t openTrack = static_cast<std::uint32_t>(sessions.size()) + 1;
    std::uint32_t track = wanted == 0xFF ? (open ? openTrack : openTrack - 1) : wanted;
    if (track == 0 || track > (open ? openTrack : openTrack - 1)) return Check(5, 0x24, 0);
    std::vector<std::uint8_t> d(36, 0);
    PutBE16(d.data(), 34);
    d[2] = static_cast<std::uint8_t>(track);
    d[3] = static_cast<std::uint8_t>(track);
    if (open && track == openTrack) {
        // The mode its writes used, or before any the mode the stored page asks for.
        d[5] = state_.BlocksWritten > 0 ? state_.OpenTrackMode
               : state_.Page5.size() > 3 ? static_cast<std::uint8_t>(state_.Page5[3] & 0x0F)
                                          : kDataTrack;
        const std::uint32_t free = state_.Capacity > state_.NextWritable ? state_.Capacity - state_.NextWritable : 0;
        d[6] = static_cast<std::uint8_t>((state_.BlocksWritten == 0 ? 0x40 : 0) | 0x01);
        d[7] = 0x01;  // next writable address valid
        PutBE32(d.data() + 8, state_.SessionStart);
        PutBE32(d.data() + 12, state_.NextWritable);
        PutBE32(d.data() + 16, free);
        PutBE32(d.data() + 24, free + state_.BlocksWritten);
        PutBE32(d.data() + 28, state_.BlocksWritten ? state_.NextWritable - 1 : 0);
    } else {
        const auto& [start, blocks] = sessions[track - 1];
        d[5] = TrackModeOf(track - 1);
        d[6] = 0x01;
        d[7] = 0x02;  // last recorded address valid
        PutBE32(d.data() + 8, start);
        PutBE32(d.data() + 24, blocks);
        PutBE32(d.data() + 28, start + blocks - 1);
    }
    return c.Give(d);
}

Answer RecorderCore::ModeSelect(Context& c) {
    if (c.Direction != Transfer::Out || c.Buffer == nullptr || c.Length < 10) return Check(5, 0x1A, 0);
    const std::uint32_t at = 8 + GetBE16(c.Buffer + 6);
    if (at + 2 > c.Length || at + 2 + c.Buffer[at + 1] > c.Length) return Check(5, 0x1A, 0);
    const std::uint8_t* page = c.Buffer + at;
    if ((page[0] & 0x3F) != 0x05 || page[1] < 0x0E || !config_.Writer) return Check(5, 0x26, 0);
    // Refused as a whole: the stored page stays as it was.
    if (PageRefused(page)) return Check(5, 0x26, 0);
    state_.Page5.assign(page, page + page[1] + 2);
    SaveState();
    return {};
}

// Page 5 as a drive checks it: a write type it offers, a track mode that fits the data block type
// (data blocks need a data track, raw blocks an audio one), multisession and link size valid for
// the medium, and test write only where the drive can.
bool RecorderCore::PageRefused(const std::uint8_t* page) const {
    const std::uint8_t writeType = page[2] & 0x0F, trackMode = page[3] & 0x0F, blockType = page[4] & 0x0F;
    const auto& types = config_.WriteTypes;
    if (std::find(types.begin(), types.end(), writeType) == types.end()) return true;
    if ((page[2] & kTestWriteBit) && !config_.TestWrite) return true;
    const bool dvd = state_.Medium == MediumKind::DvdR;
    if ((page[2] & kLinkSizeValid) && page[5] != (dvd ? kDvdLinkSize : kCdLinkSize)) return true;
    const std::uint8_t multiSession = page[3] >> 6;
    if (multiSession == 2 || (multiSession == 1 && dvd)) return true;
    if (BlockBytesOfType(blockType) == 0) return true;
    const bool dataBlocks = blockType >= 8;
    if (dataBlocks) return trackMode != 4 && trackMode != 5;
    return (trackMode & kDataTrack) != 0;
}

std::uint32_t RecorderCore::BlockBytes() const {
    return state_.Page5.size() > 4 ? BlockBytesOfType(state_.Page5[4] & 0x0F) : kSector;
}

std::uint8_t RecorderCore::TrackModeOf(std::size_t session) const {
    return session < state_.ClosedTrackModes.size() ? state_.ClosedTrackModes[session] : kDataTrack;
}

Answer RecorderCore::ModeSense(Context& c) {
    const std::uint8_t page = c.Cdb[2] & 0x3F;
    const bool defaults = (c.Cdb[2] & 0xC0) == 0x80;
    std::vector<std::uint8_t> p;
    if (page == 0x05) {
        p = state_.Page5;
        if (p.empty() || defaults) {
            p.assign(52, 0);
            p[0] = 0x05;
            p[1] = 0x32;
            p[2] = 0x01;
            p[3] = 0x04;
            p[4] = 0x08;
        }
    } else if (page == 0x2A) {
        const bool dvd = state_.Medium == MediumKind::DvdR;
        p.assign(22, 0);
        p[0] = 0x2A;
        p[1] = 0x14;
        p[2] = static_cast<std::uint8_t>(0x07 | (dvd ? 0x18 : 0));
        p[3] = config_.Writer ? static_cast<std::uint8_t>(0x03 | (config_.TestWrite ? 0x04 : 0) | (dvd ? 0x10 : 0)) : 0;
        p[4] = config_.UnderrunFree ? 0x80 : 0;
        p[6] = static_cast<std::uint8_t>(0x29 | (state_.PreventRemoval ? 0x02 : 0));
        PutBE16(p.data() + 8, SpeedKBs(config_.MaxReadSpeedX));
        PutBE16(p.data() + 10, 256);
        PutBE16(p.data() + 12, config_.BufferBytes / 1024);
        PutBE16(p.data() + 14, SpeedKBs(config_.MaxReadSpeedX));
        PutBE16(p.data() + 18, MaxWriteKBs());
        PutBE16(p.data() + 20, defaults ? MaxWriteKBs() : state_.WriteSpeedKBs);
    } else {
        return Check(5, 0x24, 0);
    }
    std::vector<std::uint8_t> d(8, 0);
    d.insert(d.end(), p.begin(), p.end());
    PutBE16(d.data(), static_cast<std::uint32_t>(d.size() - 2));
    return c.Give(d);
}

Answer RecorderCore::CloseTrackSession(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    if (!Writable() || state_.BlocksWritten == 0) return Check(5, 0x2C, 0);
    if ((c.Cdb[2] & 7) == 1) return {};  // the track closes; the session stays open
    if (c.Cdb[1] & 1) {  // IMMED: taken at once, fixated while the next requests come
        state_.FixationLeft = std::max<std::uint32_t>(config_.FixationRequests, 1);
        SaveState();
        return {};
    }
    if (state_.FixationFailing) {
        state_.FixationFailing = false;
        return Check(3, 0x72, 0x00);
    }
    CloseSession();
    return {};
}

void RecorderCore::CloseSession() {
    state_.ClosedSessions.push_back({state_.SessionStart, state_.BlocksWritten});
    state_.ClosedTrackModes.push_back(state_.OpenTrackMode);
    const std::uint32_t end = state_.SessionStart + state_.BlocksWritten;
    const bool multiSession = !state_.Page5.empty() && (state_.Page5[3] & kMultiSession) == kMultiSession;
    state_.BlocksWritten = 0;
    if (multiSession && end + kSessionGap < state_.Capacity) {
        state_.Status = DiscStatus::Appendable;
        state_.SessionStart = state_.NextWritable = end + kSessionGap;
    } else {
        state_.Status = DiscStatus::Complete;
    }
    SaveState();
}

Answer RecorderCore::ReadBufferCapacity(Context& c) {
    Answer a;
    if (!ReadyOrAnswer(a)) return a;
    std::vector<std::uint8_t> d(12, 0);
    PutBE16(d.data(), 10);
    PutBE32(d.data() + 4, config_.BufferBytes);
    PutBE32(d.data() + 8, config_.BufferBytes);
    return c.Give(d);
}

Answer RecorderCore::SetCdSpeed(Context& c) {
    const std::uint16_t asked = GetBE16(c.Cdb + 4);
    auto speeds = config_.WriteSpeedsX;
    std::sort(speeds.begin(), speeds.end());
    std::uint16_t chosen = speeds.empty() ? 0 : SpeedKBs(speeds.front());
    for (std::uint16_t x : speeds) {
        if (asked == 0xFFFF || SpeedKBs(x) <= asked) chosen = SpeedKBs(x);
    }
    state_.WriteSpeedKBs = chosen;
    SaveState();
    return {};
}

void RecorderCore::SaveState() const {
    if (config_.StatePath.empty()) return;
    std::ostringstream s;
    s << "medium=" << MediumNames().at(state_.Medium) << "\n"
      << "status=" << StatusNames().at(state_.Status) << "\n"
      << "tray=" << (state_.TrayOpen ? "open" : "closed") << "\n"
      << "prevent=" << state_.PreventRemoval << "\n"
      << "disc_number=" << state_.DiscNumber << "\n"
      << "image=" << NumberedImagePath(config_.ImagePath, state_.DiscNumber) << "\n"
      << "capacity=" << state_.Capacity << "\n"
      << "sessions=";
    for (const auto& [start, blocks] : state_.ClosedSessions) s << start << ":" << blocks << " ";
    s << "\n"
      << "track_modes=";
    for (const std::uint8_t mode : state_.ClosedTrackModes) s << int{mode} << " ";
    s << "\n"
      << "open_track_mode=" << int{state_.OpenTrackMode} << "\n"
      << "fixation=" << (state_.FixationLeft > 0 ? "running" : state_.DeferredSense[0] ? "failed" : "idle") << "\n"
      << "session_start=" << state_.SessionStart << "\n"
      << "next_writable=" << state_.NextWritable << "\n"
      << "blocks_written=" << state_.BlocksWritten << "\n"
      << "underruns_absorbed=" << state_.UnderrunsAbsorbed << "\n"
      << "write_speed_kbs=" << state_.WriteSpeedKBs << "\n"
      << "page5=" << HexBytes(state_.Page5.data(), state_.Page5.size()) << "\n";
    // Written beside and renamed over, so a reader never sees half a file.
    const std::string temp = config_.StatePath + ".new";
    { std::ofstream(temp, std::ios::binary | std::ios::trunc) << s.str(); }
    std::error_code ignored;
    std::filesystem::rename(temp, config_.StatePath, ignored);
}

void RecorderCore::LoadState() {
    std::ifstream in(config_.StatePath);
    std::map<std::string, std::string> v;
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) v[line.substr(0, eq)] = line.substr(eq + 1);
    }
    auto number = [&](const char* key, std::uint32_t otherwise) {
        return v.count(key) ? static_cast<std::uint32_t>(std::stoul(v[key])) : otherwise;
    };
    state_.Medium = FromName(MediumNames(), v["medium"], state_.Medium);
    state_.Status = FromName(StatusNames(), v["status"], state_.Status);
    state_.TrayOpen = v["tray"] == "open";
    state_.PreventRemoval = v["prevent"] == "1";
    state_.DiscNumber = number("disc_number", 0);
    state_.Capacity = number("capacity", state_.Capacity);
    state_.ClosedSessions.clear();
    std::istringstream sessions(v["sessions"]);
    for (std::string item; sessions >> item;) {
        const auto colon = item.find(':');
        state_.ClosedSessions.push_back({static_cast<std::uint32_t>(std::stoul(item.substr(0, colon))),
                                         static_cast<std::uint32_t>(std::stoul(item.substr(colon + 1)))});
    }
    state_.ClosedTrackModes.clear();
    std::istringstream modes(v["track_modes"]);
    for (unsigned mode = 0; modes >> mode;) state_.ClosedTrackModes.push_back(static_cast<std::uint8_t>(mode));
    state_.ClosedTrackModes.resize(state_.ClosedSessions.size(), kDataTrack);
    state_.OpenTrackMode = static_cast<std::uint8_t>(number("open_track_mode", kDataTrack));
    state_.SessionStart = number("session_start", 0);
    state_.NextWritable = number("next_writable", 0);
    state_.BlocksWritten = number("blocks_written", 0);
    state_.UnderrunsAbsorbed = number("underruns_absorbed", 0);
    state_.WriteSpeedKBs = static_cast<std::uint16_t>(number("write_speed_kbs", state_.WriteSpeedKBs));
    const std::string hex = v["page5"];
    state_.Page5.clear();
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        state_.Page5.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
}

void RecorderCore::Trace(const Context& c, const Answer& a) const {
    if (config_.TracePath.empty()) return;
    char line[256];
    std::string name = burn::CommandName(c.Opcode());
    name.erase(name.find_last_not_of(' ') + 1);
    std::snprintf(line, sizeof line, "%llu %u %s %02X cdb=%s -> %02X/%02X/%02X sense=%X/%02X/%02X",
                  static_cast<unsigned long long>(sequence_), c.ThreadId, name.c_str(), c.Opcode(),
                  HexBytes(c.Cdb, c.CdbLen).c_str(), a.SrbStatus, a.HaStat, a.TargStat, a.Sense[2] & 0x0F,
                  a.Sense[12], a.Sense[13]);
    std::string text = line;
    if (c.Opcode() == 0x2A || c.Opcode() == 0x28) {
        text += " lba=" + std::to_string(c.Lba()) + " blocks=" + std::to_string(c.Blocks());
    }
    // The parameters a MODE SELECT sent: the write parameters the host asked for.
    if (c.Opcode() == 0x55 && c.Direction == Transfer::Out && c.Buffer != nullptr)
        text += " data=" + HexBytes(c.Buffer, c.Length);
    if (a.NeverCompletes) text += " never";
    if (a.DelayMs) text += " delay=" + std::to_string(a.DelayMs);
    std::ofstream(config_.TracePath, std::ios::app) << text << "\n";
}

}  // namespace vcdr
