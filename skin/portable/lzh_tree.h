// The adaptive Huffman tree of LZHUF coding, shared by the decoder and the build-time encoder
// so that both sides rebuild and reorder the tree in exactly the same steps.
#pragma once
#include <array>
#include <cstdint>

namespace skin {

constexpr int kLzhRingSize = 4096;        // N; ring positions are masked with kLzhRingMask
constexpr int kLzhRingMask = kLzhRingSize - 1;
constexpr int kLzhMaxMatch = 60;          // F
constexpr int kLzhThreshold = 2;          // a match is longer than this
constexpr int kLzhMinMatch = kLzhThreshold + 1;
constexpr int kLzhSymbols = 256 - kLzhThreshold + kLzhMaxMatch;  // N_CHAR: literals, then lengths 3 .. 60
constexpr int kLzhNodes = 2 * kLzhSymbols - 1;                   // T
constexpr int kLzhRoot = kLzhNodes - 1;                          // R
constexpr unsigned kLzhMaxFreq = 0x8000;  // the root's count that forces a rebuild
// The writer starts here so that the last F ring bytes ahead of it hold the look-ahead.
constexpr int kLzhFirstWrite = kLzhRingSize - kLzhMaxMatch;

// The fixed code of a position's upper 6 bits, indexed by the first 8 bits of the code:
// the upper bits, and the code's length in bits (3 to 8).
struct LzhPositionTables {
    std::array<std::uint8_t, 256> code;
    std::array<std::uint8_t, 256> length;
};
const LzhPositionTables& PositionTables();

class LzhTree {
public:
    LzhTree();
    // Counts one more use of symbol c, rebuilding first when the root's count is full.
    void Update(int c);

    // Child links below kLzhNodes name internal nodes; kLzhNodes + c names the leaf of symbol c.
    std::array<std::uint16_t, kLzhNodes + 1> freq{};
    std::array<std::int16_t, kLzhNodes + kLzhSymbols> prnt{};
    std::array<std::int16_t, kLzhNodes> son{};

private:
    void Rebuild();
};

}  // namespace skin
