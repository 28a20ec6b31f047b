#include "editor/main_form.h"

#include "editor/file_routines.h"

#include "forms/application.h"
#include "forms/dialogs.h"
#include "forms/ini_file.h"
#include "forms/portable/jpeg_codec.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/process_driver.h"
#include "tests/support/test_files.h"
#include "tests/support/win_recorders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>

namespace editor {
namespace {

using namespace forms;

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<std::uint8_t> Jpeg(int width, int height) {
    PixelBuffer pixels(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto* p = pixels.row(y) + x * 3;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = 200;
        }
    return EncodeJpeg(pixels.view());
}

// A quit left queued by an earlier test would stop a batch as a closing program does.
void DropQuit() {
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Application->ResetTerminated();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The main window on a program folder of its own, a folder of source pictures beside it,
// and the open dialog answered with chosen names from that folder.
class GalleriesPageTest : public testing::Test {
protected:
    void SetUp() override {
        DropQuit();
        testsupport::ResetRecorders();
        CreateDirectoryA(Sources().c_str(), nullptr);
    }
    void Open() {
        form_.reset(new TForm1(nullptr, folder_.Path()));
        Application->SetMainForm(form_.get());
        form_->Show();
        Application->ProcessMessages();
        page_ = form_->Galleries.get();
    }
    void TearDown() override {
        GetOpenFileNameCall = &RealGetOpenFileName;
        Application->SetMainForm(nullptr);
        form_.reset();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }
    std::string Sources() const { return folder_.Path() + "sources\\"; }
    std::string Gallery(const char* folder = "General") const {
        return folder_.Path() + "Galleries\\" + folder + "\\";
    }
    void Source(const std::string& name, int width, int height) { WriteBytes(Sources() + name, Jpeg(width, height)); }
    // The dialog's answer: the folder, then each name.
    void Choose(std::vector<std::string> names) {
        GetOpenFileNameCall = [this, names](OPENFILENAMEA& ofn) -> BOOL {
            std::string answer = Sources().substr(0, Sources().size() - 1) + '\0';
            for (const auto& n : names) answer += n + '\0';
            answer += '\0';
            std::memcpy(ofn.lpstrFile, answer.data(), answer.size());
            return TRUE;
        };
    }
    // A gallery holding ready-made pairs, as a batch leaves them.
    void Pair(const std::string& name, const char* folder = "General") {
        CreateDirectoryA((folder_.Path() + "Galleries").c_str(), nullptr);
        CreateDirectoryA(Gallery(folder).c_str(), nullptr);
        WriteBytes(Gallery(folder) + "prv_" + name, Jpeg(834, 540));
        WriteBytes(Gallery(folder) + "thm_" + name, Jpeg(150, 91));
    }
    std::string Count() const { return page_->Label29->Caption(); }
    static std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const auto& box : testsupport::MessageBoxes()) texts.push_back(box.text);
        return texts;
    }
    bool PreviewShown() const { return page_->Image1->Picture()->Graphic() && !page_->Image1->Picture()->Graphic()->Empty(); }
    void ExpectBatchUnwound() {
        EXPECT_FALSE(page_->Busy());
        EXPECT_EQ(form_->FindComponent("Form2"), nullptr);
        EXPECT_TRUE(form_->PageControl1->Enabled());
    }

    testsupport::TempFolder folder_;
    std::unique_ptr<TForm1> form_;
    GalleriesPage* page_ = nullptr;
};

TEST_F(GalleriesPageTest, AddedPicturesBecomeBaselineRgbPreviewsAndThumbnailsOfTheirFits) {
    Source("beach.jpg", 300, 200);
    Source("Studio.jpeg", 200, 300);
    Open();
    std::string title;
    Choose({"beach.jpg", "Studio.jpeg"});
    auto answer = GetOpenFileNameCall;
    GetOpenFileNameCall = [&](OPENFILENAMEA& ofn) {
        title = ofn.lpstrTitle;
        return answer(ofn);
    };
    struct Seen { std::string caption, status; int previews, thumbnails, maximum; bool pagesEnabled, topmost; };
    std::vector<Seen> seen;
    page_->OnPictureDone = [&](int, int) {
        TForm2* d = page_->Dialog();
        seen.push_back({d->Caption(), d->Label3->Caption(), d->Progressbar1->Position(), d->Progressbar2->Position(),
                        d->Progressbar2->Maximum(), form_->PageControl1->Enabled(),
                        (GetWindowLongPtrA(d->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0});
    };
    page_->Addimages();
    EXPECT_EQ(title, "Add images To General");
    const Seen expected[] = {
        {"Processing 2 Images...", "Processing Preview Images", 1, 0, 2, false, true},
        {"Processing 2 Images...", "Processing Preview Images", 2, 0, 2, false, true},
        {"Processing 2 Images...", "Processing Thumbnails", 2, 1, 2, false, true},
        {"Processing 2 Images...", "Processing Thumbnails", 2, 2, 2, false, true},
    };
    ASSERT_EQ(seen.size(), std::size(expected));
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].caption, expected[i].caption) << i;
        EXPECT_EQ(seen[i].status, expected[i].status) << i;
        EXPECT_EQ(seen[i].previews, expected[i].previews) << i;
        EXPECT_EQ(seen[i].thumbnails, expected[i].thumbnails) << i;
        EXPECT_EQ(seen[i].maximum, expected[i].maximum) << i;
        EXPECT_EQ(seen[i].pagesEnabled, expected[i].pagesEnabled) << i;
        EXPECT_EQ(seen[i].topmost, expected[i].topmost) << i;
    }
    const struct { const char* file; int width, height; } made[] = {
        {"prv_beach.jpg", 834, 556}, {"thm_beach.jpg", 150, 100},
        {"prv_Studio.jpeg", 503, 754}, {"thm_Studio.jpeg", 100, 150},
    };
    for (const auto& m : made) {
        const auto info = ProbeJpeg(ReadJpegFileBytes(Gallery() + m.file));
        EXPECT_EQ(info.width, m.width) << m.file;
        EXPECT_EQ(info.height, m.height) << m.file;
        EXPECT_EQ(info.components, 3) << m.file;
        EXPECT_FALSE(info.progressive) << m.file;
    }
    EXPECT_EQ(page_->thumbView->Count(), 2);
    EXPECT_EQ(Count(), "Contains 2 images");
    EXPECT_EQ(page_->thumbView->Selected(), 0);
    EXPECT_TRUE(PreviewShown());  // the first picture's, not a stale one
    EXPECT_EQ(form_->State.LastPictureFolder, Sources());
    ExpectBatchUnwound();
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
}

// Each way of stopping a batch during the first pass, after its first picture: the preview
// it made goes with the rest, since no thumbnail would ever show it; a lone preview the
// batch did not make stays.
TEST_F(GalleriesPageTest, StoppingDuringTheFirstPassLeavesNoPreviewWithoutItsThumbnail) {
    const struct { const char* how; std::function<void(TForm1&, GalleriesPage&)> stop; } ways[] = {
        {"Cancel", [](TForm1&, GalleriesPage& p) { SendMessageA(p.Dialog()->Button1->Handle(), BM_CLICK, 0, 0); }},
        {"closing the dialog", [](TForm1&, GalleriesPage& p) { SendMessageA(p.Dialog()->Handle(), WM_CLOSE, 0, 0); }},
    };
    for (const auto& way : ways) {
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) Source(n, 64, 48);
        Pair("kept.jpg");
        WriteBytes(Gallery() + "prv_old.jpg", Jpeg(8, 8));
        Open();
        Choose({"a.jpg", "b.jpg", "c.jpg"});
        int done = 0;
        page_->OnPictureDone = [&](int pass, int) {
            ++done;
            if (pass == 1) way.stop(*form_, *page_);
        };
        page_->Addimages();
        EXPECT_EQ(done, 1) << way.how;
        for (const char* f : {"prv_a.jpg", "prv_b.jpg", "thm_a.jpg", "thm_b.jpg", "prv_c.jpg"})
            EXPECT_FALSE(Exists(Gallery() + f)) << way.how << ": " << f;
        for (const char* f : {"prv_old.jpg", "prv_kept.jpg", "thm_kept.jpg"})
            EXPECT_TRUE(Exists(Gallery() + f)) << way.how << ": " << f;
        EXPECT_EQ(page_->thumbView->Count(), 1) << way.how;
        EXPECT_EQ(Count(), "Contains 1 images") << way.how;
        EXPECT_TRUE(testsupport::MessageBoxes().empty()) << way.how;
        ExpectBatchUnwound();
        TearDown();
    }
}

TEST_F(GalleriesPageTest, ExitDuringABatchCancelsItAndClosesOnlyAfterItHasUnwound) {
    for (const char* n : {"a.jpg", "b.jpg"}) Source(n, 64, 48);
    Open();
    Choose({"a.jpg", "b.jpg"});
    bool dialogAliveAfterExit = false;
    page_->OnPictureDone = [&](int, int) {
        SendMessageA(form_->ExitButton->Handle(), BM_CLICK, 0, 0);
        dialogAliveAfterExit = page_->Dialog() != nullptr && form_->Visible();
    };
    page_->Addimages();
    EXPECT_TRUE(dialogAliveAfterExit);
    EXPECT_FALSE(Exists(Gallery() + "prv_a.jpg"));
    EXPECT_FALSE(Exists(Gallery() + "prv_b.jpg"));
    ExpectBatchUnwound();
    // Then the window closed as Exit does: the Config keys were written.
    EXPECT_EQ(TIniFile(folder_.Path() + "vantrell.ini").ReadString("Config", "Last Folder", "<absent>"), Sources());
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Terminated());
    DropQuit();
}

// Pictures that cannot be made are skipped and named once at the end with their reasons;
// the pictures before and after them get both files.
TEST_F(GalleriesPageTest, RefusedPicturesAreSkippedAndNamedAndTheOthersGetBothFiles) {
    Source("a.jpg", 64, 48);
    WriteBytes(Sources() + "broken.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
    WriteBytes(Sources() + "cmyk.jpg", testsupport::FourComponentJpeg(false));
    Source("c.jpg", 64, 48);
    Open();
    Choose({"a.jpg", "broken.jpg", "cmyk.jpg", "c.jpg"});
    page_->Addimages();
    for (const char* f : {"prv_a.jpg", "thm_a.jpg", "prv_c.jpg", "thm_c.jpg"}) EXPECT_TRUE(Exists(Gallery() + f)) << f;
    for (const char* f : {"prv_broken.jpg", "thm_broken.jpg", "prv_cmyk.jpg", "thm_cmyk.jpg"})
        EXPECT_FALSE(Exists(Gallery() + f)) << f;
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    const std::string report = testsupport::MessageBoxes()[0].text;
    EXPECT_EQ(report.find("These images could not be added and were skipped:"), 0u) << report;
    EXPECT_NE(report.find("broken.jpg: "), std::string::npos) << report;
    EXPECT_NE(report.find("cmyk.jpg: CMYK"), std::string::npos) << report;
    EXPECT_EQ(report.find("a.jpg"), std::string::npos) << report;
    ExpectBatchUnwound();
    EXPECT_EQ(page_->thumbView->Count(), 2);
    EXPECT_EQ(Count(), "Contains 2 images");
}

// Names as the file dialog gives them in the ANSI code page, letters of 0x80 to 0x9F among
// them: added, then added again over their own pairs, each time both files made anew and no
// unfinished file left beside them.
TEST_F(GalleriesPageTest, PicturesWhoseNamesHoldCodePageLettersAreAddedAndAddedAgain) {
    const std::vector<std::string> names = {"Zo\xEB\x92s \x93" "best\x94 \x96 shot\x99.jpg", "\x80\x85\x8A\x9C\x97.jpeg"};
    Open();
    const struct { int width, height, previewWidth, thumbnailWidth; } rounds[] = {{300, 200, 834, 150}, {200, 300, 503, 100}};
    for (const auto& round : rounds) {
        testsupport::ResetRecorders();
        for (const auto& n : names) Source(n, round.width, round.height);
        Choose(names);
        page_->Addimages();
        EXPECT_TRUE(MessageTexts().empty()) << round.width << ": " << (MessageTexts().empty() ? "" : MessageTexts()[0]);
        for (const auto& n : names) {
            EXPECT_EQ(ProbeJpeg(ReadJpegFileBytes(Gallery() + "prv_" + n)).width, round.previewWidth) << n;
            EXPECT_EQ(ProbeJpeg(ReadJpegFileBytes(Gallery() + "thm_" + n)).width, round.thumbnailWidth) << n;
        }
        int files = 0;
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((Gallery() + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        EXPECT_EQ(files, 4) << round.width;
        EXPECT_EQ(page_->thumbView->Count(), 2);
        ExpectBatchUnwound();
    }
}

TEST_F(GalleriesPageTest, CategoryButtonsShowTheirGalleryOnce) {
    Pair("one.jpg", "Swimwear");
    Pair("two.jpg", "Swimwear");
    Open();
    EXPECT_EQ(page_->Label10->Caption(), "General");
    EXPECT_EQ(page_->CategoryButtons.size(), 8u);
    page_->CategoryButtons[2]->Click();
    EXPECT_EQ(page_->Label10->Caption(), "Swimwear");
    EXPECT_EQ(form_->State.GalleryKey, "swimwear");
    EXPECT_EQ(page_->thumbView->Count(), 2);
    EXPECT_EQ(page_->progressbar1->Maximum(), 2);
    EXPECT_EQ(page_->thumbView->Selected(), 0);
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(Count(), "Contains 2 images");
    // The same button again: no rescan, the selection stays.
    page_->thumbView->SetSelected(1);
    page_->CategoryButtons[2]->Click();
    EXPECT_EQ(page_->thumbView->Selected(), 1);
}

TEST_F(GalleriesPageTest, TheStartShowsTheFirstPictureOfGeneral) {
    Pair("one.jpg");
    Open();
    EXPECT_EQ(page_->thumbView->Count(), 1);
    EXPECT_EQ(page_->thumbView->Selected(), 0);
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(Count(), "Contains 1 images");
}

TEST_F(GalleriesPageTest, APreviewThatFailsIsClearedAndCountedUntilTheNextScan) {
    Pair("bad.jpg");
    Pair("good.jpg");
    WriteBytes(Gallery() + "prv_bad.jpg", {'x'});
    Open();
    EXPECT_EQ(page_->Label62->Caption(), "1 Invalid Images");  // the start shows the first
    page_->thumbView->SetSelected(0);  // sorted: bad first
    page_->thumbViewClick();
    EXPECT_FALSE(PreviewShown());
    EXPECT_EQ(page_->Label62->Caption(), "1 Invalid Images");
    page_->thumbView->SetSelected(1);
    page_->thumbViewClick();
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(page_->Label62->Caption(), "1 Invalid Images");
    // A thumbnail without its preview: the same, not an error box.
    DeleteFileA((Gallery() + "prv_good.jpg").c_str());
    page_->thumbViewClick();
    EXPECT_FALSE(PreviewShown());
    EXPECT_EQ(page_->Label62->Caption(), "2 Invalid Images");
    page_->thumbViewClick();  // the same picture again counts once
    EXPECT_EQ(page_->Label62->Caption(), "2 Invalid Images");
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
    // The next scan counts afresh.
    page_->ChangeGallery(1);
    EXPECT_EQ(page_->Label62->Caption(), "");
}

// The scan's count of thumbnails that do not load (the grid reports those of ".jpeg"
// pictures) is what the label shows, and loading a good preview afterwards keeps it.
TEST_F(GalleriesPageTest, TheScansInvalidCountStaysWhenPreviewsLoad) {
    Pair("a.jpg");
    Pair("b.jpeg");
    Pair("c.jpeg");
    WriteBytes(Gallery() + "thm_b.jpeg", {'b', 'a', 'd'});
    WriteBytes(Gallery() + "thm_c.jpeg", {'b', 'a', 'd'});
    Open();
    ASSERT_EQ(page_->thumbView->Count(), 3);
    EXPECT_TRUE(PreviewShown());  // the first picture's, at start
    EXPECT_EQ(page_->Label62->Caption(), "2 Invalid Images");
    page_->thumbView->SetSelected(1);
    page_->thumbViewClick();
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(page_->Label62->Caption(), "2 Invalid Images");
    // Deleting an invalid picture takes it out of the count.
    page_->Deleteimages();
    EXPECT_EQ(page_->Label62->Caption(), "1 Invalid Images");
}

// Two folders' pages once named two controls each "Label62" and "Label63"; finding a
// control by its name must find the one meant.
TEST_F(GalleriesPageTest, EveryControlOfTheWindowHasItsOwnName) {
    Open();
    std::map<std::string, int> names;
    std::function<void(TComponent*)> visit = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (!c->Name().empty()) ++names[c->Name()];
            visit(c);
        }
    };
    visit(form_.get());
    for (const auto& [name, count] : names) EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(form_->FindComponent("Label62"), page_->Label62);
}

TEST_F(GalleriesPageTest, DeleteAsksFirstAndRemovesBothFilesAndTheCell) {
    Pair("one.jpg");
    Open();
    testsupport::MessageBoxAnswers().push_back(IDNO);
    page_->Deleteimages();
    EXPECT_TRUE(Exists(Gallery() + "thm_one.jpg"));
    EXPECT_EQ(page_->thumbView->Count(), 1);
    page_->Deleteimages();  // answered Yes
    ASSERT_EQ(testsupport::MessageBoxes().size(), 2u);
    EXPECT_EQ(testsupport::MessageBoxes()[1].text, "Are you sure you want to delete this file?");
    EXPECT_FALSE(Exists(Gallery() + "thm_one.jpg"));
    EXPECT_FALSE(Exists(Gallery() + "prv_one.jpg"));
    EXPECT_EQ(page_->thumbView->Count(), 0);
    EXPECT_FALSE(PreviewShown());
    EXPECT_EQ(Count(), "Contains 0 images");
}

TEST_F(GalleriesPageTest, ACellWhoseThumbnailDoesNotDecodeCanStillBeDeleted) {
    Pair("bad.jpg");
    WriteBytes(Gallery() + "thm_bad.jpg", {'b', 'a', 'd'});
    Open();
    ASSERT_EQ(page_->thumbView->Count(), 1);
    page_->thumbView->SetSelected(0);
    page_->Deleteimages();
    EXPECT_FALSE(Exists(Gallery() + "thm_bad.jpg"));
    EXPECT_FALSE(Exists(Gallery() + "prv_bad.jpg"));
    EXPECT_EQ(testsupport::MessageBoxes().size(), 1u);  // only the question
}

TEST_F(GalleriesPageTest, MoveTakesThePairToTheChosenCategory) {
    Pair("one.jpg");
    Pair("two.jpg");
    Open();
    page_->thumbView->SetSelected(0);
    page_->General1Click("General");  // the category shown: nothing
    page_->General1Click("general");
    EXPECT_TRUE(Exists(Gallery() + "thm_one.jpg"));
    EXPECT_EQ(page_->thumbView->Count(), 2);
    page_->General1Click("Art Nudes");
    for (const char* f : {"thm_one.jpg", "prv_one.jpg"}) {
        EXPECT_FALSE(Exists(Gallery() + f)) << f;
        EXPECT_TRUE(Exists(Gallery("ArtNudes") + f)) << f;
    }
    EXPECT_EQ(page_->thumbView->Count(), 1);
    EXPECT_EQ(Count(), "Contains 1 images");
    EXPECT_FALSE(PreviewShown());
}

TEST_F(GalleriesPageTest, AFailedMoveLeavesTheSourcePairAndNothingInTheTarget) {
    Pair("one.jpg");
    Open();
    page_->thumbView->SetSelected(0);
    // The target's preview is held open without sharing, so its copy fails.
    const std::string blocked = Gallery("Sheer") + "prv_one.jpg";
    HANDLE held = CreateFileA(blocked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(page_->General1Click("Sheer"), Exception);
    CloseHandle(held);
    EXPECT_TRUE(Exists(Gallery() + "thm_one.jpg"));
    EXPECT_TRUE(Exists(Gallery() + "prv_one.jpg"));
    EXPECT_FALSE(Exists(Gallery("Sheer") + "thm_one.jpg"));
    EXPECT_EQ(page_->thumbView->Count(), 1);
}

// The target holds a picture of the same name whose preview cannot be replaced: the move
// fails and both galleries keep their own pictures, byte for byte.
TEST_F(GalleriesPageTest, AMoveThatCannotReplaceTheTargetsPictureKeepsIt) {
    Pair("one.jpg");
    Pair("one.jpg", "Sheer");
    WriteBytes(Gallery("Sheer") + "thm_one.jpg", Jpeg(150, 90));
    const std::string theirThumbnail = testsupport::ReadWholeFile(Gallery("Sheer") + "thm_one.jpg");
    const std::string myThumbnail = testsupport::ReadWholeFile(Gallery() + "thm_one.jpg");
    Open();
    page_->thumbView->SetSelected(0);
    HANDLE held = CreateFileA((Gallery("Sheer") + "prv_one.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(page_->General1Click("Sheer"), Exception);
    CloseHandle(held);
    EXPECT_EQ(testsupport::ReadWholeFile(Gallery("Sheer") + "thm_one.jpg"), theirThumbnail);
    EXPECT_TRUE(Exists(Gallery("Sheer") + "prv_one.jpg"));
    EXPECT_EQ(testsupport::ReadWholeFile(Gallery() + "thm_one.jpg"), myThumbnail);
    EXPECT_TRUE(Exists(Gallery() + "prv_one.jpg"));
    EXPECT_EQ(page_->thumbView->Count(), 1);
}

// A source the move cannot delete is reported; the picture stays listed where it still is.
TEST_F(GalleriesPageTest, ASourceTheMoveCannotDeleteIsReported) {
    Pair("one.jpg");
    Open();
    page_->thumbView->SetSelected(0);
    HANDLE held = CreateFileA((Gallery() + "thm_one.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    page_->General1Click("Sheer");
    CloseHandle(held);
    for (const char* f : {"thm_one.jpg", "prv_one.jpg"}) {
        EXPECT_TRUE(Exists(Gallery("Sheer") + f)) << f;
        EXPECT_TRUE(Exists(Gallery() + f)) << f;
    }
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_NE(testsupport::MessageBoxes()[0].text.find("could not be removed"), std::string::npos)
        << testsupport::MessageBoxes()[0].text;
    EXPECT_EQ(page_->thumbView->Count(), 1);
}

TEST_F(GalleriesPageTest, ThePopupMenuMovesThroughItsCategoryItems) {
    Pair("one.jpg");
    Open();
    EXPECT_EQ(page_->thumbView->PopupMenu(), page_->PopupMenu1);
    TMenuItem* root = page_->PopupMenu1->Items();
    ASSERT_EQ(root->Count(), 3);
    EXPECT_EQ(root->Items(0)->Caption(), "Move Image to");
    EXPECT_EQ(root->Items(1)->Caption(), "Delete Image");
    EXPECT_EQ(root->Items(2)->Caption(), "Add Images");
    const char* captions[] = {"General", "Glamour - Fashion", "Swimwear", "Lingerie",
                              "Sheer", "Implied Nudity", "Art Nudes", "Miscellaneous"};
    ASSERT_EQ(page_->MoveImageTo1->Count(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(page_->MoveImageTo1->Items(i)->Caption(), captions[i]);
    page_->thumbView->SetSelected(0);
    EXPECT_TRUE(page_->PopupMenu1->DispatchCommand(page_->MoveImageTo1->Items(1)->Command()));
    EXPECT_TRUE(Exists(Gallery("GlamourFashion") + "thm_one.jpg"));
    EXPECT_TRUE(Exists(Gallery("GlamourFashion") + "prv_one.jpg"));
    EXPECT_EQ(page_->thumbView->Count(), 0);
}

// The menu as shown, read while it is open: whether each top item is greyed.
struct OpenMenuState {
    static inline HMENU menu = nullptr;
    static inline std::vector<bool> grayed;
    static void CALLBACK Read(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        grayed.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            grayed.push_back((GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0);
        EndMenu();
    }
};

// Move and Delete need a picture: with none selected the menu offers them greyed.
TEST_F(GalleriesPageTest, MoveAndDeleteAreOfferedOnlyWithAPictureSelected) {
    Pair("one.jpg");
    Open();
    form_->PageControl1->SetActivePageIndex(1);
    Application->ProcessMessages();
    const struct { int selected; std::vector<bool> grayed; } cases[] = {
        {-1, {true, true, false}},
        {0, {false, false, false}},
    };
    for (const auto& c : cases) {
        page_->thumbView->SetSelected(c.selected);
        OpenMenuState::menu = page_->PopupMenu1->Handle();
        OpenMenuState::grayed.clear();
        SetTimer(nullptr, 0, 100, &OpenMenuState::Read);
        // As the keyboard's menu key asks for it: no pointer position.
        SendMessageA(page_->thumbView->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page_->thumbView->Handle()),
                     MAKELPARAM(-1, -1));
        EXPECT_EQ(OpenMenuState::grayed, c.grayed) << c.selected;
    }
    // Chosen anyway, with nothing selected, they do nothing and say nothing.
    page_->thumbView->SetSelected(-1);
    EXPECT_TRUE(page_->PopupMenu1->DispatchCommand(page_->MoveImageTo1->Items(3)->Command()));
    EXPECT_TRUE(Exists(Gallery() + "thm_one.jpg"));
    EXPECT_TRUE(testsupport::MessageBoxes().empty());
}

// A scan lets messages through. A category chosen during it, with Delete or Move right
// behind in the same queue, must not act on the other gallery's picture of the same name:
// both galleries keep every file byte for byte, and the grid ends on the gallery chosen.
TEST_F(GalleriesPageTest, DeleteOrMoveQueuedBehindACategorySwitchDuringAScanKeepsBothGalleries) {
    constexpr DWORD kLongerThanTheScansPumpInterval = 250;
    const struct { const char* action; std::function<void(GalleriesPage&)> post; } actions[] = {
        {"Delete", [](GalleriesPage& p) { PostMessageA(p.DeleteButton->Handle(), BM_CLICK, 0, 0); }},
        {"Move to Sheer", [](GalleriesPage& p) {
             PostMessageA(PopupListWindow(), WM_COMMAND, p.MoveImageTo1->Items(4)->Command(), 0);
         }},
    };
    for (const auto& a : actions) {
        // The same name in both galleries, with different pictures.
        Pair("a.jpg");
        Pair("a.jpg", "Swimwear");
        WriteBytes(Gallery("Swimwear") + "thm_a.jpg", Jpeg(150, 90));
        WriteBytes(Gallery("Swimwear") + "prv_a.jpg", Jpeg(834, 556));
        Pair("b.jpg");
        Pair("c.jpg");
        std::map<std::string, std::string> before;
        for (const char* g : {"General", "Swimwear"})
            for (const char* f : {"thm_a.jpg", "prv_a.jpg"})
                before[Gallery(g) + f] = testsupport::ReadWholeFile(Gallery(g) + f);
        Open();
        form_->PageControl1->SetActivePageIndex(1);
        page_->CategoryButtons[1]->Click();  // an empty gallery, to come back to General from
        Application->ProcessMessages();

        bool posted = false, switchedDuringScan = false, offeredDuringScan = true;
        auto progress = page_->thumbView->OnScanProgress;
        page_->thumbView->OnScanProgress = [&](TObject* sender, int position, bool& stop) {
            if (!posted) {
                posted = true;
                PostMessageA(page_->CategoryButtons[2]->Handle(), BM_CLICK, 0, 0);  // Swimwear
                a.post(*page_);
                // As a large folder does: the scan lets the queue run after this picture.
                const DWORD held = GetTickCount();
                while (GetTickCount() - held < kLongerThanTheScansPumpInterval) Sleep(1);
            }
            progress(sender, position, stop);
        };
        auto choose = page_->CategoryButtons[2]->OnClick;
        page_->CategoryButtons[2]->OnClick = [&](TObject* sender) {
            switchedDuringScan = page_->thumbView->Busy();
            offeredDuringScan = page_->DeleteButton->Enabled() || page_->AddButton->Enabled();
            choose(sender);
        };
        page_->CategoryButtons[0]->Click();  // General: its scan runs the queued clicks

        ASSERT_TRUE(switchedDuringScan) << a.action << ": the scan ended before the queued clicks ran";
        EXPECT_FALSE(offeredDuringScan) << a.action;
        for (const auto& [path, bytes] : before) {
            ASSERT_TRUE(Exists(path)) << a.action << ": " << path;
            EXPECT_EQ(testsupport::ReadWholeFile(path), bytes) << a.action << ": " << path;
        }
        EXPECT_FALSE(Exists(Gallery("Sheer") + "thm_a.jpg")) << a.action;
        EXPECT_EQ(page_->Label10->Caption(), "Swimwear") << a.action;
        EXPECT_EQ(page_->thumbView->Count(), 1) << a.action;
        EXPECT_EQ(page_->thumbView->Selected(), 0) << a.action;
        EXPECT_TRUE(PreviewShown()) << a.action;
        EXPECT_EQ(Count(), "Contains 1 images") << a.action;
        EXPECT_TRUE(page_->DeleteButton->Enabled() && page_->AddButton->Enabled()) << a.action;
        EXPECT_TRUE(testsupport::MessageBoxes().empty()) << a.action;
        // Once the scan is over the action takes the picture shown, the chosen gallery's.
        page_->thumbView->OnScanProgress = progress;
        if (std::string(a.action) == "Delete") page_->Deleteimages();
        else page_->General1Click("Sheer");
        EXPECT_FALSE(Exists(Gallery("Swimwear") + "thm_a.jpg")) << a.action;
        EXPECT_EQ(testsupport::ReadWholeFile(Gallery() + "thm_a.jpg"), before[Gallery() + "thm_a.jpg"]) << a.action;
        TearDown();
        for (const char* g : {"General", "Swimwear", "Sheer"}) {
            WIN32_FIND_DATAA found;
            HANDLE find = FindFirstFileA((Gallery(g) + "*.jpg").c_str(), &found);
            if (find == INVALID_HANDLE_VALUE) continue;
            do DeleteFileA((Gallery(g) + found.cFileName).c_str());
            while (FindNextFileA(find, &found));
            FindClose(find);
        }
        testsupport::ResetRecorders();
    }
}

// Every scan gives Add and Delete back when it ends, also one the grid starts itself (as at
// its first paint), and an empty gallery's.
TEST_F(GalleriesPageTest, AddAndDeleteAreOfferedAgainAfterEveryScan) {
    Pair("one.jpg");
    Open();
    for (const char* gallery : {"General", "Sheer"}) {
        page_->thumbView->SetDirectory(Gallery(gallery));
        EXPECT_TRUE(page_->AddButton->Enabled()) << gallery;
        EXPECT_TRUE(page_->DeleteButton->Enabled()) << gallery;
    }
}

TEST_F(GalleriesPageTest, ShowMoreColumnsHalvesTheCells) {
    Open();
    auto* box = form_->CheckBox6;
    box->SetChecked(true);
    EXPECT_EQ(page_->thumbView->Size(), 50);
    box->SetChecked(false);
    EXPECT_EQ(page_->thumbView->Size(), 100);
}

// The grid is fitted to its width: one column at full size and two at half size, the room
// left spread evenly around them.
TEST_F(GalleriesPageTest, TheGridSpreadsItsCellsEvenlyAcrossItsWidth) {
    for (int i = 0; i < 6; ++i) Pair("p" + std::to_string(i) + ".jpg");
    Open();
    form_->PageControl1->SetActivePageIndex(1);
    Application->ProcessMessages();
    EXPECT_EQ(page_->thumbView->Width(), 193);
    EXPECT_EQ(page_->thumbView->Height(), 513);
    const struct { bool moreColumns; std::vector<POINT> places; } cases[] = {
        {false, {{11, 4}, {11, 158}, {11, 312}}},
        {true, {{7, 4}, {89, 4}, {7, 83}, {89, 83}, {7, 162}, {89, 162}}},
    };
    for (const auto& c : cases) {
        form_->CheckBox6->SetChecked(c.moreColumns);
        Application->ProcessMessages();
        for (size_t i = 0; i < c.places.size(); ++i) {
            const auto* cell = page_->thumbView->Thumbnail(static_cast<int>(i));
            EXPECT_EQ(cell->Left(), c.places[i].x) << c.moreColumns << " cell " << i;
            EXPECT_EQ(cell->Top(), c.places[i].y) << c.moreColumns << " cell " << i;
        }
    }
}

TEST_F(GalleriesPageTest, TheWheelOverTheGridScrollsIt) {
    for (int i = 0; i < 12; ++i) Pair("p" + std::to_string(i) + ".jpg");
    Open();
    form_->PageControl1->SetActivePageIndex(1);
    Application->ProcessMessages();
    auto* bar = page_->thumbView->VertScrollBar();
    ASSERT_GT(bar->MaxPosition(), 0);
    const POINT inside = page_->thumbView->ClientToScreen(POINT{5, 5});
    const POINT edge = page_->thumbView->ClientToScreen(POINT{page_->thumbView->Width(), page_->thumbView->Height()});
    EXPECT_TRUE(page_->FormMouseWheel(-120, inside));
    EXPECT_EQ(bar->Position(), std::min(120, bar->MaxPosition()));
    EXPECT_TRUE(page_->FormMouseWheel(120, edge));
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_FALSE(page_->FormMouseWheel(-120, POINT{edge.x + 1, edge.y}));
    // Through the window's own message.
    SendMessageA(form_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(bar->Position(), std::min(120, bar->MaxPosition()));
}

}  // namespace
}  // namespace editor
