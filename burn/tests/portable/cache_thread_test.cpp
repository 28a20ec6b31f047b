// The cache thread against in-memory files, with real threads: the bytes delivered must equal
// the image laid out on one thread, whatever the block boundaries and the timing.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <thread>

#include "burn/portable/iso_records.h"
#include "burn/portable/joliet_names.h"
#include "burn/tests/portable/memory_sources.h"

namespace burn {
namespace {

using testing::Master;
using testing::MemorySink;
using testing::Pattern;

struct Source {
    std::u16string path;
    std::vector<std::uint8_t> bytes;
};

// Metadata, boot image, padding and every file at the sector its record names; post-gap zeros.
std::vector<std::uint8_t> ReferenceImage(const Master& m, const std::vector<std::uint8_t>& metadata,
                                         const std::map<std::u16string, std::vector<std::uint8_t>>& contents) {
    const ImageLayout& l = m.burner.Layout();
    std::vector<std::uint8_t> image(std::size_t{l.ImageLength()} * kSectorSize, 0);
    if (m.burner.WritePostGap && image.size() < kPostGapBytes) image.resize(kPostGapBytes, 0);
    std::copy(metadata.begin(), metadata.end(), image.begin());
    auto place = [&](std::uint32_t sector, const std::vector<std::uint8_t>& bytes, std::uint64_t size) {
        std::copy_n(bytes.begin(), size, image.begin() + std::ptrdiff_t{sector - l.sessionStart} * kSectorSize);
    };
    if (l.bootable) place(l.bootImage, contents.at(m.burner.BootImage), l.bootImageSize);
    for (const auto& e : m.burner.tree.Files()) {
        if (!e->IsDirectory() && e->isoSize > 0) place(l.firstFile + e->isoExtent, contents.at(e->sourcePath), e->isoSize);
    }
    return image;
}

struct Outcome {
    std::string result;
    int doneCalls = 0;
    std::string doneText;
};

Outcome Burn(Master& m, MemorySink& sink) {
    Outcome o;
    m.burner.OnWriteDone = [&o](TCDBurner&, const std::string& error) {
        ++o.doneCalls;
        o.doneText = error;
    };
    o.result = m.burner.BurnImageFile(sink);
    return o;
}

struct TreeCase {
    const char* what;
    std::function<void(Master&, std::map<std::u16string, std::vector<std::uint8_t>>&)> build;
};

void File(Master& m, std::map<std::u16string, std::vector<std::uint8_t>>& c, const std::u16string& path,
          std::size_t size, unsigned seed) {
    c[path] = Pattern(size, seed);
    m.disk.AddFile(path, c[path]);
}

const TreeCase kTrees[] = {
    {"many small files and block-sized ones",
     [](Master& m, auto& c) {
         File(m, c, u"C:\\src\\exact.bin", kBlockBytes, 1);
         for (unsigned i = 0; i < 120; ++i) File(m, c, u"C:\\src\\s" + Utf16(std::to_string(i)) + u".txt", 1 + i * 37, i + 10);
         File(m, c, u"C:\\src\\over.bin", kBlockBytes + 1, 2);
         File(m, c, u"C:\\src\\sector.bin", 2048, 3);
     }},
    {"the last table entry is a folder",
     [](Master& m, auto& c) {
         m.disk.AddFolder(u"C:\\src\\a");
         File(m, c, u"C:\\src\\a\\x.bin", 5000, 4);
         m.disk.AddFolder(u"C:\\src\\b");
     }},
    {"the last table entry is an empty file",
     [](Master& m, auto& c) {
         File(m, c, u"C:\\src\\a.bin", 70000, 5);
         File(m, c, u"C:\\src\\z.txt", 0, 6);
     }},
    {"an image longer than the post-gap",
     [](Master& m, auto& c) {
         m.disk.AddFolder(u"C:\\src\\deep");
         File(m, c, u"C:\\src\\deep\\big.bin", 900000, 7);
         File(m, c, u"C:\\src\\small.txt", 100, 8);
     }},
    {"a boot image before the padding",
     [](Master& m, auto& c) {
         File(m, c, u"C:\\boot.img", 5000, 9);
         m.burner.Bootable = true;
         m.burner.BootImage = u"C:\\boot.img";
         File(m, c, u"C:\\src\\after.bin", 3000, 10);
     }},
};

TEST(CacheThread, DeliversTheLaidOutImageWhateverTheTiming) {
    for (const TreeCase& t : kTrees) {
        for (const int delay : {0, 300}) {
            for (unsigned seed = 1; seed <= (delay ? 3u : 1u); ++seed) {
                SCOPED_TRACE(std::string(t.what) + " delay " + std::to_string(delay) + " seed " + std::to_string(seed));
                Master m;
                std::map<std::u16string, std::vector<std::uint8_t>> contents;
                t.build(m, contents);
                m.Insert();
                m.Prepare();
                m.burner.SetCacheSize(0);  // the smallest queue makes the producer wait often
                const std::vector<std::uint8_t> metadata = m.burner.MetadataStream();
                m.disk.maxDelayMicroseconds = delay;
                m.disk.seed = seed;
                MemorySink sink;
                sink.maxDelayMicroseconds = delay;
                sink.random.seed(seed * 31);
                const Outcome o = Burn(m, sink);
                EXPECT_EQ(o.result, "");
                EXPECT_EQ(o.doneCalls, 1);
                EXPECT_TRUE(sink.committed);
                const std::vector<std::uint8_t> expected = ReferenceImage(m, metadata, contents);
                ASSERT_EQ(sink.bytes.size(), expected.size());
                EXPECT_TRUE(sink.bytes == expected);
                for (std::size_t size : sink.blockSizes) {
                    EXPECT_LE(size, kBlockBytes);
                    EXPECT_EQ(size % kSectorSize, 0u);
                }
            }
        }
    }
}

TEST(CacheThread, ASecondImageOfOneLayoutEqualsTheFirst) {
    Master m;
    std::map<std::u16string, std::vector<std::uint8_t>> contents;
    kTrees[0].build(m, contents);
    m.Insert();
    m.Prepare();
    MemorySink first, second;
    EXPECT_EQ(Burn(m, first).result, "");
    EXPECT_EQ(Burn(m, second).result, "");
    EXPECT_TRUE(second.bytes == first.bytes) << "the metadata are sent again";
}

// GetBlock copies each block out, as the recorder's writer takes them.
TEST(CacheThread, GetBlockHandsOutTheSameBytesFromAnotherThread) {
    Master m;
    std::map<std::u16string, std::vector<std::uint8_t>> contents;
    kTrees[0].build(m, contents);
    m.Insert();
    m.Prepare();
    const std::vector<std::uint8_t> expected = ReferenceImage(m, m.burner.MetadataStream(), contents);
    CacheJob job;
    job.cacheSize = 2097152;
    job.metadata = m.burner.MetadataStream();
    job.paddingSectors = m.burner.Layout().PaddingSectors();
    for (const auto& e : m.burner.tree.Files()) {
        if (!e->IsDirectory() && e->isoSize > 0) job.files.push_back({e->sourcePath, e->isoSize});
    }
    job.imageBytes = std::uint64_t{m.burner.Layout().ImageLength()} * kSectorSize;
    m.disk.maxDelayMicroseconds = 200;
    TCacheThread cache(job, m.disk);
    std::vector<std::uint8_t> got;
    std::thread writer([&] {
        std::vector<std::uint8_t> buffer(kBlockBytes);
        for (int length; (length = cache.GetBlock(buffer.data())) != 0;) {
            if (length < 0) cache.WaitForBlock(std::chrono::milliseconds(5));
            else got.insert(got.end(), buffer.begin(), buffer.begin() + length);
        }
    });
    writer.join();
    EXPECT_EQ(cache.StatusText(), "");
    EXPECT_EQ(cache.Remaining(), 0u);
    EXPECT_TRUE(got == expected);
}

TEST(CacheThread, ABlockSizedFileFillsOneBlockAndSmallFilesShareOne) {
    Master m;
    std::map<std::u16string, std::vector<std::uint8_t>> contents;
    kTrees[0].build(m, contents);
    m.Insert();
    m.Prepare();
    const std::size_t filesStart = std::size_t{m.burner.Layout().firstFile} * kSectorSize;
    MemorySink sink;
    Burn(m, sink);
    std::size_t at = 0;
    std::size_t i = 0;
    for (; i < sink.blockSizes.size() && at < filesStart; ++i) at += sink.blockSizes[i];
    ASSERT_EQ(at, filesStart) << "file data start a block of their own";
    EXPECT_EQ(sink.blockSizes[i], kBlockBytes) << "exact.bin";
    EXPECT_EQ(sink.blockSizes[i + 1], kBlockBytes) << "small files packed into one block";
}

TEST(CacheThread, GrownFileIsReadUpToItsLaidOutSize) {
    Master m;
    std::map<std::u16string, std::vector<std::uint8_t>> contents;
    File(m, contents, u"C:\\src\\a.bin", 9000, 1);
    File(m, contents, u"C:\\src\\b.bin", 3000, 2);
    m.disk.SetListedSize(u"C:\\src\\a.bin", 5000);
    m.Insert();
    m.Prepare();
    const std::vector<std::uint8_t> metadata = m.burner.MetadataStream();
    MemorySink sink;
    EXPECT_EQ(Burn(m, sink).result, "");
    EXPECT_TRUE(sink.bytes == ReferenceImage(m, metadata, contents));
}

TEST(CacheThread, FailuresEndTheImageWithTheirTextAndNoFileIsKept) {
    struct Case {
        const char* what;
        std::function<void(Master&)> spoil;
        std::string text;
    };
    const Case cases[] = {
        {"open", [](Master& m) { m.disk.AddFile(u"C:\\src\\b.bin", Pattern(10, 1)).openFails = true; },
         "CAN'T OPEN FILE \"C:\\src\\b.bin\" OR FILE IS IN USES BY OTHER SOFTWARE"},
        {"read", [](Master& m) { m.disk.AddFile(u"C:\\src\\b.bin", Pattern(10, 1)).readFails = true; },
         "CAN'T READ FILE \"C:\\src\\b.bin\""},
        {"shrunk",
         [](Master& m) {
             m.disk.AddFile(u"C:\\src\\b.bin", Pattern(100000, 1));
             m.disk.SetListedSize(u"C:\\src\\b.bin", 200000);
         },
         "CAN'T READ FILE \"C:\\src\\b.bin\""},
        {"raise", [](Master& m) { m.disk.AddFile(u"C:\\src\\b.bin", Pattern(10, 1)).readRaises = true; },
         "CACHE THREAD FAILED [DISK GONE]"},
        {"create", [](Master&) {}, "CAN'T CREATE FILE \"out.iso\""},
        {"write", [](Master&) {}, "CAN'T WRITE FILE \"out.iso\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Master m;
        m.disk.AddFile(u"C:\\src\\a.bin", Pattern(500000, 2));
        c.spoil(m);
        m.disk.AddFile(u"C:\\src\\c.bin", Pattern(500000, 3));
        m.Insert();
        m.Prepare();
        m.burner.ISOFileName = u"out.iso";
        MemorySink sink;
        sink.createFails = std::string(c.what) == "create";
        if (std::string(c.what) == "write") sink.failAfterBlocks = 3;
        const Outcome o = Burn(m, sink);
        EXPECT_EQ(o.result, c.text);
        EXPECT_EQ(o.doneCalls, 1);
        EXPECT_EQ(o.doneText, c.text);
        EXPECT_FALSE(sink.committed);
        EXPECT_EQ(sink.discarded, !sink.createFails);
    }
}

bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(CacheThread, QueueHoldsMaxBlocksLessOneAndAnAbortOnAFullQueueFreesIt) {
    testing::MemoryDisk disk;
    CacheJob job;
    job.cacheSize = 2097152;
    job.metadata.assign(40 * kBlockBytes, 0xAB);  // more metadata than the queue holds
    job.imageBytes = job.metadata.size();
    std::vector<CachePriority> priorities;
    TCacheThread cache(job, disk, [&](CachePriority p) { priorities.push_back(p); });
    ASSERT_TRUE(WaitFor([&] { return cache.Filled(); }));
    EXPECT_EQ(cache.MaxBlocks(), 32u);
    EXPECT_EQ(cache.QueuedBlocks(), 31u);
    EXPECT_FALSE(cache.Finished());
    cache.Abort();
    ASSERT_TRUE(WaitFor([&] { return cache.Finished(); }));
    EXPECT_EQ(cache.StatusText(), "OPERATION ABORTED BY USER");
    EXPECT_EQ(cache.QueuedBlocks(), 0u);
    std::vector<std::uint8_t> dest(kBlockBytes);
    EXPECT_EQ(cache.GetBlock(dest.data()), 0);
    ASSERT_FALSE(priorities.empty());
    EXPECT_EQ(priorities.back(), CachePriority::Idle);
}

TEST(CacheThread, PriorityFallsAsTheQueueFills) {
    const std::pair<std::size_t, CachePriority> cases[] = {
        {0, CachePriority::Normal},  {15, CachePriority::Normal}, {16, CachePriority::Lower},
        {31, CachePriority::Lower},  {32, CachePriority::Lowest}, {62, CachePriority::Lowest},
        {63, CachePriority::Idle},
    };
    for (const auto& [queued, priority] : cases) EXPECT_EQ(PriorityForQueue(queued, 64), priority) << queued;
}

}  // namespace
}  // namespace burn
