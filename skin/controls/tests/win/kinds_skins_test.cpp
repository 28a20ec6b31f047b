// The remaining control kinds on one purpose-built form: each gets its skin from the rules,
// and each skin shows the probe frame of its state.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "forms/bit_btn.h"
#include "forms/edit.h"
#include "forms/header_control.h"
#include "forms/image_list.h"
#include "forms/list_view.h"
#include "forms/portable/properties.h"
#include "forms/progress_bar.h"
#include "forms/scroll_bar.h"
#include "forms/speed_button.h"
#include "forms/status_bar.h"
#include "forms/tab_set.h"
#include "forms/tool_bar.h"
#include "forms/track_bar.h"
#include "forms/up_down.h"
#include "skin/controls/attach_controls.h"
#include "skin/controls/bar_skins.h"
#include "skin/controls/bit_button_skins.h"
#include "skin/controls/list_view_skins.h"
#include "skin/controls/obj_image_skin.h"
#include "skin/controls/status_bar_skin.h"
#include "skin/controls/tests/win/control_skin_fixture.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using Bytes = std::vector<std::uint8_t>;

// A check box that takes its glyphs from a bitmap of nine slots (a kind the rules know by name).
class TRzDBCheckBox : public forms::TWinControl {
public:
    explicit TRzDBCheckBox(forms::TComponent* owner) : forms::TWinControl(owner), glyphs_(std::make_unique<forms::TBitmap>()) {
        SetBounds(0, 0, 120, 20);
    }
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass() {
        static const forms::TClassInfo info =
            forms::TClassInfo::Define<TRzDBCheckBox>("TRzDBCheckBox", &forms::TWinControl::StaticClass())
                .Object("CustomGlyphs", &TRzDBCheckBox::CustomGlyphs, &TRzDBCheckBox::SetCustomGlyphs)
                .Int("TransparentColor", &TRzDBCheckBox::TransparentColor, &TRzDBCheckBox::SetTransparentColor)
                .Bool("UseCustomGlyphs", &TRzDBCheckBox::UseCustomGlyphs, &TRzDBCheckBox::SetUseCustomGlyphs)
                .Done();
        return info;
    }
    forms::TBitmap* CustomGlyphs() const { return glyphs_.get(); }
    void SetCustomGlyphs(forms::TBitmap* v) { glyphs_->Assign(*v); }
    int TransparentColor() const { return transparent_; }
    void SetTransparentColor(int v) { transparent_ = v; }
    bool UseCustomGlyphs() const { return use_; }
    void SetUseCustomGlyphs(bool v) {
        use_ = v;
        ++reloads;
    }
    int reloads = 0;

private:
    std::unique_ptr<forms::TBitmap> glyphs_;
    int transparent_ = 0;
    bool use_ = false;
};

// A glyph strip of 16 × 16 frames, each flat in its colour, its bottom-left pixel the key.
forms::TBitmap* GlyphStrip(const std::vector<COLORREF>& frames) {
    auto* glyph = new forms::TBitmap(16 * static_cast<int>(frames.size()), 16);
    HDC dc = glyph->Canvas()->Handle();
    for (size_t i = 0; i < frames.size(); ++i) {
        forms::UniqueBrush brush(CreateSolidBrush(frames[i]));
        RECT r{static_cast<int>(i) * 16, 0, static_cast<int>(i + 1) * 16, 16};
        FillRect(dc, &r, brush.get());
        SetPixel(dc, r.left, 15, RGB(1, 2, 3));
    }
    return glyph;
}

constexpr int kThird = -1;  // a place the test measures
constexpr COLORREF kGlyphNormal = RGB(0x11, 0xAA, 0x22);
constexpr COLORREF kGlyphDisabled = RGB(0x80, 0x80, 0x80);  // grey stays grey when greyed
constexpr COLORREF kGlyphPressed = RGB(0x22, 0x33, 0xCC);
constexpr COLORREF kListNormal = RGB(0xC0, 0x40, 0x10);
constexpr COLORREF kListNormalGrey = RGB(0x5A, 0x5A, 0x5A);  // (0x10 + 0x40 + 0xC0) div 3
constexpr COLORREF kListDisabled = RGB(0x30, 0x90, 0xE0);

// A pixel of a window's client area as it stands after a full repaint.
COLORREF ClientPixel(HWND wnd, int x, int y) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

struct KindSkins : testing_support::SkinnedForm {
    template <class T> T* Add(int x, int y, int w, int h) {
        auto* c = new T(form);
        c->SetParent(form);
        c->SetBounds(x, y, w, h);
        return c;
    }
    TSkinControl* SkinOf(const forms::TControl* control) const {
        for (TSkinControl* s : list->Skins()) {
            if (s->Control() == control || s->GraphicControl() == control) return s;
        }
        return nullptr;
    }
};

// Every kind on the form gets its own skin from the rule chain.
TEST_F(KindSkins, EveryKindGetsItsSkin) {
    auto* bit = Add<forms::TBitBtn>(10, 10, 90, 30);
    auto* speed = Add<forms::TSpeedButton>(110, 10, 30, 30);
    auto* status = Add<forms::TStatusBar>(0, 0, 100, 22);
    auto* view = Add<forms::TListView>(10, 50, 200, 100);
    auto* set = Add<forms::TTabSet>(220, 50, 200, 21);
    auto* track = Add<forms::TTrackBar>(220, 80, 150, 30);
    auto* progress = Add<forms::TProgressBar>(220, 120, 150, 20);
    auto* bar = Add<forms::TScrollBar>(220, 150, 150, 17);
    auto* glyphs = Add<TRzDBCheckBox>(10, 160, 120, 20);
    auto* tools = Add<forms::TToolBar>(0, 0, 100, 26);
    auto* arrows = Add<forms::TUpDown>(400, 10, 20, 40);
    view->SetColumns({{"Name", 80}, {"Size", 60}});
    Pump();
    SkinChildControls(*list, *form);
    const struct {
        const forms::TControl* control;
        const char* skin;
    } expected[] = {
        {bit, "TSkinBitButton"},   {speed, "TSkinSpeedButton"}, {status, "TSkinStatusBar"}, {view, "TSkinListView"},
        {set, "TSkinTab31"},       {track, "TSkinTrackBar"},    {progress, "TSkinProgress"}, {bar, "TSkinScControl"},
        {glyphs, "TSkinObjImage"}, {tools, "TSkinBox"},         {arrows, "TSkinUpDown"},
    };
    for (const auto& e : expected) {
        const TSkinControl* skin = SkinOf(e.control);
        ASSERT_NE(skin, nullptr) << e.skin;
        EXPECT_STREQ(skin->SkinClassName(), e.skin);
    }
    HWND header = reinterpret_cast<HWND>(SendMessageA(view->Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(list->FindByHandle(header), nullptr);
    EXPECT_STREQ(list->FindByHandle(header)->SkinClassName(), "TSkinHeader");
    EXPECT_FALSE(status->SizeGrip()) << "a skinned status bar loses its own grip";
    EXPECT_TRUE(tools->Flat());
    // A second walk attaches nothing twice.
    const size_t count = list->Skins().size();
    SkinChildControls(*list, *form);
    EXPECT_EQ(list->Skins().size(), count);
}

// A bit button: the Buttons frame of its state, and its glyph frame where the layout, margin
// and spacing put it (120 × 40 button, 16 × 16 glyph). Without a glyph, the image of its
// image list takes the glyph's place.
TEST_F(KindSkins, BitButtonGlyphLayoutsAndStates) {
    std::unique_ptr<forms::TBitmap> strip(GlyphStrip({kGlyphNormal, kGlyphDisabled, kGlyphPressed}));
    auto* images = new forms::TImageList(form);
    images->AddMasked(*std::unique_ptr<forms::TBitmap>(GlyphStrip({kListNormal, kListDisabled})), static_cast<forms::TColor>(RGB(1, 2, 3)));
    auto fromList = [images](int imageIndex, int disabledIndex, bool keepGlyph = false) {
        return [=](forms::TBitBtn& b) {
            if (!keepGlyph) b.SetGlyph(nullptr);
            b.SetImages(images);
            b.SetImageIndex(imageIndex);
            b.SetDisabledIndex(disabledIndex);
        };
    };
    auto disabled = [](std::function<void(forms::TBitBtn&)> first) {
        return [first](forms::TBitBtn& b) {
            first(b);
            b.SetEnabled(false);
        };
    };
    const struct {
        const char* name;
        forms::TButtonLayout layout;
        int margin, spacing;
        const char* caption;
        std::function<void(forms::TBitBtn&)> drive;
        POINT glyphAt;
        COLORREF glyph;
        int frame;
    } cases[] = {
        {"left, margin 5", forms::blGlyphLeft, 5, 4, "Go", {}, {13, 20}, kGlyphNormal, 1},
        {"left, margin 5, spacing automatic", forms::blGlyphLeft, 5, -1, "Go", {}, {13, 20}, kGlyphNormal, 1},
        {"left, both automatic", forms::blGlyphLeft, -1, -1, "Go", {}, {kThird, 20}, kGlyphNormal, 1},
        {"no caption, margin automatic", forms::blGlyphLeft, -1, 4, "", {}, {60, 20}, kGlyphNormal, 1},
        {"right, margin 5", forms::blGlyphRight, 5, 4, "Go", {}, {107, 20}, kGlyphNormal, 1},
        {"right, both automatic", forms::blGlyphRight, -1, -1, "Go", {}, {kThird, 20}, kGlyphNormal, 1},
        {"top, margin 5", forms::blGlyphTop, 5, 4, "Go", {}, {60, 13}, kGlyphNormal, 1},
        {"top, both automatic", forms::blGlyphTop, -1, -1, "Go", {}, {60, kThird}, kGlyphNormal, 1},
        {"bottom, margin 5", forms::blGlyphBottom, 5, 4, "Go", {}, {60, 27}, kGlyphNormal, 1},
        {"bottom, both automatic", forms::blGlyphBottom, -1, -1, "Go", {}, {60, kThird}, kGlyphNormal, 1},
        {"pressed", forms::blGlyphLeft, 5, 4, "Go",
         [](forms::TBitBtn& b) { SendMessageA(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20)); }, {13, 20},
         kGlyphPressed, 2},
        {"disabled", forms::blGlyphLeft, 5, 4, "Go", [](forms::TBitBtn& b) { b.SetEnabled(false); }, {13, 20}, kGlyphDisabled, 3},
        {"default", forms::blGlyphLeft, 5, 4, "Go", [](forms::TBitBtn& b) { b.SetDefault(true); }, {13, 20}, kGlyphNormal, 5},
        {"focused default", forms::blGlyphLeft, 5, 4, "Go",
         [](forms::TBitBtn& b) {
             b.SetDefault(true);
             b.SetFocus();
         },
         {13, 20}, kGlyphNormal, 4},
        {"a strip of one frame, pressed", forms::blGlyphLeft, 5, 4, "Go",
         [](forms::TBitBtn& b) {
             std::unique_ptr<forms::TBitmap> one(GlyphStrip({kGlyphNormal}));
             b.SetGlyph(one.get());
             b.SetNumGlyphs(0);
             SendMessageA(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20));
         },
         {13, 20}, kGlyphNormal, 2},
        {"image list", forms::blGlyphLeft, 5, 4, "Go", fromList(0, -1), {13, 20}, kListNormal, 1},
        {"image list, pressed", forms::blGlyphLeft, 5, 4, "Go",
         [&](forms::TBitBtn& b) {
             fromList(0, -1)(b);
             SendMessageA(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20));
         },
         {13, 20}, kListNormal, 2},
        {"image list, disabled with its own image", forms::blGlyphLeft, 5, 4, "Go", disabled(fromList(0, 1)), {13, 20},
         kListDisabled, 3},
        {"image list, disabled without one", forms::blGlyphLeft, 5, 4, "Go", disabled(fromList(0, -1)), {13, 20},
         kListNormalGrey, 3},
        {"image list, bottom layout", forms::blGlyphBottom, 5, 4, "Go", fromList(1, -1), {60, 27}, kListDisabled, 1},
        // No caption: the pixel is the glyph's only if one is drawn.
        {"image list, index past the end", forms::blGlyphLeft, 5, 4, "", fromList(2, -1), {13, 20},
         Rgb(probe::k_button[0]), 1},
        {"image list, index -1", forms::blGlyphLeft, 5, 4, "", fromList(-1, -1), {13, 20}, Rgb(probe::k_button[0]), 1},
        {"image list, disabled index past the end", forms::blGlyphLeft, 5, 4, "", disabled(fromList(0, 9)), {13, 20},
         Rgb(probe::k_button[2]), 3},
        {"a glyph wins over the image list", forms::blGlyphLeft, 5, 4, "Go", fromList(1, -1, true), {13, 20}, kGlyphNormal, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* button = Add<forms::TBitBtn>(20, 20, 120, 40);
        button->SetCaption(c.caption);
        button->SetGlyph(strip.get());
        button->SetNumGlyphs(3);
        button->SetLayout(c.layout);
        button->SetMargin(c.margin);
        button->SetSpacing(c.spacing);
        Pump();
        SkinChildControls(*list, *form);
        if (c.drive) c.drive(*button);
        Pump();
        // With both automatic, the room left is shared in thirds around glyph and caption.
        POINT at = c.glyphAt;
        if (at.x == kThird || at.y == kThird) {
            HDC screen = GetDC(nullptr);
            HGDIOBJ old = SelectObject(screen, button->Font()->Handle());
            SIZE text{};
            GetTextExtentPoint32A(screen, c.caption, 2, &text);
            SelectObject(screen, old);
            ReleaseDC(nullptr, screen);
            const int across = (120 - 16 - text.cx) / 3, down = (40 - 16 - text.cy) / 3;
            if (c.layout == forms::blGlyphLeft) at.x = across + 8;
            if (c.layout == forms::blGlyphRight) at.x = 120 - across - 16 + 8;
            if (c.layout == forms::blGlyphTop) at.y = down + 8;
            if (c.layout == forms::blGlyphBottom) at.y = 40 - down - 16 + 8;
        }
        const PaintedPixels pixels(button->Handle());
        EXPECT_EQ(pixels.At(at.x, at.y), c.glyph);
        EXPECT_EQ(pixels.At(2, 2), Rgb(probe::k_button[c.frame - 1]));
        list->UnskinAll();
        delete button;
        Pump();
    }
}

// A speed button is drawn on its parent: flat ones show only the face until hot or pressed.
TEST_F(KindSkins, SpeedButtonFlatAndDown) {
    const struct {
        const char* name;
        bool flat;
        std::function<void(forms::TSpeedButton&)> drive;
        std::uint32_t frame;  // 0: the face colour
    } cases[] = {
        {"raised", false, {}, probe::k_button[0]},
        {"flat", true, {}, 0},
        {"flat and hot", true, [](forms::TSpeedButton& b) { b.Perform(forms::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(&b)); },
         probe::k_button[3]},
        {"flat and down", true, [](forms::TSpeedButton& b) { b.SetDown(true); }, probe::k_button[1]},
        {"down", false, [](forms::TSpeedButton& b) { b.SetDown(true); }, probe::k_button[1]},
        {"disabled", false, [](forms::TSpeedButton& b) { b.SetEnabled(false); }, probe::k_button[2]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* button = Add<forms::TSpeedButton>(30, 30, 40, 30);
        button->SetFlat(c.flat);
        SkinChildControls(*list, *form);
        if (c.drive) c.drive(*button);
        Pump();
        EXPECT_EQ(ClientPixel(form->Handle(), 32, 32), c.frame == 0 ? Face() : Rgb(c.frame));
        list->UnskinAll();
        delete button;
        Pump();
    }
}

// A press shows the pressed frame at once and the release clicks the button once.
TEST_F(KindSkins, SpeedButtonPressAndClick) {
    auto* button = Add<forms::TSpeedButton>(30, 30, 40, 30);
    int clicks = 0;
    button->OnClick = [&](forms::TObject*) { ++clicks; };
    SkinChildControls(*list, *form);
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    HDC dc = GetDC(form->Handle());
    EXPECT_EQ(GetPixel(dc, 32, 32), Rgb(probe::k_button[1])) << "drawn on the press, before any repaint";
    ReleaseDC(form->Handle(), dc);
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ClientPixel(form->Handle(), 32, 32), Rgb(probe::k_button[0]));
}

// Panels by their bevel (lowered, raised, none), the simple panel, and the size grip.
TEST_F(KindSkins, StatusBarPanelsAndGrip) {
    auto* bar = Add<forms::TStatusBar>(0, 0, 400, 24);
    bar->SetPanels({{"", 100, forms::pbLowered}, {"", 100, forms::pbRaised}, {"", 100, forms::pbNone}});
    Pump();
    SkinChildControls(*list, *form);
    HWND wnd = bar->Handle();
    auto panelPixel = [&](int i) {
        RECT p{};
        SendMessageA(wnd, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&p));
        const PaintedPixels pixels(wnd);
        return pixels.At(p.left + 4, pixels.Height() / 2);
    };
    EXPECT_EQ(panelPixel(0), Rgb(probe::k_status[0]));
    EXPECT_EQ(panelPixel(1), Rgb(probe::k_status[1]));
    EXPECT_EQ(panelPixel(2), Rgb(probe::k_status[2]));
    bar->SetSimplePanel(true);
    EXPECT_EQ(PaintedPixels(wnd).At(250, 12), Rgb(probe::k_status[0]));

    // With its grip kept (a skin attached outside the rules), the grip comes from ExtraImages.
    list->UnskinAll();
    bar->SetSimplePanel(false);
    bar->SetSizeGrip(true);
    Pump();
    auto* skin = new TSkinStatusBar(bar);
    skin->AttachControl(list.get(), data.get(), false);
    const PaintedPixels pixels(bar->Handle());
    EXPECT_EQ(pixels.At(pixels.Width() - 1 - 8, pixels.Height() - 1 - 10), Rgb(probe::k_extra[4]));
}

// A panel's text sits where its alignment puts it; a right-to-left panel swaps left and right.
TEST_F(KindSkins, StatusPanelAlignmentByReadingOrder) {
    const struct {
        forms::TAlignment alignment;
        bool rightToLeft;
        const char* expected;
    } cases[] = {
        {forms::taLeftJustify, false, "left"},  {forms::taRightJustify, false, "right"}, {forms::taCenter, false, "centre"},
        {forms::taLeftJustify, true, "right"},  {forms::taRightJustify, true, "left"},   {forms::taCenter, true, "centre"},
    };
    auto* bar = Add<forms::TStatusBar>(0, 0, 400, 24);
    bar->SetSizeGrip(false);
    Pump();
    (new TSkinStatusBar(bar))->AttachControl(list.get(), data.get(), false);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.alignment) + (c.rightToLeft ? " right to left" : ""));
        forms::TStatusPanel panel{"WWW", 240, forms::pbLowered, c.alignment};
        panel.RightToLeft = c.rightToLeft;
        bar->SetPanels({panel, {"", 100, forms::pbLowered}});
        RECT p{};
        SendMessageA(bar->Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&p));
        const PaintedPixels pixels(bar->Handle());
        EXPECT_STREQ(testsupport::TextPlacement(pixels, p, Rgb(probe::k_status[0])), c.expected) << "\"\" is no text drawn";
    }
}

// A handler that frees the skin (the bar unskinned from inside its own paint) ends the loop:
// the skin asks for no further panel.
TEST_F(KindSkins, StatusBarOwnerDrawHandlerMayFreeTheSkin) {
    auto* bar = Add<forms::TStatusBar>(0, 0, 400, 24);
    bar->SetSizeGrip(false);
    bar->SetPanels({{"one", 100, forms::pbLowered}, {"two", 100, forms::pbLowered}, {"three", 100, forms::pbRaised}});
    Pump();
    auto* skin = new TSkinStatusBar(bar);
    skin->AttachControl(list.get(), data.get(), false);
    int calls = 0;
    bar->OnDrawPanel = [&](forms::TStatusBar*, int, HDC, const RECT&) {
        if (calls++ == 0) delete skin;
    };
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(list->IsListed(bar));
    bar->OnDrawPanel = nullptr;
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// A bar with an owner-draw handler has it called for every panel after the skin has drawn,
// text panels too, each with its rectangle inside the bevel.
TEST_F(KindSkins, StatusBarOwnerDrawHandlerForEveryPanel) {
    auto* bar = Add<forms::TStatusBar>(0, 0, 400, 24);
    bar->SetSizeGrip(false);
    forms::TStatusPanel owned{"", 100, forms::pbLowered};
    owned.Style = forms::psOwnerDraw;
    bar->SetPanels({{"one", 100, forms::pbLowered}, owned, {"three", 100, forms::pbRaised}});
    Pump();
    (new TSkinStatusBar(bar))->AttachControl(list.get(), data.get(), false);
    std::vector<RECT> skinRects(3);
    for (int i = 0; i < 3; ++i) {
        SendMessageA(bar->Handle(), SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&skinRects[static_cast<size_t>(i)]));
        InflateRect(&skinRects[static_cast<size_t>(i)], -1, -1);
    }
    std::set<int> painted;
    bar->OnDrawPanel = [&](forms::TStatusBar*, int i, HDC dc, const RECT& r) {
        if (i < 0 || i > 2 || !EqualRect(&r, &skinRects[static_cast<size_t>(i)])) return;  // the bar's own call
        painted.insert(i);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    };
    const PaintedPixels pixels(bar->Handle());
    EXPECT_EQ(painted, (std::set<int>{0, 1, 2}));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const RECT& r = skinRects[static_cast<size_t>(i)];
        EXPECT_EQ(pixels.At((r.left + r.right) / 2, (r.top + r.bottom) / 2), RGB(255, 255, 255)) << "painted over the skin";
    }
}

// The speed button's attach answers whether it attached: a second call attaches nothing.
TEST_F(KindSkins, ASpeedButtonAttachesOnce) {
    auto* speed = new forms::TSpeedButton(form);
    speed->SetParent(form);
    speed->SetBounds(10, 10, 40, 30);
    Pump();
    auto* skin = new TSkinSpeedButton(speed);
    EXPECT_TRUE(skin->AttachGraphicControl(list.get(), data.get()));
    EXPECT_FALSE(skin->AttachGraphicControl(list.get(), data.get()));
    EXPECT_EQ(list->Skins().size(), 1u);
}

// A bar that makes its window again (its grip or orientation changed) keeps its skin, which
// paints the new window; it used to be taken for dead and leave the bar unpainted.
TEST_F(KindSkins, ABarMadeAgainKeepsItsSkin) {
    auto* status = Add<forms::TStatusBar>(0, 0, 400, 24);
    status->SetPanels({{"", 100, forms::pbRaised}, {"", 100, forms::pbLowered}});
    auto* progress = Add<forms::TProgressBar>(10, 10, 200, 20);
    progress->SetPosition(50);
    Pump();
    SkinChildControls(*list, *form);
    const size_t skins = list->Skins().size();
    HWND oldBar = status->Handle();
    status->SetSizeGrip(true);
    progress->SetOrientation(forms::pbVertical);
    progress->SetBounds(10, 10, 20, 200);
    Pump();
    ASSERT_NE(status->Handle(), oldBar);
    SkinChildControls(*list, *form);
    EXPECT_EQ(list->Skins().size(), skins) << "no skin freed, none added";
    EXPECT_EQ(SkinOf(status)->LifeState(), kLifeAttached);
    {
        const PaintedPixels pixels(status->Handle());
        EXPECT_EQ(pixels.At(4, 12), Rgb(probe::k_status[1]));
        EXPECT_EQ(pixels.At(pixels.Width() - 1 - 8, pixels.Height() - 1 - 10), Rgb(probe::k_extra[4]));
    }
    const PaintedPixels bar(progress->Handle());
    EXPECT_EQ(bar.At(10, 150), Rgb(probe::k_progress[1]));
    EXPECT_EQ(bar.At(10, 50), Rgb(probe::k_progress[0]));
}

// Header items and the space after them, on a header control and on a list view's header; the
// list view's scroll bars are covered by skinned ones.
TEST_F(KindSkins, HeaderItemsAndListViewBars) {
    auto* header = Add<forms::THeaderControl>(10, 10, 300, 22);
    header->SetAlign(forms::alNone);
    header->SetBounds(10, 10, 300, 22);
    header->SetSections({{"First", 100}, {"", 80}});
    Pump();
    auto* skin = new TSkinHeader(header);
    skin->AttachHandle(header->Handle(), data.get(), list.get());
    {
        const PaintedPixels pixels(header->Handle());
        EXPECT_EQ(pixels.At(60, 3), Rgb(probe::k_header[0])) << "an item with a caption";
        EXPECT_EQ(pixels.At(140, 11), Rgb(probe::k_header[0])) << "an item without one";
        EXPECT_EQ(pixels.At(250, 11), Rgb(probe::k_header[0])) << "after the last item";
    }

    auto* view = Add<forms::TListView>(10, 60, 200, 120);
    view->SetColumns({{"Name", 180}, {"Size", 180}});
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 40; ++i) rows.push_back({"row " + std::to_string(i), std::to_string(i)});
    view->SetRows(rows);
    Pump();
    SkinChildControls(*list, *form);
    auto* skinned = dynamic_cast<TSkinListView*>(list->FindByHandle(view->Handle()));
    ASSERT_NE(skinned, nullptr);
    RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    HWND viewHeader = reinterpret_cast<HWND>(SendMessageA(view->Handle(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ(PaintedPixels(viewHeader).At(60, 3), Rgb(probe::k_header[0]));
    for (TWScrollbar* bar : {skinned->Horizontal(), skinned->Vertical()}) {
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(bar->Visible()) << "kind " << bar->Kind();
        const PaintedPixels pixels(bar->Handle());
        const bool vertical = bar->Kind() == 1;
        EXPECT_EQ(pixels.At(3, 3), Rgb(probe::k_scrollarrows[vertical ? 8 : 0])) << "kind " << bar->Kind();
    }
}

// The selected tab of a tab set shows the second frame, the others the first.
TEST_F(KindSkins, TabSetSelectedAndNot) {
    auto* set = Add<forms::TTabSet>(10, 10, 300, 21);
    set->SetTabs({"One", "Two", "Three"});
    set->SetTabIndex(1);
    Pump();
    SkinChildControls(*list, *form);
    ASSERT_NE(SkinOf(set), nullptr);
    const PaintedPixels pixels(set->Handle());
    const RECT other = set->TabRect(0);
    const RECT selected = set->TabRect(1);
    EXPECT_EQ(pixels.At(other.left + 2, 10), Rgb(probe::k_tabs[0]));
    EXPECT_EQ(pixels.At(selected.left + 2, 10), Rgb(probe::k_tabs[1]));
    EXPECT_EQ(pixels.At(295, 10), Face()) << "the strip after the tabs";
}

// A set whose tabs overflow shows its scroller, whose arrows lie side by side in the skin.
TEST_F(KindSkins, TabSetScrollerArrows) {
    auto* set = Add<forms::TTabSet>(10, 10, 150, 21);
    set->SetTabs({"January", "February", "March", "April", "May", "June"});
    Pump();
    ASSERT_TRUE(set->Scroller()->Visible());
    SkinChildControls(*list, *form);
    HWND arrows = set->Scroller()->Handle();
    ASSERT_NE(list->FindByHandle(arrows), nullptr);
    EXPECT_STREQ(list->FindByHandle(arrows)->SkinClassName(), "TSkinUpDown");
    SetCursorPos(0, 0);
    const PaintedPixels pixels(arrows);
    // Each half: its frame of the horizontal element, under its glyph of the same frame.
    EXPECT_EQ(pixels.At(1, 0), Rgb(probe::k_updownh[0])) << "left arrow";
    EXPECT_EQ(pixels.At(1, pixels.Height() / 2), Rgb(probe::k_updownglyph[0])) << "left arrow";
    EXPECT_EQ(pixels.At(pixels.Width() - 2, 0), Rgb(probe::k_updownh[4])) << "right arrow";
    EXPECT_EQ(pixels.At(pixels.Width() - 2, pixels.Height() / 2), Rgb(probe::k_updownglyph[4])) << "right arrow";
    // The tabs stop short of the scroller.
    for (int i = 0; i < 6; ++i) {
        const RECT tab = set->TabRect(i);
        if (!IsRectEmpty(&tab)) {
            EXPECT_LE(tab.right, set->Scroller()->Left());
        }
    }
}

// The track bar's thumb is the skin's, drawn when the bar asks through custom draw.
TEST_F(KindSkins, TrackBarThumbThroughCustomDraw) {
    auto* track = Add<forms::TTrackBar>(10, 10, 200, 32);
    track->SetPosition(50);
    Pump();
    SkinChildControls(*list, *form);
    RECT thumb{};
    SendMessageA(track->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    ASSERT_GT(thumb.right, thumb.left);
    EXPECT_EQ(ClientPixel(track->Handle(), (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2),
              Rgb(probe::k_trackthumb[1]));
    // Custom draw reported by another window (the bar's tooltip) is not the thumb's.
    NMCUSTOMDRAW draw{};
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.dwItemSpec = TBCD_THUMB;
    draw.hdc = GetDC(nullptr);
    draw.hdr.hwndFrom = track->Handle();
    EXPECT_EQ(track->Perform(forms::CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_SKIPDEFAULT);
    draw.hdr.hwndFrom = form->Handle();
    EXPECT_NE(track->Perform(forms::CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_SKIPDEFAULT);
    ReleaseDC(nullptr, draw.hdc);
}

// A skin change gives a visible track bar the focus; a hidden one leaves it where it is.
TEST_F(KindSkins, TrackBarTakesTheFocusOnASkinChangeWhenVisible) {
    auto* edit = Add<forms::TEdit>(10, 60, 100, 22);
    auto* track = Add<forms::TTrackBar>(10, 10, 200, 32);
    Pump();
    SkinChildControls(*list, *form);
    auto* skin = SkinOf(track);
    ASSERT_NE(skin, nullptr);
    SetFocus(edit->Handle());
    track->SetVisible(false);
    skin->RefreshSkin();
    EXPECT_EQ(GetFocus(), edit->Handle());
    track->SetVisible(true);
    skin->RefreshSkin();
    EXPECT_EQ(GetFocus(), track->Handle());
}

// Half-way bars fill half their length (a vertical one from the bottom); a bar whose maximum
// is 0 shows its empty frame only.
TEST_F(KindSkins, ProgressHalfWayAndEmptyRange) {
    const struct {
        const char* name;
        forms::TProgressBarOrientation orientation;
        int max, position;
        POINT full, empty;  // sampled points: full (-1: none) and empty frames
    } cases[] = {
        {"horizontal", forms::pbHorizontal, 100, 50, {50, 10}, {150, 10}},
        {"vertical", forms::pbVertical, 100, 50, {10, 150}, {10, 50}},
        {"maximum 0", forms::pbHorizontal, 0, 0, {-1, -1}, {50, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool vertical = c.orientation == forms::pbVertical;
        auto* bar = Add<forms::TProgressBar>(10, 10, vertical ? 20 : 200, vertical ? 200 : 20);
        bar->SetOrientation(c.orientation);
        bar->SetMin(0);
        bar->SetMax(c.max);
        bar->SetPosition(c.position);
        Pump();
        SkinChildControls(*list, *form);
        const PaintedPixels pixels(bar->Handle());
        if (c.full.x >= 0) {
            EXPECT_EQ(pixels.At(c.full.x, c.full.y), Rgb(probe::k_progress[1]));
        }
        EXPECT_EQ(pixels.At(c.empty.x, c.empty.y), Rgb(probe::k_progress[0]));
        list->UnskinAll();
        delete bar;
        Pump();
    }
}

// The scroll-bar control is covered by one painted bar: its arrows, track and thumb.
TEST_F(KindSkins, ScrollBarControlTrackAndThumb) {
    auto* bar = Add<forms::TScrollBar>(10, 10, 200, 17);
    bar->SetMax(99);
    bar->SetPageSize(10);
    bar->SetPosition(0);
    Pump();
    SkinChildControls(*list, *form);
    auto* skin = dynamic_cast<TSkinScControl*>(SkinOf(bar));
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->Overlay(), nullptr);
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    ASSERT_TRUE(skin->Overlay()->Visible());
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    {
        const PaintedPixels pixels(skin->Overlay()->Handle());
        EXPECT_EQ(pixels.Width(), 200);
        EXPECT_EQ(pixels.At(3, 8), Rgb(probe::k_scrollarrows[0])) << "left arrow";
        EXPECT_EQ(pixels.At(196, 8), Rgb(probe::k_scrollarrows[4])) << "right arrow";
        EXPECT_EQ(pixels.At(arrow + 3, 8), Rgb(probe::k_hthumb[0])) << "thumb at the start";
        EXPECT_EQ(pixels.At(150, 8), Rgb(probe::k_hscroll[0])) << "track";
    }
    bar->SetPosition(90);
    Pump();
    {
        const PaintedPixels moved(skin->Overlay()->Handle());
        EXPECT_EQ(moved.At(arrow + 3, 8), Rgb(probe::k_hscroll[0])) << "the thumb left the start";
        EXPECT_EQ(moved.At(200 - arrow - 3, 8), Rgb(probe::k_hthumb[0])) << "and stands at the end";
    }
    // A range that does not start at 0: its first position puts the thumb at the start.
    bar->SetMax(199);
    bar->SetMin(100);
    bar->SetPosition(100);
    Pump();
    const PaintedPixels shifted(skin->Overlay()->Handle());
    EXPECT_EQ(shifted.At(arrow + 3, 8), Rgb(probe::k_hthumb[0]));
    EXPECT_EQ(shifted.At(100, 8), Rgb(probe::k_hscroll[0]));
}

// The check glyphs handed to a custom-glyph check box: the skin's check frames in the slots
// the control reads.
TEST_F(KindSkins, ImageStripCheckGlyphs) {
    auto* box = Add<TRzDBCheckBox>(10, 10, 120, 20);
    Pump();
    SkinChildControls(*list, *form);
    ASSERT_NE(SkinOf(box), nullptr);
    forms::TBitmap* glyphs = box->CustomGlyphs();
    const int frames = data->Elements().buttons->CheckButtonFrame;
    const int w = data->Elements().buttons->checkImage.width() / frames;
    ASSERT_EQ(glyphs->Width(), 9 * w);
    HDC dc = glyphs->Canvas()->Handle();
    const struct {
        int slot, frame;
    } slots[] = {{0, 0}, {1, 1}, {3, 0}, {4, 1}, {6, 2}, {7, 3}};
    for (const auto& s : slots) EXPECT_EQ(GetPixel(dc, s.slot * w + w / 2, 6), Rgb(probe::k_check[s.frame])) << "slot " << s.slot;
    EXPECT_EQ(box->TransparentColor(), 0xFF00FF);
    EXPECT_TRUE(box->UseCustomGlyphs());
    list->UnskinAll();
    EXPECT_FALSE(box->UseCustomGlyphs());
}

// Skins made for the test: a Progress element of chunks, with a chunk or without one, and a
// check strip of two frames.
Bytes SkinWith(const std::string& progress, bool chunk, int checkFrames) {
    std::string ini = "[Colours]\r\nButtonFace=10 20 30\r\n[Progress]\r\nBitmap=p.bmp\r\nStyle=1\r\nLeftWidth=2\r\nRightWidth=2\r\n" +
                      progress + (chunk ? "Chunk=c.bmp\r\n" : "") +
                      "[Buttons]\r\nBitmap=b.bmp\r\nCheckButton=k.bmp\r\nCheckButtonFrame=" + std::to_string(checkFrames) + "\r\n";
    auto flat = [](int w, int h, std::uint32_t colour) {
        return skin_pack::Bmp24Bytes(skin_pack::Rgb24Picture{w, h, std::vector<std::uint32_t>(static_cast<size_t>(w) * h, colour)});
    };
    skin_pack::Rgb24Picture check{13 * checkFrames, 13, {}};
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < check.width; ++x) check.pixels.push_back(0x200000u * static_cast<std::uint32_t>(x / 13 + 1) + 0x40);
    const std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", Bytes(ini.begin(), ini.end())},
                                                       {"p.bmp", flat(20, 14, 0x404040)},
                                                       {"c.bmp", flat(10, 8, 0x00C000)},
                                                       {"b.bmp", flat(120, 20, 0x00FF00)},
                                                       {"k.bmp", skin_pack::Bmp24Bytes(check)}};
    return skin_pack::PackSkinStream(skin_pack::ArchiveBytes(entries));
}

void Use(TSkinData& d, const Bytes& stream) {
    d.SkinStream().Clear();
    d.SkinStream().WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    ASSERT_TRUE(d.LoadSkin());
}

// Chunks fill the inside of the frame up to the position; without a chunk bitmap only the
// empty bar is drawn (it used to tile a chunk of no width for ever).
TEST_F(KindSkins, ProgressChunksAndAMissingChunk) {
    for (bool chunk : {true, false}) {
        SCOPED_TRACE(chunk ? "with a chunk" : "without a chunk");
        Use(*data, SkinWith("", chunk, 4));
        auto* bar = Add<forms::TProgressBar>(10, 10, 200, 20);
        bar->SetPosition(50);
        Pump();
        SkinChildControls(*list, *form);
        const PaintedPixels pixels(bar->Handle());
        EXPECT_EQ(pixels.At(40, 10), chunk ? Rgb(0x00C000) : Rgb(0x404040));
        EXPECT_EQ(pixels.At(160, 10), Rgb(0x404040));
        list->UnskinAll();
        delete bar;
        Pump();
    }
}

// A full bar's chunks stop at the frame's right edge, also after its maximum shrank below
// the position.
TEST_F(KindSkins, ProgressChunksStayInsideTheFrame) {
    Use(*data, SkinWith("", true, 4));
    auto* bar = Add<forms::TProgressBar>(10, 10, 200, 20);
    bar->SetPosition(80);
    bar->SetMax(40);
    Pump();
    SkinChildControls(*list, *form);
    const PaintedPixels pixels(bar->Handle());
    EXPECT_EQ(pixels.At(190, 10), Rgb(0x00C000));
    EXPECT_EQ(pixels.At(198, 10), Rgb(0x404040));
}

// A check strip of two frames fills the slots that want a third or fourth with its last one.
TEST_F(KindSkins, ImageStripOfTwoFrames) {
    Use(*data, SkinWith("", true, 2));
    auto* box = Add<TRzDBCheckBox>(10, 10, 120, 20);
    Pump();
    SkinChildControls(*list, *form);
    HDC dc = box->CustomGlyphs()->Canvas()->Handle();
    ASSERT_EQ(box->CustomGlyphs()->Width(), 9 * 13);
    // The strip's pixels are written as the platform reads colours.
    EXPECT_EQ(GetPixel(dc, 6 * 13 + 6, 6), COLORREF{0x400040});
    EXPECT_EQ(GetPixel(dc, 7 * 13 + 6, 6), COLORREF{0x400040});
    EXPECT_EQ(GetPixel(dc, 1 * 13 + 6, 6), COLORREF{0x400040});
    EXPECT_EQ(GetPixel(dc, 0 * 13 + 6, 6), COLORREF{0x200040});
}

}  // namespace
}  // namespace skin
