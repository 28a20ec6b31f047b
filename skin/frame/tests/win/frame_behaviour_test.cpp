#include <vector>

#include "controls/form_auto_size.h"
#include "forms/button.h"
#include "forms/edit.h"
#include "forms/gdi_handle.h"
#include "forms/graphics.h"
#include "forms/menus.h"
#include "forms/panel.h"
#include "forms/subclass.h"
#include "skin/controls/control_skin_list.h"
#include "skin/skin_drawing.h"
#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

using forms::TForm;

// A sizable form with every box, skinned with the probe skin.
struct SkinnedForm : testing::Test {
    std::unique_ptr<TForm> form;
    TSkinForm* skin = nullptr;
    HWND wnd = nullptr;

    void Make(forms::TFormBorderStyle border = forms::bsSizeable, TSkinData& data = Probe()) {
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(border);
        form->SetText("Behaviour");
        form->SetBounds(150, 120, 400, 300);
        form->Show();
        Settle();
        wnd = form->Handle();
        skin = AttachTo(*form, data);
    }
    void TearDown() override {
        form.reset();
        Settle();
        EXPECT_TRUE(SkinManage().FormSkins().empty());
        EXPECT_EQ(FramePaintErrors(), 0);
    }
    int Width() const { return WindowRect(wnd).right - WindowRect(wnd).left; }
    int Height() const { return WindowRect(wnd).bottom - WindowRect(wnd).top; }
};

TEST_F(SkinnedForm, AnotherWindowActivatedGreysTheFrameAndStopsTheTimer) {
    Make();
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == wnd || (SetForegroundWindow(wnd), false); }));
    EXPECT_TRUE(skin->TimerEnabled());
    const TWinSysButton* close = ButtonByAction(*skin, 0);
    ASSERT_NE(close, nullptr);
    TForm other(nullptr);
    other.SetBounds(600, 500, 120, 80);
    other.Show();
    SetForegroundWindow(other.Handle());
    ASSERT_TRUE(PumpUntil([&] { return !skin->Active(); }));
    Settle();
    const int w = Width(), h = Height();
    EXPECT_EQ(WindowPixel(wnd, 2, h / 2), probe::k_left[1]);
    EXPECT_EQ(WindowPixel(wnd, w / 2, 1), probe::k_top[1]);
    EXPECT_EQ(WindowPixel(wnd, ButtonCentre(*close).x, ButtonCentre(*close).y), probe::k_close[3]);
    EXPECT_FALSE(skin->TimerEnabled());
    SetForegroundWindow(wnd);
    ASSERT_TRUE(PumpUntil([&] { return skin->Active(); }));
    Settle();
    EXPECT_EQ(WindowPixel(wnd, 2, h / 2), probe::k_left[0]);
    EXPECT_EQ(WindowPixel(wnd, ButtonCentre(*close).x, ButtonCentre(*close).y), probe::k_close[0]);
    EXPECT_TRUE(skin->TimerEnabled());
}

TEST_F(SkinnedForm, HitTestsByPlace) {
    Make();
    const RECT r = WindowRect(wnd);
    const int w = Width(), h = Height();
    const struct {
        const char* what;
        int x, y;
        LRESULT code;
    } cases[] = {
        {"client", w / 2, h / 2, HTCLIENT},
        {"title", w / 2, 12, HTCAPTION},
        {"left outer band", 0, h / 2, HTLEFT},
        {"right outer band", w - 1, h / 2, HTRIGHT},
        {"bottom outer band", w / 2, h - 1, HTBOTTOM},
        {"left border interior", 5, h / 2, HTBORDER},
        {"bottom border interior", w / 2, h - 6, HTBORDER},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + c.x, r.top + c.y)), c.code) << c.what;

    Make(forms::bsSingle);
    const RECT f = WindowRect(wnd);
    EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(f.left + 3, (f.top + f.bottom) / 2)), HTBORDER)
        << "a fixed frame's border is no menu";
}

TEST_F(SkinnedForm, TheNonClientSizeWithoutValidRectanglesIsInsetByTheSkin) {
    Make();
    RECT r{100, 100, 500, 400};
    EXPECT_EQ(SendMessageA(wnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r)), 0);
    const RECT b = skin->Borders();
    EXPECT_EQ(r.left, 100 + b.left);
    EXPECT_EQ(r.top, 100 + b.top);
    EXPECT_EQ(r.right, 500 - b.right);
    EXPECT_EQ(r.bottom, 400 - b.bottom);
}

TEST_F(SkinnedForm, StylesAreWrittenOnlyWhenTheyChange) {
    Make();
    int changes = 0;
    forms::WindowSubclass counter(wnd, [&](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) {
        if (msg == WM_STYLECHANGED) ++changes;
        return next(msg, w, l);
    });
    for (int i = 0; i < 5; ++i) {
        MINMAXINFO info{};
        SendMessageA(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMaxTrackSize.x, GetSystemMetrics(SM_CXMAXIMIZED));
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(SkinnedForm, TheRegionFollowsTheSizeAndMagentaCornersAreCutOut) {
    auto linen = LoadSkin("0");
    Make(forms::bsSizeable, *linen);
    forms::UniqueRegion shown(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(wnd, shown.get()), ERROR);
    EXPECT_TRUE(EqualRgn(shown.get(), skin->Region()));
    // The top-left corner is magenta in this skin: not part of the window.
    const RECT r = WindowRect(wnd);
    EXPECT_FALSE(PtInRegion(shown.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(shown.get(), Width() / 2, 2));
    EXPECT_NE(WindowFromPoint(POINT{r.left, r.top}), wnd);
    EXPECT_EQ(WindowFromPoint(POINT{r.left + Width() / 2, r.top + 2}), wnd);
    {
        // On the screen: a backdrop right behind the window shows through the corner only.
        HWND backdrop = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "", WS_POPUP | SS_BLACKRECT, r.left - 20,
                                        r.top - 20, Width() + 40, Height() + 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(backdrop, SW_SHOWNOACTIVATE);
        SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(wnd);
        Settle();
        RedrawWindow(backdrop, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RedrawFrame(wnd);
        Settle();
        const std::uint32_t back = ScreenPixel(r.left - 5, r.top - 5);
        EXPECT_EQ(ScreenPixel(r.left, r.top), back) << "the magenta corner shows the window";
        EXPECT_NE(ScreenPixel(r.left + Width() / 2, r.top + 2), back);
        EXPECT_EQ(ScreenPixel(r.left + Width() / 2, r.top + 2), WindowPixel(wnd, Width() / 2, 2));
        DestroyWindow(backdrop);
        Settle();
    }

    // A same-size move keeps the region; a resize rebuilds it.
    const HRGN before = skin->Region();
    SetWindowPos(wnd, nullptr, r.left + 10, r.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
    EXPECT_EQ(skin->Region(), before);
    SetWindowPos(wnd, nullptr, 0, 0, Width() + 30, Height() + 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
    EXPECT_NE(skin->Region(), before);
    RECT box{};
    GetRgnBox(skin->Region(), &box);
    EXPECT_EQ(box.right, Width());
    EXPECT_EQ(box.bottom, Height());
    form.reset();  // before the skin it uses
}

// The region as the skin's border pictures give it: the client rectangle and, for each
// border, its opaque pixels at the border's place.
forms::UniqueRegion RegionFromBorders(const TSkinData& data, bool active, int w, int h, const RECT& b) {
    forms::UniqueRegion all(CreateRectRgn(b.left, b.top, w - b.right, h - b.bottom));
    const RECT places[] = {{0, 0, b.left, h}, {w - b.right, 0, w, h}, {b.left, 0, w - b.right, b.top},
                           {b.left, h - b.bottom, w - b.right, h}};
    for (int i = 0; i < 4; ++i) {
        const TDataSkinBorder& e = *data.Elements().borders[static_cast<size_t>(i)];
        const RECT& p = places[i];
        const forms::PixelBuffer picture =
            SliceFrame(p.right - p.left, p.bottom - p.top, e.image, SkinMargins{e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight},
                       i >= 2, e.Tile != 1, e.FrameCount, active || e.FrameCount < 2 ? 1 : 2);
        forms::UniqueRegion part = CreateRegionFromBitmap(picture, p.left, p.top, 1, 1, 1);
        CombineRgn(all.get(), all.get(), part.get(), RGN_OR);
    }
    return all;
}

TEST_F(SkinnedForm, TheRegionIsTheOneTheBorderPicturesGive) {
    auto linen = LoadSkin("0");
    Make(forms::bsSizeable, *linen);
    forms::UniqueRegion shown(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(wnd, shown.get()), ERROR);
    forms::UniqueRegion expected = RegionFromBorders(*linen, skin->Active(), Width(), Height(), skin->Borders());
    EXPECT_TRUE(EqualRgn(shown.get(), expected.get()));
    form.reset();
}

TEST_F(SkinnedForm, ASkinWithoutTransparentBordersGivesOneRectangle) {
    Make();
    forms::UniqueRegion shown(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(wnd, shown.get()), SIMPLEREGION);
    RECT box{};
    GetRgnBox(shown.get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, Width());
    EXPECT_EQ(box.bottom, Height());
}

TEST_F(SkinnedForm, FiveOnOffCyclesAndASkinChangeGiveEverythingBack) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(forms::bsSingle);
    form->SetText("Cycles");
    form->SetBounds(150, 120, 300, 200);
    form->Show();
    Settle();
    wnd = form->Handle();
    const SIZE client = ClientSize(wnd);
    const LONG_PTR procedure = GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    auto linen = LoadSkin("0");
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        TSkinData& data = i == 5 ? *linen : Probe();
        TSkinForm* on = AttachTo(*form, data);
        EXPECT_TRUE(SameSize(ClientSize(wnd), client)) << ClientSize(wnd).cx << "x" << ClientSize(wnd).cy;
        SendMessageA(wnd, kMsgRecolour, 0, 0);
        Settle();
        EXPECT_TRUE(SameSize(ClientSize(wnd), client)) << "after recolouring";
        on->UnskinForm();
        delete on;
        Settle();
        EXPECT_TRUE(SameSize(ClientSize(wnd), client)) << ClientSize(wnd).cx << "x" << ClientSize(wnd).cy;
        EXPECT_EQ(GetWindowLongPtrA(wnd, GWLP_WNDPROC), procedure);
        EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE), style);
        forms::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetWindowRgn(wnd, region.get()), ERROR) << "a region was left behind";
        EXPECT_NE(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 1);
    }
}

// Putting a frame on, recolouring and taking it off change the outer size around the same
// client area: a form that scales its controls with its size leaves them where they were.
TEST_F(SkinnedForm, AnAutoSizedFormKeepsItsControlsThroughSkinCycles) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(forms::bsSingle);
    form->SetText("Auto-sized");
    form->SetBounds(150, 120, 400, 300);
    auto* edit = new forms::TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(13, 27, 151, 21);
    auto* button = new forms::TButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(201, 233, 75, 25);
    auto* sizer = new controls::TFormAutoSize(form.get());
    sizer->SetActive(true);
    form->Show();
    Settle();
    wnd = form->Handle();
    const RECT window = WindowRect(wnd);
    const RECT editBounds = edit->BoundsRect(), buttonBounds = button->BoundsRect();
    auto same = [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; };
    auto linen = LoadSkin("0");
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        TSkinForm* on = AttachTo(*form, i % 2 ? *linen : Probe());
        SendMessageA(wnd, kMsgRecolour, 0, 0);
        Settle();
        EXPECT_TRUE(same(editBounds, edit->BoundsRect())) << "skinned: " << edit->Left() << "," << edit->Top() << " " << edit->Width();
        EXPECT_TRUE(same(buttonBounds, button->BoundsRect())) << "skinned";
        on->UnskinForm();
        delete on;
        Settle();
        const RECT now = WindowRect(wnd);
        EXPECT_EQ(now.right - now.left, window.right - window.left);
        EXPECT_EQ(now.bottom - now.top, window.bottom - window.top);
        EXPECT_TRUE(same(editBounds, edit->BoundsRect())) << edit->Left() << "," << edit->Top() << " " << edit->Width();
        EXPECT_TRUE(same(buttonBounds, button->BoundsRect()));
    }
}

TEST_F(SkinnedForm, RecolouringKeepsTheFocusAndTheClientSize) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(150, 120, 300, 200);
    auto* first = new forms::TEdit(form.get());
    first->SetParent(form.get());
    first->SetBounds(10, 10, 100, 22);
    auto* second = new forms::TEdit(form.get());
    second->SetParent(form.get());
    second->SetBounds(10, 40, 100, 22);
    form->Show();
    SetForegroundWindow(form->Handle());
    Settle();
    wnd = form->Handle();
    skin = AttachTo(*form, Probe());
    second->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return second->Focused(); }));
    const SIZE client = ClientSize(wnd);
    SendMessageA(wnd, kMsgRecolour, 0, 0);
    Settle();
    EXPECT_TRUE(second->Focused());
    EXPECT_TRUE(SameSize(ClientSize(wnd), client));
    EXPECT_EQ(form->Color(), static_cast<forms::TColor>(Probe().Elements().colours.ButtonFace));
}

// A skin change paints the window once, whole, at its end: no control is painted while the
// recolour runs (each would be painted again straight after), yet each shows the new skin.
TEST_F(SkinnedForm, ARecolourPaintsNoControlWhileItRunsAndLeavesEachInTheNewSkin) {
    auto data = LoadSkin("probe");
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(150, 120, 300, 200);
    auto* edit = new forms::TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 100, 22);
    form->Show();
    Settle();
    wnd = form->Handle();
    skin = AttachTo(*form, *data);
    const HWND box = edit->Handle();
    ASSERT_NE(skin->ControlSkins()->FindByHandle(box), nullptr);
    auto rgb = [](std::uint32_t colour) {
        const COLORREF c = forms::ColorToRGB(static_cast<forms::TColor>(colour));
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    };
    EXPECT_EQ(WindowPixel(box, 0, 11), rgb(data->Elements().colours.ButtonShadow));
    data->SetSkinFile(std::string(SKIN_ARTIFACTS_WIN) + "/skin-0.skin");
    const std::uint32_t shadow = rgb(data->Elements().colours.ButtonShadow), face = rgb(data->Elements().colours.ButtonFace);
    ASSERT_NE(WindowPixel(box, 0, 11), shadow) << "the two skins must differ where the test looks";
    int paints = 0;
    forms::WindowSubclass counter(box, [&](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) {
        if (msg == WM_PAINT) ++paints;
        return next(msg, w, l);
    });
    SendMessageA(wnd, kMsgRecolour, 0, 0);
    EXPECT_EQ(paints, 0);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(box, 0, 11) == shadow; })) << std::hex << WindowPixel(box, 0, 11);
    const RECT client = WindowRect(box);
    POINT below{client.left + 5, client.bottom + 10};
    ScreenToClient(wnd, &below);
    EXPECT_TRUE(PumpUntil([&] {
        HDC dc = GetDC(wnd);
        const COLORREF c = GetPixel(dc, below.x, below.y);
        ReleaseDC(wnd, dc);
        return (((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)) == face;
    }));
    EXPECT_GE(paints, 1);
}

// A recolour fits the frame and lays the controls out at the client size they keep: the
// window's size changes only when the new frame is another size (each change lays every
// control out again), and an aligned panel fills the client area afterwards as before.
TEST_F(SkinnedForm, ARecolourSizesTheWindowOnlyForAFrameOfAnotherSize) {
    auto data = LoadSkin("probe");
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(150, 120, 300, 200);
    auto* panel = new forms::TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetAlign(forms::alClient);
    form->Show();
    Settle();
    wnd = form->Handle();
    skin = AttachTo(*form, *data);
    int sizes = 0;
    forms::WindowSubclass counter(wnd, [&](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) {
        if (msg == WM_SIZE) ++sizes;
        return next(msg, w, l);
    });
    auto fillsTheClient = [&] {
        const RECT bounds = panel->BoundsRect();
        const SIZE client = ClientSize(wnd);
        return bounds.left == 0 && bounds.top == 0 && bounds.right == client.cx && bounds.bottom == client.cy;
    };
    const SIZE client = ClientSize(wnd);
    const struct {
        const char* skin;
        int mostSizes;
    } steps[] = {{"probe", 0}, {"0", 1}, {"0", 0}, {"probe", 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.skin);
        data->SetSkinFile(std::string(SKIN_ARTIFACTS_WIN) + "/skin-" + step.skin + ".skin");
        sizes = 0;
        SendMessageA(wnd, kMsgRecolour, 0, 0);
        Settle();
        EXPECT_LE(sizes, step.mostSizes);
        EXPECT_TRUE(SameSize(ClientSize(wnd), client));
        EXPECT_TRUE(fillsTheClient());
    }
}

TEST_F(SkinnedForm, WithoutFrameSkinningTheFrameStaysTheSystemsAndComesBackPlain) {
    auto plain = LoadSkin("probe");
    plain->SkinControls &= ~(1u << xcMainMenu);
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(150, 120, 300, 200);
    form->Show();
    Settle();
    wnd = form->Handle();
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE), procedure = GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    const RECT window = WindowRect(wnd);
    skin = AttachTo(*form, *plain);
    EXPECT_EQ(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 1);
    EXPECT_EQ(GetWindowLongPtrA(wnd, GWL_STYLE), style);
    const RECT now = WindowRect(wnd);
    EXPECT_TRUE(EqualRect(&now, &window));
    EXPECT_EQ(form->Color(), static_cast<forms::TColor>(plain->Elements().colours.ButtonFace));
    skin->UnskinForm();
    EXPECT_EQ(GetWindowLongPtrA(wnd, GWLP_WNDPROC), procedure);
    EXPECT_NE(form->Color(), static_cast<forms::TColor>(plain->Elements().colours.ButtonFace));
    form.reset();
}

TEST_F(SkinnedForm, AWindowDestroyedWithItsFormSkinAttachedLeavesNothingBehind) {
    Make();
    EXPECT_EQ(SkinManage().FormSkins().size(), 1u);
    form.reset();
    Settle();
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

// A form made at run time and handed to the form skin has its popup menus drawn by the skin,
// and given back when the form skin is unskinned; one freed before that is simply forgotten.
TEST_F(SkinnedForm, AFormHandedOverAtRunTimeHasItsPopupMenusDrawnByTheSkin) {
    Make();
    const auto withPopup = [](TForm& child) {
        auto* popup = new forms::TPopupMenu(&child);
        auto* item = new forms::TMenuItem(popup);
        item->SetCaption("Item");
        popup->Items()->Add(item);
        child.SetBounds(200, 160, 200, 120);
        child.Show();
        Settle();
        return std::pair{popup, item};
    };
    {
        TForm gone(nullptr);
        withPopup(gone);
        skin->AttachChildForm(gone);
    }
    TForm child(nullptr);
    const auto [popup, item] = withPopup(child);
    skin->AttachChildForm(child);
    EXPECT_TRUE(popup->OwnerDraw());
    EXPECT_TRUE(item->OnDrawItem && item->OnMeasureItem) << "the run-time form's popup menu is not drawn by the skin";
    skin->UnskinForm();
    EXPECT_FALSE(item->OnDrawItem || item->OnMeasureItem) << "the skin's handlers stayed after unskinning";
}

TEST_F(SkinnedForm, TheCaptionsRightButtonUpAndContextMenuStopAtTheFrame) {
    Make();
    int reached = 0;
    forms::WindowProcHook below(*form, [&](forms::TMessage& m, const forms::WindowProcHook::Next& next) {
        if (m.Msg == WM_NCRBUTTONUP || m.Msg == WM_CONTEXTMENU) ++reached;
        next(m);
    });
    const RECT r = WindowRect(wnd);
    const LPARAM title = MAKELPARAM(r.left + 60, r.top + 12), client = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(wnd, WM_NCRBUTTONUP, HTCAPTION, title);
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), title);
    EXPECT_EQ(reached, 0) << "a second, unskinned system menu could open from here";
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), client);
    EXPECT_EQ(reached, 1) << "the client's own context menu must still arrive";
}

TEST_F(SkinnedForm, AFormSkinFreedWhileAttachedGivesTheWindowBackFirst) {
    Make();
    const LONG_PTR skinned = GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    delete skin;  // the form lives on
    skin = nullptr;
    EXPECT_NE(GetWindowLongPtrA(wnd, GWLP_WNDPROC), skinned);
    EXPECT_NE(SendMessageA(wnd, kMsgSkinnedQuery, 0, 0), 1);
    // The window still works: it would call freed memory if the procedure stayed.
    SendMessageA(wnd, WM_NCPAINT, 1, 0);
    SetWindowPos(wnd, nullptr, 0, 0, 420, 320, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

TEST_F(SkinnedForm, AWindowWithoutSetIconShowsItsClassIcon) {
    // A raw window whose class carries an icon and that never got WM_SETICON.
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = LoadIconA(nullptr, IDI_ERROR);
        wc.lpszClassName = "FrameTestIconClass";
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    forms::UniqueWindow raw(CreateWindowExA(0, "FrameTestIconClass", "Icon", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 300,
                                            200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    auto rawSkin = AttachToWindow(raw.get(), Probe());
    EXPECT_TRUE(rawSkin->HasIcon()) << "the class icon was not found";
    raw.reset();
}

TEST_F(SkinnedForm, TheSystemMenuOffersCloseWithAltF4) {
    Make();
    ASSERT_NE(skin->SystemMenuPopup(), nullptr);
    forms::TMenuItem* items = skin->SystemMenuPopup()->Items();
    std::vector<std::string> captions;
    for (int i = 0; i < items->Count(); ++i) captions.push_back(items->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{" Restore ", " Maximize ", " Minimize ", "-", " Close \tAlt+F4"}));
}

}  // namespace
}  // namespace skin::frame_tests
