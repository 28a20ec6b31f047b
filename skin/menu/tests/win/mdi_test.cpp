// MDI windows under the form skin: an MDI parent with a menu bar and two children. A maximised
// child gives up its frame and shows its three buttons on the parent's bar, which act on it.
#include "forms/mdi_forms.h"
#include "skin/skin_coordinator.h"
#include "skin/menu/tests/win/menu_fixture.h"

namespace skin::menu_tests {
namespace {

struct MdiWindows : testing::Test {
    std::unique_ptr<forms::TMDIForm> parent;
    forms::TMDIChild* children[2] = {};
    TSkinForm* parentSkin = nullptr;
    TSkinForm* childSkins[2] = {};

    void SetUp() override {
        parent = std::make_unique<forms::TMDIForm>(nullptr);
        parent->SetText("Parent");
        parent->SetBounds(100, 80, 520, 400);
        auto* menu = new forms::TMainMenu(parent.get());
        for (const char* caption : {"&File", "&Window"}) {
            auto* top = new forms::TMenuItem(parent.get());
            top->SetCaption(caption);
            auto* sub = new forms::TMenuItem(parent.get());
            sub->SetCaption("&Item");
            top->Add(sub);
            menu->Items()->Add(top);
        }
        parent->SetMenu(menu);
        parent->Show();
        Settle();
        for (int i = 0; i < 2; ++i) {
            children[i] = new forms::TMDIChild(parent.get());
            children[i]->SetText(i == 0 ? "One" : "Two");
            children[i]->SetBounds(10 + 30 * i, 10 + 30 * i, 220, 160);
            children[i]->OnClose = [](forms::TObject*, forms::TCloseAction& action) { action = forms::caFree; };
            children[i]->Show();
            Settle();
        }
        parentSkin = AttachTo(*parent, Probe());
        for (int i = 0; i < 2; ++i) childSkins[i] = AttachTo(*children[i], Probe());
        SetForegroundWindow(parent->Handle());
        Settle();
    }
    void TearDown() override {
        parent.reset();
        Settle();
        EXPECT_TRUE(SkinManage().FormSkins().empty());
        EXPECT_FALSE(SkinManage().mdiMaximized);
        SkinManage().mdiMaximized = false;
        EXPECT_EQ(FramePaintErrors(), 0);
    }
    HWND Client() const { return parent->ClientHandle(); }
    // The parent's buttons for its maximised child, in the order the skin lists them.
    std::vector<const TWinSysButton*> BarButtons() const {
        std::vector<const TWinSysButton*> found;
        for (const auto& b : parentSkin->SysButtons())
            if (b->element->Align == 100) found.push_back(b.get());
        return found;
    }
};

TEST_F(MdiWindows, TheKindsAreKnownAndTheParentKeepsItsBar) {
    EXPECT_EQ(parentSkin->WindowKind(), kKindMdiParent);
    EXPECT_EQ(parentSkin->MdiClient(), Client());
    EXPECT_EQ(SkinManage().mdiClient, Client());
    for (TSkinForm* c : childSkins) EXPECT_EQ(c->WindowKind(), kKindMdiChild);
    ASSERT_NE(parentSkin->MenuBar(), nullptr);
    EXPECT_EQ(parentSkin->MenuBar()->Count(), 2);
    for (TSkinForm* c : childSkins) EXPECT_EQ(c->MenuBar(), nullptr);
    // A normal child wears the skin's frame.
    RedrawFrame(children[0]->Handle());
    EXPECT_EQ(WindowPixel(children[0]->Handle(), 1, 60), probe::k_left[0]);
    for (const TWinSysButton* b : BarButtons()) EXPECT_FALSE(b->visible);
}

TEST_F(MdiWindows, AMaximisedChildsButtonsAreOnTheParentsBarAndActOnIt) {
    HWND one = children[1]->Handle();  // the active child, made last
    SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one), 0);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(one) != FALSE; }));
    Settle();
    EXPECT_TRUE(SkinManage().mdiMaximized);
    EXPECT_EQ(GetWindowRgn(one, forms::UniqueRegion(CreateRectRgn(0, 0, 0, 0)).get()), ERROR) << "the maximised child keeps a region";
    RedrawFrame(parent->Handle());
    Settle();
    const std::vector<const TWinSysButton*> buttons = BarButtons();
    ASSERT_EQ(buttons.size(), 3u);
    const RECT bar = parentSkin->MenuBar()->BarRect();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TWinSysButton& b = *buttons[i];
        EXPECT_TRUE(b.visible) << i;
        EXPECT_GE(b.rect.top, bar.top) << i;
        EXPECT_LE(b.rect.bottom, bar.bottom) << i;
        const POINT c = ButtonCentre(b);
        EXPECT_EQ(WindowPixel(parent->Handle(), c.x, c.y), probe::k_mdi[4 * i]) << "button " << i;
    }
    auto byAction = [&](int action) -> const TWinSysButton& {
        for (const TWinSysButton* b : buttons)
            if (b->element->Action == action) return *b;
        return *buttons[0];
    };
    auto click = [&](const TWinSysButton& b) {
        ASSERT_TRUE(b.visible && !b.rect.Empty());
        MoveMouse(OnScreen(parent->Handle(), ButtonCentre(b)));
        Settle();
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
        Settle();
    };
    // Restore: the child is normal again and wears the skin's frame; the flag goes.
    click(byAction(8));
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(one) == FALSE; }));
    Settle();
    EXPECT_FALSE(SkinManage().mdiMaximized);
    EXPECT_NE(GetWindowRgn(one, forms::UniqueRegion(CreateRectRgn(0, 0, 0, 0)).get()), ERROR);

    // Minimise from the bar.
    SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one), 0);
    ASSERT_TRUE(PumpUntil([&] { return SkinManage().mdiMaximized && IsZoomed(one) != FALSE; }));
    RedrawFrame(parent->Handle());
    Settle();
    click(byAction(7));
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(one) != FALSE; }));
    Settle();
    EXPECT_FALSE(SkinManage().mdiMaximized);
    SendMessageA(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(one), 0);
    Settle();

    // Maximised again, then closed from the parent's bar: the other child takes its place
    // maximised; closing that last one too clears the flag and gives the bar back.
    SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one), 0);
    ASSERT_TRUE(PumpUntil([&] { return SkinManage().mdiMaximized; }));
    RedrawFrame(parent->Handle());
    Settle();
    click(byAction(9));
    ASSERT_TRUE(PumpUntil([&] { return parent->MDIChildCount() == 1; }));
    Settle();
    children[1] = nullptr;
    HWND last = children[0]->Handle();
    SendMessageA(Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(last), 0);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(last) != FALSE; }));
    EXPECT_TRUE(SkinManage().mdiMaximized);
    RedrawFrame(parent->Handle());
    Settle();
    click(byAction(9));
    ASSERT_TRUE(PumpUntil([&] { return parent->MDIChildCount() == 0; }));
    Settle();
    children[0] = nullptr;
    EXPECT_FALSE(SkinManage().mdiMaximized);
    EXPECT_EQ(parentSkin->MenuBar()->Count(), 2);
    RedrawFrame(parent->Handle());
    for (const TWinSysButton* b : BarButtons()) EXPECT_FALSE(b->visible);
}

// Alt and a letter typed in a child open the parent's bar item of that letter.
TEST_F(MdiWindows, AChildOffersItsAltKeysToTheParentsBar) {
    LRESULT answer = 0;
    const bool done = Script::Run({{"Window opens", [&] { return TrackedBarIndex() == 1 && !OpenMenus().empty(); },
                                    [] { PressKey(VK_ESCAPE); }}},
                                  [&] {
                                      SendKey(VK_MENU, false);
                                      PumpUntil([] { return GetKeyState(VK_MENU) < 0; }, 2000);
                                      answer = children[0]->Perform(forms::CM_DIALOGCHAR, 'W', 0);
                                      SendKey(VK_MENU, true);
                                  });
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(done) << "stopped at: " << StepName(Script::next);
    // A letter the parent's bar does not know stays with the child.
    EXPECT_EQ(children[0]->Perform(forms::CM_DIALOGCHAR, 'Q', 0), 0);
}

// Stands for the coordinator: remembers the windows it is asked to skin.
struct RecordingCoordinator : SkinCoordinator {
    static inline std::vector<HWND> asked;
    void AddSkinData(TSkinData&) override {}
    void RemoveSkinData(TSkinData&) override {}
    void InstallHook() override {}
    void Request(int, unsigned) override {}
    void SetPendingData(TSkinData*) override {}
    int ActivationState() const override { return 1; }
    void SetActivationState(int) override {}
    void SetActiveFlag(bool) override {}
    void SkinOwnerForm(TSkinData&) override {}
    void ReloadFormSkins(TSkinData&) override {}
    bool AddChildForm(forms::TForm&, forms::TForm&) override { return false; }
    bool SkinWindow(HWND) override { return false; }
    bool SkinMdiChild(HWND wnd) override {
        asked.push_back(wnd);
        return false;
    }
};

// A child made after the parent was skinned is handed to the coordinator once the client
// refreshes its window menu, and only once.
TEST_F(MdiWindows, ANewChildIsHandedToTheCoordinatorOnTheMenuRefresh) {
    RecordingCoordinator::asked.clear();
    SetSkinCoordinatorFactory([]() -> std::unique_ptr<SkinCoordinator> { return std::make_unique<RecordingCoordinator>(); });
    EnsureSkinCoordinator();
    auto* third = new forms::TMDIChild(parent.get());
    third->SetText("Three");
    third->SetBounds(70, 70, 220, 160);
    third->Show();  // made with WM_MDICREATE; showing it posts the refresh
    const bool asked = PumpUntil([&] { return !RecordingCoordinator::asked.empty(); }, 2000);
    SendMessageA(Client(), WM_MDIREFRESHMENU, 0, 0);
    Settle();
    const std::vector<HWND> seen = RecordingCoordinator::asked;
    FreeSkinCoordinator();
    SetSkinCoordinatorFactory(nullptr);
    EXPECT_TRUE(asked);
    ASSERT_EQ(seen.size(), 1u) << "asked more than once, or for another window";
    EXPECT_EQ(seen[0], third->Handle());
}

// The menu an open menu window shows, read from a timer of its loop, which then closes it.
struct ShownMenu {
    static inline HMENU menu = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const std::vector<HWND> open = OpenMenus();
        if (open.empty()) return;
        menu = reinterpret_cast<HMENU>(SendMessageA(open.front(), MN_GETHMENU, 0, 0));
        EndMenu();
    }
};

// An MDI child's icon or system-menu button opens the child's real system menu, with the MDI
// commands in it, not the skin's.
TEST_F(MdiWindows, AChildsSystemMenuIsItsRealOne) {
    HWND one = children[0]->Handle();
    ShownMenu::menu = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ShownMenu::Tick);
    const RECT r = WindowRect(one);
    childSkins[0]->ShowSystemMenu(r.left + 10, r.top + 10);
    KillTimer(nullptr, timer);
    Settle();
    ASSERT_NE(ShownMenu::menu, nullptr) << "no menu opened";
    EXPECT_EQ(ShownMenu::menu, GetSystemMenu(one, FALSE));
}

// Without frame skinning an MDI parent's client is hooked all the same; unskinned, the client
// is let go: a child made afterwards leaves the skin data's menu updating alone.
TEST(MdiWithoutFrameSkinning, UnskinningLetsTheClientGo) {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    data->SkinControls &= ~(1u << xcMainMenu);
    auto parent = std::make_unique<forms::TMDIForm>(nullptr);
    parent->SetText("Parent");
    parent->SetBounds(100, 80, 520, 400);
    parent->Show();
    Settle();
    TSkinForm* skin = AttachTo(*parent, *data);
    ASSERT_EQ(skin->MdiClient(), parent->ClientHandle());
    skin->UnskinForm();
    auto* child = new forms::TMDIChild(parent.get());
    child->SetBounds(10, 10, 220, 160);
    child->Show();
    Settle();
    EXPECT_TRUE(data->MenuUpdate) << "the client still runs the form skin's handler";
    parent.reset();
    Settle();
    SkinManage().mdiClient = nullptr;
    SkinManage().mdiFrameForm = nullptr;
    EXPECT_TRUE(SkinManage().FormSkins().empty());
}

}  // namespace
}  // namespace skin::menu_tests
