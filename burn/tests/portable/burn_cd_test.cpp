// The burn onto a recorder: BurnCD's priming poll and the writer's whole sequence against the
// virtual recorder's core, in virtual time, so that every retry count is exact.
#include <gtest/gtest.h>

#include <functional>

#include "burn/portable/write_thread.h"
#include "burn/tests/portable/burner_fixture.h"

namespace burn {
namespace {

using testing_support::BurnerOnRecorder;
using testing_support::Step;

constexpr int kWrite = 0x2A, kSync = 0x35, kClose = 0x5B, kBufferCapacity = 0x5C, kAllowRemoval = 0x1E,
              kSetSpeed = 0xBB, kReserve = 0x53, kStreaming = 0xB6, kDvdStructure = 0xBF, kTrackInfo = 0x52,
              kDiscInfo = 0x51;

vcdr::DeviceConfig Disc(std::initializer_list<const char*> faults = {}) {
    vcdr::DeviceConfig d;
    for (const char* f : faults) d.Faults.push_back(vcdr::ParseFault(f));
    return d;
}

// About 330 sectors of data in three folders' worth of files: eleven blocks or more.
void AddFiles(testing::MemoryDisk& disk) {
    disk.AddFile(u"C:\\src\\big.bin", testing::Pattern(400000, 1));
    disk.AddFolder(u"C:\\src\\pages\\");
    disk.AddFile(u"C:\\src\\pages\\index.htm", testing::Pattern(70000, 2));
    disk.AddFile(u"C:\\src\\pages\\tiny.txt", testing::Pattern(5, 3));
    disk.AddFile(u"C:\\src\\README", testing::Pattern(3000, 4));
}

std::vector<const Step*> Writes(const BurnerOnRecorder& f, bool okOnly = false) {
    std::vector<const Step*> out;
    for (const Step& s : f.steps) {
        if (s.opcode == kWrite && (s.ok || !okOnly)) out.push_back(&s);
    }
    return out;
}

// The image the image-file mode makes of the same tree at the same session start.
std::vector<std::uint8_t> ImageFileOf(BurnerOnRecorder& f) {
    testing::MemorySink sink;
    f.burner.BurnImageFile(sink);
    f.doneCalls = 0;
    return sink.bytes;
}

struct SuccessCase {
    const char* what;
    vcdr::DiscStatus status;
    bool testWrite;
};

TEST(BurnCD, WritesTheImageFromTheLayoutsSessionStartThenFlushesClosesAndRestores) {
    const SuccessCase cases[] = {
        {"blank disc", vcdr::DiscStatus::Blank, false},
        {"appendable disc", vcdr::DiscStatus::Appendable, false},
        {"test write", vcdr::DiscStatus::Blank, true},
    };
    for (const SuccessCase& c : cases) {
        SCOPED_TRACE(c.what);
        vcdr::DeviceConfig disc;
        disc.Status = c.status;
        BurnerOnRecorder f(disc);
        AddFiles(f.disk);
        f.burner.TestWrite = c.testWrite;
        f.burner.tree.InsertDir(f.burner.tree.Root(), u"C:\\src", false, false, true, 63, u"*.*");
        f.burner.PrepareImage(f.burner.SelectedDevice(), {2026, 3, 4, 5, 6, 7}, 0);
        const std::vector<std::uint8_t> expected = ImageFileOf(f);
        f.burner.PrepareImage(f.burner.SelectedDevice(), {2026, 3, 4, 5, 6, 7}, 0);
        const std::uint32_t start = f.burner.Layout().sessionStart;
        EXPECT_EQ(start, c.status == vcdr::DiscStatus::Blank ? 0u : f.Core().State().NextWritable);
        const std::uint32_t sectors = f.burner.ImageSectors();
        std::vector<std::size_t> finalizing;  // steps taken when OnFinalizingTrack ran
        f.burner.OnFinalizingTrack = [&](TCDBurner&) { finalizing.push_back(f.steps.size()); };

        ASSERT_TRUE(f.BurnPrepared());
        EXPECT_EQ(f.doneCalls, 1);
        EXPECT_EQ(f.doneText, "");
        EXPECT_NE(f.doneThread, std::this_thread::get_id()) << "OnWriteDone runs on the writer";
        EXPECT_TRUE(f.Logged(">>> STARTING WRITE PROCESS ON CD-R AT 48X"));
        EXPECT_EQ(f.Logged(">>> TEST/DUMMY WRITE"), c.testWrite);

        // Contiguous WRITE(10)s of at most 31 sectors from the session start, every one answered.
        const std::vector<const Step*> writes = Writes(f);
        std::uint32_t next = start;
        for (const Step* w : writes) {
            EXPECT_TRUE(w->ok);
            EXPECT_EQ(w->lba, next);
            EXPECT_LE(w->blocks, 31u);
            next += w->blocks;
        }
        EXPECT_EQ(next - start, sectors);
        EXPECT_EQ(f.burner.BytesWritten.load(), std::uint64_t{sectors} * 2048);
        std::vector<std::uint8_t> burnt;
        for (std::uint32_t s = start; s < next; ++s) burnt.insert(burnt.end(), f.written[s].begin(), f.written[s].end());
        EXPECT_TRUE(burnt == expected) << "the disc holds what the image-file mode writes";

        // The buffer is asked before the 6th, 11th, 16th... block and at no other time while writing.
        for (std::size_t i = 1; i < writes.size(); ++i) {
            const bool polled = (writes[i] - 1)->opcode == kBufferCapacity;
            EXPECT_EQ(polled, i % 5 == 0) << "block " << i + 1;
        }
        EXPECT_EQ(f.Count(kBufferCapacity, f.First(kWrite)) - f.Count(kBufferCapacity, f.Last(kWrite)),
                  (writes.size() - 1) / 5);

        // The flush after the data, the close after the flush, the restore after the close.
        const std::size_t lastWrite = f.Last(kWrite), flush = f.First(kSync, lastWrite);
        EXPECT_LT(flush, f.steps.size());
        ASSERT_EQ(finalizing.size(), 1u);
        EXPECT_EQ(finalizing[0], flush) << "announced just before the flush";
        EXPECT_EQ(f.Count(kClose), c.testWrite ? 0u : 1u);
        const std::size_t close = c.testWrite ? flush : f.First(kClose);
        if (!c.testWrite) {
            EXPECT_LT(flush, close);
        }
        EXPECT_LT(close, f.First(kSetSpeed, close));
        EXPECT_LT(close, f.First(kAllowRemoval, close));
        EXPECT_EQ(f.CountSleeps(600), 0u);

        // The pass-through layer keeps its handle open for the data only.
        ASSERT_EQ(f.closeAfterCommand.size(), 2u);
        EXPECT_EQ(f.closeAfterCommand[0], std::make_pair(false, std::size_t{0}));
        EXPECT_EQ(f.closeAfterCommand[1], std::make_pair(true, writes.size()));
        if (!c.testWrite) {
            const vcdr::DriveState state = f.Core().State();
            EXPECT_EQ(state.Status, vcdr::DiscStatus::Complete);
            EXPECT_EQ(state.ClosedSessions.back(), std::make_pair(start, sectors));
        }
    }
}

TEST(BurnCD, AFailedBufferPollEndsPollingButNotTheBurn) {
    BurnerOnRecorder f(Disc({"op=5C nth=1 sense=05/20/00"}));
    AddFiles(f.disk);
    ASSERT_TRUE(f.Burn());
    EXPECT_EQ(f.doneText, "");
    ASSERT_GT(Writes(f).size(), 10u);
    EXPECT_EQ(f.Count(kBufferCapacity, f.First(kWrite)) - f.Count(kBufferCapacity, f.Last(kWrite)), 1u)
        << "only the poll that failed";
}

struct WriteFaultCase {
    const char* what;
    const char* fault;
    std::size_t extraWrites;  // failed WRITE(10)s
    std::size_t retrySleeps;  // 600 ms apart
    bool succeeds;
};

// Only "busy" and "not ready" are worth sending again: a host error or a lost drive leaves
// an additional sense code of 0 and must end the burn at once.
TEST(BurnCD, OnlyABusyRecorderIsAskedToWriteAgain) {
    const WriteFaultCase cases[] = {
        {"busy status three times", "op=2A times=3 target=08", 3, 3, true},
        {"becoming ready three times", "op=2A times=3 sense=02/04/08", 3, 3, true},
        {"host adapter time-out", "op=2A nth=2 host=09", 1, 0, false},
        {"request aborted by the host", "op=2A nth=2 srb=02", 1, 0, false},
        {"medium error on the fifth block", "op=2A nth=5 sense=03/0C/00", 1, 0, false},
    };
    for (const WriteFaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        BurnerOnRecorder f(Disc({c.fault}));
        AddFiles(f.disk);
        ASSERT_TRUE(f.Burn());
        EXPECT_EQ(f.doneCalls, 1);
        const std::size_t good = Writes(f, true).size();
        EXPECT_EQ(Writes(f).size(), good + c.extraWrites);
        EXPECT_EQ(f.CountSleeps(600), c.retrySleeps);
        if (c.succeeds) {
            EXPECT_EQ(f.doneText, "");
            EXPECT_EQ(f.Count(kClose), 1u);
        } else {
            EXPECT_EQ(f.doneText.rfind("WRITER ERROR [", 0), 0u) << f.doneText;
            EXPECT_EQ(f.Last(kWrite), f.First(kWrite, f.Last(kWrite))) << "nothing is written after a failure";
            EXPECT_FALSE(f.steps[f.Last(kWrite)].ok);
            EXPECT_EQ(f.Count(kClose), 0u) << "the session stays open";
            EXPECT_GT(f.Count(kSync, f.Last(kWrite)), 0u) << "the drive is still flushed";
            EXPECT_GT(f.Count(kAllowRemoval, f.Last(kWrite)), 0u) << "and restored";
        }
    }
}

TEST(BurnCD, BusyIsTheBusyFlagOrFixedFormatSenseSayingNotReady) {
    struct Case {
        bool busy;
        std::uint8_t responseCode, asc;
        bool retried;
    };
    const Case cases[] = {
        {true, 0x00, 0x00, true},    {false, 0x70, 0x04, true},  {false, 0xF0, 0x04, true},
        {false, 0x71, 0x04, true},   {false, 0xF1, 0x04, true},  {false, 0x70, 0x00, false},
        {false, 0x00, 0x04, false},  {false, 0x72, 0x04, false}, {false, 0x70, 0x3A, false},
        {false, 0x00, 0x00, false},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 18> sense{};
        sense[0] = c.responseCode;
        sense[12] = c.asc;
        EXPECT_EQ(IsBusyAnswer(c.busy, sense.data()), c.retried)
            << "busy " << c.busy << " response " << int{c.responseCode} << " ASC " << int{c.asc};
    }
}

TEST(BurnCD, ARecorderThatStaysBusyIsAskedTenThousandTimesSixHundredMillisecondsApart) {
    BurnerOnRecorder f(Disc({"op=2A times=ever target=08"}));
    AddFiles(f.disk);
    ASSERT_TRUE(f.Burn());
    EXPECT_EQ(f.doneCalls, 1);
    EXPECT_EQ(f.doneText, kWriterBusyText);
    const std::vector<const Step*> writes = Writes(f);
    ASSERT_EQ(writes.size(), 10000u);
    for (const Step* w : writes) ASSERT_EQ(w->lba, 0u);
    const std::size_t first = f.First(kWrite);
    EXPECT_EQ(f.CountSleeps(600, first), 9999u);
    for (std::size_t i = first; i < f.Last(kWrite); ++i) {
        const bool write = f.steps[i].opcode == kWrite;
        ASSERT_EQ(f.steps[i + 1].opcode == -1, write) << "a sleep follows each refused write but the last";
    }
    EXPECT_EQ(f.Count(kClose), 0u);
}

struct ClosingCase {
    const char* what;
    const char* fault;
    std::size_t syncs, closes, closeSleeps;  // closeSleeps: 1000 ms apart, between the first and last close
    const char* textPrefix;  // "" for success
};

TEST(BurnCD, TheFlushAndTheSessionCloseAreRetriedAsLongAsTheDriveIsBusyAndTheirFailureIsReported) {
    const ClosingCase cases[] = {
        {"close busy three times", "op=5B times=3 sense=02/04/08", 1, 4, 3, ""},
        {"close refused once: sent once more", "op=5B sense=03/72/00", 1, 2, 0, ""},
        {"close refused twice", "op=5B times=2 sense=03/72/00", 1, 2, 0, "CLOSE TRACK/SESSION FAILED ["},
        {"close busy for ever", "op=5B times=ever sense=02/04/08", 1, 1000, 999, "CLOSE TRACK/SESSION FAILED ["},
        {"flush refused once: sent again at once", "op=35 sense=03/0C/00", 2, 1, 0, ""},
        {"flush refused twice", "op=35 times=2 sense=03/0C/00", 2, 0, 0, "SYNCHRONIZE CACHE FAILED ["},
    };
    for (const ClosingCase& c : cases) {
        SCOPED_TRACE(c.what);
        BurnerOnRecorder f(Disc({c.fault}));
        AddFiles(f.disk);
        ASSERT_TRUE(f.Burn());
        EXPECT_EQ(f.doneCalls, 1);
        const std::size_t lastWrite = f.Last(kWrite);
        EXPECT_EQ(f.Count(kSync, lastWrite), c.syncs);
        EXPECT_EQ(f.Count(kClose), c.closes);
        EXPECT_EQ(f.CountSleeps(1000, lastWrite) - f.CountSleeps(1000, f.Last(kClose)), c.closeSleeps);
        if (*c.textPrefix) {
            EXPECT_EQ(f.doneText.rfind(c.textPrefix, 0), 0u) << f.doneText;
            EXPECT_EQ(f.doneText.back(), ']');
        } else {
            EXPECT_EQ(f.doneText, "");
        }
        if (c.syncs == 2) {
            EXPECT_TRUE(f.steps[f.Last(kSync)].cdb[1] & 0x02) << "the second flush is immediate";
        }
        EXPECT_GT(f.Count(kAllowRemoval, lastWrite), 0u) << "the drive is restored";
    }
}

struct RefusalCase {
    const char* what;
    std::function<vcdr::DeviceConfig(std::size_t layoutTrackQueries)> disc;
    const char* text;
};

// The metadata name absolute sectors: a burn that cannot write them where the layout put them,
// or that cannot fit, never writes a sector.
TEST(BurnCD, ADiscThatCannotTakeTheImageWhereItWasLaidOutIsRefusedBeforeAnyWrite) {
    const RefusalCase cases[] = {
        {"the drive's next writable address moved",
         [](std::size_t n) { return Disc({("op=52 nth=" + std::to_string(n + 1) + " nwa=150").c_str()}); },
         kNwaChangedText},
        {"the layout got no next writable address",
         [](std::size_t n) { return Disc({("op=52 times=" + std::to_string(n) + " sense=05/24/00").c_str()}); },
         kNwaErrorText},
        {"a closed disc",
         [](std::size_t) {
             vcdr::DeviceConfig d;
             d.Status = vcdr::DiscStatus::Complete;
             return d;
         },
         kDiscNotWritableText},
        {"too little room",
         [](std::size_t) {
             vcdr::DeviceConfig d;
             d.CapacityBlocks = 299;
             return d;
         },
         kNoSpaceText},
    };
    // How many times the layout reads the invisible track.
    std::size_t layoutQueries = 0;
    {
        BurnerOnRecorder probe;
        probe.burner.PrepareImage(probe.burner.SelectedDevice(), {}, 0);
        layoutQueries = probe.Count(kTrackInfo);
        ASSERT_GT(layoutQueries, 0u);
    }
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        BurnerOnRecorder f(c.disc(layoutQueries));
        AddFiles(f.disk);
        ASSERT_TRUE(f.Burn());
        EXPECT_EQ(f.doneCalls, 1);
        EXPECT_EQ(f.doneText, c.text);
        EXPECT_EQ(f.Count(kWrite), 0u);
        EXPECT_EQ(f.Count(kClose), 0u);
        EXPECT_EQ(f.Count(kReserve), 0u);
        EXPECT_FALSE(f.Logged(">>> STARTING WRITE PROCESS ON CD-R AT 48X"));
        EXPECT_GT(f.Count(kAllowRemoval, f.preparedSteps), 0u) << "the drive is restored";
        EXPECT_TRUE(f.closeAfterCommand.empty()) << "no data phase";
    }
}

// A DVD-RAM burnt earlier in the same window left its type behind. The layout stores the type
// of the disc now in the drive, so that its ready-waits poll a CD-R as one (READ DISC
// INFORMATION until ready), not as a DVD-RAM (REQUEST SENSE); its commands are not logged in
// detail, and the detail is on again afterwards.
TEST(BurnCD, TheLayoutWaitsForTheDiscInTheDriveNotForTheLastBurnsDisc) {
    constexpr int kRequestSense = 0x03;
    constexpr std::uint16_t kDvdRam = 6, kCdR = 2;
    BurnerOnRecorder f;
    AddFiles(f.disk);
    f.burner.tree.InsertDir(f.burner.tree.Root(), u"C:\\src", false, false, true, 63, u"*.*");
    f.burner.CurrentDiscType = kDvdRam;
    f.burner.DoDebug = true;
    const DeviceQueries device = f.burner.SelectedDevice();
    bool detailWhileLaidOut = false;
    const auto send = f.layer.SendCommandEntry;
    f.layer.SendCommandEntry = [&](void* srb) {
        detailWhileLaidOut = detailWhileLaidOut || f.burner.DoDebug;
        return send(srb);
    };
    const std::size_t from = f.steps.size();
    f.burner.PrepareImage(device, {}, 0);
    EXPECT_EQ(f.burner.CurrentDiscType, kCdR);
    EXPECT_GT(f.Count(kDiscInfo, from), 0u);
    EXPECT_EQ(f.Count(kRequestSense, from), 0u);
    EXPECT_GT(f.Count(kTrackInfo, from), 0u) << "the layout asked for the session start";
    EXPECT_FALSE(detailWhileLaidOut);
    EXPECT_TRUE(f.burner.DoDebug);
}

// A drive that did not answer READ DISC INFORMATION said nothing of its disc: the burn ends
// before any write with the drive's own error, not with a verdict on the disc.
TEST(BurnCD, ADiscInformationThatCannotBeReadEndsTheBurnWithTheDrivesError) {
    std::size_t beforeWriting = 0;  // READ DISC INFORMATIONs of a clean burn before its first write
    {
        BurnerOnRecorder clean;
        AddFiles(clean.disk);
        ASSERT_TRUE(clean.Burn());
        ASSERT_EQ(clean.doneText, "");
        beforeWriting = clean.Count(kDiscInfo) - clean.Count(kDiscInfo, clean.First(kWrite));
    }
    const std::string fault = "op=51 nth=" + std::to_string(beforeWriting) + " sense=04/44/00";
    BurnerOnRecorder f(Disc({fault.c_str()}));
    AddFiles(f.disk);
    ASSERT_TRUE(f.Burn());
    EXPECT_EQ(f.doneCalls, 1);
    EXPECT_EQ(f.doneText, std::string(kDiscInfoErrorText) + " [HARDWARE ERROR (INTERNAL TARGET FAILURE)]");
    EXPECT_EQ(f.Count(kWrite), 0u);
    EXPECT_EQ(f.Count(kClose), 0u);
    EXPECT_GT(f.Count(kAllowRemoval, f.preparedSteps), 0u) << "the drive is restored";
}

vcdr::DeviceConfig BlankDvdR() {
    vcdr::DeviceConfig dvd;
    dvd.Medium = vcdr::MediumKind::DvdR;
    return dvd;
}

// A blank DVD-R whose drive answers "not ready" to `times` READ DISC INFORMATIONs after the flush.
vcdr::DeviceConfig DvdRWritingItsLeadOut(const std::string& times) {
    // How many come before the flush on a clean burn.
    BurnerOnRecorder clean(BlankDvdR());
    AddFiles(clean.disk);
    clean.Burn();
    EXPECT_EQ(clean.doneText, "");
    const std::size_t before = clean.Count(kDiscInfo) - clean.Count(kDiscInfo, clean.First(kSync));
    vcdr::DeviceConfig slow = BlankDvdR();
    slow.Faults.push_back(
        vcdr::ParseFault("op=51 nth=" + std::to_string(before + 1) + " times=" + times + " sense=02/04/08"));
    return slow;
}

TEST(BurnCD, ADvdRGetsItsStreamingAndTrackAndTheLeadOutIsWaitedForOnceASecond) {
    BurnerOnRecorder f(DvdRWritingItsLeadOut("7"));
    AddFiles(f.disk);
    ASSERT_TRUE(f.Burn());
    EXPECT_EQ(f.doneCalls, 1);
    EXPECT_EQ(f.doneText, "");
    const std::uint32_t sectors = f.burner.ImageSectors();
    EXPECT_TRUE(f.Logged(">>> STARTING WRITE PROCESS ON DVD-R AT 7X")) << "48X in DVD units";
    const std::size_t firstWrite = f.First(kWrite);
    EXPECT_LT(f.First(kStreaming), firstWrite);
    EXPECT_LT(f.First(kDvdStructure), firstWrite);
    const std::size_t reserve = f.First(kReserve);
    ASSERT_LT(reserve, firstWrite);
    EXPECT_EQ(GetBE32(&f.steps[reserve].cdb[5]), sectors + 1);
    EXPECT_EQ(f.Count(kClose), 0u);
    const std::size_t flush = f.First(kSync, f.Last(kWrite));
    ASSERT_LT(flush, f.steps.size());
    EXPECT_TRUE(f.steps[flush].cdb[1] & 0x02) << "the lead-out flush is immediate";
    // Seven unfinished answers, a second apart, then the finished one.
    std::size_t i = flush + 1;
    for (int poll = 0; poll < 7; ++poll) {
        ASSERT_EQ(f.steps[i].opcode, kDiscInfo);
        EXPECT_FALSE(f.steps[i].ok);
        ASSERT_EQ(f.steps[i + 1].opcode, -1);
        EXPECT_EQ(f.steps[i + 1].ms, 1000u);
        i += 2;
    }
    EXPECT_EQ(f.steps[i].opcode, kDiscInfo);
    EXPECT_TRUE(f.steps[i].ok);
}

TEST(BurnCD, ACancelRequestStopsTheWriterBeforeItsNextWrite) {
    BurnerOnRecorder f;
    AddFiles(f.disk);
    f.burner.OnDebugMessage = [&](TSCSIDevice&, const std::string& text, std::uint8_t) {
        if (text.rfind(">>> STARTING WRITE PROCESS", 0) == 0) f.burner.RequestCancel();
    };
    ASSERT_TRUE(f.Burn());
    EXPECT_EQ(f.doneCalls, 1);
    EXPECT_EQ(f.doneText, "OPERATION ABORTED BY USER");
    EXPECT_EQ(f.Count(kWrite), 0u);
    EXPECT_EQ(f.Count(kClose), 0u);
    EXPECT_GT(f.Count(kAllowRemoval, f.preparedSteps), 0u) << "the drive is restored";
}

TEST(BurnCD, ThePassThroughLayerIsReloadedOnceAfterTheBurnBeforeTheEndIsReported) {
    for (const char* layerName : {"REVADI32", "WNASPI32.DLL"}) {
        SCOPED_TRACE(layerName);
        BurnerOnRecorder f;
        AddFiles(f.disk);
        f.layer.ASPILayerName = layerName;
        int reloads = 0, reloadsBeforeDone = -1;
        f.burner.ReloadLayer = [&] { return ++reloads > 0; };
        auto done = f.burner.OnWriteDone;
        f.burner.OnWriteDone = [&](TCDBurner& sender, const std::string& error) {
            reloadsBeforeDone = reloads;
            done(sender, error);
        };
        ASSERT_TRUE(f.Burn());
        EXPECT_EQ(f.doneText, "");
        const int expected = std::string(layerName) == "REVADI32" ? 1 : 0;
        EXPECT_EQ(reloads, expected);
        EXPECT_EQ(reloadsBeforeDone, expected);
    }
}

TEST(BurnCD, ALeadOutThatNeverEndsIsGivenUpAfterTheFlushTimeOut) {
    BurnerOnRecorder f(DvdRWritingItsLeadOut("ever"));
    AddFiles(f.disk);
    ASSERT_TRUE(f.Burn());
    EXPECT_EQ(f.doneCalls, 1);
    EXPECT_EQ(f.doneText.rfind("SYNCHRONIZE CACHE FAILED [", 0), 0u) << f.doneText;
    const std::size_t flush = f.First(kSync, f.Last(kWrite));
    EXPECT_EQ(f.CountSleeps(1000, flush), std::size_t{kLeadOutPolls});
    EXPECT_GT(f.Count(kAllowRemoval, flush), 0u) << "the drive is restored";
}

// A cache whose state the test scripts: filled or failed after so many looks.
class ScriptedCache final : public BlockSource {
public:
    ScriptedCache(int fillAfter, int failAfter, std::uint32_t sectors, bool& destroyed)
        : fillAfter_(fillAfter), failAfter_(failAfter), sectorsLeft_(sectors), destroyed_(destroyed) {}
    ~ScriptedCache() override { destroyed_ = true; }

    int GetBlock(std::uint8_t* dest) override {
        const std::uint32_t n = std::min<std::uint32_t>(sectorsLeft_, 31);
        sectorsLeft_ -= n;
        std::fill_n(dest, n * 2048, 0);
        return static_cast<int>(n * 2048);
    }
    void WaitForBlock(std::chrono::milliseconds) override {}
    void Abort() override {}
    bool Filled() const override { return fillAfter_ > 0 && looks_ >= fillAfter_; }
    std::string StatusText() const override {
        ++looks_;
        return failAfter_ > 0 && looks_ >= failAfter_ ? "CAN'T OPEN FILE \"X\" OR FILE IS IN USES BY OTHER SOFTWARE"
                                                      : "";
    }
    std::u16string CurrentFile() const override { return u"C:\\src\\x"; }

private:
    int fillAfter_, failAfter_;
    std::uint32_t sectorsLeft_;
    bool& destroyed_;
    mutable int looks_ = 0;
};

TEST(BurnCD, ThePrimingPollLooksEveryHundredMillisecondsAndStartsTheWriterOnceOrReportsOnTheCallersThread) {
    struct Case {
        const char* what;
        int fillAfter, failAfter;
    };
    // "failing as it fills": the failure arrives between the poll's look at it and at Filled.
    const Case cases[] = {{"filled after 1 poll", 1, 0}, {"filled after 4 polls", 4, 0}, {"error after 3 polls", 0, 3},
                          {"failing as it fills", 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BurnerOnRecorder f;
        AddFiles(f.disk);
        f.burner.tree.InsertDir(f.burner.tree.Root(), u"C:\\src", false, false, true, 63, u"*.*");
        f.burner.PrepareImage(f.burner.SelectedDevice(), {}, 0);
        bool destroyed = false, freedBeforeDone = false;
        f.burner.cacheFactory = [&](CacheJob) {
            return std::make_unique<ScriptedCache>(c.fillAfter, c.failAfter, f.burner.ImageSectors(), destroyed);
        };
        auto done = f.burner.OnWriteDone;
        f.burner.OnWriteDone = [&](TCDBurner& sender, const std::string& error) {
            freedBeforeDone = destroyed;
            done(sender, error);
        };
        const bool started = f.BurnPrepared();
        const int polls = c.fillAfter ? c.fillAfter : c.failAfter;
        std::size_t sleeps = 0;
        for (std::size_t i = f.preparedSteps; i < f.steps.size() && f.steps[i].opcode < 0; ++i) {
            EXPECT_EQ(f.steps[i].ms, 100u);
            ++sleeps;
        }
        EXPECT_EQ(sleeps, static_cast<std::size_t>(polls));
        EXPECT_EQ(f.doneCalls, 1);
        EXPECT_TRUE(freedBeforeDone) << "the cache is joined and freed before the end is reported";
        if (!c.failAfter) {
            EXPECT_TRUE(started);
            EXPECT_NE(f.doneThread, std::this_thread::get_id());
            EXPECT_EQ(f.doneText, "");
            int starts = 0;
            for (const auto& [text, level] : f.log) starts += text.rfind(">>> STARTING WRITE PROCESS", 0) == 0;
            EXPECT_EQ(starts, 1);
        } else {
            EXPECT_FALSE(started);
            EXPECT_EQ(f.doneThread, std::this_thread::get_id());
            EXPECT_EQ(f.doneText.rfind("CAN'T OPEN FILE", 0), 0u);
            EXPECT_EQ(f.steps.size(), f.preparedSteps + sleeps) << "no command reaches the drive";
            EXPECT_EQ(f.burner.CurrentFile(), u"C:\\src\\x");
        }
    }
}

// The recorder picked from the device list as the window picks it: its quirks and write modes
// are the drive's own (the virtual recorder's product is closed with IMMED).
void SelectAsTheWindowDoes(BurnerOnRecorder& f) {
    f.burner.QueryHostAdapters(0);
    f.burner.EnumerateDevices();
    ASSERT_EQ(f.burner.Devices.size(), 1u);
    f.burner.SetDevice(f.burner.Devices[0]);
    ASSERT_EQ(f.burner.HaId, 0);
    ASSERT_TRUE(f.burner.CloseImmediateQuirk);
}

// Track-at-once and session-at-once alike: a data track (mode 4) of mode 1 blocks (type 8), on
// a drive that refuses a page whose track mode does not fit its blocks.
TEST(BurnCD, EveryCdDataBurnSelectsADataTrackOfMode1Blocks) {
    for (const bool sessionAtOnce : {false, true}) {
        SCOPED_TRACE(sessionAtOnce ? "session-at-once" : "track-at-once");
        BurnerOnRecorder f;
        AddFiles(f.disk);
        SelectAsTheWindowDoes(f);
        f.burner.SessionAtOnce = sessionAtOnce;
        std::vector<std::vector<std::uint8_t>> selects;  // MODE SELECT parameter lists, before the first write
        const auto send = f.layer.SendCommandEntry;
        f.layer.SendCommandEntry = [&, send](void* p) {
            const auto* srb = static_cast<const SrbExecute*>(p);
            if (srb->Header.Cmd == kSrbExecute && srb->Cdb[0] == 0x55 && f.Count(kWrite) == 0)
                selects.emplace_back(srb->BufPointer, srb->BufPointer + srb->BufLen);
            return send(p);
        };
        ASSERT_TRUE(f.Burn());
        EXPECT_EQ(f.doneText, "");
        ASSERT_FALSE(selects.empty());
        const std::vector<std::uint8_t>& page = selects.back();
        ASSERT_GE(page.size(), 13u);
        EXPECT_EQ(page[8], 0x05);
        EXPECT_EQ(page[10] & 0x0F, sessionAtOnce ? 2 : 1);
        EXPECT_EQ(page[11] & 0x0F, 4) << "a data track";
        EXPECT_EQ(page[12] & 0x0F, 8) << "mode 1 blocks";
        const vcdr::DriveState state = f.Core().State();
        EXPECT_EQ(state.Status, vcdr::DiscStatus::Complete);
        EXPECT_EQ(state.ClosedTrackModes, std::vector<std::uint8_t>{4});
    }
}

// A close with IMMED returns while the drive fixates: the writer waits until the drive is ready,
// takes a deferred error for what it is, and reads the disc back before it calls the burn good.
TEST(BurnCD, AfterAnImmediateCloseTheWriterWaitsForTheFixationAndReadsTheDiscBack) {
    struct Case {
        const char* what;
        const char* fault;
        const char* text;
    };
    const Case cases[] = {
        {"fixated", nullptr, ""},
        {"fixation fails", "op=5B fixation-fails", "CLOSE TRACK/SESSION FAILED [MEDIUM ERROR (SESSION FIXATION ERROR)]"},
        {"close taken, session left open", "op=5B srb=01", "CLOSE TRACK/SESSION FAILED [SESSION NOT CLOSED]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vcdr::DeviceConfig disc = c.fault ? Disc({c.fault}) : Disc();
        disc.FixationRequests = 4;
        BurnerOnRecorder f(disc);
        AddFiles(f.disk);
        SelectAsTheWindowDoes(f);
        ASSERT_TRUE(f.Burn());
        EXPECT_EQ(f.doneCalls, 1);
        EXPECT_EQ(f.doneText, c.text);
        const std::size_t close = f.First(kClose);
        ASSERT_LT(close, f.steps.size());
        EXPECT_TRUE(f.steps[close].cdb[1] & 0x01) << "IMMED";
        EXPECT_EQ(f.Count(kClose), 1u);
        // Polled once a second until ready, then the disc read back, all before the restore.
        const std::size_t ready = f.First(0x00, close), info = f.First(kDiscInfo, close),
                          restore = f.First(kAllowRemoval, close);
        EXPECT_LT(ready, info);
        EXPECT_LT(info, restore);
        if (!c.fault) {
            EXPECT_EQ(f.CountSleeps(1000, close) - f.CountSleeps(1000, info), 4u);
            EXPECT_EQ(f.Core().State().Status, vcdr::DiscStatus::Complete);
        }
    }
}

TEST(BurnCD, ASourceThatCannotBeOpenedEndsTheBurnBeforeTheDriveIsTouched) {
    BurnerOnRecorder f;
    AddFiles(f.disk);
    f.disk.AddFile(u"C:\\src\\locked.txt", testing::Pattern(10, 5)).openFails = true;
    EXPECT_FALSE(f.Burn());
    EXPECT_EQ(f.doneCalls, 1);
    EXPECT_EQ(f.doneThread, std::this_thread::get_id());
    EXPECT_EQ(f.doneText, "CAN'T OPEN FILE \"C:\\src\\locked.txt\" OR FILE IS IN USES BY OTHER SOFTWARE");
    for (std::size_t i = f.preparedSteps; i < f.steps.size(); ++i) EXPECT_EQ(f.steps[i].opcode, -1);
}

}  // namespace
}  // namespace burn
