// The skinned menu bar under real input: painting from the menu-bar element, the hot item,
// the drop-downs tracked one at a time while the arrows and the mouse move along the bar,
// the keyboard's Alt, and reloading after the menu changes.
#include "skin/frame/menu_items.h"
#include "skin/menu/tests/win/menu_fixture.h"
#include "skin/skin_drawing.h"

namespace skin::menu_tests {
namespace {

std::uint32_t Rgb(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
std::uint32_t SkinRgb(std::uint32_t colour) { return Rgb(SkinColourRef(colour)); }

// Whether any pixel of a frame rectangle of the window shows colour.
bool AnyPixel(HWND wnd, const SkinRect& r, std::uint32_t colour) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (WindowPixel(wnd, x, y) == colour) return true;
    return false;
}

TEST_F(MenuForm, TheBarTakesTheWindowsMenuAndKeepsTheClientSize) {
    Build();
    form->Show();
    Settle();
    wnd = form->Handle();
    const SIZE client = ClientSize(wnd);
    skin = AttachTo(*form, Probe());
    EXPECT_EQ(GetMenu(wnd), nullptr) << "the system still draws its own bar";
    ASSERT_NE(skin->MenuBar(), nullptr);
    EXPECT_EQ(skin->MenuHeight(), GetSystemMetrics(SM_CYMENU));
    EXPECT_TRUE(SameSize(ClientSize(wnd), client));
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    const RECT r = WindowRect(wnd);
    EXPECT_EQ(origin.y - r.top, skin->Borders().top + skin->MenuHeight());
    ASSERT_EQ(skin->MenuBar()->Count(), 3);
    EXPECT_EQ(Bar(0).caption, L"&File");
    EXPECT_EQ(Bar(0).subMenu, file->Handle());
    EXPECT_FALSE(Bar(2).enabled);
    // Hit tests: the bar answers HTMENU, the border below the title elsewhere HTBORDER.
    const POINT inBar = BarCentre(0);
    EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(inBar.x, inBar.y)), HTMENU);
}

TEST_F(MenuForm, TheBarIsPaintedFromItsElementActiveAndInactive) {
    Make();
    const RECT bar = skin->MenuBar()->BarRect();
    const int x = bar.right - 4, y = (bar.top + bar.bottom) / 2;  // right of every item
    EXPECT_EQ(WindowPixel(wnd, x, y), probe::k_menubar[0]);
    // The bar is composed in the shared work bitmap.
    ASSERT_NE(SharedWorkBitmap(), nullptr);
    EXPECT_EQ(SharedWorkBitmap()->width(), bar.right - bar.left);

    forms::TForm other(nullptr);
    other.SetBounds(700, 500, 100, 80);
    other.Show();
    SetForegroundWindow(other.Handle());
    ASSERT_TRUE(PumpUntil([&] { return !skin->Active(); }));
    Settle();
    EXPECT_EQ(WindowPixel(wnd, x, y), probe::k_menubar[1]);
    other.Hide();
    SetForegroundWindow(wnd);
    ASSERT_TRUE(PumpUntil([&] { return skin->Active(); }));
    Settle();
    EXPECT_EQ(WindowPixel(wnd, x, y), probe::k_menubar[0]);
}

TEST_F(MenuForm, AnItemUnderTheMouseIsFramedAndADisabledOneGreyed) {
    Make();
    const std::uint32_t hot = SkinRgb(Probe().Elements().colours.Hilight);
    EXPECT_FALSE(AnyPixel(wnd, Bar(0).rect, hot));
    MoveMouse(BarCentre(0));
    ASSERT_TRUE(PumpUntil([&] { return skin->HotObject() == &Bar(0); }));
    Settle();
    const SkinRect& r = Bar(0).rect;
    EXPECT_EQ(WindowPixel(wnd, r.left, (r.top + r.bottom) / 2), hot);
    EXPECT_EQ(WindowPixel(wnd, r.right - 1, (r.top + r.bottom) / 2), hot);
    // Away again: the frame goes with the timer's next look.
    MoveMouse(OnScreen(wnd, POINT{Bar(2).rect.right + 40, skin->Borders().top + skin->MenuHeight() + 30}));
    ASSERT_TRUE(PumpUntil([&] { return skin->HotObject() == nullptr; }, 2000));
    Settle();
    EXPECT_EQ(WindowPixel(wnd, r.left, (r.top + r.bottom) / 2), probe::k_menubar[0]);
    // The disabled item's caption is in the button-shadow colour, the others' are not.
    EXPECT_TRUE(AnyPixel(wnd, Bar(2).rect, Rgb(GetSysColor(COLOR_BTNSHADOW))));
    EXPECT_FALSE(AnyPixel(wnd, Bar(1).rect, Rgb(GetSysColor(COLOR_BTNSHADOW))));
}

TEST_F(MenuForm, RightAndLeftMoveAlongTheBarOneDropDownAtATime) {
    Build();
    help->SetEnabled(true);  // a disabled item opens no drop-down, which ends the walk
    Make();
    auto firstLit = [this](forms::TMenuItem* item) { return [item] { return Highlighted(item->Handle(), 0); }; };
    const bool done = Script::Run(
        {
            {"File opens with its first item selected", firstLit(file), [] { PressKey(VK_RIGHT); }},
            {"Right opens Edit", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); },
             [] {
                 Script::Check(OpenMenus().size() == 1, "two drop-downs after Right");
                 PressKey(VK_RIGHT);
             }},
            {"Right opens Help", [&] { return TrackedBarIndex() == 2 && Highlighted(help->Handle(), 0); }, [] { PressKey(VK_RIGHT); }},
            {"Right past the last wraps to File", [&] { return TrackedBarIndex() == 0 && Highlighted(file->Handle(), 0); },
             [] { PressKey(VK_LEFT); }},
            {"Left on the first wraps to Help", [&] { return TrackedBarIndex() == 2 && Highlighted(help->Handle(), 0); },
             [] { PressKey(VK_LEFT); }},
            {"Left opens Edit", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); },
             [] { PressKey(VK_ESCAPE); }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    for (const std::string& f : Script::failures) ADD_FAILURE() << f;
    EXPECT_EQ(Script::maxMenus, 1);
    EXPECT_FALSE(skin->MenuTracking());
    EXPECT_EQ(TrackedBarIndex(), -1);
}

// In a right-to-left drop-down the arrows swap: Left goes on to the next bar item, Right back.
TEST_F(MenuForm, TheArrowsSwapInARightToLeftDropDown) {
    Build();
    help->SetEnabled(true);
    Make();
    for (forms::TMenuItem* top : {file, edit, help}) {
        HMENU drop = top->Handle();
        for (int i = 0; i < GetMenuItemCount(drop); ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            GetMenuItemInfoW(drop, static_cast<UINT>(i), TRUE, &info);
            info.fType |= MFT_RIGHTORDER;
            SetMenuItemInfoW(drop, static_cast<UINT>(i), TRUE, &info);
        }
    }
    auto firstLit = [](forms::TMenuItem* item) { return [item] { return Highlighted(item->Handle(), 0); }; };
    const bool done = Script::Run(
        {
            {"File opens", firstLit(file), [] { PressKey(VK_LEFT); }},
            {"Left opens Edit", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); }, [] { PressKey(VK_RIGHT); }},
            {"Right goes back to File", [&] { return TrackedBarIndex() == 0 && Highlighted(file->Handle(), 0); },
             [] { PressKey(VK_ESCAPE); }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    for (const std::string& f : Script::failures) ADD_FAILURE() << f;
    EXPECT_EQ(Script::maxMenus, 1);
}

TEST_F(MenuForm, DownThenRightOpensTheSubMenuAndLeftClosesOnlyIt) {
    Make();
    const bool done = Script::Run(
        {
            {"File opens", [&] { return Highlighted(file->Handle(), 0); }, [] { PressKey(VK_DOWN); }},
            {"Recent selected", [&] { return Highlighted(file->Handle(), 1); }, [] { PressKey(VK_RIGHT); }},
            {"Recent's sub-menu opens", [] { return OpenMenus().size() == 2; },
             [] {
                 Script::Check(TrackedBarIndex() == 0, "Right moved along the bar");
                 PressKey(VK_LEFT);
             }},
            {"only the sub-menu closes", [] { return OpenMenus().size() == 1; },
             [&] {
                 Script::Check(TrackedBarIndex() == 0, "Left moved along the bar");
                 Script::Check(Highlighted(file->Handle(), 1), "Recent is no longer selected");
                 PressKey(VK_ESCAPE);
             }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    for (const std::string& f : Script::failures) ADD_FAILURE() << f;
}

TEST_F(MenuForm, TheMouseMovesAlongTheBarWithoutNesting) {
    Make();
    const bool done = Script::Run(
        {
            {"File opens", [&] { return Highlighted(file->Handle(), 0); }, [&] { MoveMouse(BarCentre(1)); }},
            {"Edit opens under the mouse", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); },
             [&] { MoveMouse(BarCentre(0)); }},
            {"File again", [&] { return TrackedBarIndex() == 0 && Highlighted(file->Handle(), 0); },
             [] { PressKey(VK_ESCAPE); }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    EXPECT_EQ(Script::maxMenus, 1);
}

TEST_F(MenuForm, AnItemChosenByKeysActsOnceAndTheTopItemsClickIsPosted) {
    Make();
    const bool done = Script::Run(
        {
            {"Edit opens", [&] { return Highlighted(edit->Handle(), 0); }, [] { PressKey(VK_DOWN); }},
            {"Paste selected", [&] { return Highlighted(edit->Handle(), 1); }, [] { PressKey(VK_RETURN); }},
        },
        [&] { ClickBar(1); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    Settle();
    EXPECT_EQ(clicks, (std::vector<std::string>{"&Edit", "&Paste"}));
}

// The colour at the left of a drop-down's row as the screen shows it.
std::uint32_t RowColour(HMENU menu, int index) {
    RECT row{};
    GetMenuItemRect(nullptr, menu, static_cast<UINT>(index), &row);
    return ScreenPixel(row.left + 4, (row.top + row.bottom) / 2);
}

TEST_F(MenuForm, TheDropDownsItemsAreDrawnFromTheSkin) {
    Make();
    std::uint32_t selected = 0, other = 0;
    const bool done = Script::Run(
        {
            {"File opens", [&] { return Highlighted(file->Handle(), 0); }, nullptr},
            {"painted", [] { return true; },
             [&] {
                 // The selected row shows MenuItem's frame 4, the others frame 1.
                 selected = RowColour(file->Handle(), 0);
                 other = RowColour(file->Handle(), 2);
                 PressKey(VK_ESCAPE);
             }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done);
    EXPECT_EQ(selected, probe::k_menuitem[3]);
    EXPECT_EQ(other, probe::k_menuitem[0]);
}

TEST_F(MenuForm, AltAndALetterOpensItsItemAndAltAloneOpensNothing) {
    Make();
    SetFocus(wnd);
    Settle();
    // Alt alone.
    SendKey(VK_MENU, false);
    SendKey(VK_MENU, true);
    Settle();
    EXPECT_TRUE(OpenMenus().empty());
    PressKey(VK_ESCAPE);
    Settle();
    const bool done = Script::Run({{"Edit opens", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); },
                                    [] { PressKey(VK_ESCAPE); }}},
                                  [] {
                                      SendKey(VK_MENU, false);
                                      PressKey('E');
                                      SendKey(VK_MENU, true);
                                  });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
}

TEST_F(MenuForm, TheKeyMenuCommandWithAnItemsLetterOpensThatItem) {
    Make();
    // Nothing for a letter no item has, and nothing for the disabled Help.
    EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'h'), 0);
    const bool done = Script::Run({{"File opens", [&] { return TrackedBarIndex() == 0 && Highlighted(file->Handle(), 0); },
                                    [] { PressKey(VK_ESCAPE); }}},
                                  [&] { EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'F'), 1); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
}

TEST_F(MenuForm, AnItemWhoseMenuChangesIsRepainted) {
    Make();
    const int before = Bar(1).rect.right - Bar(1).rect.left;
    edit->SetCaption("&Tools and more");
    Settle();
    EXPECT_EQ(GetMenu(wnd), nullptr);
    ASSERT_EQ(skin->MenuBar()->Count(), 3);
    EXPECT_EQ(Bar(1).caption, L"&Tools and more");
    EXPECT_GT(Bar(1).rect.right - Bar(1).rect.left, before) << "the bar was not laid out again";
    // A new top item appears on the bar.
    Item(menu->Items(), "&Window");
    Settle();
    EXPECT_EQ(skin->MenuBar()->Count(), 4);
    EXPECT_GT(Bar(3).rect.right, Bar(3).rect.left);
}

TEST_F(MenuForm, UnskinningGivesTheMenuBackWithItsOwnDrawing) {
    Make();
    const SIZE client = ClientSize(wnd);
    Script::Run({{"File opens", [&] { return Highlighted(file->Handle(), 0); }, [] { PressKey(VK_ESCAPE); }}}, [&] { ClickBar(0); });
    delete skin;
    skin = nullptr;
    Settle();
    EXPECT_EQ(GetMenu(wnd), menu->Handle());
    EXPECT_TRUE(SameSize(ClientSize(wnd), client));
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(file->Handle(), 0, TRUE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
}

// A merged menu (the window's menu made of several forms' items): items are read by position,
// and one without text stands for the component's item at its place.
TEST_F(MenuForm, TheMergedLoaderReadsTheWindowsMenuAndFillsEmptyItemsFromTheComponent) {
    Make();
    HMENU tools = CreatePopupMenu();
    AppendMenuW(tools, MF_STRING, 7101, L"&Options");
    HMENU merged = CreateMenu();
    AppendMenuW(merged, MF_STRING, 7001, L"");                                               // File's place
    AppendMenuW(merged, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(tools), L"&Tools");  // its own text
    AppendMenuW(merged, MF_STRING, 7003, L"");                                               // Help's place, disabled there
    AppendMenuW(merged, MF_STRING, 7004, L"");                                               // past the component's items
    SetMenu(wnd, merged);
    TSkinMenu& bar = *skin->MenuBar();
    bar.LoadMerged();
    EXPECT_EQ(GetMenu(wnd), nullptr) << "the system would draw a bar of its own";
    EXPECT_EQ(bar.MenuHandle(), merged);
    ASSERT_EQ(bar.Count(), 4);
    struct Expected {
        const wchar_t* caption;
        bool enabled;
        UINT command;  // 0: not checked (a drop-down's identifier is its handle's business)
        HMENU subMenu;
    };
    const Expected expected[] = {
        {L"&File", true, 7001, file->Handle()},
        {L"&Tools", false, 0, tools},
        {L"&Help", false, 7003, help->Handle()},
        {L"", true, 7004, nullptr},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const TMenuBtn& b = *bar.Item(i);
        EXPECT_EQ(b.caption, expected[i].caption);
        EXPECT_EQ(b.enabled, expected[i].enabled);
        EXPECT_TRUE(b.visible);
        if (expected[i].command != 0) EXPECT_EQ(b.command, expected[i].command);
        EXPECT_EQ(b.subMenu, expected[i].subMenu);
    }
    // The component's items keep their own menu: the bar goes back to it before the merged one goes.
    bar.SetMenuHandle(menu->Handle());
    bar.LoadFromMenu();
    DestroyMenu(merged);
    EXPECT_EQ(bar.Count(), 3);
}

// A window without a form object, with a menu handle of its own.
struct RawMenuWindow : testing::Test {
    HWND wnd = nullptr;
    HMENU bar = nullptr, drop = nullptr;
    void SetUp() override {
        drop = CreatePopupMenu();
        AppendMenuA(drop, MF_STRING, 5001, "&Open");
        AppendMenuA(drop, MF_STRING, 5002, "&Close");
        bar = CreateMenu();
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(drop), "&Raw");
        AppendMenuA(bar, MF_STRING, 5003, "&Go");
        wnd = CreateWindowExA(0, "STATIC", "Raw", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 160, 140, 360, 240, nullptr, bar,
                              GetModuleHandleA(nullptr), nullptr);
        Settle();
    }
    void TearDown() override {
        if (IsWindow(wnd)) DestroyWindow(wnd);
        Settle();
        EXPECT_EQ(FramePaintErrors(), 0);
    }
};

TEST_F(RawMenuWindow, ItsItemsAreReadFromTheHandleAndGivenBackPlain) {
    auto skin = AttachToWindow(wnd, Probe());
    ASSERT_NE(skin->MenuBar(), nullptr);
    ASSERT_EQ(skin->MenuBar()->Count(), 2);
    EXPECT_EQ(skin->MenuBar()->Item(0)->caption, L"&Raw");
    EXPECT_EQ(skin->MenuBar()->Item(0)->subMenu, drop);
    EXPECT_EQ(skin->MenuBar()->Item(1)->command, 5003u);
    EXPECT_EQ(GetMenu(wnd), nullptr);
    RedrawFrame(wnd);
    SetForegroundWindow(wnd);
    Settle();
    std::uint32_t selected = 0;
    const bool done = Script::Run({{"Raw opens", [&] { return Highlighted(drop, 0); }, nullptr},
                                   {"painted", [] { return true; },
                                    [&] {
                                        selected = RowColour(drop, 0);
                                        PressKey(VK_ESCAPE);
                                    }}},
                                  [&] { skin->OpenMenuButton(*skin->MenuBar()->Item(0)); });
    EXPECT_TRUE(done);
    EXPECT_EQ(selected, probe::k_menuitem[3]) << "the drop-down's rows are not the skin's";
    skin.reset();
    EXPECT_EQ(GetMenu(wnd), bar);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    for (UINT i = 0; i < 2; ++i) {
        ASSERT_TRUE(GetMenuItemInfoA(drop, i, TRUE, &info));
        EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u) << i;
    }
}

}  // namespace
}  // namespace skin::menu_tests
