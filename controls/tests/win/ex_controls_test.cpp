#include "controls/ex_controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ctl_themes.h"
#include "controls/ctl_utils.h"
#include "controls/portable/flavour.h"
#include "forms/application.h"
#include "forms/form.h"
#include "forms/hint_window.h"
#include "tests/support/mouse_input.h"

namespace controls {
namespace {

using namespace forms;

TEST(ExControls, EachIsStillItsBaseToKindTests) {
    TForm form(nullptr);
    auto* panel = new TExPanel(&form);
    auto* box = new TExScrollBox(&form);
    auto* image = new TExImage(&form);
    auto* custom = new TExCustomControl(&form);
    auto* graphic = new TExGraphicControl(&form);
    TObject* objects[] = {panel, box, image, custom, graphic};
    EXPECT_NE(dynamic_cast<TPanel*>(objects[0]), nullptr);
    EXPECT_NE(dynamic_cast<TScrollBox*>(objects[1]), nullptr);
    EXPECT_NE(dynamic_cast<TImage*>(objects[2]), nullptr);
    EXPECT_NE(dynamic_cast<TCustomControl*>(objects[3]), nullptr);
    EXPECT_NE(dynamic_cast<TGraphicControl*>(objects[4]), nullptr);
    const struct {
        TObject* object;
        const char* name;
        const char* base;
    } names[] = {{panel, "TExPanel", "TPanel"},
                 {box, "TExScrollBox", "TScrollBox"},
                 {image, "TExImage", "TImage"},
                 {custom, "TExCustomControl", "TCustomControl"},
                 {graphic, "TExGraphicControl", "TGraphicControl"}};
    for (const auto& n : names) {
        EXPECT_EQ(n.object->ClassName(), n.name);
        EXPECT_TRUE(n.object->InheritsFromName(n.base)) << n.name;
        EXPECT_TRUE(n.object->InheritsFromName("TControl")) << n.name;
    }
    EXPECT_EQ(panel->HintColor(), clDefault);
    EXPECT_FALSE(panel->DotNetHighlighting());
}

// Logs what reaches the form library's handling under the layer, so tests see the order of
// events and passed-on messages.
std::vector<std::string>* g_log = nullptr;
void Log(const std::string& s) {
    if (g_log != nullptr) g_log->push_back(s);
}

class TLoggedGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) Log("inherited enter");
        if (m.Msg == CM_MOUSELEAVE) Log("inherited leave");
        if (m.Msg == CM_DIALOGCHAR) Log("inherited char " + std::to_string(m.WParam) + " " + std::to_string(m.LParam));
        if (m.Msg == CM_HITTEST) {
            POINT p = HitTestParamToPoint(m.LParam);
            Log("inherited hit " + std::to_string(p.x) + "," + std::to_string(p.y));
        }
        TGraphicControl::WndProc(m);
    }
};

class TLoggedEx : public TExControlLayer<TLoggedGraphic> {
public:
    using TExControlLayer::TExControlLayer;
    TShiftState seenShift = 0;
    std::string seenText;

protected:
    bool WantKey(WORD key, TShiftState shift, const std::string& text) override {
        seenShift = shift;
        seenText = text;
        return TExControlLayer::WantKey(key, shift, text);
    }
};

struct LogScope {
    std::vector<std::string> lines;
    LogScope() { g_log = &lines; }
    ~LogScope() { g_log = nullptr; }
};

TEST(ExControls, MouseEnterEventComesBeforeAndLeaveEventAfterTheInheritedHandling) {
    LogScope log;
    TLoggedEx control(nullptr);
    control.OnMouseEnter = [&](TObject* sender) { Log(sender == &control ? "OnMouseEnter" : "wrong sender"); };
    control.OnMouseLeave = [&](TObject*) { Log("OnMouseLeave"); };
    control.Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(&control));
    EXPECT_TRUE(control.MouseInControl());
    control.Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(&control));
    EXPECT_FALSE(control.MouseInControl());
    EXPECT_EQ(log.lines, (std::vector<std::string>{"OnMouseEnter", "inherited enter", "inherited leave", "OnMouseLeave"}));
}

TEST(ExControls, DialogCharacterAndHitTestArePassedOnRebuilt) {
    const struct {
        LPARAM keyData;
        TShiftState shift;
    } cases[] = {
        {0, 0},
        {LPARAM{1} << 29, ssAlt},
        {LPARAM{1} << 28, ssCtrl},
        {LPARAM{1} << 27, ssShift},
        // Repeat count and scan code are not part of what is passed on.
        {(LPARAM{1} << 29) | (LPARAM{1} << 27) | 0x001E0001, ssAlt | ssShift},
    };
    for (const auto& c : cases) {
        LogScope log;
        TLoggedEx control(nullptr);
        control.Perform(CM_DIALOGCHAR, 'a', c.keyData);
        EXPECT_EQ(control.seenShift, c.shift);
        EXPECT_EQ(control.seenText, "a");
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0], "inherited char 97 " + std::to_string(c.keyData & ~LPARAM{0x00FFFFFF}));
    }
    LogScope log;
    TLoggedEx control(nullptr);
    control.SetBounds(0, 0, 20, 20);
    EXPECT_NE(control.Perform(CM_HITTEST, 0, PointToHitTestParam(-3, 7)), 0);
    EXPECT_EQ(log.lines, std::vector<std::string>{"inherited hit -3,7"});
}

// A custom control whose dialog codes are chosen by the test.
class TCodesControl : public TExCustomControl {
public:
    using TExCustomControl::TExCustomControl;
    bool replace = false;
    TDlgCodes replacement = 0;
    TDlgCodes seen = 0;

protected:
    void GetDlgCode(TDlgCodes& codes) override {
        seen = codes;
        if (replace) codes = replacement;
    }
};

TEST(ExControls, DialogCodesStayTheFormLibrarysUnlessReplaced) {
    TForm form(nullptr);
    auto* plain = new TCustomControl(&form);
    plain->SetParent(&form);
    auto* ex = new TCodesControl(&form);
    ex->SetParent(&form);
    const LRESULT native = SendMessageA(plain->Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(SendMessageA(ex->Handle(), WM_GETDLGCODE, 0, 0), native);
    EXPECT_TRUE(ex->seen & dcNative);

    const struct {
        TDlgCodes set;
        LRESULT answer;
    } cases[] = {
        {dcWantAllKeys | dcWantArrows, 5},
        {dcWantTab, DLGC_WANTTAB},
        {dcButton | dcWantChars, DLGC_BUTTON | DLGC_WANTCHARS},
        {0, 0},
        // Keeping the native flag keeps the native answer, whatever else is set.
        {dcNative | dcWantAllKeys, native},
    };
    ex->replace = true;
    for (const auto& c : cases) {
        ex->replacement = c.set;
        EXPECT_EQ(SendMessageA(ex->Handle(), WM_GETDLGCODE, 0, 0), c.answer) << c.set;
    }
}

TEST(ExControls, HintColourResolution) {
    const TColor appHint = Application->HintColor();
    Application->SetHintColor(clAqua);
    TForm form(nullptr);
    auto* parent = new TExPanel(&form);
    parent->SetParent(&form);
    parent->SetHintColor(clRed);
    auto* child = new TExGraphicControl(&form);
    const struct {
        TWinControl* parent;
        TColor own;
        TColor shown;
    } cases[] = {
        {parent, clDefault, clRed},
        {parent, clNone, clAqua},
        {parent, clBlue, clBlue},
        {nullptr, clDefault, clInfoBk},  // no parent: unchanged
        {&form, clDefault, clInfoBk},    // a parent that does not resolve leaves it
    };
    for (const auto& c : cases) {
        child->SetParent(c.parent);
        child->SetHintColor(c.own);
        THintInfo info;
        info.HintControl = child;
        child->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.HintColor, c.shown) << c.own;
    }
    int hintWindow = 0;
    child->SetHintWindowClass(&hintWindow);
    THintInfo info;
    child->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintWindowClass, &hintWindow);
    Application->SetHintColor(appHint);
}

// The mouse resting on a control whose hint colour is the default shows its hint in the
// colour its parent gives.
TEST(ExControls, ARestingMouseShowsTheHintInTheColourTheParentGives) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(240, 200, 160, 120);
    auto* parent = new TExPanel(&form);
    parent->SetParent(&form);
    parent->SetBounds(10, 10, 140, 100);
    parent->SetHintColor(clRed);
    auto* child = new TExCustomControl(&form);
    child->SetParent(parent);
    child->SetBounds(20, 20, 80, 50);
    child->SetHint("Red, from the panel");
    child->SetShowHint(true);
    form.Show();
    auto hint = [] { return Application->Hints().Window(); };
    auto showing = [&] { return hint() != nullptr && hint()->Showing(); };
    auto pumpUntil = [](const std::function<bool()>& done) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > 5000) return false;
            if (!Application->ProcessMessage()) Sleep(1);
        }
        return true;
    };
    testsupport::MoveMouse(child->ClientToScreen(POINT{40, 25}));
    ASSERT_TRUE(pumpUntil(showing));
    EXPECT_EQ(hint()->Text(), "Red, from the panel");
    WindowDC dc(hint()->Handle());
    EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(255, 0, 0));
    testsupport::MoveMouse(POINT{100, 100});
    EXPECT_TRUE(pumpUntil([&] { return !showing(); }));
}

TEST(ExControls, BurnerFlavourStartsWithTheApplicationsHintColour) {
    const TColor appHint = Application->HintColor();
    Application->SetHintColor(clYellow);
    SetLibraryFlavour(TLibraryFlavour::Burner);
    TExGraphicControl burner(nullptr);
    SetLibraryFlavour(TLibraryFlavour::Editor);
    TExGraphicControl editor(nullptr);
    EXPECT_EQ(burner.HintColor(), clYellow);
    EXPECT_EQ(editor.HintColor(), clDefault);
    Application->SetHintColor(appHint);
}

// Logs the control-list operations of a panel.
class TListLogPanel : public TExPanel {
public:
    using TExPanel::TExPanel;
    std::vector<std::string> log;
    int parentColourEvents = 0;

protected:
    void ControlListChanging(TControl* c, bool inserting) override {
        log.push_back(std::string("changing") + (inserting ? "+" : "-") + (ContainsControl(c) ? " in" : " out"));
        TExPanel::ControlListChanging(c, inserting);
    }
    void ControlListChanged(TControl* c, bool inserting) override {
        log.push_back(std::string("changed") + (inserting ? "+" : "-") + (ContainsControl(c) ? " in" : " out"));
        TExPanel::ControlListChanged(c, inserting);
    }
};

TEST(ExControls, ControlListOperationsBracketInsertAndRemove) {
    TListLogPanel panel(nullptr);
    auto* child = new TExGraphicControl(&panel);
    child->SetParent(&panel);
    child->SetParent(nullptr);
    EXPECT_EQ(panel.log, (std::vector<std::string>{"changing+ out", "changed+ in", "changing- in", "changed- out"}));
}

TEST(ExControls, ParentColourChangeFiresTheEventAfterTheInheritedHandling) {
    TForm form(nullptr);
    auto* panel = new TExPanel(&form);
    panel->SetParent(&form);
    panel->SetParentColor(true);
    int events = 0;
    TColor seen = clNone;
    panel->OnParentColorChange = [&](TObject*) {
        ++events;
        seen = panel->Color();
    };
    form.SetColor(clMaroon);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(seen, clMaroon);
}

// An erase handler that disturbs the DC it is given.
class TErasingPanel : public TExPanel {
public:
    using TExPanel::TExPanel;
    HDC seenDc = nullptr;
    LPARAM seenParam = 0;

protected:
    bool DoEraseBackground(TCanvas* canvas, LPARAM param) override {
        seenDc = canvas->Handle();
        seenParam = param;
        SetWindowOrgEx(seenDc, 5, 5, nullptr);
        SetTextColor(seenDc, RGB(1, 2, 3));
        return TExPanel::DoEraseBackground(canvas, param);
    }
};

TEST(ExControls, EraseBackgroundGetsACanvasAndTheDcComesBackUnchanged) {
    TForm form(nullptr);
    auto* panel = new TErasingPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 30, 20);
    UniqueMemoryDC dc = CreateScreenMemoryDC();
    UniqueBitmap bmp(CreateCompatibleBitmap(ScreenDC().get(), 30, 20));
    SelectedObject sel(dc.get(), bmp.get());
    SetTextColor(dc.get(), RGB(9, 9, 9));
    EXPECT_NE(SendMessageA(panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 77), 0);
    EXPECT_EQ(panel->seenDc, dc.get());
    EXPECT_EQ(panel->seenParam, 77);
    POINT org{};
    GetWindowOrgEx(dc.get(), &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(GetTextColor(dc.get()), RGB(9, 9, 9));
}

TEST(ExControls, RectangleHelpers) {
    const struct {
        RECT r;
        POINT p;
        bool inside;
    } points[] = {
        {{0, 0, 10, 10}, {10, 10}, true}, {{0, 0, 10, 10}, {0, 0}, true},   {{0, 0, 10, 10}, {11, 5}, false},
        {{0, 0, 10, 10}, {-1, 5}, false}, {{0, 0, 10, 10}, {5, 11}, false},
    };
    for (const auto& c : points) EXPECT_EQ(PointInRectInclusive(c.r, c.p), c.inside) << c.p.x << "," << c.p.y;
    EXPECT_EQ(AbsRectWidth(RECT{10, 0, 4, 0}), 6);
    EXPECT_EQ(AbsRectHeight(RECT{0, 3, 0, 10}), 7);
    EXPECT_EQ(AbsRectHeight(RECT{0, 10, 0, 3}), 7);

    // BlitRect(dest, x, y, rop, srcY, srcX, src, height, width): a 2 x 3 block from (4, 1).
    UniqueMemoryDC src = CreateScreenMemoryDC(), dest = CreateScreenMemoryDC();
    UniqueBitmap sb(CreateCompatibleBitmap(ScreenDC().get(), 10, 10)), db(CreateCompatibleBitmap(ScreenDC().get(), 10, 10));
    SelectedObject s1(src.get(), sb.get()), s2(dest.get(), db.get());
    PatBlt(src.get(), 0, 0, 10, 10, BLACKNESS);
    PatBlt(dest.get(), 0, 0, 10, 10, BLACKNESS);
    PatBlt(src.get(), 4, 1, 2, 3, WHITENESS);
    EXPECT_TRUE(BlitRect(dest.get(), 0, 0, SRCCOPY, 1, 4, src.get(), 3, 2));
    EXPECT_EQ(GetPixel(dest.get(), 1, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dest.get(), 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dest.get(), 1, 3), RGB(0, 0, 0));
}

TEST(ExControls, ThemeStylesTakeOnlyTheTwoThemeFlags) {
    TExPanel panel(nullptr);
    const TControlStyle before = panel.ControlStyle();
    AddThemeStyle(&panel, csParentBackground | csFramed | csFixedWidth);
    EXPECT_EQ(panel.ControlStyle(), before | csParentBackground);
    EXPECT_EQ(ThemeStyleOf(&panel), (before & csNeedsBorderPaint) | csParentBackground);
}

struct DcState {
    POINT windowOrg{}, viewportOrg{};
    RECT clipBox{};
    int clipKind = 0;  // GetClipRgn: 1 a region, 0 none
    RECT clip{};
};

DcState ReadState(HDC dc) {
    DcState s;
    GetWindowOrgEx(dc, &s.windowOrg);
    GetViewportOrgEx(dc, &s.viewportOrg);
    GetClipBox(dc, &s.clipBox);
    UniqueRegion rgn(CreateRectRgn(0, 0, 0, 0));
    s.clipKind = GetClipRgn(dc, rgn.get());
    if (s.clipKind == 1) GetRgnBox(rgn.get(), &s.clip);
    return s;
}

void ExpectSameState(const DcState& a, const DcState& b) {
    EXPECT_EQ(a.windowOrg.x, b.windowOrg.x);
    EXPECT_EQ(a.windowOrg.y, b.windowOrg.y);
    EXPECT_EQ(a.viewportOrg.x, b.viewportOrg.x);
    EXPECT_EQ(a.viewportOrg.y, b.viewportOrg.y);
    EXPECT_EQ(a.clipKind, b.clipKind);
    EXPECT_TRUE(EqualRect(&a.clip, &b.clip));
    EXPECT_TRUE(EqualRect(&a.clipBox, &b.clipBox));
}

TEST(ExControls, PaintParentBackgroundShowsTheParentAndRestoresTheDcExactly) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 60, 40);
    form.SetColor(clRed);
    auto* control = new TExGraphicControl(&form);
    control->SetParent(&form);
    control->SetBounds(10, 5, 20, 10);
    form.HandleNeeded();

    for (bool preClipped : {false, true}) {
        UniqueMemoryDC dc = CreateScreenMemoryDC();
        UniqueBitmap bmp(CreateCompatibleBitmap(ScreenDC().get(), 40, 30));
        SelectedObject sel(dc.get(), bmp.get());
        UniqueBrush black(CreateSolidBrush(RGB(0, 0, 0)));
        RECT all{0, 0, 40, 30};
        FillRect(dc.get(), &all, black.get());
        if (preClipped) IntersectClipRect(dc.get(), 0, 0, 35, 25);
        SetViewportOrgEx(dc.get(), 2, 3, nullptr);
        const DcState before = ReadState(dc.get());
        PaintParentBackground(control, dc.get(), POINT{control->Left(), control->Top()}, RECT{0, 0, 8, 6});
        ExpectSameState(ReadState(dc.get()), before);
        // The parent's colour inside the rectangle (device = viewport + control point) only.
        EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(255, 0, 0));
        EXPECT_EQ(GetPixel(dc.get(), 9, 3), RGB(0, 0, 0));
        PaintParentBackground(control, dc.get(), POINT{control->Left(), control->Top()}, kNoClipRect);
        ExpectSameState(ReadState(dc.get()), before);
        EXPECT_EQ(GetPixel(dc.get(), 9, 3), RGB(255, 0, 0));
    }
}

}  // namespace
}  // namespace controls

namespace controls {
namespace {

using namespace forms;

// A panel whose paint leaves the DC in another state.
class TMessyPanel : public TExPanel {
public:
    using TExPanel::TExPanel;

protected:
    void Paint() override {
        TExPanel::Paint();
        SetViewportOrgEx(Canvas()->Handle(), 7, 7, nullptr);
        SetBkMode(Canvas()->Handle(), OPAQUE);
        IntersectClipRect(Canvas()->Handle(), 0, 0, 1, 1);
    }
};

TEST(ExControls, PrintClientGivesTheDcBackUnchanged) {
    TForm form(nullptr);
    auto* panel = new TMessyPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 30, 20);
    UniqueMemoryDC dc = CreateScreenMemoryDC();
    UniqueBitmap bmp(CreateCompatibleBitmap(ScreenDC().get(), 30, 20));
    SelectedObject sel(dc.get(), bmp.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetViewportOrgEx(dc.get(), 1, 2, nullptr);
    for (UINT msg : {UINT{WM_PRINTCLIENT}, UINT{WM_PRINT}}) {
        SendMessageA(panel->Handle(), msg, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
        POINT org{};
        GetViewportOrgEx(dc.get(), &org);
        EXPECT_EQ(org.x, 1);
        EXPECT_EQ(org.y, 2);
        EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT);
        UniqueRegion rgn(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetClipRgn(dc.get(), rgn.get()), 0);
    }
}

TEST(ExControls, HighlightBorderFollowsTheMouse) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(50, 50, 100, 80);
    auto* panel = new TExPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 60, 40);
    panel->SetColor(clWhite);
    panel->SetDotNetHighlighting(true);
    form.Show();
    UpdateWindow(form.Handle());
    auto frame = [&](int inset) {
        WindowDC dc(panel->Handle(), true);
        return GetPixel(dc.get(), 20, inset);
    };
    panel->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(panel));
    EXPECT_TRUE(panel->MouseInControl());
    EXPECT_EQ(frame(0), RGB(0, 56, 115));
    EXPECT_EQ(frame(1), RGB(0, 56, 115));
    panel->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(panel));
    EXPECT_EQ(frame(0), RGB(128, 128, 128));
    EXPECT_EQ(frame(1), RGB(255, 255, 255));
    form.Hide();
}

}  // namespace
}  // namespace controls
