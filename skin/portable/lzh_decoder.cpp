#include "skin/portable/lzh_decoder.h"

#include <memory>
#include <vector>

#include "skin/portable/lzh_tree.h"

namespace skin {

namespace {

constexpr int kBytesPastEndAllowed = 2;

class BitReader {
public:
    explicit BitReader(const TLZH::ReadCallback& read) : read_(read) {}

    int Bit() {
        Fill();
        const int bit = (buffer_ >> 15) & 1;
        buffer_ = static_cast<std::uint16_t>(buffer_ << 1);
        --count_;
        return bit;
    }
    int Byte() {
        Fill();
        const int byte = buffer_ >> 8;
        buffer_ = static_cast<std::uint16_t>(buffer_ << 8);
        count_ = static_cast<std::uint8_t>(count_ - 8);
        return byte;
    }

private:
    void Fill() {
        while (count_ <= 8) {
            std::uint8_t b = 0;
            if (read_(&b, 1) != 1) {
                b = 0;
                if (++pastEnd_ > kBytesPastEndAllowed) throw ElzhException("LZH : the coded data ends early");
            }
            buffer_ = static_cast<std::uint16_t>(buffer_ | (b << (8 - count_)));
            count_ = static_cast<std::uint8_t>(count_ + 8);
        }
    }

    const TLZH::ReadCallback& read_;
    std::uint16_t buffer_ = 0;
    std::uint8_t count_ = 0;
    int pastEnd_ = 0;
};

}  // namespace

void CheckUnpackedSize(std::int64_t size, std::int64_t codedLength) {
    if (size < 0) throw ElzhException("LZH : negative unpacked size");
    if (size > kMaxUnpackedSize) throw ElzhException("LZH : unpacked size above 16 MiB");
    if (size > 64 * codedLength + 64) throw ElzhException("LZH : unpacked size beyond what the coded data can hold");
}

void TLZH::Decode(std::int32_t size, const WriteCallback& write, const ReadCallback& read) {
    std::unique_ptr<LzhTree> tree;
    std::vector<std::uint8_t> ring;
    try {
        tree = std::make_unique<LzhTree>();
        // The whole ring starts blank, the look-ahead part included, so an early match that
        // reaches behind the start reads blanks however far back it points.
        ring.assign(kLzhRingSize + kLzhMaxMatch - 1, ' ');
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
    const LzhPositionTables& positions = PositionTables();
    BitReader bits(read);
    int r = kLzhFirstWrite;
    std::int64_t produced = 0;
    auto emit = [&](std::uint8_t byte) {
        write(&byte, 1);
        ring[r] = byte;
        r = (r + 1) & kLzhRingMask;
        ++produced;
    };
    while (produced < size) {
        int node = tree->son[kLzhRoot];
        while (node < kLzhNodes) node = tree->son[node + bits.Bit()];
        const int c = node - kLzhNodes;
        tree->Update(c);
        if (c < 256) {
            emit(static_cast<std::uint8_t>(c));
            continue;
        }
        int i = bits.Byte();
        const int upper = positions.code[i] << 6;
        for (int extra = positions.length[i] - 2; extra > 0; --extra) i = (i << 1) + bits.Bit();
        const int position = upper | (i & 0x3F);
        const int start = (r - position - 1) & kLzhRingMask;
        const int length = c - 255 + kLzhThreshold;
        for (int k = 0; k < length && produced < size; ++k) emit(ring[(start + k) & kLzhRingMask]);
    }
}

}  // namespace skin
