#include "forms/handle_counts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/bitmap.h"
#include "forms/form.h"
#include "forms/gdi_handle.h"
#include "forms/image.h"
#include "forms/image_list.h"
#include "forms/panel.h"
#include "forms/portable/exceptions.h"

namespace forms {
namespace {

bool IsGdiObject(HGDIOBJ h) { return GetObjectType(h) != 0; }

// What each owner does with the count, step by step: adopting, moving, resetting, releasing.
struct OwnerStep {
    const char* name;
    std::function<void(UniqueBrush& a, UniqueBrush& b, HBRUSH h)> step;
    int countAfter;      // counted objects, relative to before the case
    bool handleAlive;    // the brush still exists
};

TEST(HandleCounts, BrushOwnersCountWhatTheyHoldThroughMovesAndResets) {
    const std::vector<OwnerStep> steps = {
        {"adopted", [](UniqueBrush& a, UniqueBrush&, HBRUSH h) { a.reset(h); }, 1, true},
        {"reset with the same handle", [](UniqueBrush& a, UniqueBrush&, HBRUSH h) { a.reset(h); }, 1, true},
        {"moved into an empty owner", [](UniqueBrush& a, UniqueBrush& b, HBRUSH) { b = std::move(a); }, 1, true},
        {"moved onto itself", [](UniqueBrush&, UniqueBrush& b, HBRUSH) {
             UniqueBrush& same = b;
             b = std::move(same);
         }, 1, true},
        {"moved back by construction", [](UniqueBrush& a, UniqueBrush& b, HBRUSH) {
             UniqueBrush moved(std::move(b));
             a = std::move(moved);
         }, 1, true},
        {"held twice by mistake", [](UniqueBrush&, UniqueBrush& b, HBRUSH h) { b.reset(h); }, 2, true},
        {"one of the two moved onto the other", [](UniqueBrush& a, UniqueBrush& b, HBRUSH) { b = std::move(a); }, 1, true},
        {"released", [](UniqueBrush&, UniqueBrush& b, HBRUSH) { b.release(); }, 0, true},
        {"adopted again", [](UniqueBrush& a, UniqueBrush&, HBRUSH h) { a = UniqueBrush(h); }, 1, true},
        {"freed by reset", [](UniqueBrush& a, UniqueBrush&, HBRUSH) { a.reset(); }, 0, false},
    };
    const int before = LiveGdiObjectCount();
    HBRUSH h = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(h, nullptr);
    UniqueBrush a, b;
    for (const OwnerStep& s : steps) {
        SCOPED_TRACE(s.name);
        s.step(a, b, h);
        EXPECT_EQ(LiveGdiObjectCount() - before, s.countAfter);
        EXPECT_EQ(IsGdiObject(h), s.handleAlive);
        EXPECT_FALSE(a && b && a.get() != b.get());
    }
}

TEST(HandleCounts, MemoryDcsImageListsAndWindowsAreCountedToo) {
    const int gdi = LiveGdiObjectCount(), windows = LiveWindowCount();
    {
        UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
        EXPECT_EQ(LiveGdiObjectCount(), gdi + 1);
        UniqueImageList images(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
        EXPECT_EQ(LiveGdiObjectCount(), gdi + 3) << "an image list is its images and its masks";
        UniqueWindow wnd(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(LiveWindowCount(), windows + 1);
        UniqueWindow none(nullptr);
        EXPECT_EQ(LiveWindowCount(), windows + 1);
    }
    EXPECT_EQ(LiveGdiObjectCount(), gdi);
    EXPECT_EQ(LiveWindowCount(), windows);
}

// A control that refuses its window while the system makes it.
class TRefusingPanel : public TPanel {
public:
    using TPanel::TPanel;
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_NCCREATE) throw Exception("No window for this one");
        TPanel::WndProc(m);
    }
};

TEST(HandleCounts, ControlWindowsAreCountedWhileAttachedAndARefusedOneNot) {
    TForm form(nullptr);
    form.SetBounds(10, 10, 200, 200);
    const int before = LiveWindowCount();
    form.HandleNeeded();
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    auto* inner = new TPanel(&form);
    inner->SetParent(panel);
    panel->HandleNeeded();
    EXPECT_EQ(LiveWindowCount(), before + 3);
    inner->GiveBackHandle();
    EXPECT_EQ(LiveWindowCount(), before + 2);
    panel->DestroyHandle();
    EXPECT_EQ(LiveWindowCount(), before + 1);

    auto* refusing = new TRefusingPanel(&form);
    const auto handler = Application->OnException;
    int reported = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++reported; };
    // Joining a parent with a window makes its window at once.
    EXPECT_THROW(refusing->SetParent(&form), EOutOfResources);
    Application->OnException = handler;
    EXPECT_EQ(reported, 1);
    EXPECT_FALSE(refusing->HandleAllocated());
    EXPECT_EQ(LiveWindowCount(), before + 1) << "the refused window was counted and never given back";
    delete refusing;
    form.DestroyHandle();
    EXPECT_EQ(LiveWindowCount(), before);
}

// A control whose window is given back keeps its state, hears of it, and makes the window
// again when asked.
class TListeningPanel : public TPanel {
public:
    using TPanel::TPanel;
    int givenBack = 0;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_WINDOWGIVENBACK) {
            EXPECT_FALSE(HandleAllocated()) << "told after the window went";
            ++givenBack;
        }
        TPanel::WndProc(m);
    }
};

TEST(HandleCounts, AGivenBackWindowIsMadeAgainWithTheControlsState) {
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 200);
    form.Show();
    auto* panel = new TListeningPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 20, 120, 80);
    panel->SetCaption("Kept");
    auto* child = new TListeningPanel(&form);
    child->SetParent(panel);
    child->SetBounds(5, 6, 30, 20);
    ASSERT_TRUE(child->HandleAllocated());
    const HWND old = panel->WindowHandle();
    panel->GiveBackHandle();
    EXPECT_FALSE(IsWindow(old));
    EXPECT_FALSE(panel->HandleAllocated());
    EXPECT_FALSE(child->HandleAllocated());
    EXPECT_EQ(panel->givenBack, 1);
    EXPECT_EQ(child->givenBack, 1);
    EXPECT_EQ(panel->Caption(), "Kept");
    EXPECT_EQ(panel->ControlCount(), 1);
    panel->HandleNeeded();
    ASSERT_TRUE(panel->HandleAllocated());
    EXPECT_TRUE(child->HandleAllocated());
    RECT r{};
    GetWindowRect(panel->WindowHandle(), &r);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    char text[32] = {};
    GetWindowTextA(panel->WindowHandle(), text, sizeof text);
    EXPECT_STREQ(text, "Kept");
}

// A bitmap keeps its pixels in memory: GDI objects come only when GDI draws with it, and
// ReleaseHandles gives them back with the pixels kept, GDI's drawing included.
TEST(HandleCounts, ABitmapMakesItsGdiObjectsOnlyToDrawAndGivesThemBackKeepingThePixels) {
    const int before = LiveGdiObjectCount();
    TBitmap bitmap(8, 6, pf24bit);
    std::uint8_t* row = bitmap.ScanLine(2);
    row[3 * 3 + 0] = 10;
    row[3 * 3 + 1] = 20;
    row[3 * 3 + 2] = 30;
    EXPECT_EQ(LiveGdiObjectCount(), before) << "pixels written by code need no GDI object";
    EXPECT_FALSE(bitmap.HandleAllocated());

    bitmap.Canvas()->SetPixel(5, 4, MakeColor(200, 100, 50));
    EXPECT_TRUE(bitmap.HandleAllocated());
    EXPECT_GT(LiveGdiObjectCount(), before);
    EXPECT_EQ(bitmap.Canvas()->Pixel(3, 2), MakeColor(30, 20, 10)) << "GDI sees the pixels code wrote";

    bitmap.ReleaseHandles();
    EXPECT_FALSE(bitmap.HandleAllocated());
    EXPECT_EQ(LiveGdiObjectCount(), before);
    const std::uint8_t* drawn = bitmap.ScanLine(4) + 5 * 3;
    EXPECT_EQ(drawn[0], 50);
    EXPECT_EQ(drawn[1], 100);
    EXPECT_EQ(drawn[2], 200);
    EXPECT_EQ(bitmap.ScanLine(2)[9], 10);

    // Drawn again after the release, from the same canvas.
    TBitmap target(8, 6, pf24bit);
    target.Canvas()->Draw(0, 0, &bitmap);
    EXPECT_EQ(target.Canvas()->Pixel(5, 4), MakeColor(200, 100, 50));
    target.ReleaseHandles();
    bitmap.ReleaseHandles();
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

// A painted panel and its painted child give back every GDI object they made for drawing.
TEST(HandleCounts, APaintedPanelGivenBackLeavesNoGdiObjectBehind) {
    TForm form(nullptr);
    form.SetBounds(10, 10, 300, 200);
    form.Show();
    const int before = LiveGdiObjectCount();
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 200, 100);
    panel->SetCaption("Painted");
    auto* inner = new TPanel(&form);
    inner->SetParent(panel);
    inner->SetBounds(5, 5, 80, 30);
    inner->SetCaption("Inner");
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_GT(LiveGdiObjectCount(), before);
    panel->GiveBackHandle();
    panel->ReleaseGdiHandles();
    EXPECT_EQ(LiveGdiObjectCount(), before);
    panel->HandleNeeded();
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_GT(LiveGdiObjectCount(), before) << "drawn again with tools made again";
}

// A windowless picture control gives back its picture's and its canvas's GDI objects and
// still paints the same.
TEST(HandleCounts, AnImageGivesBackItsGdiObjectsAndPaintsTheSameAfter) {
    TForm form(nullptr);
    form.SetBounds(10, 10, 200, 200);
    form.Show();
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetBounds(0, 0, 20, 20);
    auto bitmap = std::make_unique<TBitmap>(20, 20, pf24bit);
    bitmap->Canvas()->Brush()->SetColor(MakeColor(0, 128, 255));
    bitmap->Canvas()->FillRect(Rect(0, 0, 20, 20));
    image->Picture()->SetGraphic(std::move(bitmap));
    const auto paintedPixel = [&] {
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        WindowDC dc(form.Handle());
        return GetPixel(dc.get(), 10, 10);
    };
    EXPECT_EQ(paintedPixel(), RGB(0, 128, 255));
    const int before = LiveGdiObjectCount();
    image->ReleaseGdiHandles();
    EXPECT_LT(LiveGdiObjectCount(), before);
    EXPECT_FALSE(dynamic_cast<TBitmap*>(image->Picture()->Graphic())->HandleAllocated());
    EXPECT_EQ(paintedPixel(), RGB(0, 128, 255));
}

}  // namespace
}  // namespace forms
