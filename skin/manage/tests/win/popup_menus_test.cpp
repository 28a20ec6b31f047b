// Popup menu windows while they are open: the checks run from a timer inside the menu's loop.
#include <memory>
#include <string>

#include "forms/menus.h"
#include "skin/manage/tests/win/coordinator_fixture.h"

namespace skin::manage_tests {
namespace {

struct PopupMenus : testing::Test {
    forms::TPopupMenu* menu = nullptr;
    forms::TMenuItem* sub = nullptr;

    void SetUp() override {
        MainProgram& p = Program();
        if (!p.data->Active()) SwitchMain(true);
        // Owned by the main form, so that its form skin makes the items owner-drawn.
        menu = new forms::TPopupMenu(p.form);
        sub = new forms::TMenuItem(menu);
        sub->SetCaption("More");
        menu->Items()->Add(sub);
        for (const char* caption : {"First", "Second"}) {
            auto* item = new forms::TMenuItem(menu);
            item->SetCaption(caption);
            sub->Add(item);
        }
        auto* last = new forms::TMenuItem(menu);
        last->SetCaption("Last");
        menu->Items()->Add(last);
        SendMessageA(p.form->Handle(), kMsgRecolour, 0, 0);  // the form skin takes the new menu in
        Settle();
    }
    void TearDown() override {
        delete menu;
        Settle();
        EXPECT_TRUE(SkinManage().popupSkins.empty());
    }
    // Opens the menu; step runs every 30 ms inside its loop until it returns true, then the
    // menu is closed.
    void OpenWith(std::function<bool()> step) {
        TimerSteps::Begin([step = std::move(step)] {
            if (!step()) return false;
            EndMenu();
            return true;
        });
        menu->Popup(200, 200);
        Settle();
        EXPECT_FALSE(TimerSteps::TimedOut());
        if (TimerSteps::Running()) {
            KillTimer(nullptr, TimerSteps::Id());
            TimerSteps::Id() = 0;
        }
    }
    static TSkinPopMenu* Popup(size_t index) {
        auto& popups = SkinManage().popupSkins;
        return popups.size() > index ? popups[index].get() : nullptr;
    }
    static bool Painted(const TSkinPopMenu* popup) {
        return popup != nullptr && IsWindowVisible(popup->Window()) && popup->Background().width() > 0 && popup->Menu() != nullptr;
    }
    // The window as WM_PRINT draws it into a memory DC: the pixel at (x, y), 0xRRGGBB.
    static std::uint32_t PrintedPixel(HWND wnd, int x, int y) {
        RECT r{};
        GetWindowRect(wnd, &r);
        HDC screen = GetDC(nullptr);
        forms::UniqueMemoryDC dc(CreateCompatibleDC(screen));
        forms::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
        SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        const COLORREF c = GetPixel(dc.get(), x, y);
        SelectObject(dc.get(), old);
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
};

TEST_F(PopupMenus, AnOpenMenuIsSkinnedWithItsRingOnScreenAndInPrint) {
    LRESULT answer = 0;
    std::uint32_t ring[4] = {}, printed = 0;
    RECT box{};
    int ticks = 0;
    OpenWith([&] {
        TSkinPopMenu* popup = Popup(0);
        if (!Painted(popup) || ++ticks < 3) return false;  // the paint lands
        HWND wnd = popup->Window();
        answer = SendMessageA(wnd, kMsgSkinnedQuery, 0, 0);
        GetWindowRect(wnd, &box);
        const int w = box.right - box.left, h = box.bottom - box.top;
        ring[0] = WindowPixel(wnd, 1, 1);
        ring[1] = WindowPixel(wnd, w - 2, h / 2);
        ring[2] = WindowPixel(wnd, w / 2, h - 2);
        ring[3] = WindowPixel(wnd, 2, h / 2);
        printed = PrintedPixel(wnd, 1, 1);
        return true;
    });
    EXPECT_EQ(answer, 1);
    for (std::uint32_t pixel : ring) EXPECT_EQ(pixel, probe::k_menuback[0]);
    EXPECT_EQ(printed, probe::k_menuback[0]);
}

TEST_F(PopupMenus, ASubMenuHasItsOwnPopupSkinAndBackgroundAndClosingTheLastResetsTheKind) {
    bool sawTwo = false, distinct = false, ownBackground = false;
    HMENU subMenu = sub->Handle();
    int stage = 0;
    OpenWith([&] {
        TSkinPopMenu* first = Popup(0);
        if (!Painted(first)) return false;
        if (stage == 0) {
            PostMessageA(first->Window(), WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(first->Window(), WM_KEYDOWN, VK_RIGHT, 0);
            stage = 1;
            return false;
        }
        TSkinPopMenu* second = Popup(1);
        if (!Painted(second)) return false;
        sawTwo = true;
        distinct = second->Window() != first->Window() && &second->Background() != &first->Background() &&
                   second->Menu() == subMenu && first->Menu() != subMenu;
        ownBackground = SkinManage().PopupBackground(subMenu) == &second->Background();
        SkinManage().popupKind = 1;  // whatever the last menu belonged to
        return true;
    });
    EXPECT_TRUE(sawTwo);
    EXPECT_TRUE(distinct);
    EXPECT_TRUE(ownBackground);
    EXPECT_TRUE(SkinManage().popupSkins.empty());
    EXPECT_EQ(SkinManage().popupKind, 0);
}

TEST_F(PopupMenus, SwitchingOffWhileOpenLetsTheMenuDrawPlainlyFromTheNextMessage) {
    MainProgram& p = Program();
    std::uint32_t skinned = 0, plain = 0;
    int stage = 0;
    const int before = p.skinChanged;
    OpenWith([&] {
        TSkinPopMenu* popup = Popup(0);
        if (!Painted(popup)) return false;
        if (stage == 0) {
            skinned = PrintedPixel(popup->Window(), 1, 1);
            p.data->SetActive(false);
            stage = 1;
            return false;
        }
        if (p.skinChanged == before) return false;  // the request runs inside the menu's loop
        plain = PrintedPixel(popup->Window(), 1, 1);
        return true;
    });
    EXPECT_EQ(skinned, probe::k_menuback[0]);
    EXPECT_NE(plain, probe::k_menuback[0]);
    EXPECT_FALSE(SkinManage().active);
}

TEST_F(PopupMenus, ASkinWithoutMenuBackgroundLeavesTheMenuPlain) {
    MainProgram& p = Program();
    const int before = p.skinChanged;
    p.data->SetSkinFile(SkinPath("probe2"));
    ASSERT_TRUE(PumpUntil([&] { return p.skinChanged > before; }, 2000));
    ASSERT_EQ(p.data->Elements().Part("MenuBackground"), nullptr);
    bool hooked = false, rendered = true;
    int ticks = 0;
    std::uint32_t printed = 0;
    OpenWith([&] {
        TSkinPopMenu* popup = Popup(0);
        if (popup == nullptr || !IsWindowVisible(popup->Window()) || ++ticks < 3) return false;
        hooked = popup->Hooked();
        rendered = popup->Background().width() > 0;
        printed = PrintedPixel(popup->Window(), 1, 1);
        return true;
    });
    EXPECT_TRUE(hooked);
    EXPECT_FALSE(rendered);
    EXPECT_NE(printed, probe::k_menuback[0]);
    p.data->SetSkinFile(SkinPath("probe"));
    PumpUntil([&] { return p.skinChanged > before + 1; }, 2000);
}

// What the next popup belongs to decides which kind of control must be skinned for it.
TEST_F(PopupMenus, APopupIsDressedOnlyWhenItsKindIsAmongTheSkinnedControls) {
    MainProgram& p = Program();
    const TSkinControlTypes saved = p.data->SkinControls;
    auto without = [&](std::initializer_list<TSkinControlType> kinds) {
        TSkinControlTypes set = saved;
        for (TSkinControlType k : kinds) set &= ~(1u << k);
        return set;
    };
    const struct {
        const char* what;
        int kind;
        TSkinControlTypes controls;
        bool dressed;
    } cases[] = {
        {"popup menu", 0, saved, true},
        {"popup menu without xcPopupMenu", 0, without({xcPopupMenu}), false},
        {"menu-bar drop-down with xcMainMenu", 1, without({xcMenuItem}), true},
        {"menu-bar drop-down without xcMainMenu and xcMenuItem", 1, without({xcMainMenu, xcMenuItem}), false},
        {"system menu", 2, saved | (1u << xcSystemMenu), true},
        {"system menu without xcSystemMenu", 2, without({xcSystemMenu}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        p.data->SkinControls = c.controls;
        SkinManage().popupKind = c.kind;
        bool seen = false, dressed = !c.dressed;
        OpenWith([&] {
            HWND wnd = nullptr;
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND w, LPARAM out) {
                    char name[16] = {};
                    GetClassNameA(w, name, sizeof name);
                    if (std::string(name) != "#32768" || !IsWindowVisible(w)) return TRUE;
                    *reinterpret_cast<HWND*>(out) = w;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&wnd));
            if (wnd == nullptr) return false;
            seen = true;
            dressed = Skinned(wnd);
            return true;
        });
        EXPECT_TRUE(seen);
        EXPECT_EQ(dressed, c.dressed);
    }
    p.data->SkinControls = saved;
}

}  // namespace
}  // namespace skin::manage_tests
