// The menu bar in the odd cases a user can still reach: a bar reloaded to no items while a
// drop-down is open, a menu that refuses a change while its drop-down opens, and an Alt+letter
// pressed while the window is minimised.
#include <stdexcept>

#include "skin/frame/skin_manage.h"
#include "skin/menu/tests/win/menu_fixture.h"
#include "tests/support/win_recorders.h"

namespace skin::menu_tests {
namespace {

// Counts the divisions by zero while it lives: the system swallows a fault in a hook's
// callback, so the test would not see it otherwise.
class DivisionFaults {
public:
    DivisionFaults() : handler_(AddVectoredExceptionHandler(1, &Count)) { count = 0; }
    ~DivisionFaults() { RemoveVectoredExceptionHandler(handler_); }
    DivisionFaults(const DivisionFaults&) = delete;
    DivisionFaults& operator=(const DivisionFaults&) = delete;
    LONG Seen() const { return count; }

private:
    static LONG CALLBACK Count(EXCEPTION_POINTERS* info) {
        if (info->ExceptionRecord->ExceptionCode == EXCEPTION_INT_DIVIDE_BY_ZERO) InterlockedIncrement(&count);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline LONG count = 0;
    PVOID handler_;
};

TEST_F(MenuForm, TheArrowsInADropDownWhoseBarWasReloadedEmptyMoveNowhere) {
    Make();
    const DivisionFaults faults;
    HMENU empty = CreateMenu();
    const bool done = Script::Run(
        {
            {"File opens", [&] { return TrackedBarIndex() == 0 && Highlighted(file->Handle(), 0); },
             [&] {
                 // As after WM_MDISETMENU with a menu of no items.
                 skin->MenuBar()->LoadFromHandle(empty);
                 PressKey(VK_LEFT);
                 PressKey(VK_RIGHT);
             }},
            {"File stays open", [&] { return skin->MenuBar()->Count() == 0 && TrackedBarIndex() == 0 && OpenMenus().size() == 1; },
             [] { PressKey(VK_ESCAPE); }},
        },
        [&] { ClickBar(0); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    EXPECT_EQ(faults.Seen(), 0) << "the arrows divided by the empty bar's count";
    EXPECT_FALSE(skin->MenuTracking());
    EXPECT_EQ(TrackedBarIndex(), -1);
    // The bar goes back to the form's menu before the empty one is freed.
    skin->MenuBar()->SetMenuHandle(menu->Handle());
    skin->MenuBar()->LoadFromMenu();
    EXPECT_EQ(skin->MenuBar()->Count(), 3);
    DestroyMenu(empty);
}

// A main menu whose next change fails: a form's menus may run code of their own.
class RefusingMenu : public forms::TMainMenu {
public:
    using TMainMenu::TMainMenu;
    bool refuse = false;

protected:
    void MenuChanged() override {
        if (refuse) {
            refuse = false;
            throw std::runtime_error("The menu refused the change");
        }
        TMainMenu::MenuChanged();
    }
};

TEST_F(MenuForm, AnExceptionWhileADropDownOpensLeavesNoTrackingBehind) {
    form = std::make_unique<forms::TForm>(nullptr);
    form->SetText("Refusing");
    form->SetBounds(120, 100, 420, 300);
    auto* refusing = new RefusingMenu(form.get());
    menu = refusing;
    file = Item(menu->Items(), "&File");
    Item(file, "-");  // hidden as the drop-down opens: a change of the menu
    Item(file, "&New");
    edit = Item(menu->Items(), "&Edit");
    Item(edit, "&Copy");
    form->SetMenu(menu);
    Make();
    const int popupKind = SkinManage().popupKind;
    const int nestings = MenuTrackingNestings();
    refusing->refuse = true;
    ClickBar(0);
    ASSERT_TRUE(PumpUntil([&] { return !refusing->refuse; })) << "the drop-down did not start opening";
    Settle();
    EXPECT_TRUE(OpenMenus().empty());
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "The menu refused the change");
    EXPECT_FALSE(skin->MenuTracking());
    EXPECT_EQ(skin->TrackedMenu(), nullptr);
    EXPECT_FALSE(SkinManage().menuBarTracking);
    EXPECT_EQ(SkinManage().popupKind, popupKind);
    EXPECT_EQ(TrackedBarIndex(), -1);
    // The bar still opens its drop-downs, one at a time, and hears the menu's changes again.
    const bool done = Script::Run({{"Edit opens", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); },
                                    [] { PressKey(VK_ESCAPE); }}},
                                  [&] { EXPECT_EQ(SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'e'), 1); });
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    EXPECT_EQ(MenuTrackingNestings(), nestings) << "the next drop-down counted as opened inside the first";
    edit->SetCaption("&Tools");
    Settle();
    EXPECT_EQ(Bar(1).caption, L"&Tools");
}

// The ways an item's letter meets a minimised window.
struct MinimisedCase {
    const char* what;
    void (*press)(HWND wnd);
};

const MinimisedCase kMinimisedCases[] = {
    {"the letter while minimised",
     [](HWND wnd) {
         ShowWindow(wnd, SW_MINIMIZE);
         PumpUntil([wnd] { return IsIconic(wnd) != FALSE; });
         SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
     }},
    {"minimised while the letter's opening is on its way",
     [](HWND wnd) {
         PostMessageA(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
         SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'f');
     }},
};

TEST_F(MenuForm, AnAltLetterWhileMinimisedLeavesTheAcceleratorsWorking) {
    Make();
    for (const MinimisedCase& c : kMinimisedCases) {
        SCOPED_TRACE(c.what);
        c.press(wnd);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(wnd) != FALSE && skin->WindowState() == kStateMinimised; }));
        Settle();
        EXPECT_TRUE(OpenMenus().empty());
        ShowWindow(wnd, SW_RESTORE);
        SetForegroundWindow(wnd);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(wnd) == FALSE && skin->WindowState() == kStateNormal; }));
        Settle();
        // Both roads: the key-menu command and the letter typed with Alt held.
        const bool byCommand = Script::Run({{"File opens", [&] { return TrackedBarIndex() == 0 && Highlighted(file->Handle(), 0); },
                                             [] { PressKey(VK_ESCAPE); }}},
                                           [&] { SendMessageA(wnd, WM_SYSCOMMAND, SC_KEYMENU, 'f'); });
        EXPECT_TRUE(byCommand) << "stopped at: " << StepName(Script::next);
        SetFocus(wnd);
        Settle();
        const bool byKeys = Script::Run({{"Edit opens", [&] { return TrackedBarIndex() == 1 && Highlighted(edit->Handle(), 0); },
                                          [] { PressKey(VK_ESCAPE); }}},
                                        [] {
                                            SendKey(VK_MENU, false);
                                            PressKey('E');
                                            SendKey(VK_MENU, true);
                                        });
        EXPECT_TRUE(byKeys) << "stopped at: " << StepName(Script::next);
    }
}

}  // namespace
}  // namespace skin::menu_tests
