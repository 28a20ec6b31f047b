// What the coordinator must never do: dress a system dialog a tagged dialog component shows,
// free a skin under its own call, let an exception cross the hook, keep a popup skin it freed,
// skin a run-time dialog's controls twice, or leave an MDI child made later undressed.
#include <memory>
#include <vector>

#include "forms/button.h"
#include "forms/dialogs.h"
#include "forms/label.h"
#include "forms/mdi_forms.h"
#include "skin/controls/control_skin_list.h"
#include "skin/controls/skin_control.h"
#include "skin/manage/tests/win/coordinator_fixture.h"

namespace skin::manage_tests {
namespace {

using forms::TForm;

struct Faults : testing::Test {
    void SetUp() override {
        if (!Program().data->Active()) SwitchMain(true);
    }
    void TearDown() override {
        Settle();
        EXPECT_EQ(FramePaintErrors(), 0);
    }
};

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

// A system dialog ("#32770") made from an in-memory template, shown and activated.
HWND MakeSystemDialog(HWND owner) {
    struct {
        DLGTEMPLATE head;
        WORD menu, windowClass, title;
    } tmpl{};
    tmpl.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    tmpl.head.x = 40;
    tmpl.head.y = 40;
    tmpl.head.cx = 160;
    tmpl.head.cy = 80;
    HWND wnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.head, owner, &PlainDialog, 0);
    SetForegroundWindow(wnd);
    SetActiveWindow(wnd);
    return wnd;
}

TEST_F(Faults, TheSystemDialogOfATaggedDialogComponentIsLeftAloneWhileItExecutes) {
    const auto saved = forms::GetOpenFileNameCall;
    struct Case {
        int tag;
        bool skinned;
    } const cases[] = {{99, false}, {199, false}, {0, true}, {98, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        forms::TOpenDialog dialog(nullptr);
        dialog.SetTag(c.tag);
        bool seen = false, skinned = false;
        forms::GetOpenFileNameCall = [&](OPENFILENAMEA& ofn) -> BOOL {
            HWND box = MakeSystemDialog(ofn.hwndOwner);
            seen = PumpUntil([&] { return IsWindowVisible(box) && GetForegroundWindow() == box; }, 1000);
            PumpUntil([] { return false; }, 300);  // the attach message lands
            skinned = Skinned(box);
            DestroyWindow(box);
            return FALSE;
        };
        dialog.Execute();
        forms::GetOpenFileNameCall = saved;
        EXPECT_TRUE(seen);
        EXPECT_EQ(skinned, c.skinned);
        Settle();
        Coordinator().PurgeFormSkins();
    }
}

TEST_F(Faults, ARequestInsideAFormSkinsOwnModalLoopFreesItOnlyAtTheNextPurge) {
    MainProgram& p = Program();
    HWND wnd = p.form->Handle();
    TSkinForm* skin = SkinManage().FindFormSkin(wnd);
    ASSERT_NE(skin, nullptr);
    const int before = p.skinChanged;
    bool listed = false, finished = false, skinned = true;
    int stage = 0;
    TimerSteps::Begin([&] {
        if (SkinManage().popupSkins.empty() || !IsWindowVisible(SkinManage().popupSkins[0]->Window())) return false;
        if (stage == 0) {
            p.data->SetActive(false);
            stage = 1;
            return false;
        }
        if (p.skinChanged == before) return false;
        const auto& list = SkinManage().FormSkins();
        listed = std::find(list.begin(), list.end(), skin) != list.end();
        finished = listed && skin->Finished();
        skinned = Skinned(wnd);
        EndMenu();
        return true;
    });
    // The system menu runs its loop inside the form skin's handling of the right click.
    RECT r{};
    GetWindowRect(wnd, &r);
    SendMessageA(wnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + 40, r.top + 10));
    ASSERT_FALSE(TimerSteps::TimedOut());
    EXPECT_TRUE(listed) << "freed while its window procedure was still running";
    EXPECT_TRUE(finished);
    EXPECT_FALSE(skinned);
    Coordinator().PurgeFormSkins();
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

TEST_F(Faults, AnExceptionInTheHookIsReportedAndTheWindowStillComes) {
    MainProgram& p = Program();
    std::vector<std::string> reported;
    const auto savedException = forms::Application->OnException;
    forms::Application->OnException = [&](forms::TObject*, const std::exception& e) { reported.push_back(e.what()); };
    p.data->OnFormSkin = [](TSkinData&, const std::string&, bool&) { throw forms::Exception("no skin today"); };
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(420, 200, 200, 120);
    form->Show();
    SetForegroundWindow(form->Handle());
    Settle();
    p.data->OnFormSkin = nullptr;
    forms::Application->OnException = savedException;
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(Skinned(form->Handle()));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.front(), "no skin today");
}

// A handler run while a request skins the forms may free the data that asked, or forms the
// request still has to walk: the request goes on without them and never tells a freed data
// that its skin changed.
TEST_F(Faults, ARequestWhoseDataOrFormsAreFreedByAHandlerGoesOnWithoutThem) {
    MainProgram& p = Program();
    auto form = std::make_unique<TForm>(nullptr);
    TSkinData* own = nullptr;
    {
        forms::TLoadingScope loading(*form);
        own = new TSkinData(form.get());
        own->SkinFormtype = sfOnlyThisForm;
        own->SetSkinFile(SkinPath("probe2"));
    }
    int ownChanged = 0;
    own->OnSkinChanged = [&](TSkinData&) { ++ownChanged; };
    bool leaveAlone = true;
    p.data->OnFormSkin = [&](TSkinData&, const std::string&, bool& doSkin) {
        if (leaveAlone) {
            doSkin = false;
            return;
        }
        delete own;  // its form's skinning frees it
        own = nullptr;
    };
    form->SetText("Own skin");
    form->SetBounds(420, 160, 240, 160);
    form->Show();
    HWND wnd = form->Handle();
    PumpUntil([&] { return GetForegroundWindow() == wnd || (SetForegroundWindow(wnd), false); }, 2000);
    Settle();
    ASSERT_FALSE(Skinned(wnd));
    leaveAlone = false;
    own->SetActive(true);
    ASSERT_TRUE(PumpUntil([&] { return own == nullptr; }, 3000)) << "the request never ran";
    Settle();
    EXPECT_EQ(ownChanged, 0) << "a freed data was told its skin changed";
    p.data->OnFormSkin = nullptr;
    form.reset();
    Settle();
    Coordinator().PurgeFormSkins();

    // The main data's request walks a copy of the screen's forms: one freed by a handler on
    // a later form's skinning is passed over.
    SwitchMain(false);
    auto first = std::make_unique<TForm>(nullptr);
    auto second = std::make_unique<TForm>(nullptr);  // later on the screen's list: walked first
    for (TForm* f : {first.get(), second.get()}) {
        f->SetBounds(440, 180, 200, 120);
        f->Show();
    }
    bool freed = false;
    p.data->OnFormSkin = [&](TSkinData&, const std::string&, bool&) {
        if (freed) return;
        freed = true;
        first.reset();
    };
    SwitchMain(true);
    p.data->OnFormSkin = nullptr;
    EXPECT_TRUE(freed);
    EXPECT_TRUE(Skinned(second->Handle()));
    second.reset();
    Settle();
}

// A raw window's menu, taken into the skin's bar, goes with the window when the window is
// destroyed while skinned, as it would have unskinned.
TEST_F(Faults, ARawWindowDestroyedWhileSkinnedTakesItsMenuWithIt) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FaultsRawWithMenu";
    RegisterClassA(&wc);
    HMENU menu = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 1, "&Open");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    HWND wnd = CreateWindowExA(0, "FaultsRawWithMenu", "Raw", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 440, 200, 260, 160, nullptr,
                               menu, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Skinned(wnd) || (SetForegroundWindow(wnd), false); }, 3000));
    PumpUntil([] { return false; }, 300);  // the attach message lands
    ASSERT_TRUE(IsMenu(menu));
    DestroyWindow(wnd);
    Settle();
    Coordinator().PurgeFormSkins();
    EXPECT_FALSE(IsMenu(menu)) << "the menu leaked";
    EXPECT_FALSE(IsMenu(file));
}

TEST(PopupSkinLife, TheUnnamedPopupSkinIsForgottenWhenItIsUnhookedOrFreed) {
    const bool active = true;
    const struct {
        const char* how;
        void (*end)(std::unique_ptr<TSkinPopMenu>&, HWND);
    } cases[] = {
        {"unhooked", [](std::unique_ptr<TSkinPopMenu>& p, HWND) { p->Unhook(); }},
        {"freed", [](std::unique_ptr<TSkinPopMenu>& p, HWND) { p.reset(); }},
        {"window destroyed", [](std::unique_ptr<TSkinPopMenu>&, HWND wnd) { DestroyWindow(wnd); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 300, 300, 120, 90, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        auto popup = std::make_unique<TSkinPopMenu>(active);
        popup->Hook(wnd, Program().data, nullptr);
        HDC screen = GetDC(nullptr);
        forms::UniqueMemoryDC dc(CreateCompatibleDC(screen));
        forms::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 120, 90));
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
        SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_NONCLIENT | PRF_CLIENT);
        SelectObject(dc.get(), old);
        ASSERT_EQ(CurrentUnnamedPopup(), popup.get()) << "rendered before any item named its menu";
        c.end(popup, wnd);
        EXPECT_EQ(CurrentUnnamedPopup(), nullptr);
        popup.reset();
        if (IsWindow(wnd)) DestroyWindow(wnd);
    }
}

// Counts the control skins, across every form skin's list, that belong to a control.
int SkinsOf(const forms::TWinControl& control) {
    int n = 0;
    for (TSkinForm* f : SkinManage().FormSkins()) {
        if (f->ControlSkins() == nullptr) continue;
        for (TSkinControl* s : f->ControlSkins()->Skins())
            if (s->Control() == &control || (control.HandleAllocated() && s->Handle() == control.WindowHandle())) ++n;
    }
    return n;
}

TEST_F(Faults, ARunTimeDialogHandedToTheParentsSkinCarriesOneSkinPerControl) {
    MainProgram& p = Program();
    ASSERT_TRUE(Skinned(p.form->Handle()));
    // Like the processing dialog: owned by the main form, fixed frame without boxes, on top.
    auto dialog = std::make_unique<TForm>(p.form);
    dialog->SetText("Processing");
    dialog->SetBorderStyle(forms::bsSingle);
    dialog->SetBorderIcons(0);
    dialog->SetFormStyle(forms::fsStayOnTop);
    dialog->SetClientSize(300, 120);
    auto* label = new forms::TLabel(dialog.get());
    label->SetParent(dialog.get());
    label->SetBounds(12, 10, 260, 16);
    label->SetCaption("Working");
    auto* cancel = new forms::TButton(dialog.get());
    cancel->SetParent(dialog.get());
    cancel->SetBounds(110, 80, 80, 25);
    cancel->SetCaption("Cancel");
    p.data->AddChildForm(p.form, dialog.get());
    dialog->Show();
    SetForegroundWindow(dialog->Handle());
    ASSERT_TRUE(PumpUntil([&] { return SkinManage().FindFormSkin(dialog->Handle()) != nullptr; }, 2000))
        << "its frame is dressed too";
    PumpUntil([] { return false; }, 300);
    HWND wnd = dialog->Handle();
    SendMessageA(wnd, kMsgRepaintFrame, 0, 0);
    RECT r{};
    GetWindowRect(wnd, &r);
    EXPECT_EQ(WindowPixel(wnd, 2, (r.bottom - r.top) / 2), probe::k_left[0]);
    EXPECT_EQ(SkinsOf(*cancel), 1);
    EXPECT_EQ(SendMessageA(cancel->Handle(), kMsgSkinnedQuery, kSkinnedQueryCount, 0), 1) << "as seen from outside";
    // A skin change refreshes it without adding another.
    SendMessageA(p.form->Handle(), kMsgRecolour, 0, 0);
    Settle();
    EXPECT_EQ(SkinsOf(*cancel), 1);
    dialog.reset();
    Settle();
}

// Children made in a skinned MDI parent, one after another (the first while the parent's
// controls are still being walked), each get their form skin when their client hands them
// over; all go with the parent.
TEST_F(Faults, MdiChildrenMadeAfterTheParentWasSkinnedAreSkinned) {
    const size_t skinsBefore = SkinManage().FormSkins().size();
    auto parent = std::make_unique<forms::TMDIForm>(nullptr);
    parent->SetText("Parent");
    parent->SetBounds(120, 90, 480, 360);
    parent->Show();
    HWND parentWnd = parent->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Skinned(parentWnd) || (SetForegroundWindow(parentWnd), false); }, 3000));
    for (int i = 0; i < 3; ++i) {
        auto* child = new forms::TMDIChild(parent.get());
        child->SetText("Child");
        child->SetBounds(10 + 30 * i, 10 + 30 * i, 200, 140);
        child->Show();
        HWND wnd = child->Handle();
        EXPECT_TRUE(PumpUntil([&] { return SkinManage().FindFormSkin(wnd) != nullptr; }, 2000)) << "child " << i;
    }
    parent.reset();
    Settle();
    Coordinator().PurgeFormSkins();
    EXPECT_EQ(SkinManage().FormSkins().size(), skinsBefore);
}

}  // namespace
}  // namespace skin::manage_tests
