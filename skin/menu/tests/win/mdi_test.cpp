// MDI windows under the form skin: an MDI parent with a menu bar and two children. A maximised
// child gives up its frame and shows its three buttons on the parent's bar, which act on it.
#include "forms/mdi_forms.h"
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

}  // namespace
}  // namespace skin::menu_tests
