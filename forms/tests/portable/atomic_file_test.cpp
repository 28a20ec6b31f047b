#include "forms/portable/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "forms/portable/exceptions.h"
#include "tests/support/test_files.h"

namespace forms {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("atomic_file_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(folder_);
        target_ = (folder_ / "prv_beach.jpg").string();
        testsupport::WriteWholeFile(target_, "the good old picture");
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Write(const std::string& text) {
        WriteFileAtomically(target_, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    // Only the target and what the test put there: no temporary left behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
    std::string target_;
};

TEST_F(AtomicFile, ReplacesTheTargetAndLeavesNoTemporary) {
    Write("a new picture");
    EXPECT_EQ(testsupport::ReadWholeFile(target_), "a new picture");
    EXPECT_EQ(Names(), std::vector<std::string>{"prv_beach.jpg"});
    fs::remove(target_);
    Write("made anew");
    EXPECT_EQ(testsupport::ReadWholeFile(target_), "made anew");
}

// Names in the ANSI code page, as the file dialog gives them: letters of 0x80 to 0x9F, which
// become other characters byte by byte, and others above.
TEST_F(AtomicFile, ReplacesATargetWhoseNameHoldsCodePageLetters) {
    for (const std::string name : {"prv_Zo\xEB\x92s \x93" "best\x94 \x96 shot\x99.jpg", "prv_\x80\x85\x8A\x9C\x97.jpg"}) {
        const std::string target = (folder_ / "x").string();
        const std::string path = target.substr(0, target.size() - 1) + name;
        testsupport::WriteWholeFile(path, "the good old picture");
        ASSERT_EQ(testsupport::ReadWholeFile(path), "the good old picture");
        WriteFileAtomically(path, std::vector<std::uint8_t>{'n', 'e', 'w'});
        EXPECT_EQ(testsupport::ReadWholeFile(path), "new") << name;
        EXPECT_FALSE(std::ifstream(TemporaryNameFor(path)).is_open()) << name;
    }
}

TEST_F(AtomicFile, ATemporaryThatCannotBeMadeLeavesTheTargetWhole) {
    fs::create_directory(TemporaryNameFor(target_));  // not ours: must survive too
    EXPECT_THROW(Write("a new picture"), EFCreateError);
    EXPECT_EQ(testsupport::ReadWholeFile(target_), "the good old picture");
    EXPECT_TRUE(fs::is_directory(TemporaryNameFor(target_)));
}

TEST_F(AtomicFile, AFailedRenameRemovesTheTemporary) {
    fs::remove(target_);
    fs::create_directory(target_);
    testsupport::WriteWholeFile((fs::path(target_) / "inside").string(), "kept");
    EXPECT_THROW(Write("a new picture"), EWriteError);
    EXPECT_EQ(testsupport::ReadWholeFile((fs::path(target_) / "inside").string()), "kept");
    EXPECT_EQ(Names(), std::vector<std::string>{"prv_beach.jpg"});
}

#ifndef _WIN32
// A full disk: the temporary is a link to a device where every write fails with no space.
TEST_F(AtomicFile, AFullDiskLeavesTheTargetWhole) {
    fs::create_symlink("/dev/full", TemporaryNameFor(target_));
    EXPECT_THROW(Write(std::string(100000, 'x')), EWriteError);
    EXPECT_EQ(testsupport::ReadWholeFile(target_), "the good old picture");
    EXPECT_EQ(Names(), std::vector<std::string>{"prv_beach.jpg"});
}

// Data the disk never took (the temporary is a link to a device that takes writes and cannot
// flush them): renamed over the target, a power cut would lose both.
TEST_F(AtomicFile, DataThatCannotBeFlushedToTheDiskNeverReplacesTheTarget) {
    fs::create_symlink("/dev/null", TemporaryNameFor(target_));
    EXPECT_THROW(Write("a new picture"), EWriteError);
    EXPECT_FALSE(fs::is_symlink(target_));
    EXPECT_EQ(testsupport::ReadWholeFile(target_), "the good old picture");
    EXPECT_EQ(Names(), std::vector<std::string>{"prv_beach.jpg"});
}
#endif

}  // namespace
}  // namespace forms
