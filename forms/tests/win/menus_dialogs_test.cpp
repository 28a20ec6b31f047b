#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "forms/dialogs.h"
#include "forms/menus.h"
#include "forms/subclass.h"
#include "forms/tests/win/standard_controls_fixture.h"
#include "tests/support/win_recorders.h"

namespace forms {
namespace {

using MenusAndDialogs = testing_support::ShownForm;

TEST_F(MenusAndDialogs, ItemIdsStayWhileItemsComeAndGoAndCommandsReachTheirItem) {
    auto* menu = new TPopupMenu(form);
    std::vector<std::string> clicked;
    auto add = [&](const std::string& caption) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        item->OnClick = [&clicked, caption](TObject*) { clicked.push_back(caption); };
        menu->Items()->Add(item);
        return item;
    };
    TMenuItem* addImages = add("Add Images");
    TMenuItem* remove = add("Delete Image");
    UINT addId = addImages->Command();
    UINT removeId = remove->Command();
    EXPECT_NE(addId, removeId);
    delete remove;
    TMenuItem* move = add("Move Image to");
    for (int i = 0; i < 5; ++i) add("Gallery " + std::to_string(i));
    menu->Items()->Remove(move);
    menu->Items()->Insert(0, move);
    EXPECT_EQ(addImages->Command(), addId);
    EXPECT_EQ(GetMenuItemCount(menu->Handle()), 7);
    EXPECT_EQ(GetMenuItemID(menu->Handle(), 0), move->Command());

    SendMessageA(PopupListWindow(), WM_COMMAND, MAKEWPARAM(addId, 0), 0);
    SendMessageA(PopupListWindow(), WM_COMMAND, MAKEWPARAM(move->Command(), 0), 0);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Add Images", "Move Image to"}));
    // The freed item's id reaches nobody.
    EXPECT_EQ(FindMenuItemByCommand(removeId), nullptr);
}

TEST_F(MenusAndDialogs, DisabledHiddenAndCheckedItemsShowInTheMenu) {
    auto* menu = new TPopupMenu(form);
    auto* a = new TMenuItem(form);
    a->SetCaption("a");
    auto* b = new TMenuItem(form);
    b->SetCaption("b");
    menu->Items()->Add(a);
    menu->Items()->Add(b);
    a->SetEnabled(false);
    a->SetChecked(true);
    int clicks = 0;
    a->OnClick = [&](TObject*) { ++clicks; };
    HMENU h = menu->Handle();
    UINT state = GetMenuState(h, a->Command(), MF_BYCOMMAND);
    EXPECT_TRUE(state & MF_GRAYED);
    EXPECT_TRUE(state & MF_CHECKED);
    EXPECT_FALSE(menu->DispatchCommand(b->Command() + 100000));
    EXPECT_TRUE(menu->DispatchCommand(a->Command()));
    EXPECT_EQ(clicks, 0);  // disabled
    b->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(h), 1);
}

// A form's main menu: the window's menu bar, its commands and owner-drawn items through the
// form, changes announced to the window, and the handle outliving the window.
TEST_F(MenusAndDialogs, AMainMenuIsTheWindowsMenuBar) {
    auto* menu = new TMainMenu(form);
    std::vector<std::string> clicked;
    auto add = [&](TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        item->OnClick = [&clicked, caption](TObject*) { clicked.push_back(caption); };
        parent->Add(item);
        return item;
    };
    TMenuItem* file = add(menu->Items(), "&File");
    TMenuItem* open = add(file, "&Open");
    int changes = 0;
    WindowSubclass counter(form->Handle(), [&](HWND, UINT msg, WPARAM w, LPARAM l, const SubclassNext& next) {
        if (msg == CM_MENUCHANGED) ++changes;
        return next(msg, w, l);
    });
    form->SetMenu(menu);
    EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
    EXPECT_EQ(GetSubMenu(menu->Handle(), 0), file->Handle());

    SendMessageA(form->Handle(), WM_COMMAND, open->Command(), 0);
    EXPECT_EQ(clicked, std::vector<std::string>{"&Open"});

    // Each change reaches the window, which shows the menu again.
    open->SetCaption("&Open...");
    add(menu->Items(), "&Edit");
    EXPECT_GE(changes, 2);
    EXPECT_EQ(GetMenuItemCount(menu->Handle()), 2);
    EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());

    // Owner-drawn items are measured and drawn by their own events through the form.
    int measured = 0, drawn = 0;
    open->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
        ++measured;
        w = 77;
        h = 19;
    };
    open->OnDrawItem = [&](TObject*, TCanvas*, RECT, bool) { ++drawn; };
    menu->SetOwnerDraw(true);
    MEASUREITEMSTRUCT mi{ODT_MENU, 0, open->Command(), 0, 0, 0};
    EXPECT_EQ(SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mi)), TRUE);
    EXPECT_EQ(mi.itemWidth, 77u);
    EXPECT_EQ(mi.itemHeight, 19u);
    HDC dc = GetDC(form->Handle());
    DRAWITEMSTRUCT di{};
    di.CtlType = ODT_MENU;
    di.itemID = open->Command();
    di.hDC = dc;
    di.rcItem = RECT{0, 0, 77, 19};
    EXPECT_EQ(SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&di)), TRUE);
    ReleaseDC(form->Handle(), dc);
    EXPECT_EQ(measured, 1);
    EXPECT_EQ(drawn, 1);

    // The window going does not take the menu's handle with it.
    HMENU handle = menu->Handle();
    counter.Remove();
    form->DestroyHandle();
    EXPECT_TRUE(IsMenu(handle));
    EXPECT_EQ(menu->Handle(), handle);
}

TEST_F(MenusAndDialogs, OpenPictureDialogHandsBackEveryChosenFile) {
    TOpenPictureDialog dialog(nullptr);
    dialog.SetTitle("Add images To General");
    dialog.SetInitialDir("C:\\pictures");
    dialog.SetOptions(ofAllowMultiSelect | ofHideReadOnly | ofShareAware | ofEnableSizing | ofDontAddToRecent);
    DWORD flags = 0;
    DWORD room = 0;
    std::string title;
    GetOpenFileNameCall = [&](OPENFILENAMEA& ofn) -> BOOL {
        flags = ofn.Flags;
        room = ofn.nMaxFile;
        title = ofn.lpstrTitle;
        static const char answer[] = "C:\\pictures\0one.jpg\0two.jpeg\0three.jpg\0";
        std::memcpy(ofn.lpstrFile, answer, sizeof answer);
        return TRUE;
    };
    bool confirmed = dialog.Execute();
    GetOpenFileNameCall = &RealGetOpenFileName;
    ASSERT_TRUE(confirmed);
    EXPECT_TRUE(flags & OFN_ALLOWMULTISELECT);
    EXPECT_TRUE(flags & OFN_EXPLORER);
    EXPECT_TRUE(flags & OFN_DONTADDTORECENT);
    EXPECT_GE(room, 256u * 1024u);
    EXPECT_EQ(title, "Add images To General");
    ASSERT_EQ(dialog.Files()->Count(), 3);
    EXPECT_EQ(dialog.Files()->Get(0), "C:\\pictures\\one.jpg");
    EXPECT_EQ(dialog.Files()->Get(2), "C:\\pictures\\three.jpg");
    EXPECT_EQ(dialog.FileName(), "C:\\pictures\\one.jpg");
}

TEST_F(MenusAndDialogs, SingleChoiceIsOneFullPathAndCancelChangesNothing) {
    TOpenDialog dialog(nullptr);
    GetOpenFileNameCall = [](OPENFILENAMEA& ofn) -> BOOL {
        std::strcpy(ofn.lpstrFile, "D:\\a b\\c.jpg");
        return TRUE;
    };
    EXPECT_TRUE(dialog.Execute());
    GetOpenFileNameCall = [](OPENFILENAMEA&) -> BOOL { return FALSE; };
    EXPECT_FALSE(dialog.Execute());
    GetOpenFileNameCall = &RealGetOpenFileName;
    ASSERT_EQ(dialog.Files()->Count(), 1);
    EXPECT_EQ(dialog.Files()->Get(0), "D:\\a b\\c.jpg");
}

TEST_F(MenusAndDialogs, ConfirmationBoxIsAnsweredByTheTestHook) {
    testsupport::MessageBoxAnswers().push_back(IDNO);
    int answer = MessageDlg("Are you sure you want to delete this file?", mtConfirmation, mbYesNo);
    EXPECT_EQ(answer, mrNo);
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    const auto& box = testsupport::MessageBoxes()[0];
    EXPECT_EQ(box.text, "Are you sure you want to delete this file?");
    EXPECT_EQ(box.type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
}

struct FlagCase {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    UINT flags;
};

class DialogFlags : public testing::TestWithParam<FlagCase> {};

TEST_P(DialogFlags, ButtonsMapToTheSmallestSystemSetHoldingThem) {
    EXPECT_EQ(MessageDlgFlags(GetParam().type, GetParam().buttons), GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Sets, DialogFlags,
                         testing::Values(FlagCase{mtInformation, mbOK, MB_OK | MB_ICONINFORMATION},
                                         FlagCase{mtWarning, mbOKCancel, MB_OKCANCEL | MB_ICONWARNING},
                                         FlagCase{mtConfirmation, mbYes | mbNo, MB_YESNO | MB_ICONQUESTION},
                                         FlagCase{mtError, mbCancel | mbYes, MB_YESNOCANCEL | MB_ICONERROR},
                                         FlagCase{mtCustom, mbRetry, MB_RETRYCANCEL},
                                         FlagCase{mtCustom, mbIgnore, MB_ABORTRETRYIGNORE}));

}  // namespace
}  // namespace forms
