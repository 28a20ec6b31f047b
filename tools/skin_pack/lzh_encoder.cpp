#include "tools/skin_pack/lzh_encoder.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "skin/portable/lzh_tree.h"

namespace skin_pack {

namespace {

using namespace skin;

// The position code of each upper 6 bits, read back from the decoder's 8-bit lookup tables.
struct PositionCode {
    std::array<std::uint8_t, 64> code{};
    std::array<std::uint8_t, 64> length{};
};

const PositionCode& PositionCodes() {
    static const PositionCode codes = [] {
        PositionCode p;
        const LzhPositionTables& t = PositionTables();
        for (int i = 255; i >= 0; --i) {
            p.code[t.code[i]] = static_cast<std::uint8_t>(i >> (8 - t.length[i]));
            p.length[t.code[i]] = t.length[i];
        }
        return p;
    }();
    return codes;
}

// A hash chain over the history: the starting blanks the decoder reads behind its first write,
// then the data. Positions are indexes into that history.
class MatchFinder {
public:
    static constexpr int kChainLimit = 256;

    explicit MatchFinder(const std::vector<std::uint8_t>& history)
        : history_(history), head_(kHashSize, -1), prev_(history.size(), -1) {}

    void Insert(std::int64_t pos) {
        if (pos + 2 >= static_cast<std::int64_t>(history_.size())) return;
        const unsigned h = Hash(pos);
        prev_[pos] = head_[h];
        head_[h] = pos;
    }

    // The longest match for pos of at most maxLength bytes (0 when under 3); its distance in distance.
    int Longest(std::int64_t pos, int maxLength, int& distance) const {
        int best = 0;
        if (maxLength < kLzhMinMatch) return 0;
        std::int64_t candidate = head_[Hash(pos)];
        for (int steps = 0; candidate >= 0 && steps < kChainLimit; ++steps, candidate = prev_[candidate]) {
            const std::int64_t d = pos - candidate;
            if (d > kLzhRingSize) break;
            int n = 0;
            while (n < maxLength && history_[candidate + n] == history_[pos + n]) ++n;
            if (n > best) {
                best = n;
                distance = static_cast<int>(d);
                if (n == maxLength) break;
            }
        }
        return best >= kLzhMinMatch ? best : 0;
    }

private:
    static constexpr unsigned kHashSize = 1u << 15;
    unsigned Hash(std::int64_t pos) const {
        return ((history_[pos] << 10) ^ (history_[pos + 1] << 5) ^ history_[pos + 2]) & (kHashSize - 1);
    }

    const std::vector<std::uint8_t>& history_;
    std::vector<std::int64_t> head_;
    std::vector<std::int64_t> prev_;
};

}  // namespace

LzhSymbolWriter::LzhSymbolWriter() : tree_(std::make_unique<LzhTree>()) {}
LzhSymbolWriter::~LzhSymbolWriter() = default;

void LzhSymbolWriter::Bit(int bit) {
    current_ = static_cast<std::uint8_t>((current_ << 1) | (bit & 1));
    if (++count_ == 8) {
        out_.push_back(current_);
        current_ = 0;
        count_ = 0;
    }
}

// Huffman codes grow with the tree's depth, far past 16 bits on skewed data, so the path is
// gathered bit by bit from the leaf and written from the root down.
void LzhSymbolWriter::Symbol(int c) {
    std::array<std::uint8_t, kLzhNodes> path;
    int depth = 0;
    int node = tree_->prnt[c + kLzhNodes];
    do {
        path[depth++] = static_cast<std::uint8_t>(node & 1);
        node = tree_->prnt[node];
    } while (node != kLzhRoot);
    longestCode_ = std::max(longestCode_, depth);
    while (depth > 0) Bit(path[--depth]);
    tree_->Update(c);
}

void LzhSymbolWriter::Literal(std::uint8_t byte) { Symbol(byte); }

void LzhSymbolWriter::Match(int length, int distance) {
    if (length < kLzhMinMatch || length > kLzhMaxMatch || distance < 1 || distance > kLzhRingSize)
        throw std::invalid_argument("LZH match out of range");
    Symbol(255 - kLzhThreshold + length);
    const PositionCode& p = PositionCodes();
    const int position = distance - 1;
    const int upper = position >> 6;
    for (int k = p.length[upper] - 1; k >= 0; --k) Bit((p.code[upper] >> k) & 1);
    for (int k = 5; k >= 0; --k) Bit((position >> k) & 1);
}

std::vector<std::uint8_t> LzhSymbolWriter::Finish() {
    while (count_ != 0) Bit(0);
    return std::move(out_);
}

std::vector<std::uint8_t> LzhEncode(std::span<const std::uint8_t> data) {
    // Only ring bytes 0 .. 4035 start blank for every decoder, so the history begins with those.
    constexpr std::int64_t kBlanks = kLzhFirstWrite;
    std::vector<std::uint8_t> history(kBlanks + data.size(), ' ');
    std::copy(data.begin(), data.end(), history.begin() + kBlanks);

    LzhSymbolWriter writer;
    MatchFinder finder(history);
    for (std::int64_t pos = 0; pos < kBlanks; ++pos) finder.Insert(pos);

    const std::int64_t end = static_cast<std::int64_t>(history.size());
    std::int64_t pos = kBlanks;
    while (pos < end) {
        const int maxLength = static_cast<int>(std::min<std::int64_t>(kLzhMaxMatch, end - pos));
        int distance = 0;
        const int length = finder.Longest(pos, maxLength, distance);
        if (length == 0) {
            writer.Literal(history[pos]);
            finder.Insert(pos++);
            continue;
        }
        writer.Match(length, distance);
        for (int k = 0; k < length; ++k) finder.Insert(pos++);
    }
    return writer.Finish();
}

std::vector<std::uint8_t> PackSkinStream(std::span<const std::uint8_t> data) {
    if (data.size() > 0x7FFFFFFF) throw std::length_error("skin archive too large");
    const std::uint32_t size = static_cast<std::uint32_t>(data.size());
    std::vector<std::uint8_t> stream = {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                                        std::uint8_t(size >> 24)};
    const std::vector<std::uint8_t> coded = LzhEncode(data);
    stream.insert(stream.end(), coded.begin(), coded.end());
    return stream;
}

}  // namespace skin_pack
