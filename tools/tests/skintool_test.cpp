// skintool's commands on a small skin: listing, unpacking, extracting and the LHA wrapping.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin_pack {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SkinTool, ListsUnpacksExtractsAndWrapsASkin) {
    const fs::path dir = fs::temp_directory_path() / ("skintool-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::vector<SkinEntry> entries = {{"skin.ini", {'[', 'A', ']'}}, {"a.bmp", Bytes(300, 7)}};
    const Bytes stream = WriteSkinStream(entries);
    {
        std::ofstream out(dir / "s.skin", std::ios::binary);
        out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    }
    auto run = [&](const std::string& args) {
        return std::system(("cd '" + dir.string() + "' && '" SKINTOOL_PATH "' " + args + " >out.txt 2>err.txt").c_str());
    };
    ASSERT_EQ(run("list s.skin"), 0) << ReadText(dir / "err.txt");
    EXPECT_EQ(ReadText(dir / "out.txt"), "3 skin.ini\n300 a.bmp\n");
    ASSERT_EQ(run("unpack s.skin s.archive"), 0);
    const Bytes archive = ArchiveBytes(entries);
    EXPECT_EQ(ReadText(dir / "s.archive"), std::string(archive.begin(), archive.end()));
    ASSERT_EQ(run("extract s.skin parts"), 0);
    EXPECT_EQ(ReadText(dir / "parts" / "a.bmp"), std::string(300, '\7'));
    ASSERT_EQ(run("lha s.skin s.lzh skin.arc"), 0);
    ASSERT_EQ(std::system(("cd '" + dir.string() + "' && lhasa xq s.lzh >/dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(ReadText(dir / "skin.arc"), std::string(archive.begin(), archive.end()));

    EXPECT_NE(run("list missing.skin"), 0);
    EXPECT_NE(run("frobnicate"), 0);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace skin_pack
