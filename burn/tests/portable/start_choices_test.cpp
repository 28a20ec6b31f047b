// vantburn's start: which command lines burn which folder, and the device and speed choices
// of the window, rebuilt for every device picked.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "burn/portable/drive_choice.h"
#include "burn/portable/start_arguments.h"
#include "burn/tests/portable/device_fixture.h"

namespace burn {
namespace {

using Args = std::vector<std::string>;
using testing_support::DeviceOnRecorder;

TEST(StartArguments, OnlyAnExistingPortfolioFolderIsBurned) {
    const std::string program = "C:\\Vantrell\\";
    const std::set<std::string> folders = {"C:\\Vantrell\\Distributable\\Spring", "C:\\Vantrell\\Distributable\\My Work",
                                           "C:\\Vantrell\\Distributable\\..\\x", "C:\\x", "C:\\Vantrell\\x"};
    auto isFolder = [&](const std::string& path) { return folders.count(path) > 0; };
    struct Case {
        Args args;
        StartVerdict verdict;
    };
    const Case cases[] = {
        {{}, StartVerdict::Terminate},
        {{"Spring", "Extra"}, StartVerdict::Terminate},
        {{"My", "Work"}, StartVerdict::Terminate},
        {{"Spring"}, StartVerdict::Burn},
        {{"My Work"}, StartVerdict::Burn},
        {{"Autumn"}, StartVerdict::Refuse},        // no such folder
        {{"..\\x"}, StartVerdict::Refuse},         // climbs out of Distributable
        {{"..\\..\\x"}, StartVerdict::Refuse},
        {{"C:\\x"}, StartVerdict::Refuse},         // another place entirely
        {{".."}, StartVerdict::Refuse},
        {{""}, StartVerdict::Refuse},
        {{"Spring\\"}, StartVerdict::Refuse},
    };
    for (const auto& c : cases) {
        const auto request = ReadStartArguments(c.args, program, isFolder);
        EXPECT_EQ(request.Verdict, c.verdict) << (c.args.empty() ? "(none)" : c.args[0]);
        EXPECT_EQ(request.Folder.empty(), c.verdict != StartVerdict::Burn);
    }
    EXPECT_EQ(ReadStartArguments({"My Work"}, program, isFolder).Folder, "C:\\Vantrell\\Distributable\\My Work");
}

// vantrell lets a name fill the path limit in letters; its UTF-8 form here is longer in bytes.
TEST(StartArguments, AnAccentedNameAtTheLengthLimitIsBurned) {
    const std::string program = "C:\\Vantrell\\";
    const size_t room = 259 - program.size() - std::string_view("Distributable\\").size() -
                        std::string_view("\\files\\biography.html").size();
    std::string name;
    for (size_t i = 0; i < room; ++i) name += "\xC3\xA9";
    auto anyFolder = [](const std::string&) { return true; };
    EXPECT_EQ(ReadStartArguments({name}, program, anyFolder).Verdict, StartVerdict::Burn);
    EXPECT_EQ(ReadStartArguments({name + "\xC3\xA9"}, program, anyFolder).Verdict, StartVerdict::Refuse);
}

vcdr::DeviceConfig Recorder(std::uint8_t target, std::vector<std::uint16_t> speeds, vcdr::MediumKind medium) {
    vcdr::DeviceConfig d;
    d.Target = target;
    d.WriteSpeedsX = std::move(speeds);
    d.Medium = medium;
    return d;
}

TEST(DriveChoice, StartSelectsTheFirstDeviceAndListsItsSpeeds) {
    DeviceOnRecorder r({Recorder(1, {4, 8, 16}, vcdr::MediumKind::CdR)});
    DriveChoice choice(r.device);
    r.device.LoadLayer = [](bool) { return true; };
    ASSERT_TRUE(choice.Start());
    const auto& c = choice.Choices();
    EXPECT_EQ(c.DriveIndex, 0);
    EXPECT_EQ(c.Speeds, (std::vector<std::string>{"Max", "16X (2,400 KB/s)", "08X (1,200 KB/s)", "04X (600 KB/s)"}));
    EXPECT_EQ(c.SpeedIndex, 0);
    EXPECT_TRUE(c.BurnEnabled);
    EXPECT_EQ(choice.ChosenSpeed(), 0);
    choice.SetSpeedIndex(2);
    EXPECT_EQ(choice.ChosenSpeed(), 8);
}

TEST(DriveChoice, NoLayerNoChoices) {
    DeviceOnRecorder r;
    DriveChoice choice(r.device);
    r.device.LoadLayer = [](bool) { return false; };
    EXPECT_FALSE(choice.Start());
    EXPECT_TRUE(choice.Choices().Drives.empty());
    EXPECT_FALSE(choice.Choices().BurnEnabled);
}

TEST(DriveChoice, ALayerWithoutDevicesLeavesBothListsEmpty) {
    DeviceOnRecorder r(std::vector<vcdr::DeviceConfig>{});
    DriveChoice choice(r.device);
    r.device.LoadLayer = [](bool) { return true; };
    ASSERT_TRUE(choice.Start());
    const auto& c = choice.Choices();
    EXPECT_TRUE(c.Drives.empty());
    EXPECT_TRUE(c.Speeds.empty()) << "no \"Max\" for a drive that is not there";
    EXPECT_FALSE(c.BurnEnabled);
    for (const auto& srb : r.sent) EXPECT_EQ(srb.Cdb[0], 0x12) << "only the scan's INQUIRY, no speed asked";
}

TEST(DriveChoice, AnotherDeviceGetsItsOwnSpeeds) {
    DeviceOnRecorder r({Recorder(1, {4, 8, 16, 24, 32, 40, 48}, vcdr::MediumKind::CdR),
                        Recorder(2, {14, 28}, vcdr::MediumKind::DvdR)});
    DriveChoice choice(r.device);
    r.device.LoadLayer = [](bool) { return true; };
    ASSERT_TRUE(choice.Start());
    ASSERT_EQ(choice.Choices().Drives.size(), 2u);
    EXPECT_EQ(choice.Choices().Speeds.size(), 8u);
    choice.SetSpeedIndex(7);
    choice.PickDrive(1);
    const auto& c = choice.Choices();
    EXPECT_EQ(r.device.Target, 2);
    EXPECT_EQ(c.Speeds, (std::vector<std::string>{"Max", "04X (4,200 KB/s)", "02X (2,100 KB/s)"}));
    EXPECT_EQ(c.SpeedIndex, 0) << "the first drive's choice lies outside the new list";
    choice.SetSpeedIndex(1);
    EXPECT_EQ(choice.ChosenSpeed(), 28) << "DVD X are sent as CD X";
}

}  // namespace
}  // namespace burn
