// Tool bar buttons on a skinned form drawn from the skin's Buttons element through custom draw.
#include <windows.h>

#include <commctrl.h>

#include "forms/subclass.h"
#include "forms/tool_bar.h"
#include "skin/menu/tests/win/menu_fixture.h"
#include "skin/menu/toolbar_draw.h"

namespace skin::menu_tests {
namespace {

TEST(ToolbarDraw, ButtonsShowTheFrameOfTheirState) {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    forms::TForm form(nullptr);
    form.SetBounds(140, 120, 360, 200);
    form.Show();
    Settle();
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, 0, 0,
                               300, 40, form.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(60, 30));
    TBBUTTON buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
    TSkinForm* skin = AttachTo(form, Probe());
    // The form hands its tool bar's custom draw to the skin.
    forms::WindowSubclass route(form.Handle(), [&](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) -> LRESULT {
        auto* header = reinterpret_cast<NMHDR*>(l);
        if (msg != WM_NOTIFY || header->hwndFrom != bar || header->code != NM_CUSTOMDRAW) return next(msg, w, l);
        auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(l);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return ToolbarCustomDraw(*skin, *draw);
        return CDRF_DODEFAULT;
    });
    SendMessageA(bar, TB_PRESSBUTTON, 100, TRUE);
    SendMessageA(bar, TB_ENABLEBUTTON, 102, FALSE);
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Settle();
    auto pixel = [&](int index) {
        RECT r{};
        SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        HDC dc = GetDC(bar);
        const COLORREF c = GetPixel(dc, r.left + 3, r.top + 3);
        ReleaseDC(bar, dc);
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    };
    EXPECT_EQ(pixel(0), probe::k_button[1]) << "pressed";
    for (std::uint32_t c : probe::k_button) EXPECT_NE(pixel(2), c) << "a disabled button is framed";
    // The mouse over the middle button: hot, frame 4.
    RECT middle{};
    SendMessageA(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&middle));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&middle), 2);
    MoveMouse(POINT{(middle.left + middle.right) / 2, (middle.top + middle.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return pixel(1) == probe::k_button[3]; }, 2000)) << std::hex << pixel(1);
    route.Remove();
    DestroyWindow(bar);
    Settle();
    EXPECT_EQ(FramePaintErrors(), 0);
}

// The frame of the pressed, plain and disabled buttons of a tool bar, 0xRRGGBB inside each.
std::uint32_t ButtonPixel(HWND bar, int index) {
    RECT r{};
    SendMessageA(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    HDC dc = GetDC(bar);
    const COLORREF c = GetPixel(dc, r.left + 3, r.top + 3);
    ReleaseDC(bar, dc);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// A tool bar of the form library on a skinned form: the control attachment hands its buttons'
// drawing and its menu's items to the form skin, unless it draws its buttons itself.
TEST(ToolbarDraw, AToolBarOnASkinnedFormIsDrawnThroughTheAttachRules) {
    for (const bool ownDrawing : {false, true}) {
        SCOPED_TRACE(ownDrawing ? "with a drawing of its own" : "without a drawing of its own");
        forms::TForm form(nullptr);
        form.SetBounds(140, 120, 360, 200);
        auto* bar = new forms::TToolBar(&form);
        bar->SetParent(&form);
        bar->SetButtons({{"One", {}}, {"Two", {}}, {"Three", {}}});
        auto* menu = new forms::TMainMenu(&form);
        auto* file = new forms::TMenuItem(&form);
        file->SetCaption("&File");
        menu->Items()->Add(file);
        auto* open = new forms::TMenuItem(&form);
        open->SetCaption("&Open");
        file->Add(open);
        bar->SetMenu(menu);
        int ownCalls = 0;
        if (ownDrawing) bar->OnCustomDrawButton = [&](forms::TToolBar*, NMTBCUSTOMDRAW&) -> LRESULT { return ++ownCalls, CDRF_DODEFAULT; };
        form.Show();
        Settle();
        AttachTo(form, Probe());
        EXPECT_TRUE(bar->Flat());
        EXPECT_TRUE(file->OnDrawItem && file->OnMeasureItem) << "the menu's items are not drawn by the skin";
        EXPECT_TRUE(open->OnDrawItem && open->OnMeasureItem) << "a sub-item is not drawn by the skin";
        HWND wnd = bar->Handle();
        SendMessageA(wnd, TB_PRESSBUTTON, 100, TRUE);
        SendMessageA(wnd, TB_ENABLEBUTTON, 102, FALSE);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Settle();
        if (ownDrawing) {
            EXPECT_GT(ownCalls, 0) << "its own drawing was replaced";
            EXPECT_NE(ButtonPixel(wnd, 0), probe::k_button[1]);
        } else {
            EXPECT_TRUE(PumpUntil([&] { return ButtonPixel(wnd, 0) == probe::k_button[1]; }, 2000)) << std::hex << ButtonPixel(wnd, 0);
            for (std::uint32_t c : probe::k_button) EXPECT_NE(ButtonPixel(wnd, 2), c) << "a disabled button is framed";
        }
    }
    Settle();
    EXPECT_EQ(FramePaintErrors(), 0);
}

// A tool bar's menu handed to the skin is given back when the form is unskinned: its items
// draw themselves again, also after the skin data is freed. A menu whose Tag exempts it is
// never handed over.
TEST(ToolbarDraw, AToolBarsMenuIsGivenBackAtUnskinningAndItsTagIsHonoured) {
    struct Case {
        const char* what;
        int tag;
        bool skinned;
    };
    for (const Case c : {Case{"an ordinary menu", 0, true}, Case{"a menu with the exempting Tag", 199, false}}) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TSkinData> data = LoadSkin("probe");
        forms::TForm form(nullptr);
        form.SetBounds(140, 120, 360, 200);
        auto* bar = new forms::TToolBar(&form);
        bar->SetParent(&form);
        bar->SetButtons({{"One", {}}});
        auto* menu = new forms::TMainMenu(&form);
        menu->SetTag(c.tag);
        auto* file = new forms::TMenuItem(&form);
        file->SetCaption("&File");
        menu->Items()->Add(file);
        auto* open = new forms::TMenuItem(&form);
        open->SetCaption("&Open");
        file->Add(open);
        bar->SetMenu(menu);
        form.Show();
        Settle();
        TSkinForm* skin = AttachTo(form, *data);
        EXPECT_EQ(static_cast<bool>(open->OnDrawItem), c.skinned);
        EXPECT_EQ(static_cast<bool>(file->OnMeasureItem), c.skinned);
        skin->UnskinForm();
        delete skin;
        data.reset();
        EXPECT_FALSE(open->OnDrawItem || open->OnMeasureItem || file->OnDrawItem) << "the skin's handlers stayed";
        // Drawn now, the item is the library's plain one, not the skin's.
        forms::TBitmap canvas(120, 24, forms::pf24bit);
        open->DrawItem(*canvas.Canvas(), RECT{0, 0, 120, 24}, false);
        GdiFlush();
        const forms::PixelView pixels = canvas.Pixels();
        const std::uint8_t* p = pixels.pixel(3, 3);
        const std::uint32_t rgb = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        const COLORREF plain = GetSysColor(COLOR_MENU);
        EXPECT_EQ(rgb, (std::uint32_t{GetRValue(plain)} << 16) | (std::uint32_t{GetGValue(plain)} << 8) | GetBValue(plain));
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

}  // namespace
}  // namespace skin::menu_tests
