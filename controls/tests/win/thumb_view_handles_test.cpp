// The view's windows and GDI objects stay within a bound however many pictures it holds:
// cells far out of view give theirs back, and show again at once when they come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/tests/win/thumb_fixtures.h"
#include "controls/thumb_view.h"
#include "forms/application.h"
#include "forms/bitmap.h"
#include "forms/form.h"
#include "forms/handle_counts.h"
#include "forms/portable/jpeg_codec.h"

namespace controls {
namespace {

using namespace forms;

// A picture of one colour, so that a cell's shown pixels can be told apart.
thumbtest::Bytes SolidJpeg(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    PixelBuffer p(width, height, 3);
    FillPixels(p.view(), blue, green, red);
    JpegEncodeOptions options;
    options.quality = 95;
    return EncodeJpeg(p.view(), options);
}

bool Near(COLORREF a, COLORREF b) {
    const auto close = [](int x, int y) { return std::abs(x - y) <= 16; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

bool MeetsClient(const TControl& cell, const RECT& client) {
    return cell.Left() < client.right && cell.Left() + cell.Width() > client.left && cell.Top() < client.bottom &&
           cell.Top() + cell.Height() > client.top;
}

struct ThumbViewHandlesTest : testing::Test {
    testsupport::TempFolder folder;
    TForm form{nullptr};
    TThumbView* view = nullptr;

    void SetUp() override {
        form.SetBounds(20, 20, 840, 660);
        view = new TThumbView(&form);
        thumbtest::SetUpAsTheGalleriesPage(*view, form, 800, 600, "Thumbnails|thm_*.jpg");
    }
    std::string Dir() const { return folder.Path().substr(0, folder.Path().size() - 1); }
    std::string Name(int i) const {
        char name[32];
        std::snprintf(name, sizeof name, "thm_%05d.jpg", i);
        return folder.Path() + name;
    }
    // count pictures, hard links of a few fixtures (fast to make).
    void WritePictures(int count, const std::vector<thumbtest::Bytes>& fixtures) {
        const int kinds = static_cast<int>(fixtures.size());
        for (int i = 0; i < count; ++i) {
            if (i < kinds) {
                thumbtest::WriteBytes(Name(i), fixtures[i]);
                continue;
            }
            ASSERT_TRUE(CreateHardLinkA(Name(i).c_str(), Name(i % kinds).c_str(), nullptr)) << Name(i);
        }
    }
    // Shown and painted before the scan: the view's first paint scans its folder again.
    void ShowEmpty() {
        form.Show();
        Paint();
    }
    // The cells in view draw themselves (their pictures make their GDI objects).
    void Paint() { RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }
    void ScrollTo(int position) {
        view->VertScrollBar()->SetPosition(position);
        Paint();
    }
    // The picture's colour where the cell shows it, read back from the screen.
    COLORREF ShownPicture(TThumbnail* cell) {
        Paint();
        TThumbImage* image = cell->Image();
        WindowDC dc(cell->Handle());
        return GetPixel(dc.get(), image->Left() + image->Width() / 2, image->Top() + image->Height() / 2);
    }
};

TEST_F(ThumbViewHandlesTest, TwentyThousandPicturesScannedAndScrolledEndToEndStayWithinTheQuotas) {
    constexpr int kPictures = 20000;
    constexpr int kBound = 2000;
    WritePictures(kPictures, {SolidJpeg(40, 30, 200, 40, 40), SolidJpeg(30, 40, 40, 200, 40), SolidJpeg(36, 36, 40, 40, 200)});
    int peakWindows = 0, peakGdi = 0;
    std::string firstOver;
    const auto check = [&](const std::string& step) {
        const int windows = LiveWindowCount(), gdi = LiveGdiObjectCount();
        peakWindows = std::max(peakWindows, windows);
        peakGdi = std::max(peakGdi, gdi);
        if (firstOver.empty() && (windows >= kBound || gdi >= kBound))
            firstOver = step + ": " + std::to_string(windows) + " windows, " + std::to_string(gdi) + " GDI objects";
    };
    view->OnScanProgress = [&](TObject*, int position, bool&) { check("scanning picture " + std::to_string(position)); };
    ShowEmpty();
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Count(), kPictures);
    Paint();
    check("after the scan");
    const RECT client = view->ClientRect();
    const int step = client.bottom - client.top;
    TControlScrollBar* bar = view->VertScrollBar();
    const int end = bar->Range() - step;
    ASSERT_GT(end, 100 * step);
    for (int position = 0; position <= end + step; position += step) {
        ScrollTo(position);
        check("down at " + std::to_string(bar->Position()));
    }
    EXPECT_TRUE(view->Thumbnail(kPictures - 1)->HandleAllocated()) << "the last cell is in view";
    for (int position = bar->Position(); position >= -step; position -= step) {
        ScrollTo(position);
        check("up at " + std::to_string(bar->Position()));
    }
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_TRUE(view->Thumbnail(0)->HandleAllocated()) << "the first cell is in view again";
    EXPECT_FALSE(view->Thumbnail(kPictures - 1)->HandleAllocated()) << "the last cell gave its windows back";
    EXPECT_TRUE(Near(ShownPicture(view->Thumbnail(0)), RGB(40, 40, 200)));
    EXPECT_TRUE(firstOver.empty()) << firstOver;
    std::printf("peak: %d windows, %d GDI objects for %d pictures\n", peakWindows, peakGdi, kPictures);
    view->SetDirectory("");  // the cells go one by one, not each told of all the others
}

// A cell scrolled far away gives back its windows and its bitmap's GDI objects but keeps its
// decoded pixels (its file may be gone): back in view it shows its picture at once, stays
// selected, and a click on it still selects.
TEST_F(ThumbViewHandlesTest, ACellBackInViewShowsItsPictureAgainAndKeepsTheSelection) {
    view->SetBounds(0, 0, 193, 513);  // one cell a line, as the editor's galleries page has it
    WritePictures(60, {SolidJpeg(40, 30, 30, 30, 220), SolidJpeg(40, 30, 30, 220, 30), SolidJpeg(40, 30, 220, 30, 30)});
    ShowEmpty();
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Count(), 60);
    Paint();
    TThumbnail* cell = view->Thumbnail(2);
    ASSERT_TRUE(cell->HandleAllocated());
    const COLORREF shown = ShownPicture(cell);
    EXPECT_TRUE(Near(shown, RGB(30, 30, 220))) << std::hex << shown;
    auto* bitmap = dynamic_cast<TBitmap*>(cell->Image()->Picture()->Graphic());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(bitmap->HandleAllocated()) << "drawn with GDI";
    view->SetSelected(2);
    ASSERT_TRUE(DeleteFileA(Name(2).c_str()));

    ScrollTo(view->VertScrollBar()->Range());
    EXPECT_FALSE(cell->HandleAllocated());
    EXPECT_FALSE(cell->Strip()->HandleAllocated());
    EXPECT_FALSE(bitmap->HandleAllocated()) << "the far cell's bitmap gave back its GDI objects";
    EXPECT_EQ(cell->Image()->Picture()->Graphic(), bitmap) << "and kept its pixels";
    EXPECT_EQ(view->Selected(), 2);

    ScrollTo(0);
    ASSERT_TRUE(cell->HandleAllocated());
    EXPECT_TRUE(Near(ShownPicture(cell), shown)) << "shown again without its file";
    EXPECT_EQ(view->Selected(), 2);
    EXPECT_EQ(cell->TitleColor(), clHighlight);
    TThumbnail* other = view->Thumbnail(1);
    ASSERT_TRUE(other->HandleAllocated());
    SendMessageA(other->WindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(other->Width() / 2, other->Height() / 2));
    SendMessageA(other->WindowHandle(), WM_LBUTTONUP, 0, MAKELPARAM(other->Width() / 2, other->Height() / 2));
    EXPECT_EQ(view->Selected(), 1);
    SendMessageA(cell->WindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell->Width() / 2, cell->Height() / 2));
    SendMessageA(cell->WindowHandle(), WM_LBUTTONUP, 0, MAKELPARAM(cell->Width() / 2, cell->Height() / 2));
    EXPECT_EQ(view->Selected(), 2);
}

// Tiny cells fill a view with many lines: the cells kept with windows beyond it stay few.
TEST_F(ThumbViewHandlesTest, TinyCellsKeepFewWindowsBeyondTheView) {
    view->SetBounds(0, 0, 300, 400);
    view->SetSize(10);
    WritePictures(1500, {SolidJpeg(20, 20, 90, 90, 90)});
    ShowEmpty();
    view->SetDirectory(Dir());
    ASSERT_EQ(view->Count(), 1500);
    const RECT client = view->ClientRect();
    TControlScrollBar* bar = view->VertScrollBar();
    int most = 0;
    for (int position = 0; position <= bar->Range(); position += (client.bottom - client.top) / 2) {
        ScrollTo(position);
        int beyond = 0;
        for (int i = 0; i < view->Count(); ++i) {
            TThumbnail* cell = view->Thumbnail(i);
            if (cell->HandleAllocated() && !MeetsClient(*cell, client)) ++beyond;
        }
        most = std::max(most, beyond);
    }
    EXPECT_LE(most, 400);
    EXPECT_GT(most, 0) << "cells near the view keep their windows";
}

}  // namespace
}  // namespace controls
