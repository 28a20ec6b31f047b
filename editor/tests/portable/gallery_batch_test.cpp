#include "editor/portable/gallery_batch.h"

#include "forms/portable/exceptions.h"
#include "tests/support/memory_portfolio_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace editor {
namespace {

constexpr const char* kRoot = "C:\\V\\";
const std::string kGallery = std::string(kRoot) + "Galleries\\general\\";
const std::string kChosen = "D:\\Photos\\";

// A stand-in for the picture pipeline: writes what it was made from, and refuses a source
// whose content says so, as the decoder refuses a CMYK or damaged file.
class BatchTest : public testing::Test {
protected:
    BatchTest() {
        files_.MakeFolders(kRoot);
    }
    void Chosen(const std::string& name, const std::string& content = "jpeg") { files_.Put(kChosen + name, content); }
    PictureBatch Batch() {
        return PictureBatch(store_, kGallery, [this](const std::string& source, const std::string& target, PictureBox box) {
            const std::string data = files_.ReadFile(source);
            if (data.rfind("refuse:", 0) == 0) throw forms::EInvalidGraphic(data.substr(7));
            if (box.width == kThumbnailBox.width && failThumbnails_) throw forms::EWriteError("Disk full");
            files_.WriteFile(target, "made from " + source);
        });
    }
    std::vector<std::string> Paths(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const auto& n : names) paths.push_back(kChosen + n);
        return paths;
    }
    std::vector<std::string> GalleryNames() {
        std::vector<std::string> names;
        for (const auto& e : files_.List(kGallery)) names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    testing_files::MemoryPortfolioFiles files_;
    GalleryStore store_{files_, kRoot};
    bool failThumbnails_ = false;
};

TEST_F(BatchTest, RefusedPicturesAreSkippedAndNamedAndEveryOtherGetsBothFiles) {
    Chosen("a.jpg");
    Chosen("cmyk.jpg", "refuse:CMYK pictures cannot be used");
    Chosen("b.jpeg");
    Chosen("broken.jpg", "refuse:Not a JPEG file");
    Chosen("c.jpg");
    auto batch = Batch();
    std::vector<std::pair<int, int>> done;
    batch.OnPictureDone = [&](int pass, int index) { done.push_back({pass, index}); };
    batch.Run(Paths({"a.jpg", "cmyk.jpg", "b.jpeg", "broken.jpg", "c.jpg"}));
    EXPECT_EQ(GalleryNames(), (std::vector<std::string>{"prv_a.jpg", "prv_b.jpeg", "prv_c.jpg", "thm_a.jpg",
                                                       "thm_b.jpeg", "thm_c.jpg"}));
    EXPECT_EQ(files_.ReadFile(kGallery + "thm_b.jpeg"), "made from " + kGallery + "~adding2_prv_b.jpeg");
    ASSERT_EQ(batch.Refused().size(), 2u);
    EXPECT_EQ(batch.Refused()[0].file, kChosen + "cmyk.jpg");
    EXPECT_EQ(batch.Refused()[1].reason, "Not a JPEG file");
    EXPECT_EQ(batch.RefusalReport(),
              "These images could not be added and were skipped:\n\ncmyk.jpg: CMYK pictures cannot be used\n"
              "broken.jpg: Not a JPEG file");
    EXPECT_EQ(done.size(), 10u) << "each bar reaches the number chosen";
    EXPECT_FALSE(batch.Stopped());
}

TEST_F(BatchTest, NothingRefusedMeansNoReport) {
    Chosen("a.jpg");
    auto batch = Batch();
    batch.Run(Paths({"a.jpg"}));
    EXPECT_EQ(batch.RefusalReport(), "");
}

// Stopped before each picture of each pass: every preview this batch made without its
// thumbnail is taken back; a picture already in the gallery and a lone preview it did not
// make are left alone.
TEST_F(BatchTest, AStoppedBatchLeavesNoPreviewWithoutItsThumbnail) {
    for (int stopPass = 1; stopPass <= 2; ++stopPass) {
        for (int stopAt = 0; stopAt < 3; ++stopAt) {
            testing_files::MemoryPortfolioFiles files;
            files_ = files;
            files_.MakeFolders(kRoot);
            for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) Chosen(n);
            files_.Put(kGallery + "prv_old.jpg", "not ours");
            files_.Put(kGallery + "thm_kept.jpg", "kept");
            files_.Put(kGallery + "prv_kept.jpg", "kept");
            auto batch = Batch();
            int pass = 0, seen = 0;
            batch.OnPassStart = [&](int p) { pass = p; seen = 0; };
            batch.StopRequested = [&] { return pass == stopPass && seen++ == stopAt; };
            batch.Run(Paths({"a.jpg", "b.jpg", "c.jpg"}));
            const std::string when = "pass " + std::to_string(stopPass) + " at " + std::to_string(stopAt);
            EXPECT_TRUE(batch.Stopped()) << when;
            std::vector<std::string> expected = {"prv_kept.jpg", "prv_old.jpg", "thm_kept.jpg"};
            if (stopPass == 2)
                for (int i = 0; i < stopAt; ++i) {
                    const std::string n = std::string(1, char('a' + i)) + ".jpg";
                    expected.push_back("prv_" + n);
                    expected.push_back("thm_" + n);
                }
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(GalleryNames(), expected) << when;
            EXPECT_EQ(files_.ReadFile(kGallery + "prv_old.jpg"), "not ours") << when;
        }
    }
}

TEST_F(BatchTest, AThumbnailThatCannotBeMadeTakesItsPreviewBackAndIsReported) {
    Chosen("a.jpg");
    failThumbnails_ = true;
    auto batch = Batch();
    batch.Run(Paths({"a.jpg"}));
    EXPECT_TRUE(GalleryNames().empty());
    EXPECT_EQ(batch.RefusalReport(), "This image could not be added and was skipped:\n\na.jpg: Disk full");
}

// A file the batch made and cannot take back is not left unsaid.
TEST_F(BatchTest, ALonePreviewThatCannotBeRemovedIsReported) {
    struct LockedFiles : testing_files::MemoryPortfolioFiles {
        void Remove(const std::string& path) override {
            if (path == kGallery + "~adding0_prv_a.jpg") throw forms::EWriteError("In use");
            MemoryPortfolioFiles::Remove(path);
        }
    } files;
    files.MakeFolders(kRoot);
    files.Put(kChosen + "a.jpg", "jpeg");
    GalleryStore store(files, kRoot);
    PictureBatch batch(store, kGallery, [&](const std::string& source, const std::string& target, PictureBox box) {
        if (box.width == kThumbnailBox.width) throw forms::EWriteError("Disk full");
        files.WriteFile(target, "made from " + source);
    });
    batch.Run({kChosen + "a.jpg"});
    EXPECT_EQ(batch.RefusalReport(),
              "This image could not be added and was skipped:\n\na.jpg: Disk full\n\n"
              "These unfinished images could not be removed:\n\n~adding0_prv_a.jpg: In use");
}

// A picture added again under its name replaces the old pair only once both new files stand:
// stopped before its thumbnail, or failing on it, the batch leaves the old pair as it was.
TEST_F(BatchTest, AStoppedOrFailedReAddLeavesTheOldPairAsItWas) {
    const struct { const char* how; bool stop, failThumbnail; } ways[] = {
        {"stopped before its thumbnail", true, false},
        {"failing on its thumbnail", false, true},
    };
    for (const auto& way : ways) {
        testing_files::MemoryPortfolioFiles files;
        files_ = files;
        files_.MakeFolders(kRoot);
        Chosen("a.jpg");
        files_.Put(kGallery + "prv_a.jpg", "old preview");
        files_.Put(kGallery + "thm_a.jpg", "old thumbnail");
        failThumbnails_ = way.failThumbnail;
        auto batch = Batch();
        int pass = 0;
        batch.OnPassStart = [&](int p) { pass = p; };
        batch.StopRequested = [&] { return way.stop && pass == 2; };
        batch.Run(Paths({"a.jpg"}));
        EXPECT_EQ(GalleryNames(), (std::vector<std::string>{"prv_a.jpg", "thm_a.jpg"})) << way.how;
        EXPECT_EQ(files_.ReadFile(kGallery + "prv_a.jpg"), "old preview") << way.how;
        EXPECT_EQ(files_.ReadFile(kGallery + "thm_a.jpg"), "old thumbnail") << way.how;
    }
    // Done, it replaces both, the thumbnail made from the new preview.
    failThumbnails_ = false;
    Batch().Run(Paths({"a.jpg"}));
    EXPECT_EQ(GalleryNames(), (std::vector<std::string>{"prv_a.jpg", "thm_a.jpg"}));
    EXPECT_EQ(files_.ReadFile(kGallery + "prv_a.jpg"), "made from " + kChosen + "a.jpg");
    EXPECT_EQ(files_.ReadFile(kGallery + "thm_a.jpg"), "made from " + kGallery + "~adding0_prv_a.jpg");
}

// Two chosen files of one name (from two folders): the later one is the picture, as if added after.
TEST_F(BatchTest, TheLaterOfTwoChosenFilesOfOneNameIsThePicture) {
    files_.Put("D:\\Other\\a.jpg", "jpeg");
    Chosen("a.jpg");
    auto batch = Batch();
    batch.Run({kChosen + "a.jpg", "D:\\Other\\a.jpg"});
    EXPECT_EQ(batch.RefusalReport(), "");
    EXPECT_EQ(GalleryNames(), (std::vector<std::string>{"prv_a.jpg", "thm_a.jpg"}));
    EXPECT_EQ(files_.ReadFile(kGallery + "prv_a.jpg"), "made from D:\\Other\\a.jpg");
    EXPECT_EQ(files_.ReadFile(kGallery + "thm_a.jpg"), "made from " + kGallery + "~adding1_prv_a.jpg");
}

TEST_F(BatchTest, AFailureOutsideThePicturesStillTakesBackTheLonePreviews) {
    Chosen("a.jpg");
    Chosen("b.jpg");
    auto batch = Batch();
    batch.OnPictureDone = [](int pass, int index) {
        if (pass == 1 && index == 1) throw forms::Exception("window gone");
    };
    EXPECT_THROW(batch.Run(Paths({"a.jpg", "b.jpg"})), forms::Exception);
    EXPECT_TRUE(GalleryNames().empty());
}

}  // namespace
}  // namespace editor
