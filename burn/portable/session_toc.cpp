#include "burn/portable/session_toc.h"

#include <vector>

#include "burn/portable/big_endian.h"

namespace burn {
namespace {

constexpr std::uint8_t kTocTracks = 0, kTocSessionInfo = 1, kTocFull = 2;
constexpr std::uint8_t kLeadOutTrack = 0xAA;
constexpr std::uint8_t kFirstTrackPoint = 0xA0;
constexpr std::size_t kHeader = 4, kTrackDescriptor = 8, kFullDescriptor = 11;
constexpr std::uint16_t kTocAnswerLength = 4096;

// The descriptors the answer's length field covers, within what arrived.
std::span<const std::uint8_t> Descriptors(std::span<const std::uint8_t> answer) {
    if (answer.size() < kHeader) return {};
    const std::size_t covered = std::min<std::size_t>(answer.size(), std::size_t{GetBE16(answer.data())} + 2);
    return answer.subspan(kHeader, covered - std::min(covered, kHeader));
}

std::optional<std::uint32_t> Msf(const std::uint8_t* p) {
    if (p[1] >= 60 || p[2] >= 75 || std::uint32_t{p[0]} * 4500 + p[1] * 75u + p[2] < 150) return std::nullopt;
    return MsfToLba(p[0], p[1], p[2]);
}

std::optional<std::vector<std::uint8_t>> Toc(TSCSIDevice& device, std::uint8_t format, std::uint8_t track, bool msf,
                                             std::uint16_t length) {
    std::vector<std::uint8_t> answer(length, 0);
    if (!device.ReadToc(format, answer.data(), track, msf, 0, length)) return std::nullopt;
    return answer;
}

}  // namespace

std::optional<std::uint32_t> LastSessionStartFromToc(std::span<const std::uint8_t> answer) {
    const auto d = Descriptors(answer);
    if (d.size() < kTrackDescriptor) return std::nullopt;
    return Msf(&d[5]);
}

std::optional<std::uint32_t> SessionStartFromFullToc(std::span<const std::uint8_t> answer, int session) {
    const auto d = Descriptors(answer);
    std::optional<std::uint8_t> firstTrack;
    for (std::size_t at = 0; at + kFullDescriptor <= d.size(); at += kFullDescriptor)
        if (d[at] == session && d[at + 3] == kFirstTrackPoint) firstTrack = d[at + 8];
    if (!firstTrack) return std::nullopt;
    for (std::size_t at = 0; at + kFullDescriptor <= d.size(); at += kFullDescriptor)
        if (d[at] == session && d[at + 3] == *firstTrack) return Msf(&d[at + 8]);
    return std::nullopt;
}

std::optional<std::uint32_t> LeadOutFromToc(std::span<const std::uint8_t> answer) {
    const auto d = Descriptors(answer);
    for (std::size_t at = 0; at + kTrackDescriptor <= d.size(); at += kTrackDescriptor)
        if (d[at + 2] == kLeadOutTrack) return GetBE32(&d[at + 4]);
    return std::nullopt;
}

SessionDisc DeviceSessionDisc(TSCSIDevice& device) {
    SessionDisc disc;
    disc.sessionCount = [&device] { return int{device.SessionCount()}; };
    disc.sessionStart = [&device](int number, int count) -> std::optional<std::uint32_t> {
        if (number == count) {
            const auto answer = Toc(device, kTocSessionInfo, 0, true, 12);
            return answer ? LastSessionStartFromToc(*answer) : std::nullopt;
        }
        const auto answer = Toc(device, kTocFull, 1, true, kTocAnswerLength);
        return answer ? SessionStartFromFullToc(*answer, number) : std::nullopt;
    };
    disc.recordedEnd = [&device]() -> std::optional<std::uint32_t> {
        const auto answer = Toc(device, kTocTracks, kLeadOutTrack, false, kTocAnswerLength);
        return answer ? LeadOutFromToc(*answer) : std::nullopt;
    };
    disc.read = [&device](std::uint32_t lba, std::uint8_t* sector) { return device.Read10(lba, 1, 2048, sector); };
    return disc;
}

}  // namespace burn
