// The build-time LZHUF encoder of skin streams: the inverse of skin/portable/lzh_decoder.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace skin {
class LzhTree;
}

namespace skin_pack {

// Writes LZHUF symbols one by one: the encoder's back end, and a way for tests to spell out
// streams no match finder would choose (a first match reaching the ring's far end, say).
class LzhSymbolWriter {
public:
    LzhSymbolWriter();
    ~LzhSymbolWriter();
    void Literal(std::uint8_t byte);
    // length 3 .. 60 bytes copied from distance 1 .. 4096 back in the ring.
    void Match(int length, int distance);
    // Pads the last byte with zero bits and hands over the coded bytes.
    std::vector<std::uint8_t> Finish();
    // The longest symbol code written so far, in bits.
    int LongestCode() const { return longestCode_; }

private:
    void Symbol(int c);
    void Bit(int bit);
    std::unique_ptr<skin::LzhTree> tree_;
    std::vector<std::uint8_t> out_;
    std::uint8_t current_ = 0;
    int count_ = 0;
    int longestCode_ = 0;
};

// The coded bits alone. Matches are 3 to 60 bytes at distances 1 to 4096, never past the end
// of data and never reading a ring byte that is neither a starting blank nor written output.
std::vector<std::uint8_t> LzhEncode(std::span<const std::uint8_t> data);

// A skin stream: the int32 size of data, then its coded bits.
std::vector<std::uint8_t> PackSkinStream(std::span<const std::uint8_t> data);

}  // namespace skin_pack
