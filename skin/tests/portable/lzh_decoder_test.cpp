#include "skin/portable/lzh_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "skin/portable/skin_reader.h"
#include "tools/skin_pack/lzh_encoder.h"

namespace skin {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decode(const Bytes& coded, std::int32_t size) {
    Bytes out;
    std::size_t at = 0;
    TLZH().Decode(
        size, [&](const std::uint8_t* b, int n) { out.insert(out.end(), b, b + n); },
        [&](std::uint8_t* b, int n) {
            int k = 0;
            for (; k < n && at < coded.size(); ++k) b[k] = coded[at++];
            return k;
        });
    return out;
}

Bytes RandomBytes(std::size_t n, unsigned seed, int alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng() % alphabet);
    return b;
}

Bytes TextBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(LzhDecoder, DecodesWhatTheEncoderPackedAcrossTreeRebuilds) {
    std::string ini;
    for (int i = 0; i < 300; ++i) ini += "[Button" + std::to_string(i) + "]\r\nImage=button" + std::to_string(i % 7) + ".bmp\r\n";
    Bytes skewed = RandomBytes(120000, 7, 3);  // a few symbols: deep trees and long codes
    const struct { const char* what; Bytes data; } cases[] = {
        {"empty", {}},
        {"one byte", {'x'}},
        {"starts with blanks", TextBytes("        blanks first, then text")},
        {"INI text", TextBytes(ini)},
        {"random, several rebuilds", RandomBytes(150000, 1)},
        {"three symbols", skewed},
        {"zeros", Bytes(300000, 0)},
    };
    for (const auto& c : cases) {
        const Bytes coded = skin_pack::LzhEncode(c.data);
        EXPECT_EQ(Decode(coded, static_cast<std::int32_t>(c.data.size())), c.data) << c.what;
    }
}

TEST(LzhDecoder, HandSpelledMatchesReadTheBlankRingAndStopAtTheDeclaredSize) {
    const struct {
        const char* what;
        std::vector<std::pair<int, int>> symbols;  // {byte, 0} literal or {length, distance} match
        std::int32_t size;
        std::string expected;
    } cases[] = {
        // The first write lands at ring byte 4036; distance 4096 starts the copy at that same byte,
        // so the whole copy reads the ring's last 60 bytes, which the writer never touched yet.
        {"first match at distance 4096", {{60, 4096}}, 60, std::string(60, ' ')},
        {"match behind the start", {{'a', 0}, {5, 3}}, 6, "a  a  "},
        {"run copied from itself", {{'a', 0}, {10, 1}}, 11, std::string(11, 'a')},
        {"match cut at the size", {{'a', 0}, {10, 1}}, 5, std::string(5, 'a')},
        {"literal past the size never written", {{'a', 0}, {'b', 0}}, 1, "a"},
    };
    for (const auto& c : cases) {
        skin_pack::LzhSymbolWriter writer;
        for (auto [a, b] : c.symbols) {
            if (b == 0) writer.Literal(static_cast<std::uint8_t>(a));
            else writer.Match(a, b);
        }
        const Bytes out = Decode(writer.Finish(), c.size);
        EXPECT_EQ(std::string(out.begin(), out.end()), c.expected) << c.what;
    }
}

TEST(LzhDecoder, AShortRandomStreamDecodesAsAnIndependentDecoderDecodedIt) {
    // Sixteen random bytes read as LZHUF bits: literals, a run of blanks copied from the ring's
    // starting fill, then literals again. The expected bytes are another decoder's output.
    const Bytes coded = {0x29, 0xf8, 0x85, 0x12, 0x00, 0x4a, 0xf0, 0xbf, 0xa3, 0x0b, 0x8b, 0xfa, 0x65, 0xd3, 0x30, 0x62};
    const Bytes expected = {0x9d, 0x65, 0x7e, 0x98, 0x74, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
                            0x20, 0x20, 0x20, 0x20, 0x20, 0x45, 0xf9, 0x9d, 0x6e, 0xd9, 0x1a, 0xd4};
    EXPECT_EQ(Decode(coded, 24), expected);
}

TEST(LzhDecoder, CodedDataEndingEarlyIsRefused) {
    const Bytes data = RandomBytes(5000, 3);
    const Bytes coded = skin_pack::LzhEncode(data);
    const std::int32_t size = static_cast<std::int32_t>(data.size());
    EXPECT_EQ(Decode(coded, size), data);
    const Bytes cut(coded.begin(), coded.begin() + coded.size() / 2);
    EXPECT_THROW(Decode(cut, size), ElzhException);
    EXPECT_THROW(Decode({}, 1000), ElzhException);
}

TEST(LzhDecoder, UnpackedSizesTheCodedDataCannotHoldAreRefused) {
    const struct { std::int64_t size; std::int64_t coded; bool ok; } cases[] = {
        {0, 0, true},
        {64, 0, true},
        {65, 0, false},
        {64 * 10 + 64, 10, true},
        {64 * 10 + 65, 10, false},
        {-1, 1000, false},
        {16 * 1024 * 1024, 1 << 20, true},
        {16 * 1024 * 1024 + 1, 1 << 20, false},
        {0x7FFFFFFF, 6, false},  // a forged 10-byte stream asking for 2 GB
    };
    for (const auto& c : cases) {
        if (c.ok) EXPECT_NO_THROW(CheckUnpackedSize(c.size, c.coded)) << c.size;
        else EXPECT_THROW(CheckUnpackedSize(c.size, c.coded), ElzhException) << c.size;
    }
}

TEST(LzhDecoder, UnpackChecksTheSizeBeforeDecoding) {
    forms::TMemoryStream forged;
    const std::uint8_t bytes[10] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4, 5, 6};
    forged.WriteBuffer(bytes, sizeof bytes);
    forms::TMemoryStream target;
    EXPECT_THROW(TSkinReader::Unpack(forged, target), ElzhException);
    EXPECT_EQ(target.Size(), 0);
}

}  // namespace
}  // namespace skin
