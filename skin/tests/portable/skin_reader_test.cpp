#include "skin/portable/skin_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin {
namespace {

using Bytes = std::vector<std::uint8_t>;
using skin_pack::SkinEntry;

Bytes TextBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

void Fill(forms::TMemoryStream& s, const Bytes& bytes) {
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    s.SetPosition(0);
}

std::string Text(forms::TMemoryStream& s) { return std::string(reinterpret_cast<const char*>(s.Memory()), s.Size()); }

void PutInt32(Bytes& b, std::size_t at, std::int32_t v) { std::memcpy(b.data() + at, &v, 4); }

struct Loaded {
    bool ok = false;
    std::vector<std::string> messages;
    TSkinReader reader;
};

void Load(Loaded& l, const Bytes& stream) {
    l.reader.ShowMessage = [&](const std::string& text) { l.messages.push_back(text); };
    forms::TMemoryStream source;
    Fill(source, stream);
    l.ok = l.reader.LoadSkinStream(source);
}

const std::vector<SkinEntry> kTwoEntries = {{"skin.ini", TextBytes("[Colours]\r\n")}, {"title.bmp", TextBytes("BMxyz")}};

TEST(SkinReader, EntriesAreFoundByLowerCaseNameAndIniPart) {
    Loaded l;
    Load(l, skin_pack::WriteSkinStream(kTwoEntries));
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.messages.empty());
    EXPECT_EQ(l.reader.count, 2);
    forms::TMemoryStream entry;
    l.reader.GetEntry("TITLE.BMP", entry);
    EXPECT_EQ(Text(entry), "BMxyz");
    EXPECT_EQ(entry.Position(), 0);
    l.reader.GetEntry("missing.bmp", entry);
    EXPECT_EQ(entry.Size(), 0);

    std::string name = "unchanged";
    l.reader.FindEntry(".INI", entry, name);  // the part is taken as given
    EXPECT_EQ(entry.Size(), 0);
    EXPECT_EQ(name, "unchanged");
    l.reader.FindEntry(".ini", entry, name);
    EXPECT_EQ(name, "skin.ini");
    EXPECT_EQ(Text(entry), "[Colours]\r\n");
}

TEST(SkinReader, NameListsSplitAtEveryLineEnd) {
    const struct { const char* text; std::vector<std::string> names; } cases[] = {
        {"", {}},
        {"A.INI", {"A.INI"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitSkinLines(c.text), c.names) << c.text;

    Loaded l;
    Load(l, skin_pack::PackSkinStream(skin_pack::ArchiveBytes({{"Skin.INI", {}}, {"\xC4Title.BMP", TextBytes("x")}})));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.reader.names, (std::vector<std::string>{"skin.ini", "\xC4title.bmp"}));  // only A-Z are lowered
    forms::TMemoryStream entry;
    l.reader.GetEntry("\xC4TITLE.bmp", entry);
    EXPECT_EQ(Text(entry), "x");
}

TEST(SkinReader, RepeatedNamesAndShortDataFollowTheNameOrder) {
    // Sizes say 4, 4 and 8 but only 10 data bytes follow: the third entry comes out short.
    Bytes archive = skin_pack::ArchiveBytes({{"a.ini", TextBytes("1111")}, {"a.ini", TextBytes("2222")},
                                             {"b.bmp", TextBytes("33")}});
    const std::size_t sizeTable = 16 + std::string("a.ini\r\na.ini\r\nb.bmp").size();
    PutInt32(archive, sizeTable + 8, 8);
    Loaded l;
    Load(l, skin_pack::PackSkinStream(archive));
    ASSERT_TRUE(l.ok);
    forms::TMemoryStream entry;
    l.reader.GetEntry("a.ini", entry);
    EXPECT_EQ(Text(entry), "1111");
    l.reader.GetEntry("b.bmp", entry);
    EXPECT_EQ(Text(entry), "33");
}

TEST(SkinReader, RefusedStreamsIndexNothingAndOnlyAWrongVersionSpeaks) {
    const Bytes good = skin_pack::ArchiveBytes(kTwoEntries);
    auto with = [&](std::size_t at, std::int32_t v) {
        Bytes b = good;
        PutInt32(b, at, v);
        return skin_pack::PackSkinStream(b);
    };
    std::vector<SkinEntry> many;
    for (int i = 0; i < kMaxSkinEntries + 1; ++i) many.push_back({"e" + std::to_string(i) + ".bmp", {}});
    std::vector<SkinEntry> most(many.begin(), many.end() - 1);
    const std::size_t firstSize = 16 + std::string("skin.ini\r\ntitle.bmp").size();

    const struct { const char* what; Bytes stream; bool ok; bool message; } cases[] = {
        {"empty archive", skin_pack::PackSkinStream(Bytes{}), false, true},
        {"older version", skin_pack::PackSkinStream(skin_pack::ArchiveBytes(kTwoEntries, 10000)), false, true},
        {"negative name length", with(4, -1), false, false},
        {"name list past the archive", with(4, static_cast<std::int32_t>(good.size() - 15)), false, false},
        {"name list to the archive's end", with(4, static_cast<std::int32_t>(good.size() - 16)), true, false},
        {"negative entry size", with(firstSize, -5), false, false},
        {"1001 entries", skin_pack::PackSkinStream(skin_pack::ArchiveBytes(most)), true, false},
        {"1002 entries", skin_pack::PackSkinStream(skin_pack::ArchiveBytes(many)), false, false},
        {"three bytes", {1, 0, 0}, false, false},
        {"size asking for 2 GB", {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0}, false, false},
        {"coded data cut short", [&] {
             Bytes s = skin_pack::WriteSkinStream(kTwoEntries);
             s.resize(s.size() - 6);
             return s;
         }(), false, false},
    };
    for (const auto& c : cases) {
        Loaded l;
        Load(l, skin_pack::WriteSkinStream(kTwoEntries));
        l.messages.clear();
        Load(l, c.stream);
        EXPECT_EQ(l.ok, c.ok) << c.what;
        if (c.message) EXPECT_EQ(l.messages, std::vector<std::string>{kOlderSkinMessage}) << c.what;
        else EXPECT_TRUE(l.messages.empty()) << c.what;
        if (!c.ok) {  // the previous skin's index stands
            forms::TMemoryStream entry;
            l.reader.GetEntry("title.bmp", entry);
            EXPECT_EQ(Text(entry), "BMxyz") << c.what;
        }
    }
    EXPECT_EQ(std::string(kOlderSkinMessage), "This is Older Skin File\rPlease update to new version !");
}

}  // namespace
}  // namespace skin
