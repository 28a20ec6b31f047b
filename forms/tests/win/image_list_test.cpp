// The image list, and the bitmap button that shows one of its images when it has no glyph.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "forms/bit_btn.h"
#include "forms/bitmap.h"
#include "forms/canvas.h"
#include "forms/image_list.h"
#include "forms/tests/win/standard_controls_fixture.h"

namespace forms {
namespace {

constexpr COLORREF kMask = RGB(1, 2, 3);
constexpr COLORREF kFirst = RGB(0xC0, 0x40, 0x10);
constexpr COLORREF kSecond = RGB(0x30, 0x90, 0xE0);
constexpr COLORREF kThird = RGB(0x20, 0xB0, 0x40);
constexpr COLORREF kPaper = RGB(0xF0, 0xF0, 0x00);

// Images of 16 × 16 side by side, each flat in its colour with its bottom-left pixel masked.
std::unique_ptr<TBitmap> Strip(const std::vector<COLORREF>& colours) {
    auto strip = std::make_unique<TBitmap>(16 * static_cast<int>(colours.size()), 16);
    HDC dc = strip->Canvas()->Handle();
    for (size_t i = 0; i < colours.size(); ++i) {
        UniqueBrush brush(CreateSolidBrush(colours[i]));
        RECT r{static_cast<int>(i) * 16, 0, static_cast<int>(i + 1) * 16, 16};
        FillRect(dc, &r, brush.get());
        SetPixel(dc, r.left, 15, kMask);
    }
    return strip;
}

// A picture of w × h on kPaper with image index drawn at (2, 2).
std::unique_ptr<TBitmap> Drawn(const TImageList& list, int index, bool enabled = true) {
    auto out = std::make_unique<TBitmap>(24, 24);
    UniqueBrush paper(CreateSolidBrush(kPaper));
    RECT all{0, 0, 24, 24};
    FillRect(out->Canvas()->Handle(), &all, paper.get());
    list.Draw(out->Canvas()->Handle(), 2, 2, index, enabled);
    return out;
}

using ImageLists = testing_support::ShownForm;

// Images are cut from a strip by the list's width, counted, and drawn with the masked
// pixels left out; an index outside the list draws nothing.
TEST_F(ImageLists, AddCountAndDraw) {
    auto* list = new TImageList(form);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->AddMasked(*Strip({kFirst, kSecond}), static_cast<TColor>(kMask)), 0);
    EXPECT_EQ(list->AddMasked(*Strip({kThird}), static_cast<TColor>(kMask)), 2);
    ASSERT_EQ(list->Count(), 3);
    const struct {
        int index;
        COLORREF inside, masked;
    } cases[] = {{0, kFirst, kPaper}, {1, kSecond, kPaper}, {2, kThird, kPaper}, {3, kPaper, kPaper}, {-1, kPaper, kPaper}};
    for (const auto& c : cases) {
        const auto picture = Drawn(*list, c.index);
        HDC dc = picture->Canvas()->Handle();
        EXPECT_EQ(GetPixel(dc, 10, 10), c.inside) << "image " << c.index;
        EXPECT_EQ(GetPixel(dc, 2, 17), c.masked) << "image " << c.index << ": its masked pixel";
        EXPECT_EQ(GetPixel(dc, 19, 10), kPaper) << "image " << c.index << ": right of it";
    }
    // Drawn disabled, the image is no longer in its own colour.
    EXPECT_NE(GetPixel(Drawn(*list, 0, false)->Canvas()->Handle(), 10, 10), kFirst);
    TBitmap copy;
    list->GetBitmap(1, copy, clFuchsia);
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_EQ(GetPixel(copy.Canvas()->Handle(), 8, 8), kSecond);
    EXPECT_EQ(GetPixel(copy.Canvas()->Handle(), 0, 15), COLORREF{RGB(255, 0, 255)});

    list->SetSize(8, 8);
    EXPECT_EQ(list->Count(), 0) << "a new size starts an empty list";
    EXPECT_EQ(list->AddMasked(*Strip({kFirst}), static_cast<TColor>(kMask)), 0);
    EXPECT_EQ(list->Count(), 2) << "a 16-pixel strip holds two 8-pixel images";
    EXPECT_THROW(list->SetWidth(0), EInvalidOperation);
    EXPECT_EQ(list->Width(), 8);
}

struct BitButtonImages : testing_support::ShownForm {
    TImageList* list = nullptr;
    TBitBtn* button = nullptr;
    void SetUp() override {
        ShownForm::SetUp();
        list = new TImageList(form);
        list->AddMasked(*Strip({kFirst, kSecond}), static_cast<TColor>(kMask));
        button = new TBitBtn(form);
        button->SetParent(form);
        button->SetBounds(10, 10, 80, 30);
        button->SetImages(list);
        button->SetImageIndex(0);
    }
    // The button's face as its owner draws it, at the place of a 16 × 16 glyph with no caption.
    COLORREF GlyphPixel() {
        TBitmap face(80, 30);
        SendMessageA(button->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(face.Canvas()->Handle()), PRF_CLIENT);
        return GetPixel(face.Canvas()->Handle(), 40, 15);
    }
};

// The unskinned button shows its list's image by state: the normal one, its own disabled
// one, or the normal one drawn disabled; out of the list, nothing; a glyph wins.
TEST_F(BitButtonImages, ShowsTheImageOfItsState) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(GlyphPixel(), kFirst);
    button->SetEnabled(false);
    const COLORREF greyed = GlyphPixel();
    EXPECT_NE(greyed, kFirst);
    EXPECT_NE(greyed, face) << "drawn, though disabled";
    button->SetDisabledIndex(1);
    EXPECT_EQ(GlyphPixel(), kSecond);
    button->SetDisabledIndex(7);
    EXPECT_EQ(GlyphPixel(), face);
    button->SetEnabled(true);
    button->SetImageIndex(2);
    EXPECT_EQ(GlyphPixel(), face);
    button->SetImageIndex(1);
    EXPECT_EQ(GlyphPixel(), kSecond);
    button->SetGlyph(Strip({kThird}).get());
    EXPECT_EQ(GlyphPixel(), kThird);
}

// A freed image list is forgotten, not drawn from.
TEST_F(BitButtonImages, ForgetsAFreedList) {
    delete list;
    EXPECT_EQ(button->Images(), nullptr);
    EXPECT_EQ(GlyphPixel(), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace forms
