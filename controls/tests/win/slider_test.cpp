#include "controls/slider.h"

#include <gtest/gtest.h>

#include <string>

#include "controls/ctl_types.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/portable/properties.h"

namespace controls {
namespace {

using namespace forms;

// The editor's skin slider: 0 to 5 in steps of 1, 601 x 25, edges of 1.
struct SliderFixture : testing::Test {
    TForm* form = nullptr;
    TSlider* slider = nullptr;
    int changes = 0;
    int ends = 0;

    void SetUp() override {
        form = new TForm(Application);
        form->SetBorderStyle(bsNone);
        form->SetBounds(20, 20, 640, 60);
        form->SetColor(clWhite);
        slider = new TSlider(form);
        slider->SetParent(form);
        slider->SetBounds(10, 10, 601, 25);
        slider->SetMaxValue(5);
        slider->SetIncrement(1);
        slider->SetEdgeSize(1);
        slider->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, slider);
            ++changes;
        };
        slider->OnChanged = [this](TObject*) { ++ends; };
        form->Show();
        Application->ProcessMessages();
    }
    void TearDown() override { delete form; }

    HWND Wnd() { return slider->Handle(); }
    LRESULT Mouse(UINT msg, int x, int y, WPARAM keys) { return SendMessageA(Wnd(), msg, keys, MAKELPARAM(x, y)); }
    void Press(int x, int y) { Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON); }
    void Drag(int x, int y) { Mouse(WM_MOUSEMOVE, x, y, MK_LBUTTON); }
    void Release(int x, int y) { Mouse(WM_LBUTTONUP, x, y, 0); }
    void Tick() { SendMessageA(Wnd(), WM_TIMER, TCustomSlider::kRepeatTimer, 0); }
    void Key(WORD key) {
        PostMessageA(Wnd(), WM_KEYDOWN, key, 1);
        PostMessageA(Wnd(), WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
        Application->ProcessMessages();
    }
    // The slider's client area as its paint draws it.
    std::unique_ptr<TBitmap> Print() {
        auto out = std::make_unique<TBitmap>(slider->Width(), slider->Height());
        SendMessageA(Wnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(out->Canvas()->Handle()), PRF_CLIENT | PRF_ERASEBKGND);
        return out;
    }
    static COLORREF At(TBitmap& b, int x, int y) {
        const std::uint8_t* p = b.ScanLine(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
};

TEST(Slider, DefaultsAndTheBuiltInPictures) {
    TSlider fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 150);
    EXPECT_EQ(fresh.Height(), 40);
    EXPECT_TRUE(fresh.TabStop());
    EXPECT_EQ(fresh.MinValue(), 0);
    EXPECT_EQ(fresh.MaxValue(), 100);
    EXPECT_EQ(fresh.Increment(), 10);
    EXPECT_EQ(fresh.EdgeSize(), 2);
    EXPECT_EQ(fresh.NumThumbStates(), 2);
    EXPECT_EQ(fresh.Options(), soShowFocus | soShowPoints | soSmooth);
    EXPECT_EQ(fresh.UserImageBits(), 0);
    EXPECT_TRUE(fresh.ControlStyle() & csOpaque);
    EXPECT_TRUE(fresh.InheritsFromName("TExCustomControl"));
    const struct { TSliderImage which; int width, height; } images[] = {
        {siHThumb, 18, 17}, {siHRuler, 10, 8}, {siVThumb, 38, 9}, {siVRuler, 8, 10}};
    for (const auto& i : images) {
        TBitmap& b = fresh.Image(i.which);
        EXPECT_EQ(b.Width(), i.width) << kSliderImageResources[i.which];
        EXPECT_EQ(b.Height(), i.height) << kSliderImageResources[i.which];
        // The transparent colour is the bottom-left pixel: magenta.
        const std::uint8_t* p = b.ScanLine(b.Height() - 1);
        EXPECT_EQ(RGB(p[2], p[1], p[0]), RGB(255, 0, 255)) << kSliderImageResources[i.which];
    }
}

TEST(Slider, UserPicturesAndBackToTheBuiltIn) {
    TSlider s(nullptr);
    s.SetOptions(s.Options() | soThumbOpaque | soRulerOpaque);
    TBitmap thumb(30, 20);
    s.SetImage(siHThumb, &thumb);
    EXPECT_EQ(s.UserImageBits(), 1);
    EXPECT_EQ(s.Geometry().ThumbWidth(), 15);
    s.SetImage(siHThumb, nullptr);
    EXPECT_EQ(s.UserImageBits(), 0);
    EXPECT_EQ(s.Image(siHThumb).Width(), 18);
    EXPECT_FALSE(s.Options() & soThumbOpaque);
    EXPECT_TRUE(s.Options() & soRulerOpaque);
}

// The images, Options and "UserImages" by name, as tools reach them.
TEST(Slider, ImagesOptionsAndUserImagesByName) {
    TSlider s(nullptr);
    const TClassInfo& info = s.ClassInfo();
    TBitmap picture(30, 20);
    for (int i = 0; i < 4; ++i) {
        const auto which = static_cast<TSliderImage>(i);
        const TPropInfo* image = info.Find(kSliderImageProperties[i]);
        ASSERT_NE(image, nullptr) << kSliderImageProperties[i];
        EXPECT_EQ(image->Kind, TPropKind::Object);
        EXPECT_EQ(image->GetObj(s), &s.Image(which)) << kSliderImageProperties[i];
        image->SetObj(s, &picture);
        EXPECT_EQ(s.Image(which).Width(), 30) << kSliderImageProperties[i];
        EXPECT_EQ(s.UserImageBits(), 1 << i) << kSliderImageProperties[i];
        EXPECT_EQ(info.Find("UserImages")->GetOrd(s), 1 << i);
        image->SetObj(s, nullptr);
        EXPECT_EQ(s.UserImageBits(), 0) << kSliderImageProperties[i];
        EXPECT_NE(s.Image(which).Width(), 30) << kSliderImageProperties[i];
    }
    info.Find("UserImages")->SetOrd(s, 5);
    EXPECT_EQ(s.UserImageBits(), 5);
    info.Find("Options")->SetOrd(s, soShowPoints | soThumbOpaque);
    EXPECT_EQ(s.Options(), soShowPoints | soThumbOpaque);
    EXPECT_EQ(info.Find("Options")->GetOrd(s), soShowPoints | soThumbOpaque);
}

TEST_F(SliderFixture, TheValueIsClampedAndOnlyAChangeIsReported) {
    const struct { int assign, value, changes; } steps[] = {
        {3, 3, 1}, {3, 3, 1}, {99, 5, 2}, {5, 5, 2}, {-4, 0, 3}, {0, 0, 3},
    };
    for (const auto& s : steps) {
        slider->SetValue(s.assign);
        EXPECT_EQ(slider->Value(), s.value) << s.assign;
        EXPECT_EQ(changes, s.changes) << s.assign;
        EXPECT_EQ(slider->ThumbRect().left, 6 + 116 * s.value) << s.assign;
    }
    EXPECT_EQ(ends, 0);
}

TEST_F(SliderFixture, KeysStepAndEndEveryHandledKeyWithOnChanged) {
    const struct { WORD key; int value, changes, ends; } steps[] = {
        {VK_RIGHT, 1, 1, 1}, {VK_RIGHT, 2, 2, 2}, {VK_END, 5, 3, 3}, {VK_RIGHT, 5, 3, 4},  // at the end: changed, no change
        {VK_LEFT, 4, 4, 5},  {VK_HOME, 0, 5, 6},  {VK_UP, 0, 5, 6},  {VK_DOWN, 0, 5, 6},   // not this orientation's keys
        {'A', 0, 5, 6},
    };
    for (const auto& s : steps) {
        Key(s.key);
        EXPECT_EQ(slider->Value(), s.value) << "key " << s.key;
        EXPECT_EQ(changes, s.changes) << "key " << s.key;
        EXPECT_EQ(ends, s.ends) << "key " << s.key;
    }
    // The slider asks for the arrow keys.
    EXPECT_TRUE(SendMessageA(Wnd(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
    // With Shift held the keys are not the slider's.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    Key(VK_RIGHT);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(slider->Value(), 0);
    EXPECT_EQ(ends, 6);
}

TEST_F(SliderFixture, PressingBesideTheThumbRepeatsUntilItPassesThePointer) {
    // The thumb stands at 6 + 116 v; the pointer at 400 is passed once v reaches 4.
    Press(400, 14);
    EXPECT_TRUE(slider->Repeating());
    EXPECT_TRUE(slider->TimerRunning());
    EXPECT_EQ(slider->Value(), 1);
    const int expected[] = {2, 3, 4, 4, 4};
    for (int v : expected) {
        Tick();
        EXPECT_EQ(slider->Value(), v);
    }
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(ends, 0);
    Release(400, 14);
    EXPECT_FALSE(slider->Repeating());
    EXPECT_FALSE(slider->TimerRunning());
    EXPECT_EQ(ends, 1);
    Tick();
    EXPECT_EQ(slider->Value(), 4);

    // Down from the other side; a press far above or below the ruler does nothing.
    Press(30, 14);
    EXPECT_EQ(slider->Value(), 3);
    Release(30, 14);
    EXPECT_EQ(ends, 2);
    Press(30, 2);
    EXPECT_FALSE(slider->Repeating());
    Release(30, 2);
    EXPECT_EQ(slider->Value(), 3);
    EXPECT_EQ(ends, 2);
}

TEST_F(SliderFixture, ALostCaptureEndsTheRepeatOnce) {
    TForm other(Application);
    other.SetBounds(700, 20, 50, 50);
    other.Show();
    const struct { const char* name; std::function<void()> interrupt; } cases[] = {
        {"cancel mode", [&] { SendMessageA(Wnd(), WM_CANCELMODE, 0, 0); }},
        {"capture taken", [&] { SetCapture(other.Handle()); }},
    };
    for (const auto& c : cases) {
        slider->SetValue(0);
        ends = 0;
        Press(500, 14);
        ASSERT_TRUE(slider->Repeating()) << c.name;
        ASSERT_EQ(GetCapture(), Wnd()) << c.name;
        c.interrupt();
        EXPECT_FALSE(slider->Repeating()) << c.name;
        EXPECT_FALSE(slider->TimerRunning()) << c.name;
        EXPECT_EQ(ends, 1) << c.name;
        const int value = slider->Value();
        Tick();
        EXPECT_EQ(slider->Value(), value) << c.name << ": the timer no longer steps";
        Release(500, 14);
        EXPECT_EQ(ends, 1) << c.name << ": the release ends nothing more";
        ReleaseCapture();
    }
}

TEST_F(SliderFixture, DraggingTheThumbSnapsAndReleasingEndsTheDrag) {
    Press(10, 14);  // on the thumb at 6..15
    EXPECT_TRUE(slider->Dragging());
    EXPECT_EQ(GetCapture(), Wnd());
    const struct { int x, value; } moves[] = {
        {10 + 116, 1}, {10 + 116 * 3 + 40, 3}, {10 + 116 * 3 + 60, 4}, {2000, 5}, {-300, 0},
    };
    for (const auto& m : moves) {
        Drag(m.x, 14);
        EXPECT_EQ(slider->Value(), m.value) << m.x;
        EXPECT_EQ(slider->ThumbRect().left, 6 + 116 * m.value) << m.x;
    }
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(ends, 0);
    Release(-300, 14);
    EXPECT_FALSE(slider->Dragging());
    EXPECT_NE(GetCapture(), Wnd());
    EXPECT_EQ(ends, 1);
    // A move without the button after the release does nothing.
    Mouse(WM_MOUSEMOVE, 400, 14, 0);
    EXPECT_EQ(slider->Value(), 0);
}

TEST_F(SliderFixture, DraggingSnapsFromMinValueWhileStepsCountFromZero) {
    slider->SetBounds(10, 10, 221, 40);  // a 200-pixel track
    slider->SetMaxValue(23);
    slider->SetMinValue(3);
    slider->SetIncrement(5);
    slider->SetOptions(slider->Options() & ~soSmooth);
    ASSERT_EQ(slider->Geometry().TrackSpan(), 200);
    Press(slider->ThumbRect().left + 2, 14);
    const struct { int x, value; } moves[] = {{2 + 6 + 40, 8}, {2 + 6 + 80, 13}, {2 + 6, 3}};
    for (const auto& m : moves) {
        Drag(m.x, 14);
        EXPECT_EQ(slider->Value(), m.value) << m.x;
    }
    Release(8, 14);
    Key(VK_RIGHT);
    EXPECT_EQ(slider->Value(), 10);
}

TEST_F(SliderFixture, ABadIncrementRaisesWithTheRange) {
    for (int bad : {0, -1, 6}) {
        try {
            slider->SetIncrement(bad);
            ADD_FAILURE() << bad << " was taken";
        } catch (const EControlsException& e) {
            EXPECT_STREQ(e.what(), "Value must be between 1 and 5") << bad;
        }
        EXPECT_EQ(slider->Increment(), 1);
    }
    slider->SetIncrement(5);
    EXPECT_EQ(slider->Increment(), 5);
    // A narrower range takes the increment down with it; an empty range is ignored.
    slider->SetMaxValue(3);
    EXPECT_EQ(slider->Increment(), 3);
    slider->SetMaxValue(0);
    EXPECT_EQ(slider->MaxValue(), 3);
}

TEST_F(SliderFixture, AVerticalSliderHasItsMaximumAtTheTopAndUpIncreases) {
    slider->SetOrientation(soVertical);
    EXPECT_EQ(slider->Width(), 25);
    EXPECT_EQ(slider->Height(), 601);
    slider->SetValue(0);
    const int bottom = slider->ThumbRect().top;
    Key(VK_UP);
    EXPECT_EQ(slider->Value(), 1);
    EXPECT_LT(slider->ThumbRect().top, bottom);
    Key(VK_END);
    EXPECT_EQ(slider->ThumbRect().top, 6);
    Key(VK_DOWN);
    EXPECT_EQ(slider->Value(), 4);
    Key(VK_RIGHT);
    EXPECT_EQ(slider->Value(), 4);
}

TEST_F(SliderFixture, PaintedFromItsPicturesWithTheMagentaLeftOut) {
    slider->SetColor(clWhite);
    slider->SetValue(2);
    auto picture = Print();
    int magenta = 0;
    for (int y = 0; y < picture->Height(); ++y)
        for (int x = 0; x < picture->Width(); ++x) magenta += At(*picture, x, y) == RGB(255, 0, 255);
    EXPECT_EQ(magenta, 0);
    // Background, the thumb's outline where the value puts it, and the scale points below.
    EXPECT_EQ(At(*picture, 2, 2), RGB(255, 255, 255));
    const int thumb = 6 + 116 * 2;
    EXPECT_EQ(At(*picture, thumb + 1, 6), RGB(64, 64, 72));
    EXPECT_EQ(At(*picture, thumb + 4, 12), RGB(226, 228, 232));
    // The pressed state is the right half of the picture.
    Press(thumb + 4, 14);
    picture = Print();
    EXPECT_EQ(At(*picture, thumb + 4, 12), RGB(150, 178, 214));
    Release(thumb + 4, 14);
    picture = Print();
    EXPECT_EQ(At(*picture, thumb + 4, 12), RGB(226, 228, 232));
    for (int v = 0; v <= 5; ++v) EXPECT_NE(At(*picture, 6 + 116 * v + 4, 24), RGB(255, 255, 255)) << "point " << v;
}

TEST_F(SliderFixture, OddShapesPaintWithoutFault) {
    TBitmap narrow(3, 8);  // narrower than twice the edge: no middle to repeat
    const struct { const char* name; std::function<void()> make; } cases[] = {
        {"track shorter than the thumb", [&] { slider->SetBounds(10, 10, 20, 25); }},
        {"no room at all", [&] { slider->SetBounds(10, 10, 4, 4); }},
        {"empty range", [&] {
             // Only form data being read can leave the range empty.
             slider->SetBounds(10, 10, 601, 25);
             slider->BeginLoading();
             slider->SetMinValue(5);
             slider->EndLoading();
             ASSERT_EQ(slider->MinValue(), slider->MaxValue());
         }},
        {"ruler narrower than its edges", [&] { slider->SetEdgeSize(2); slider->SetImage(siHRuler, &narrow); }},
    };
    for (const auto& c : cases) {
        c.make();
        slider->SetValue(3);
        EXPECT_NO_THROW(Print()) << c.name;
        EXPECT_GE(slider->ThumbRect().left, 6) << c.name;
        Press(300, 14);
        Release(300, 14);
    }
}

}  // namespace
}  // namespace controls
