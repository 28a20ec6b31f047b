#include "forms/portable/streams.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/string_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace forms {
namespace {

namespace fs = std::filesystem;

class StreamFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / (std::string("forms_streams_") + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::string PathOf(const char* name) const { return (folder / name).string(); }

    fs::path folder;
};

TEST(MemoryStream, ReadWriteSeekAndGaps) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Position(), 6);

    const struct { std::int64_t offset; TSeekOrigin origin; std::int64_t position; } seeks[] = {
        {2, soBeginning, 2}, {1, soCurrent, 3}, {-2, soEnd, 4}, {-10, soCurrent, 0}, {3, soEnd, 9},
    };
    for (const auto& c : seeks) EXPECT_EQ(s.Seek(c.offset, c.origin), c.position) << c.offset;

    // Position 9 is past the end: reading gives nothing, writing fills the gap with zeros.
    char byte = 0;
    EXPECT_EQ(s.Read(&byte, 1), 0);
    s.WriteBuffer("Z", 1);
    EXPECT_EQ(s.Size(), 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()), 10), std::string("abcdef\0\0\0Z", 10));

    s.SetPosition(8);
    char two[4] = {};
    EXPECT_EQ(s.Read(two, 4), 2);
    s.SetPosition(8);
    EXPECT_THROW(s.ReadBuffer(two, 4), EReadError);

    s.SetSize(3);
    EXPECT_EQ(s.Position(), 3);
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
}

TEST(MemoryStream, CapacityIsReservedWithoutGrowingTheSize) {
    TMemoryStream s;
    s.SetCapacity(1 << 20);
    EXPECT_GE(s.Capacity(), 1 << 20);
    EXPECT_EQ(s.Size(), 0);
    const std::uint8_t* before = s.Memory();
    std::vector<std::uint8_t> block(4096, 7);
    for (int i = 0; i < 100; ++i) s.WriteBuffer(block.data(), static_cast<std::int64_t>(block.size()));
    EXPECT_EQ(s.Memory(), before);
}

TEST(MemoryStream, CopyFromTakesCountBytesOrTheWholeSource) {
    TMemoryStream source;
    std::string data(200000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    source.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));

    TMemoryStream whole;
    source.SetPosition(123);
    EXPECT_EQ(whole.CopyFrom(source, 0), 200000);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.Memory()), 200000), data);

    TMemoryStream part;
    source.SetPosition(10);
    EXPECT_EQ(part.CopyFrom(source, 5), 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(part.Memory()), 5), data.substr(10, 5));
    EXPECT_EQ(source.Position(), 15);

    source.SetPosition(199999);
    TMemoryStream tooMuch;
    EXPECT_THROW(tooMuch.CopyFrom(source, 2), EReadError);
}

TEST_F(StreamFiles, OpenModes) {
    const std::string name = PathOf("data.bin");
    {
        TFileStream created(name, fmCreate);
        created.WriteBuffer("hello world", 11);
        created.SetPosition(0);
        char back[5];
        created.ReadBuffer(back, 5);  // fmCreate reads too
        EXPECT_EQ(std::string(back, 5), "hello");
        EXPECT_EQ(created.Size(), 11);
        EXPECT_EQ(created.FileName(), name);
    }
    {
        TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(reader.Size(), 11);
        EXPECT_THROW(reader.WriteBuffer("x", 1), EWriteError);
    }
    {
        // Opening for writing keeps the contents; the write overwrites in place.
        TFileStream writer(name, fmOpenWrite);
        writer.SetPosition(6);
        writer.WriteBuffer("WORLD", 5);
        char c;
        EXPECT_EQ(writer.Read(&c, 1), 0);
    }
    {
        TFileStream both(name, fmOpenReadWrite);
        char first[5];
        both.ReadBuffer(first, 5);
        both.WriteBuffer("_", 1);  // a write right after a read
        both.SetSize(8);
        EXPECT_EQ(both.Size(), 8);
    }
    std::ifstream in(name, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(contents, "hello_WO");
}

TEST_F(StreamFiles, OpenFailuresNameTheFile) {
    const std::string missing = PathOf("missing.bin");
    const std::string noFolder = PathOf("no such folder/new.bin");
    try {
        TFileStream s(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message.find("\"" + missing + "\""), std::string::npos) << e.Message;
    }
    EXPECT_THROW(TFileStream(missing, fmOpenReadWrite), EFOpenError);
    try {
        TFileStream s(noFolder, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message.find(noFolder), std::string::npos) << e.Message;
    }
}

TEST_F(StreamFiles, ListsAndMemoryStreamsRoundTripThroughFiles) {
    const std::string name = PathOf("lines.txt");
    TStringList list;
    list.SetText("one\r\ntwo\r\n\r\nfour");
    list.SaveToFile(name);
    TStringList back;
    back.LoadFromFile(name);
    EXPECT_EQ(back.Text(), "one\r\ntwo\r\n\r\nfour\r\n");

    TMemoryStream memory;
    memory.LoadFromFile(name);
    EXPECT_EQ(memory.Size(), 18);
    EXPECT_EQ(memory.Position(), 0);
    memory.SaveToFile(PathOf("copy.txt"));
    EXPECT_EQ(fs::file_size(PathOf("copy.txt")), 18u);
    EXPECT_THROW(back.LoadFromFile(PathOf("absent.txt")), EFOpenError);
}

}  // namespace
}  // namespace forms
