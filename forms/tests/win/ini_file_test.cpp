#include "forms/ini_file.h"

#include "forms/portable/exceptions.h"
#include "forms/portable/string_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace forms {
namespace {

// A private folder under the temp folder, removed with its files afterwards.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "forms_ini_" + std::to_string(GetCurrentProcessId()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : files_) {
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    std::string FileIn(const std::string& name) {
        files_.push_back(folder_ + "\\" + name);
        return files_.back();
    }
    std::string Contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void WriteRaw(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    std::string folder_;
    std::vector<std::string> files_;
};

std::vector<std::string> Entries(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

TEST_F(IniFileTest, ValuesRoundTripInTheirWrittenForms) {
    TIniFile ini(FileIn("settings.ini"));
    ini.WriteString("Config", "Last Folder", "C:\\Pictures\\Summer");
    ini.WriteInteger("Config", "Skin", 3);
    ini.WriteInteger("Config", "Colour", -16777201);
    ini.WriteBool("Config", "UseSkins", true);
    ini.WriteBool("Config", "MultipleColumns", false);
    ini.WriteFloat("Config", "Ratio", 1.25);
    ini.UpdateFile();

    EXPECT_EQ(ini.ReadString("Config", "Last Folder", ""), "C:\\Pictures\\Summer");
    EXPECT_EQ(ini.ReadInteger("Config", "Skin", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Config", "Colour", 0), -16777201);
    EXPECT_TRUE(ini.ReadBool("Config", "UseSkins", false));
    EXPECT_FALSE(ini.ReadBool("Config", "MultipleColumns", true));
    EXPECT_EQ(ini.ReadFloat("Config", "Ratio", 0), 1.25);

    const std::string text = Contents(ini.FileName());
    for (const char* line : {"Skin=3", "Colour=-16777201", "UseSkins=1", "MultipleColumns=0"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST_F(IniFileTest, MissingOrUnparsableValuesGiveTheDefault) {
    const std::string file = FileIn("values.ini");
    WriteRaw(file, "[S]\r\nhex=0x1A\r\nword=abc\r\nempty=\r\ntwo=2\r\nzero=0\r\n");
    TIniFile ini(file);
    const struct { const char* key; int integer; bool boolean; } cases[] = {
        {"hex", 26, true}, {"word", -5, true}, {"empty", -5, true}, {"two", 2, true}, {"zero", 0, false}, {"absent", -5, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.ReadInteger("S", c.key, -5), c.integer) << c.key;
        EXPECT_EQ(ini.ReadBool("S", c.key, true), c.boolean) << c.key;
    }
    EXPECT_EQ(ini.ReadString("S", "absent", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("No Such Section", "hex", "d"), "d");
    TIniFile missing(FileIn("never-written.ini"));
    EXPECT_EQ(missing.ReadInteger("S", "hex", 9), 9);
    EXPECT_EQ(missing.ReadString("S", "hex", std::string(3000, 'd')).size(), 2047u);
}

TEST_F(IniFileTest, SectionAndKeyNamesMatchWithoutRegardToCase) {
    TIniFile ini(FileIn("bio.ini"));
    ini.WriteString("Biography", "Name", "Ann");
    ini.WriteString("biography", "Sex", "1");
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(Entries(sections), (std::vector<std::string>{"Biography"}));
    EXPECT_EQ(ini.ReadString("BIOGRAPHY", "sex", ""), "1");
    EXPECT_TRUE(ini.SectionExists("bIoGrApHy"));
    EXPECT_TRUE(ini.ValueExists("biography", "NAME"));
    EXPECT_FALSE(ini.ValueExists("biography", "Town"));
    EXPECT_FALSE(ini.SectionExists("Styles"));
}

TEST_F(IniFileTest, LongValuesComeBackCutTo2047Characters) {
    TIniFile ini(FileIn("long.ini"));
    std::string value;
    for (int i = 0; i < 3000; ++i) value += static_cast<char>('a' + i % 26);
    ini.WriteString("S", "long", value);
    EXPECT_EQ(ini.ReadString("S", "long", ""), value.substr(0, 2047));
}

TEST_F(IniFileTest, ListsBeyond16KBAreReadWhole) {
    const std::string file = FileIn("records.ini");
    std::string text;
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    for (int i = 0; i < 700; ++i) {
        sections.push_back("Record with a fairly long name " + std::to_string(i));
        text += "[" + sections.back() + "]\r\nComment File=" + std::to_string(i) + ".rtf\r\n";
    }
    text += "[Wide]\r\n";
    for (int i = 0; i < 900; ++i) {
        keys.push_back("Key named at some length " + std::to_string(i));
        text += keys.back() + "=" + std::to_string(i) + "\r\n";
    }
    sections.push_back("Wide");
    WriteRaw(file, text);

    TIniFile ini(file);
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Entries(list), sections);
    ini.ReadSection("Wide", list);
    EXPECT_EQ(Entries(list), keys);
    ini.ReadSectionValues("Wide", list);
    ASSERT_EQ(list.Count(), 900);
    EXPECT_EQ(list[899], keys[899] + "=899");
    EXPECT_EQ(ini.ReadString(sections[699], "Comment File", ""), "699.rtf");
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
    TIniFile ini(FileIn("edit.ini"));
    ini.WriteString("A", "x", "1");
    ini.WriteString("A", "y", "2");
    ini.WriteString("B", "z", "3");
    ini.DeleteKey("A", "x");
    ini.DeleteKey("A", "never there");
    TStringList list;
    ini.ReadSectionValues("A", list);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"y=2"}));
    ini.EraseSection("a");
    ini.ReadSections(list);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"B"}));
}

bool PlatformLetsUsWrite(const std::string& file) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

TEST_F(IniFileTest, FailedWritesNameTheFile) {
    const std::string readOnly = FileIn("read-only.ini");
    WriteRaw(readOnly, "[S]\r\nk=v\r\n");
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string locked = FileIn("locked.ini");
    WriteRaw(locked, "[S]\r\nk=v\r\n");
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::string noFolder = folder_ + "\\no such folder\\x.ini";

    std::vector<std::string> targets = {locked, noFolder};
    // An administrator (root under Wine) may write read-only files; then there is no failure to see.
    if (!PlatformLetsUsWrite(readOnly)) targets.push_back(readOnly);
    for (const std::string& file : targets) {
        TIniFile ini(file);
        try {
            ini.WriteString("S", "k", "changed");
            ADD_FAILURE() << "no failure writing " << file;
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message, "Unable to write to " + file);
        }
        EXPECT_THROW(ini.WriteInteger("S", "n", 1), EIniFileException) << file;
        EXPECT_THROW(ini.WriteBool("S", "b", true), EIniFileException) << file;
        EXPECT_THROW(ini.EraseSection("S"), EIniFileException) << file;
    }
    CloseHandle(lock);
    EXPECT_EQ(Contents(locked), "[S]\r\nk=v\r\n");
}

}  // namespace
}  // namespace forms
