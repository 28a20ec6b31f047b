#include "editor/portable/gallery_store.h"

#include "forms/portable/exceptions.h"
#include "tests/support/memory_portfolio_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace editor {
namespace {

constexpr const char* kRoot = "C:\\V\\";
const std::string kGeneral = std::string(kRoot) + "Galleries\\General\\";
const std::string kSheer = std::string(kRoot) + "Galleries\\Sheer\\";

// The in-memory files, with operations that fail on chosen paths as a locked or read-only
// file makes them fail.
class FaultyFiles : public testing_files::MemoryPortfolioFiles {
public:
    enum Operation { kCopyTo, kRenameTo, kRenameFrom, kRemove };
    void FailOn(Operation operation, const std::string& path) { failures_.push_back({operation, path}); }

    void Copy(const std::string& source, const std::string& target) override {
        Check(kCopyTo, target);
        MemoryPortfolioFiles::Copy(source, target);
    }
    void Rename(const std::string& source, const std::string& target) override {
        Check(kRenameTo, target);
        Check(kRenameFrom, source);
        MemoryPortfolioFiles::Rename(source, target);
    }
    void Remove(const std::string& path) override {
        Check(kRemove, path);
        MemoryPortfolioFiles::Remove(path);
    }

private:
    void Check(Operation operation, const std::string& path) {
        for (const auto& f : failures_)
            if (f.first == operation && f.second == path) throw forms::EWriteError("Locked: " + path);
    }
    std::vector<std::pair<Operation, std::string>> failures_;
};

class GalleryStoreTest : public testing::Test {
protected:
    void Pair(const std::string& folder, const std::string& name, const std::string& whose) {
        files_.Put(folder + "thm_" + name, "thumb " + whose);
        files_.Put(folder + "prv_" + name, "preview " + whose);
    }
    std::string Read(const std::string& path) { return files_.FileExists(path) ? files_.ReadFile(path) : "<none>"; }
    // Every file in a folder, so a stray temporary copy shows.
    std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& e : files_.List(folder)) names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    FaultyFiles files_;
    GalleryStore store_{files_, kRoot};
};

TEST_F(GalleryStoreTest, FoldersAreNamedByCategoryFolderOrKey) {
    EXPECT_EQ(store_.Folder("General"), kGeneral);
    EXPECT_EQ(store_.Folder("artnudes"), std::string(kRoot) + "Galleries\\artnudes\\");
}

TEST_F(GalleryStoreTest, PicturesAreTheGridsThumbnailsInNameOrderWithTheirPreviews) {
    Pair(kGeneral, "b.jpg", "b");
    Pair(kGeneral, "a.jpeg", "a");
    files_.Put(kGeneral + "THM_C.JPG");
    files_.Put(kGeneral + "prv_c.jpg");  // pairs without regard to case
    files_.Put(kGeneral + "thm_lone.jpg");
    files_.Put(kGeneral + "prv_nothumb.jpg");
    files_.Put(kGeneral + "thm_x.png");
    files_.Put(kGeneral + "notes.txt");
    files_.MakeFolders(kGeneral + "thm_folder.jpg\\");
    const auto pictures = store_.Pictures(kGeneral);
    const GalleryPicture expected[] = {
        {"thm_a.jpeg", "prv_a.jpeg"}, {"thm_b.jpg", "prv_b.jpg"}, {"THM_C.JPG", "prv_c.jpg"}, {"thm_lone.jpg", ""},
    };
    ASSERT_EQ(pictures.size(), std::size(expected));
    for (size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(pictures[i].thumbnail, expected[i].thumbnail) << i;
        EXPECT_EQ(pictures[i].preview, expected[i].preview) << i;
    }
    EXPECT_EQ(store_.ThumbnailCount(kGeneral), 4);
    EXPECT_TRUE(store_.Pictures(kSheer).empty());
}

TEST_F(GalleryStoreTest, DeleteRemovesBothFilesAndTellsWhichStayed) {
    Pair(kGeneral, "a.jpg", "a");
    Pair(kGeneral, "b.jpg", "b");
    files_.Put(kGeneral + "thm_c.jpg");
    files_.FailOn(FaultyFiles::kRemove, kGeneral + "prv_b.jpg");
    const struct { const char* thumbnail; bool thumbnailGone, previewGone; } cases[] = {
        {"thm_a.jpg", true, true},
        {"thm_b.jpg", true, false},
        {"thm_c.jpg", true, true},  // no preview to remove
    };
    for (const auto& c : cases) {
        const auto removal = store_.Delete(kGeneral, c.thumbnail);
        EXPECT_EQ(removal.thumbnail, c.thumbnailGone) << c.thumbnail;
        EXPECT_EQ(removal.preview, c.previewGone) << c.thumbnail;
        EXPECT_FALSE(files_.FileExists(kGeneral + c.thumbnail)) << c.thumbnail;
    }
    EXPECT_EQ(Names(kGeneral), std::vector<std::string>{"prv_b.jpg"});
}

TEST_F(GalleryStoreTest, AMoveTakesBothFilesAndReplacesAPictureOfTheSameName) {
    Pair(kGeneral, "one.jpg", "mine");
    Pair(kGeneral, "two.jpg", "two");
    Pair(kSheer, "one.jpg", "theirs");
    const auto move = store_.Move(kGeneral, kSheer, "thm_one.jpg");
    EXPECT_TRUE(move.thumbnailRemoved);
    EXPECT_EQ(move.problem, "");
    EXPECT_EQ(Names(kGeneral), (std::vector<std::string>{"prv_two.jpg", "thm_two.jpg"}));
    EXPECT_EQ(Names(kSheer), (std::vector<std::string>{"prv_one.jpg", "thm_one.jpg"}));
    EXPECT_EQ(Read(kSheer + "thm_one.jpg"), "thumb mine");
    EXPECT_EQ(Read(kSheer + "prv_one.jpg"), "preview mine");
    // Into the folder it is in, however the name is written: nothing moves, nothing is lost.
    const auto none = store_.Move(kGeneral, std::string(kRoot) + "GALLERIES\\general\\", "thm_two.jpg");
    EXPECT_FALSE(none.thumbnailRemoved);
    EXPECT_EQ(Names(kGeneral), (std::vector<std::string>{"prv_two.jpg", "thm_two.jpg"}));
    // Into a gallery folder that does not exist yet, and a thumbnail without its preview.
    files_.Put(kGeneral + "thm_lone.jpg", "lone");
    const std::string misc = std::string(kRoot) + "Galleries\\Miscellaneous\\";
    EXPECT_TRUE(store_.Move(kGeneral, misc, "thm_lone.jpg").thumbnailRemoved);
    EXPECT_EQ(Names(misc), std::vector<std::string>{"thm_lone.jpg"});
}

// A thumbnail without its preview replaces the target's whole picture: left beside the
// target's old preview, the two would be shown and published as one picture.
TEST_F(GalleryStoreTest, AThumbnailWithoutItsPreviewIsNeverPairedWithTheTargetsOldPreview) {
    files_.Put(kGeneral + "thm_one.jpg", "thumb mine");
    Pair(kSheer, "one.jpg", "theirs");
    EXPECT_TRUE(store_.Move(kGeneral, kSheer, "thm_one.jpg").thumbnailRemoved);
    EXPECT_EQ(Names(kSheer), std::vector<std::string>{"thm_one.jpg"});
    EXPECT_EQ(Read(kSheer + "thm_one.jpg"), "thumb mine");
    ASSERT_EQ(store_.Pictures(kSheer).size(), 1u);
    EXPECT_EQ(store_.Pictures(kSheer)[0].preview, "");

    // Failing, it leaves the target's pair whole.
    files_.Put(kGeneral + "thm_two.jpg", "thumb mine");
    Pair(kSheer, "two.jpg", "theirs");
    files_.FailOn(FaultyFiles::kRenameFrom, kSheer + "~moving_thm_two.jpg");
    EXPECT_THROW(store_.Move(kGeneral, kSheer, "thm_two.jpg"), forms::Exception);
    EXPECT_EQ(Read(kSheer + "thm_two.jpg"), "thumb theirs");
    EXPECT_EQ(Read(kSheer + "prv_two.jpg"), "preview theirs");
    EXPECT_EQ(Read(kGeneral + "thm_two.jpg"), "thumb mine");
    EXPECT_EQ(Names(kSheer), (std::vector<std::string>{"prv_two.jpg", "thm_one.jpg", "thm_two.jpg"}));
}

// Whichever step of putting the picture in place fails, the target keeps its own picture
// of that name, the source keeps the picture, and no copy is left behind.
TEST_F(GalleryStoreTest, AFailedMoveLeavesBothGalleriesAsTheyWere) {
    const struct { const char* what; FaultyFiles::Operation operation; std::string path; } cases[] = {
        {"first copy", FaultyFiles::kCopyTo, kSheer + "~moving_thm_one.jpg"},
        {"second copy", FaultyFiles::kCopyTo, kSheer + "~moving_prv_one.jpg"},
        {"preview into place", FaultyFiles::kRenameFrom, kSheer + "~moving_prv_one.jpg"},
        {"thumbnail into place", FaultyFiles::kRenameFrom, kSheer + "~moving_thm_one.jpg"},
        {"target's own thumbnail held", FaultyFiles::kRenameFrom, kSheer + "thm_one.jpg"},
        {"target's own preview held", FaultyFiles::kRenameFrom, kSheer + "prv_one.jpg"},
    };
    for (const auto& c : cases) {
        FaultyFiles files;
        files.Put(kGeneral + "thm_one.jpg", "thumb mine");
        files.Put(kGeneral + "prv_one.jpg", "preview mine");
        files.Put(kSheer + "thm_one.jpg", "thumb theirs");
        files.Put(kSheer + "prv_one.jpg", "preview theirs");
        files.FailOn(c.operation, c.path);
        GalleryStore store(files, kRoot);
        EXPECT_THROW(store.Move(kGeneral, kSheer, "thm_one.jpg"), forms::Exception) << c.what;
        EXPECT_EQ(files.ReadFile(kSheer + "thm_one.jpg"), "thumb theirs") << c.what;
        EXPECT_EQ(files.ReadFile(kSheer + "prv_one.jpg"), "preview theirs") << c.what;
        EXPECT_EQ(files.ReadFile(kGeneral + "thm_one.jpg"), "thumb mine") << c.what;
        EXPECT_EQ(files.ReadFile(kGeneral + "prv_one.jpg"), "preview mine") << c.what;
        EXPECT_EQ(files.Files().size(), 4u) << c.what;
    }
}

TEST_F(GalleryStoreTest, AThumbnailThatCannotBePlacedTakesBackAPreviewTheTargetDidNotHave) {
    Pair(kGeneral, "one.jpg", "mine");
    files_.FailOn(FaultyFiles::kRenameTo, kSheer + "thm_one.jpg");
    EXPECT_THROW(store_.Move(kGeneral, kSheer, "thm_one.jpg"), forms::Exception);
    EXPECT_TRUE(Names(kSheer).empty());
    EXPECT_EQ(Names(kGeneral), (std::vector<std::string>{"prv_one.jpg", "thm_one.jpg"}));
}

TEST_F(GalleryStoreTest, ASourceThatCannotBeRemovedIsReportedAndKeptWhole) {
    const struct { const char* locked; bool thumbnailRemoved; std::vector<std::string> left; } cases[] = {
        {"thm_one.jpg", false, {"prv_one.jpg", "thm_one.jpg"}},
        {"prv_one.jpg", true, {"prv_one.jpg"}},
    };
    for (const auto& c : cases) {
        FaultyFiles files;
        files.Put(kGeneral + "thm_one.jpg", "thumb mine");
        files.Put(kGeneral + "prv_one.jpg", "preview mine");
        files.FailOn(FaultyFiles::kRemove, kGeneral + c.locked);
        GalleryStore store(files, kRoot);
        const auto move = store.Move(kGeneral, kSheer, "thm_one.jpg");
        EXPECT_EQ(move.thumbnailRemoved, c.thumbnailRemoved) << c.locked;
        EXPECT_NE(move.problem.find("could not be removed from " + kGeneral), std::string::npos) << move.problem;
        EXPECT_NE(move.problem.find(c.locked), std::string::npos) << move.problem;
        EXPECT_EQ(files.ReadFile(kSheer + "thm_one.jpg"), "thumb mine") << c.locked;
        EXPECT_EQ(files.ReadFile(kSheer + "prv_one.jpg"), "preview mine") << c.locked;
        std::vector<std::string> left;
        for (const auto& e : files.List(kGeneral)) left.push_back(e.name);
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.left) << c.locked;
    }
}

}  // namespace
}  // namespace editor
