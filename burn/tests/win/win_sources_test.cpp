// The Win32 side of mastering under Wine: names outside the ANSI code page listed and opened by
// their wide names, and the image file that replaces its target only when it is whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "burn/device_layers.h"
#include "burn/image_file_writer.h"
#include "burn/portable/cd_burner.h"
#include "burn/wide_paths.h"
#include "burn/win_sources.h"
#include "forms/gdi_handle.h"

namespace burn {
namespace {

// Every path of the fixture goes in the "\\?\" form: it makes and removes names that the plain
// form would change (a trailing ".") or refuse (past 260 characters).
struct W {
    explicit W(const std::u16string& path) : extended(burn::ExtendedPath(path)) {}
    operator const wchar_t*() const { return reinterpret_cast<const wchar_t*>(extended.c_str()); }
    std::u16string extended;
};

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        folder_ = reinterpret_cast<const char16_t*>(base);
        folder_ += u"vburn-" + std::u16string(reinterpret_cast<const char16_t*>(std::to_wstring(GetCurrentProcessId()).c_str())) + u"\\";
        CreateDirectoryW(W(folder_), nullptr);
    }
    void TearDown() override {
        for (const std::u16string& f : made_) DeleteFileW(W(f));
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryW(W(*it));
        RemoveDirectoryW(W(folder_));
    }
    std::u16string Write(const std::u16string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::u16string path = folder_ + name;
        forms::UniqueKernelHandle h(forms::NullIfInvalid(
            CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr)));
        DWORD written = 0;
        WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        made_.push_back(path);
        return path;
    }
    void Folder(const std::u16string& name) {
        CreateDirectoryW(W(folder_ + name), nullptr);
        folders_.push_back(folder_ + name);
    }
    std::string Read(const std::u16string& path) {
        forms::UniqueKernelHandle h(forms::NullIfInvalid(
            CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)));
        if (!h) return "<none>";
        std::string bytes(1 << 20, '\0');
        DWORD got = 0;
        ReadFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        bytes.resize(got);
        return bytes;
    }
    std::vector<std::u16string> FilesMatching(const std::u16string& mask) {
        std::vector<std::u16string> out;
        for (const ListingRecord& r : WinFolderLister().List(folder_, mask)) out.push_back(r.name);
        return out;
    }

    std::u16string folder_;
    std::vector<std::u16string> made_, folders_;
};

TEST_F(TempFolder, NameOutsideTheCodePageIsListedAndOpenedByItsWideName) {
    Write(u"Łódź.txt", "wide");
    Write(u"plain.txt", "narrow");
    Write(u"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
    Folder(u"sub");
    const std::vector<ListingRecord> records = WinFolderLister().List(folder_, u"*.*");
    const ListingRecord* lodz = nullptr;
    const ListingRecord* plain = nullptr;
    const ListingRecord* hidden = nullptr;
    const ListingRecord* sub = nullptr;
    for (const ListingRecord& r : records) {
        if (r.name == u"Łódź.txt") lodz = &r;
        if (r.name == u"plain.txt") plain = &r;
        if (r.name == u"hidden.txt") hidden = &r;
        if (r.name == u"sub") sub = &r;
    }
    ASSERT_NE(lodz, nullptr);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(hidden, nullptr);
    ASSERT_NE(sub, nullptr);
    EXPECT_FALSE(lodz->alternate.empty()) << "a name that is no 8.3 name gets an alternate one";
    for (char c : lodz->alternate) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
    EXPECT_EQ(plain->alternate, "") << "an 8.3 name has none";
    EXPECT_EQ(lodz->size, 4u);
    EXPECT_TRUE(hidden->attributes & kAttrHidden);
    EXPECT_TRUE(sub->attributes & kAttrDirectory);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(lodz->lastWrite.year, now.wYear);

    auto file = WinFileSource().Open(folder_ + u"Łódź.txt");
    ASSERT_NE(file, nullptr);
    std::uint8_t bytes[16] = {};
    EXPECT_EQ(file->Read(bytes, sizeof bytes), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 4), "wide");
    EXPECT_EQ(file->Size(), 4u);
    EXPECT_EQ(WinFileSource().Open(folder_ + u"none.txt"), nullptr);
}

// A name ending in "." (Wine lists one as it is) and a path past 260 characters: each file is
// listed, opened and read into the image.
TEST_F(TempFolder, EveryListedNameOpensAtAnyLength) {
    Folder(u"src");
    Write(u"src\\dot.", "contents of dot.");
    Folder(u"src\\folder.");
    Write(u"src\\folder.\\inner.txt", "contents of inner.txt");
    std::u16string deep = u"src";
    for (char16_t c = u'a'; c < u'g'; ++c) {
        deep += u"\\" + std::u16string(50, c);
        Folder(deep);
    }
    Write(deep + u"\\far.txt", "contents of far.txt");
    ASSERT_GT((folder_ + deep + u"\\far.txt").size(), 300u);

    WinFolderLister lister;
    WinFileSource files;
    AspiLayer noLayer;
    TCDBurner burner(noLayer, SystemClock(), files);
    burner.tree.lister = &lister;
    burner.tree.InsertDir(burner.tree.Root(), folder_ + u"src", false, false, true, 63, u"*.*");
    ASSERT_NE(burner.tree.FindChild(burner.tree.Root(), u"dot."), nullptr);
    ASSERT_NE(burner.tree.FindDir(u"\\folder."), nullptr);
    burner.PrepareImage({}, LocalNow(), StandardBiasMinutes());
    const std::u16string target = folder_ + u"out.iso";
    burner.ISOFileName = target;
    ImageFileWriter writer(target);
    EXPECT_EQ(burner.BurnImageFile(writer), "");
    made_.push_back(target);
    const std::string image = Read(target);
    for (const char* contents : {"contents of dot.", "contents of inner.txt", "contents of far.txt"})
        EXPECT_NE(image.find(contents), std::string::npos) << contents;
}

// A short name with letters outside ASCII (a drive's OEM one) is made ASCII as a long one is.
TEST(WinListing, AShortNameOutsideAsciiBecomesUnderscores) {
    WIN32_FIND_DATAW found{};
    wcscpy(found.cFileName, L"Caf\u00E9 menu.txt");
    wcscpy(found.cAlternateFileName, L"CAF\u00C9ME~1.TXT");
    found.nFileSizeLow = 3;
    const ListingRecord record = ListingRecordOf(found);
    EXPECT_EQ(record.alternate, "CAF_ME~1.TXT");
    EXPECT_EQ(record.size, 3u);
    FileTree tree;
    ASSERT_TRUE(tree.AddFile(tree.Root(), record, false, 0, u"C:\\Caf\u00E9 menu.txt"));
    EXPECT_EQ(tree.FindChild(tree.Root(), u"Caf\u00E9 menu.txt")->isoName, "CAF_ME~1.TXT");
}

TEST_F(TempFolder, FailedImageLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::u16string target = Write(u"image.iso", "the user's earlier image");
    {
        ImageFileWriter writer(target);
        ASSERT_TRUE(writer.Create());
        const std::uint8_t block[2048] = {1};
        EXPECT_TRUE(writer.Write(block, sizeof block));
        writer.Discard();
    }
    EXPECT_EQ(Read(target), "the user's earlier image");
    EXPECT_EQ(FilesMatching(u"*.tmp"), std::vector<std::u16string>{});
    {
        ImageFileWriter writer(target);
        ASSERT_TRUE(writer.Create());
        EXPECT_TRUE(writer.Write(reinterpret_cast<const std::uint8_t*>("new"), 3));
        EXPECT_TRUE(writer.Commit());
    }
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(FilesMatching(u"*.tmp"), std::vector<std::u16string>{});
}

TEST_F(TempFolder, FileHeldOpenByAnotherProgramEndsTheImageWithItsName) {
    Folder(u"src");
    Write(u"src\\a.txt", "a");
    const std::u16string locked = Write(u"src\\locked.txt", "l");
    forms::UniqueKernelHandle holder(forms::NullIfInvalid(
        CreateFileW(W(locked), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    ASSERT_TRUE(holder);
    WinFolderLister lister;
    WinFileSource files;
    AspiLayer noLayer;  // nothing loaded: no recorder command can be sent
    TCDBurner burner(noLayer, SystemClock(), files);
    burner.tree.lister = &lister;
    burner.tree.InsertDir(burner.tree.Root(), folder_ + u"src", false, false, true, 63, u"*.*");
    burner.PrepareImage({}, LocalNow(), StandardBiasMinutes());
    const std::u16string target = folder_ + u"out.iso";
    burner.ISOFileName = target;
    int done = 0;
    std::string error;
    burner.OnWriteDone = [&](TCDBurner&, const std::string& e) {
        ++done;
        error = e;
    };
    ImageFileWriter writer(target);
    burner.BurnImageFile(writer);
    EXPECT_EQ(done, 1);
    EXPECT_NE(error.find("CAN'T OPEN FILE"), std::string::npos) << error;
    EXPECT_NE(error.find("locked.txt"), std::string::npos) << error;
    EXPECT_EQ(GetFileAttributesW(W(target)), INVALID_FILE_ATTRIBUTES) << "no image file is left";
    EXPECT_EQ(FilesMatching(u"*.tmp"), std::vector<std::u16string>{});
}

}  // namespace
}  // namespace burn
