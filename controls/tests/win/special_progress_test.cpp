#include "controls/special_progress.h"

#include <gtest/gtest.h>

#include <memory>

#include "controls/portable/flavour.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/portable/rounding.h"

namespace controls {
namespace {

using namespace forms;

struct ProgressFixture : testing::Test {
    TForm* form = nullptr;
    TSpecialProgress* bar = nullptr;

    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(20, 20, 420, 60);
        form->SetColor(clWhite);
        bar = new TSpecialProgress(form);
        bar->SetParent(form);
        bar->SetBounds(0, 0, 385, 25);
        bar->SetColor(clBlack);
    }
    void TearDown() override { delete form; }

    // The parent's client area as its paint draws it.
    std::unique_ptr<TBitmap> Print() {
        auto out = std::make_unique<TBitmap>(form->ClientWidth(), form->ClientHeight());
        SendMessageA(form->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()),
                     PRF_CLIENT | PRF_ERASEBKGND);
        return out;
    }
    static COLORREF At(TBitmap& b, int x, int y) {
        const std::uint8_t* p = b.ScanLine(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
};

TEST_F(ProgressFixture, DefaultsOfAFreshBar) {
    TSpecialProgress fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 150);
    EXPECT_EQ(fresh.Height(), 15);
    EXPECT_TRUE(fresh.ControlStyle() & csOpaque);
    EXPECT_EQ(fresh.Maximum(), 100);
    EXPECT_EQ(fresh.Step(), 10);
    EXPECT_EQ(fresh.TextOption(), toNoText);
    EXPECT_EQ(fresh.StartColor(), clWhite);
    EXPECT_EQ(fresh.EndColor(), clBlack);
    EXPECT_TRUE(fresh.InheritsFromName("TExGraphicControl"));
}

TEST_F(ProgressFixture, WorkedBarWidthsOfBothPrograms) {
    bar->SetSolid(true);
    bar->SetPosition(50);
    EXPECT_EQ(bar->Layout().BarWidth, 192);
    EXPECT_EQ(bar->PercentDone(), 50);

    SetLibraryFlavour(TLibraryFlavour::Burner);
    TSpecialProgress burner(form);
    SetLibraryFlavour(TLibraryFlavour::Editor);
    burner.SetParent(form);
    burner.SetBounds(0, 30, 385, 25);
    burner.SetSolid(true);
    burner.SetPosition(50);
    EXPECT_EQ(burner.Layout().BarWidth, 191);
    burner.SetPosition(99);
    bar->SetPosition(99);
    burner.SetMaximum(101);
    bar->SetMaximum(101);
    EXPECT_EQ(burner.PercentDone(), 98);
    EXPECT_EQ(bar->PercentDone(), 98);
    burner.SetMaximum(100);
    bar->SetMaximum(100);
    burner.SetPosition(2);
    bar->SetPosition(2);
    burner.SetMaximum(3);
    bar->SetMaximum(3);
    EXPECT_EQ(burner.PercentDone(), 66);
    EXPECT_EQ(bar->PercentDone(), 67);
}

TEST_F(ProgressFixture, PositionStaysInRangeWhicheverIsSetLast) {
    const struct {
        const char* name;
        int position, minimum, maximum;  // applied in this order
        bool minimumLast;
        int wantPosition, wantMinimum, wantMaximum;
    } cases[] = {
        {"above maximum", 150, 0, 100, false, 100, 0, 100},
        {"below minimum", -5, 0, 100, false, 0, 0, 100},
        {"maximum lowered under position", 80, 0, 50, false, 50, 0, 50},
        {"maximum below minimum", 30, 20, 10, false, 20, 20, 20},
        {"minimum above maximum", 30, 120, 100, true, 100, 100, 100},
        {"minimum raised over position", 10, 40, 100, true, 40, 40, 100},
    };
    for (const auto& c : cases) {
        TSpecialProgress p(nullptr);
        p.SetPosition(c.position);
        if (c.minimumLast) {
            p.SetMaximum(c.maximum);
            p.SetMinimum(c.minimum);
        } else {
            p.SetMinimum(c.minimum);
            p.SetMaximum(c.maximum);
        }
        EXPECT_EQ(p.Position(), c.wantPosition) << c.name;
        EXPECT_EQ(p.Minimum(), c.wantMinimum) << c.name;
        EXPECT_EQ(p.Maximum(), c.wantMaximum) << c.name;
        EXPECT_GE(p.Position(), p.Minimum()) << c.name;
        EXPECT_LE(p.Position(), p.Maximum()) << c.name;
    }
}

TEST_F(ProgressFixture, BlocksGapsAndUnfilledPartOnScreen) {
    // One colour: 15-pixel blocks and 1-pixel gaps in Color, the rest in Color.
    bar->SetStartColor(clRed);
    bar->SetEndColor(clRed);
    bar->SetPosition(50);  // W = 192 = 12 blocks of 16
    ASSERT_EQ(bar->Layout().BlockWidth, 16);
    ASSERT_EQ(bar->Layout().BarWidth, 192);
    auto shot = Print();
    const struct {
        int x;
        COLORREF color;
    } columns[] = {{1, RGB(255, 0, 0)},  {15, RGB(255, 0, 0)}, {16, RGB(0, 0, 0)}, {17, RGB(255, 0, 0)},
                   {191, RGB(255, 0, 0)}, {192, RGB(0, 0, 0)}, {193, RGB(0, 0, 0)}, {383, RGB(0, 0, 0)}};
    for (const auto& c : columns) EXPECT_EQ(At(*shot, c.x, 12), c.color) << "x " << c.x;
    // bsNone: a one-pixel outline in Color; outside the bar the form shows.
    EXPECT_EQ(At(*shot, 5, 0), RGB(0, 0, 0));
    EXPECT_EQ(At(*shot, 390, 12), RGB(255, 255, 255));
}

TEST_F(ProgressFixture, GradientRunsAcrossTheFilledPartAndTheFrameIsDrawnLast) {
    bar->SetSolid(true);
    bar->SetStartColor(clBlack);
    bar->SetEndColor(clLime);
    bar->SetBorderStyle(bsSingle);
    bar->SetPosition(50);
    auto shot = Print();
    const int w = bar->Layout().BarWidth;
    // The frames cover three pixels at each side; the columns between carry the gradient.
    EXPECT_EQ(GetGValue(At(*shot, 3, 12)), RoundHalfEven(2 * 255.0 / w));
    EXPECT_GE(GetGValue(At(*shot, w, 12)), 250);
    EXPECT_EQ(At(*shot, w + 2, 12), RGB(0, 0, 0));
    EXPECT_EQ(At(*shot, 100, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(*shot, 100, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(*shot, 100, 2), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(At(*shot, 100, 23), ColorToRGB(clBtnHighlight));
}

TEST_F(ProgressFixture, ImageIsRebuiltOnlyWhenSomethingVisibleChanged) {
    bar->SetBounds(0, 0, 12, 25);  // 10 inner pixels: a position step of 1 rarely moves it
    bar->SetSolid(true);
    bar->SetPosition(1);
    Print();
    const int builds = bar->ImageBuilds();
    bar->SetPosition(2);  // width 0 still, no text
    bar->SetGradientBlocks(true);  // solid: not drawn
    bar->SetTextCentered(true);    // no text
    bar->SetSolid(true);
    EXPECT_EQ(bar->ImageBuilds(), builds);
    bar->SetTextOption(toPercent);
    EXPECT_EQ(bar->ImageBuilds(), builds + 1);
    bar->SetPosition(3);  // the percentage changed
    EXPECT_EQ(bar->ImageBuilds(), builds + 2);
    bar->SetColor(clNavy);
    EXPECT_EQ(bar->ImageBuilds(), builds + 3);
}

TEST_F(ProgressFixture, NothingIsComputedWhileLoading) {
    TSpecialProgress* loaded = nullptr;
    {
        TLoadingScope scope(*form);
        loaded = new TSpecialProgress(form);
        loaded->SetParent(form);
        loaded->SetBounds(0, 30, 100, 25);
        loaded->SetSolid(true);
        loaded->SetPosition(40);
        loaded->SetColor(clGreen);
        EXPECT_EQ(loaded->Layout().BarWidth, 0);
        EXPECT_EQ(loaded->ImageBuilds(), 0);
    }
    EXPECT_EQ(loaded->Layout().BarWidth, 39);  // MulDiv(40, 98, 100)
    EXPECT_EQ(loaded->ImageBuilds(), 1);
}

// The leftmost column where the text colour shows in row band y0..y1.
int LeftmostTextColumn(TBitmap& b, int x0, int x1, int y0, int y1, COLORREF text) {
    for (int x = x0; x < x1; ++x) {
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = b.ScanLine(y) + 3 * x;
            if (RGB(p[2], p[1], p[0]) == text) return x;
        }
    }
    return -1;
}

TEST_F(ProgressFixture, PercentTextCentresOverTheBarOrTheFilledPart) {
    bar->Font()->SetColor(clWhite);
    bar->SetSolid(true);
    bar->SetStartColor(clNavy);
    bar->SetEndColor(clNavy);
    bar->SetTextOption(toPercent);
    bar->SetPosition(100);
    TBitmap measure(10, 10);
    measure.Canvas()->Font()->Assign(*bar->Font());
    const int tw = measure.Canvas()->TextWidth("100%");

    bar->SetTextCentered(true);
    auto centred = Print();
    const int expected = (385 - tw) / 2;
    const int left = LeftmostTextColumn(*centred, 0, 385, 1, 24, RGB(255, 255, 255));
    EXPECT_GE(left, expected);
    EXPECT_LE(left, expected + 3);

    bar->SetTextCentered(false);
    bar->SetPosition(5);  // the filled part is narrower than the text
    auto stuck = Print();
    const int l2 = LeftmostTextColumn(*stuck, 0, 385, 1, 24, RGB(255, 255, 255));
    EXPECT_GE(l2, 0);
    EXPECT_LE(l2, 3);
}

TEST_F(ProgressFixture, FormatCaptionIsNeverGivenToPrintf) {
    bar->SetTextOption(toFormat);
    for (const char* caption : {"%s%s%s%s", "%n", "%d%% of %d", "50%"}) {
        bar->SetCaption(caption);
        Print();  // must not crash or read arguments that are not there
    }
    SUCCEED();
}

}  // namespace
}  // namespace controls
