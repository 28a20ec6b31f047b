#include "forms/image.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/bitmap.h"
#include "forms/jpeg_image.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"

namespace forms {
namespace {

// Four quadrants of distinct colours, so that shifted, flipped or wrongly scaled drawing shows.
constexpr TColor kTopLeft = clRed, kTopRight = clLime, kBottomLeft = clBlue, kBottomRight = clYellow;
constexpr TColor kBackground = clWhite;

void FillQuadrants(TBitmap& bitmap) {
    TCanvas* c = bitmap.Canvas();
    const int w = bitmap.Width(), h = bitmap.Height();
    const struct { TColor color; RECT r; } parts[] = {
        {kTopLeft, Rect(0, 0, w / 2, h / 2)},
        {kTopRight, Rect(w / 2, 0, w, h / 2)},
        {kBottomLeft, Rect(0, h / 2, w / 2, h)},
        {kBottomRight, Rect(w / 2, h / 2, w, h)},
    };
    for (const auto& p : parts) {
        c->Brush()->SetColor(p.color);
        c->FillRect(p.r);
    }
}

struct ImageFixture : testing::Test {
    TForm* form = nullptr;
    TImage* image = nullptr;
    static constexpr int kLeft = 10, kTop = 8, kWidth = 60, kHeight = 40;

    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(40, 40, 120, 80);
        form->SetColor(kBackground);
        image = new TImage(form);
        image->SetParent(form);
        image->SetBounds(kLeft, kTop, kWidth, kHeight);
    }
    void TearDown() override { delete form; }

    void SetQuadrantPicture(int w, int h) {
        TBitmap bitmap(w, h);
        FillQuadrants(bitmap);
        image->Picture()->SetGraphic(&bitmap);
    }

    // The parent's client area as its paint draws it, read back through WM_PRINTCLIENT.
    std::unique_ptr<TBitmap> PrintParent() {
        auto out = std::make_unique<TBitmap>(form->ClientWidth(), form->ClientHeight());
        out->Canvas()->Brush()->SetColor(clBlack);
        out->Canvas()->FillRect(Rect(0, 0, out->Width(), out->Height()));
        SendMessageA(form->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()),
                     PRF_CLIENT | PRF_ERASEBKGND);
        return out;
    }
};

// The colour at (x, y) of the parent when the quadrant picture is drawn into dest (image
// client coordinates) and the image shows nothing elsewhere.
TColor Expected(const RECT& dest, int x, int y) {
    POINT p{x, y};
    if (!PtInRect(&dest, p)) return kBackground;
    const bool right = (x - dest.left) * 2 >= dest.right - dest.left;
    const bool bottom = (y - dest.top) * 2 >= dest.bottom - dest.top;
    return bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft);
}

using ImagePaint = ImageFixture;

TEST_F(ImagePaint, DrawsThePictureWhereItsModeSays) {
    struct Case {
        const char* name;
        bool stretch, center, proportional;
        int picW, picH;
        RECT dest;  // in the image's client area (60 x 40)
    };
    const Case cases[] = {
        {"plain", false, false, false, 20, 10, Rect(0, 0, 20, 10)},
        {"plain, larger than the image: clipped", false, false, false, 80, 60, Rect(0, 0, 80, 60)},
        {"centred", false, true, false, 20, 10, Rect(20, 15, 40, 25)},
        {"stretched", true, false, false, 20, 10, Rect(0, 0, 60, 40)},
        {"stretched, centre changes nothing", true, true, false, 20, 10, Rect(0, 0, 60, 40)},
        {"stretched proportionally, wide", true, false, true, 20, 10, Rect(0, 0, 60, 30)},
        {"stretched proportionally, tall, centred", true, true, true, 10, 20, Rect(20, 0, 40, 40)},
        {"proportional never enlarges alone", false, false, true, 20, 10, Rect(0, 0, 20, 10)},
        {"proportional shrinks a larger one", false, true, true, 120, 20, Rect(0, 15, 60, 25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        image->SetStretch(c.stretch);
        image->SetCenter(c.center);
        image->SetProportional(c.proportional);
        SetQuadrantPicture(c.picW, c.picH);
        const RECT d = image->DestRect();
        EXPECT_EQ(d.left, c.dest.left);
        EXPECT_EQ(d.top, c.dest.top);
        EXPECT_EQ(d.right, c.dest.right);
        EXPECT_EQ(d.bottom, c.dest.bottom);
        auto shot = PrintParent();
        // Centres of each quadrant of the drawn picture, and a pixel inside and outside each
        // of its edges.
        const int qx[] = {c.dest.left + (c.dest.right - c.dest.left) / 4, c.dest.left + 3 * (c.dest.right - c.dest.left) / 4};
        const int qy[] = {c.dest.top + (c.dest.bottom - c.dest.top) / 4, c.dest.top + 3 * (c.dest.bottom - c.dest.top) / 4};
        std::vector<POINT> samples;
        for (int x : qx)
            for (int y : qy) samples.push_back({x, y});
        for (int y : qy) {
            samples.push_back({c.dest.left, y});
            samples.push_back({c.dest.left - 1, y});
            samples.push_back({c.dest.right - 1, y});
            samples.push_back({c.dest.right, y});
        }
        for (int x : qx) {
            samples.push_back({x, c.dest.top});
            samples.push_back({x, c.dest.top - 1});
            samples.push_back({x, c.dest.bottom - 1});
            samples.push_back({x, c.dest.bottom});
        }
        for (POINT s : samples) {
            if (s.x < 0 || s.y < 0 || s.x >= kWidth || s.y >= kHeight) continue;
            EXPECT_EQ(shot->Canvas()->Pixel(kLeft + s.x, kTop + s.y), Expected(c.dest, s.x, s.y))
                << "at " << s.x << "," << s.y;
        }
        // Nothing is drawn outside the image's bounds.
        EXPECT_EQ(shot->Canvas()->Pixel(kLeft - 1, kTop), kBackground);
        EXPECT_EQ(shot->Canvas()->Pixel(kLeft + kWidth, kTop + kHeight - 1), kBackground);
    }
}

TEST_F(ImagePaint, TransparentLeavesTheBitmapsTransparentColourOut) {
    TBitmap bitmap(20, 10);
    FillQuadrants(bitmap);  // bottom-left pixel is blue: the transparent colour
    image->Picture()->SetGraphic(&bitmap);
    for (bool transparent : {true, false}) {
        image->SetTransparent(transparent);
        EXPECT_EQ(image->Picture()->Graphic()->Transparent(), transparent);
        auto shot = PrintParent();
        EXPECT_EQ(shot->Canvas()->Pixel(kLeft + 5, kTop + 7), transparent ? kBackground : kBottomLeft);
        EXPECT_EQ(shot->Canvas()->Pixel(kLeft + 5, kTop + 2), kTopLeft);
    }
    // A picture given later takes the image's setting.
    image->SetTransparent(true);
    SetQuadrantPicture(20, 10);
    EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
}

TEST_F(ImagePaint, AutoSizeTakesThePicturesSizeAndAnEmptyPictureLeavesIt) {
    SetQuadrantPicture(20, 10);
    EXPECT_EQ(image->Width(), kWidth);
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 20);
    EXPECT_EQ(image->Height(), 10);
    SetQuadrantPicture(30, 24);
    EXPECT_EQ(image->Width(), 30);
    EXPECT_EQ(image->Height(), 24);
    EXPECT_EQ(image->Left(), kLeft);
    image->SetPicture(nullptr);
    EXPECT_TRUE(image->Picture()->Empty());
    EXPECT_EQ(image->Width(), 30);
}

TEST_F(ImagePaint, DrawingIntoThePictureRepaintsTheImage) {
    SetQuadrantPicture(20, 10);
    form->Show();
    UpdateWindow(form->Handle());
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(form->Handle(), &update, FALSE));
    int changes = 0;
    image->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, image);
        ++changes;
    };
    TBitmap* bitmap = image->Picture()->Bitmap();
    bitmap->Canvas()->Brush()->SetColor(clBlack);
    bitmap->Canvas()->FillRect(Rect(0, 0, 2, 2));
    EXPECT_GE(changes, 1);
    ASSERT_TRUE(GetUpdateRect(form->Handle(), &update, FALSE));
    EXPECT_EQ(update.left, kLeft);
    EXPECT_EQ(update.top, kTop);
    EXPECT_EQ(update.right, kLeft + kWidth);
    EXPECT_EQ(update.bottom, kTop + kHeight);
    ValidateRect(form->Handle(), nullptr);
    EXPECT_EQ(PrintParent()->Canvas()->Pixel(kLeft + 1, kTop + 1), clBlack);
}

TEST_F(ImagePaint, ClicksReachTheImageThroughItsParent) {
    int clicks = 0;
    image->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, image);
        ++clicks;
    };
    form->Show();
    const LPARAM inside = MAKELPARAM(kLeft + 3, kTop + 3), outside = MAKELPARAM(kLeft - 3, kTop);
    for (LPARAM at : {inside, outside}) {
        SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(form->Handle(), WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImagePaint, ItsCanvasDrawsIntoThePictureAndRefusesOtherGraphics) {
    image->Canvas()->Brush()->SetColor(clRed);
    image->Canvas()->FillRect(Rect(0, 0, 5, 5));
    ASSERT_NE(dynamic_cast<TBitmap*>(image->Picture()->Graphic()), nullptr);
    EXPECT_EQ(image->Picture()->Width(), kWidth);  // an empty picture takes the image's size
    EXPECT_EQ(image->Picture()->Height(), kHeight);
    auto shot = PrintParent();
    EXPECT_EQ(shot->Canvas()->Pixel(kLeft + 2, kTop + 2), clRed);
    EXPECT_EQ(shot->Canvas()->Pixel(kLeft + 7, kTop + 7), clWhite);
    TBitmap source(8, 8);
    TJPEGImage jpeg;
    jpeg.Assign(source);
    image->Picture()->SetGraphic(&jpeg);
    EXPECT_THROW(image->Canvas(), EInvalidOperation);
}

TEST(ImageProperties, AreReachableByName) {
    TImage image(nullptr);
    for (const char* name : {"Stretch", "Center", "Proportional", "Transparent", "AutoSize"}) {
        SCOPED_TRACE(name);
        const TPropInfo* info = FindPropInfo(&image, name);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->Kind, TPropKind::Boolean);
        EXPECT_EQ(GetOrdProp(&image, name), 0);
        EXPECT_TRUE(SetEnumProp(&image, name, "true"));
        EXPECT_EQ(GetOrdProp(&image, name), 1);
    }
    EXPECT_TRUE(image.Stretch() && image.Center() && image.Proportional() && image.Transparent() && image.AutoSize());
    EXPECT_EQ(GetObjectProp(&image, "Picture"), image.Picture());
    TPicture other;
    TBitmap bitmap(7, 5);
    other.SetGraphic(&bitmap);
    EXPECT_TRUE(SetObjectProp(&image, "Picture", &other));
    EXPECT_EQ(image.Picture()->Width(), 7);
    EXPECT_NE(image.Picture()->Graphic(), other.Graphic());  // a copy, not the other's graphic
    EXPECT_EQ(image.Width(), 7);                             // AutoSize is on
}

}  // namespace
}  // namespace forms
