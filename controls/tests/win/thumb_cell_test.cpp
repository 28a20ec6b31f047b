#include "controls/thumb_cell.h"

#include <gtest/gtest.h>

#include "controls/tests/win/thumb_fixtures.h"
#include "forms/application.h"
#include "forms/form.h"

namespace controls {
namespace {

using namespace forms;
using thumbtest::Bytes;

struct ThumbCellTest : testing::Test {
    testsupport::TempFolder folder;
    TForm form{nullptr};
    TThumbnail* cell = nullptr;

    void SetUp() override {
        form.SetBounds(40, 40, 400, 300);
        cell = new TThumbnail(&form);
        cell->SetParent(&form);
        cell->SetBounds(10, 10, 150, 150);
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder.Path() + name;
        thumbtest::WriteBytes(path, bytes);
        return path;
    }
    // Paints the cell once, as showing it would.
    void PaintCell() {
        form.Show();
        RedrawWindow(cell->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
};

TEST_F(ThumbCellTest, FileInformationAndTitle) {
    const std::string path = Write("beach.jpg", thumbtest::PadJpeg(thumbtest::MakeJpeg(40, 30), 1234));
    EXPECT_EQ(cell->Title(), "");
    cell->SetFileName(path);
    EXPECT_EQ(cell->FileName(), path);
    EXPECT_EQ(cell->FileSize(), 1234);
    EXPECT_EQ(cell->ImageWidth(), 40);
    EXPECT_EQ(cell->ImageHeight(), 30);
    EXPECT_TRUE(cell->ImageReady());
    EXPECT_EQ(cell->Title(), "beach.jpg");
    EXPECT_NE(cell->FileChanged(), "");
    EXPECT_NE(cell->FileChanged(), "Unknown");

    // A file that is not there keeps the information; a picture that fails empties FileName.
    cell->SetFileName(folder.Path() + "missing.jpg");
    EXPECT_EQ(cell->FileSize(), 1234);
    EXPECT_EQ(cell->FileName(), "");
    const std::string broken = Write("broken.jpg", Bytes(777, 0x33));
    cell->SetFileName(broken);
    EXPECT_EQ(cell->FileSize(), 777);
    EXPECT_EQ(cell->FileName(), "");
    EXPECT_EQ(cell->ImageWidth(), 40);  // the old picture stays

    // With AutoLoad off the information is read and FileName stays empty.
    cell->SetAutoLoad(false);
    cell->SetFileName(path);
    EXPECT_EQ(cell->FileSize(), 1234);
    EXPECT_EQ(cell->FileName(), "");
}

// The times are those the file had when the cell read it, however late their text is asked for.
TEST_F(ThumbCellTest, TimesAreThoseReadWithTheFile) {
    const std::string path = Write("walk.jpg", thumbtest::MakeJpeg(40, 30));
    auto changedText = [&](TThumbnail& reader, WORD year) {
        thumbtest::SetWriteDay(path, year, 3, 14);
        reader.SetFileName(path);
    };
    TThumbnail later(nullptr), earlier(nullptr);
    changedText(*cell, 2004);
    changedText(later, 2011);
    changedText(earlier, 2004);
    EXPECT_EQ(cell->FileChanged(), earlier.FileChanged()) << "read in 2004, asked for after the file became 2011's";
    EXPECT_NE(cell->FileChanged(), later.FileChanged());
    EXPECT_NE(cell->FileChanged(), "Unknown");
    EXPECT_NE(cell->FileCreated(), "");
    EXPECT_NE(cell->FileAccessed(), "");
    TThumbnail unread(nullptr);
    EXPECT_EQ(unread.FileChanged(), "") << "nothing read yet";
}

TEST_F(ThumbCellTest, AReductionThatFailsStaysInsideTheCell) {
    const Bytes big = thumbtest::MakeJpeg(400, 300);
    const std::string first = Write("first.jpg", big), second = Write("second.jpg", big);
    cell->SetMinimizeMemory(true);
    cell->SetFileName(first);  // a fresh cell's first picture is kept as loaded
    ASSERT_EQ(cell->Image()->Picture()->Width(), 400);
    // Out of resources while the reloaded picture is being reduced.
    TPicture* picture = cell->Image()->Picture();
    picture->OnChange = [inner = picture->OnChange, picture](TObject* sender) {
        inner(sender);
        if (picture->Width() < 400) throw EOutOfResources("Out of system resources");
    };
    EXPECT_NO_THROW(cell->SetFileName(second));
    EXPECT_EQ(cell->FileName(), second) << "the picture itself loaded";
    EXPECT_TRUE(cell->ImageReady());
    EXPECT_EQ(cell->ImageWidth(), 400);
}

TEST_F(ThumbCellTest, FirstPaintAsksForTheTitle) {
    const std::string path = Write("pose.jpg", thumbtest::MakeJpeg(40, 30));
    cell->SetTitle("kept");
    cell->SetFileName(path);
    EXPECT_EQ(cell->Title(), "kept");  // a title of the host's own is left
    std::vector<std::string> asked;
    cell->OnGetTitle = [&](TObject*, const std::string& name, std::string& title) {
        asked.push_back(name + "|" + title);
        title = "from host";
    };
    PaintCell();
    EXPECT_EQ(asked, std::vector<std::string>{path + "|kept"});
    EXPECT_EQ(cell->Title(), "from host");
    EXPECT_EQ(cell->Strip()->Caption(), "from host");
    PaintCell();
    EXPECT_EQ(asked.size(), 1u);  // once per load
}

TEST_F(ThumbCellTest, PlacesThePictureBesideTheStrip) {
    const struct {
        const char* name;
        int picW, picH;
        TTitlePos pos;
        RECT image;
        POINT shadow;
    } cases[] = {
        {"400 x 300, no strip", 400, 300, tpNone, {5, 23, 145, 128}, {8, 26}},
        {"400 x 300, strip up", 400, 300, tpUp, {5, 30, 145, 135}, {8, 33}},
        {"400 x 300, strip down", 400, 300, tpDown, {5, 16, 145, 121}, {8, 19}},
        {"100 x 80 stays, centred", 100, 80, tpNone, {25, 35, 125, 115}, {28, 38}},
    };
    for (const auto& c : cases) {
        const std::string path = Write(std::string("p") + std::to_string(c.picW) + ".jpg", thumbtest::MakeJpeg(c.picW, c.picH));
        cell->SetTitlePlacement(c.pos);
        cell->SetFileName(path);
        EXPECT_EQ(cell->PictureRoomWidth(), 142) << c.name;
        EXPECT_EQ(cell->PictureRoomHeight(), 127) << c.name;
        const RECT r = cell->Image()->BoundsRect();
        EXPECT_EQ(r.left, c.image.left) << c.name;
        EXPECT_EQ(r.top, c.image.top) << c.name;
        EXPECT_EQ(r.right, c.image.right) << c.name;
        EXPECT_EQ(r.bottom, c.image.bottom) << c.name;
        EXPECT_EQ(cell->Shadow()->Left(), c.shadow.x) << c.name;
        EXPECT_EQ(cell->Shadow()->Top(), c.shadow.y) << c.name;
    }
    // A cell smaller than its margins has no room rather than a wrapped one.
    cell->SetBounds(10, 10, 6, 6);
    EXPECT_EQ(cell->PictureRoomWidth(), 0);
    EXPECT_EQ(cell->PictureRoomHeight(), 0);
    EXPECT_EQ(cell->Image()->Width(), 0);
}

TEST_F(ThumbCellTest, TitlePlacementShowsAndHidesTheStrip) {
    form.Show();
    cell->SetTitlePlacement(tpNone);
    EXPECT_FALSE(cell->Strip()->Visible());
    cell->SetTitlePlacement(tpNone);
    EXPECT_FALSE(cell->Strip()->Visible());
    cell->SetTitlePlacement(tpDown);
    EXPECT_TRUE(cell->Strip()->Visible());
    EXPECT_EQ(cell->Strip()->Align(), alBottom);
    EXPECT_EQ(cell->Strip()->Top() + cell->Strip()->Height(), cell->AlignArea().bottom);  // inside the bevel
    cell->SetTitlePlacement(tpUp);
    EXPECT_EQ(cell->Strip()->Top(), cell->AlignArea().top);
}

TEST_F(ThumbCellTest, AsButtonPressesWithTheLeftButton) {
    cell->SetAsButton(true);
    form.Show();
    HWND wnd = cell->Handle();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));  // beside the picture
    EXPECT_EQ(cell->BevelOuter(), bvLowered);
    EXPECT_EQ(cell->Strip()->BevelOuter(), bvRaised);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 2));  // dragged off the cell
    EXPECT_EQ(cell->BevelOuter(), bvRaised);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(cell->BevelOuter(), bvLowered);
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(cell->BevelOuter(), bvRaised);
    EXPECT_EQ(cell->Strip()->BevelOuter(), bvLowered);
}

}  // namespace
}  // namespace controls
