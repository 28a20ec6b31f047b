// Debian's lhasa as an independent judge of our LZHUF coding: what our encoder packs, lhasa
// must test and extract byte for byte, and random bit streams must decode to the same bytes
// in lhasa and in the engine's decoder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "skin/portable/lzh_decoder.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin_pack {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t n, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng() % alphabet);
    return b;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Our decoder; nullopt-like empty flag when it refuses the stream.
bool OurDecode(const Bytes& coded, std::int32_t size, Bytes& out) {
    std::size_t at = 0;
    try {
        skin::TLZH().Decode(
            size, [&](const std::uint8_t* b, int n) { out.insert(out.end(), b, b + n); },
            [&](std::uint8_t* b, int n) {
                int k = 0;
                for (; k < n && at < coded.size(); ++k) b[k] = coded[at++];
                return k;
            });
    } catch (const skin::ElzhException&) {
        return false;
    }
    return true;
}

class LhasaOracle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("command -v lhasa >/dev/null"), 0) << "lhasa is missing: run ./build.sh as root once";
        dir_ = fs::temp_directory_path() / ("skin-lhasa-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "out");
    }
    void TearDown() override { fs::remove_all(dir_); }

    int Lhasa(const std::string& command, const fs::path& archive) {
        const std::string line = "cd '" + (dir_ / "out").string() + "' && lhasa " + command + " '" +
                                 archive.string() + "' >'" + (dir_ / "log").string() + "' 2>&1";
        return std::system(line.c_str());
    }
    std::string Log() {
        const Bytes b = ReadFile(dir_ / "log");
        return std::string(b.begin(), b.end());
    }

    fs::path dir_;
};

Bytes SmallBmp() {
    Rgb24Picture p{13, 7, {}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.pixels.push_back(x < 6 ? 0xFF00FFu : 0x102030u * static_cast<unsigned>(y + 1));
    return Bmp24Bytes(p);
}

TEST_F(LhasaOracle, ExtractsWhatOurEncoderPacked) {
    const Bytes block = RandomBytes(4096, 9);
    Bytes farRepeat = block;  // the same 4096 bytes again: every match lies exactly 4096 back
    farRepeat.insert(farRepeat.end(), block.begin(), block.end());
    std::string ini;
    for (int i = 0; i < 40; ++i) ini += "[Button" + std::to_string(i) + "]\r\nAction=" + std::to_string(i % 4) + "\r\n";
    const struct { const char* name; Bytes data; } cases[] = {
        {"empty", {}},
        {"one", {'q'}},
        {"random", RandomBytes(150 * 1024, 4)},
        {"zeros", Bytes(300 * 1024, 0)},  // matches of 60 throughout
        {"skewed", RandomBytes(120000, 7, 3)},  // three symbols: the rare ones get codes past 16 bits
        {"skin.ini", Bytes(ini.begin(), ini.end())},
        {"title.bmp", SmallBmp()},
        {"blanks", [] { std::string s = "    four blanks lead, then more   text"; return Bytes(s.begin(), s.end()); }()},
        {"far", farRepeat},
    };
    std::vector<Bytes> coded;
    for (const auto& c : cases) coded.push_back(LzhEncode(c.data));
    std::vector<LhaMember> members;
    for (std::size_t i = 0; i < std::size(cases); ++i) members.push_back({cases[i].name, cases[i].data, coded[i]});
    const fs::path archive = dir_ / "packed.lzh";
    WriteFile(archive, LhaArchive(members));

    ASSERT_EQ(Lhasa("t", archive), 0) << Log();
    ASSERT_EQ(Lhasa("xq", archive), 0) << Log();
    for (const auto& c : cases) EXPECT_EQ(ReadFile(dir_ / "out" / c.name), c.data) << c.name;
}

TEST_F(LhasaOracle, RandomBitStreamsDecodeAlikeInBoth) {
    constexpr int kStreams = 200;
    std::vector<Bytes> coded, ours;
    std::vector<LhaMember> members;
    std::vector<std::string> names;
    for (int i = 0; i < kStreams; ++i) {
        std::mt19937 rng(1000 + i);
        // Every twentieth stream is long enough for the tree to be rebuilt on both sides.
        coded.push_back(RandomBytes(i % 20 == 0 ? 40000 : 64 + rng() % 3000, 2000 + i));
        names.push_back("s" + std::to_string(i));
    }
    for (int i = 0; i < kStreams; ++i) {
        // A size the bits comfortably cover, so neither side reads past the end.
        const std::int32_t size = static_cast<std::int32_t>(coded[i].size());
        Bytes out;
        ASSERT_TRUE(OurDecode(coded[i], size, out)) << names[i];
        ours.push_back(std::move(out));
    }
    for (int i = 0; i < kStreams; ++i) members.push_back({names[i], ours[i], coded[i]});
    const fs::path archive = dir_ / "random.lzh";
    WriteFile(archive, LhaArchive(members));
    ASSERT_EQ(Lhasa("xq", archive), 0) << Log();
    for (int i = 0; i < kStreams; ++i) EXPECT_EQ(ReadFile(dir_ / "out" / names[i]), ours[i]) << names[i];
}

TEST_F(LhasaOracle, HandSpelledStreamsDecodeAlikeInBoth) {
    // A first match reaching the ring's last 60 bytes, then matches cut by the declared size.
    // Literals in Fibonacci counts, the most frequent first: the rare ones end deep in the tree,
    // with codes past 16 bits.
    std::vector<std::pair<int, int>> deep;
    int fibonacci[20] = {1, 1};
    for (int k = 2; k < 20; ++k) fibonacci[k] = fibonacci[k - 1] + fibonacci[k - 2];
    for (int k = 19; k >= 0; --k)
        for (int i = 0; i < fibonacci[k]; ++i) deep.push_back({k, 0});
    const struct { const char* name; std::vector<std::pair<int, int>> symbols; std::int32_t size; } cases[] = {
        {"far", {{60, 4096}, {'z', 0}, {60, 4096}}, 121},
        {"cut", {{'a', 0}, {'b', 0}, {40, 2}}, 20},
        {"behind", {{'k', 0}, {30, 100}, {3, 1}}, 34},
        {"deep", deep, static_cast<std::int32_t>(deep.size())},
    };
    std::vector<Bytes> coded, ours;
    for (const auto& c : cases) {
        LzhSymbolWriter writer;
        for (auto [a, b] : c.symbols) {
            if (b == 0) writer.Literal(static_cast<std::uint8_t>(a));
            else writer.Match(a, b);
        }
        if (std::string(c.name) == "deep") EXPECT_GT(writer.LongestCode(), 16);
        coded.push_back(writer.Finish());
        Bytes out;
        ASSERT_TRUE(OurDecode(coded.back(), c.size, out)) << c.name;
        ours.push_back(std::move(out));
    }
    std::vector<LhaMember> members;
    for (std::size_t i = 0; i < std::size(cases); ++i) members.push_back({cases[i].name, ours[i], coded[i]});
    const fs::path archive = dir_ / "hand.lzh";
    WriteFile(archive, LhaArchive(members));
    ASSERT_EQ(Lhasa("t", archive), 0) << Log();
    ASSERT_EQ(Lhasa("xq", archive), 0) << Log();
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ReadFile(dir_ / "out" / cases[i].name), ours[i]) << cases[i].name;
}

}  // namespace
}  // namespace skin_pack
