#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/graphic_control.h"
#include "forms/panel.h"
#include "forms/scroll_box.h"
#include "tests/support/win_recorders.h"

namespace forms {
namespace {

// A windowless control that logs what reaches it and answers CM_HITTEST as told.
class TProbe : public TGraphicControl {
public:
    explicit TProbe(TComponent* owner) : TGraphicControl(owner) { SetBounds(10, 10, 40, 40); }
    bool hit = true;
    std::vector<UINT> seen;
    void WndProc(TMessage& m) override {
        seen.push_back(m.Msg);
        if (m.Msg == CM_HITTEST) {
            m.Result = hit ? 1 : 0;
            return;
        }
        TGraphicControl::WndProc(m);
    }
};

// A container that logs the control-list notifications.
class TListPanel : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<std::string> log;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_CONTROLLISTCHANGE || m.Msg == CM_CONTROLCHANGE) {
            auto* c = reinterpret_cast<TControl*>(m.WParam);
            bool present = ContainsControl(c) && c->Parent() == this;
            log.push_back(std::string(m.Msg == CM_CONTROLLISTCHANGE ? "list" : "change") + (m.LParam ? "+" : "-") +
                          (present ? " present" : " absent"));
        }
        TPanel::WndProc(m);
    }
};

// A default/cancel button stand-in: clicks itself on its dialog key.
class TKeyButton : public TCustomControl {
public:
    TKeyButton(TComponent* owner, WORD key) : TCustomControl(owner), key_(key) { SetTabStop(true); }
    int clicks = 0;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_DIALOGKEY && m.WParam == key_) {
            ++clicks;
            m.Result = 1;
            return;
        }
        TCustomControl::WndProc(m);
    }

private:
    WORD key_;
};

// A container that makes its children's windows only for those it was told to.
class TChoosyPanel : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<const TWinControl*> wanted;
    std::vector<WPARAM> made;  // the children whose windows it heard of
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_CHILDHANDLECREATED) made.push_back(m.WParam);
        TPanel::WndProc(m);
    }

protected:
    bool MakesChildHandle(const TWinControl& child) const override {
        return std::find(wanted.begin(), wanted.end(), &child) != wanted.end();
    }
};

struct FormFixture : testing::Test {
    TForm* form = nullptr;
    void SetUp() override {
        form = new TForm(Application);
        form->SetBounds(50, 50, 300, 200);
    }
    void TearDown() override { delete form; }
};

using ControlTree = FormFixture;

TEST_F(ControlTree, OwnerAndParentDestructionInEitherOrder) {
    // Parent goes first: it frees its children, which leave their owner (the form).
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* child = new TProbe(form);
    child->SetParent(panel);
    form->Show();
    delete panel;
    EXPECT_EQ(form->ComponentCount(), 0);
    // Owner goes first: the child leaves its parent.
    auto* owner = new TComponent(nullptr);
    auto* panel2 = new TPanel(form);
    panel2->SetParent(form);
    auto* child2 = new TProbe(owner);
    child2->SetParent(panel2);
    delete owner;
    EXPECT_EQ(panel2->ControlCount(), 0);
}

TEST_F(ControlTree, ControlListNotificationsBracketInsertionAndRemoval) {
    auto* panel = new TListPanel(form);
    panel->SetParent(form);
    auto* child = new TProbe(form);
    child->SetParent(panel);
    child->SetParent(nullptr);
    EXPECT_EQ(panel->log, (std::vector<std::string>{"list+ absent", "change+ present", "change- present", "list- absent"}));
    delete child;
}

TEST_F(ControlTree, WindowlessChildGetsTheMouseOnlyWhenItsHitTestSaysYes) {
    auto* child = new TProbe(form);
    child->SetParent(form);
    int formDowns = 0;
    form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formDowns; };
    int childDowns = 0;
    child->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        ++childDowns;
        EXPECT_EQ(x, 5);  // in the child's own coordinates
        EXPECT_EQ(y, 6);
    };
    form->Show();
    HWND wnd = form->Handle();
    for (bool hit : {true, false}) {
        child->hit = hit;
        SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 16));
        SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(15, 16));
    }
    EXPECT_EQ(childDowns, 1);
    EXPECT_EQ(formDowns, 1);
}

TEST_F(ControlTree, ColourReachesParentColorChildrenOnly) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* follows = new TProbe(form);
    follows->SetParent(panel);
    follows->SetParentColor(true);
    auto* own = new TProbe(form);
    own->SetParent(panel);
    own->SetColor(clLime);
    panel->SetColor(clRed);
    EXPECT_EQ(follows->Color(), clRed);
    EXPECT_TRUE(follows->ParentColor());
    EXPECT_EQ(own->Color(), clLime);
    follows->SetColor(clBlue);  // an own colour ends the link
    EXPECT_FALSE(follows->ParentColor());
}

TEST_F(ControlTree, PerformAndSendMessageAnswerANotificationAlike) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    std::vector<UINT> seen;
    auto saved = panel->WindowProc;
    panel->WindowProc = [&](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == CM_HITTEST) {
            m.Result = 77;
            return;
        }
        saved(m);
    };
    EXPECT_EQ(panel->Perform(CM_HITTEST, 0, 0), 77);
    EXPECT_EQ(SendMessageA(panel->Handle(), CM_HITTEST, 0, 0), 77);
    EXPECT_GE(std::count(seen.begin(), seen.end(), CM_HITTEST), 2);
    size_t before = seen.size();
    panel->WindowProc = saved;  // restored by value: our hook sees nothing more
    panel->Perform(CM_HITTEST);
    SendMessageA(panel->Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(seen.size(), before);
    EXPECT_EQ(panel->Perform(CM_HITTEST, 0, 0), HTCLIENT);
}

TEST_F(ControlTree, DisabledContainerGreysChildrenWhichKeepTheirOwnState) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    auto* inner = new TPanel(form);
    inner->SetParent(panel);
    form->Show();
    panel->SetEnabled(false);
    EXPECT_TRUE(inner->Enabled());
    EXPECT_FALSE(inner->IsEnabledInTree());
    EXPECT_FALSE(IsWindowEnabled(inner->Handle()));
    panel->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(inner->Handle()));
}

TEST_F(ControlTree, PrintClientPaintsAndHandsTheContextBackUnchanged) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 40, 30);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clRed);
    form->Show();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SendMessageA(panel->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(GetPixel(dc, 20, 15), RGB(255, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bmp);
    SelectObject(dc, oldBrush);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(ControlTree, ExceptionInAHandlerEndsInTheErrorBox) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->OnClick = [](TObject*) { throw Exception("Handler failed"); };
    form->Show();
    SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(testsupport::MessageBoxes().size(), 1u);
    EXPECT_EQ(testsupport::MessageBoxes()[0].text, "Handler failed");
    EXPECT_EQ(testsupport::MessageBoxes()[0].caption, "Tests");
}

TEST_F(ControlTree, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
    auto* ok = new TKeyButton(form, VK_RETURN);
    ok->SetParent(form);
    ok->SetBounds(10, 10, 60, 20);
    auto* cancel = new TKeyButton(form, VK_ESCAPE);
    cancel->SetParent(form);
    cancel->SetBounds(80, 10, 60, 20);
    form->Show();
    ok->SetFocus();
    for (WORD key : {VK_RETURN, VK_ESCAPE, VK_ESCAPE}) PostMessageA(ok->Handle(), WM_KEYDOWN, key, 1);
    Application->ProcessMessages();
    EXPECT_EQ(ok->clicks, 1);
    EXPECT_EQ(cancel->clicks, 2);
}

TEST(Application, ProcessMessagesPostsAQuitItSeesAgain) {
    PostQuitMessage(3);
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Terminated());
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    Application->ResetTerminated();
}

TEST_F(ControlTree, ScrollBoxClampsAndKeepsChildrenRelativeToTheVisibleArea) {
    auto* box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBorderStyle(bsNone);
    box->SetBounds(0, 0, 100, 100);
    auto* child = new TProbe(form);
    child->SetParent(box);
    child->SetBounds(0, 250, 20, 50);  // content height 300
    form->Show();
    box->UpdateScrollBars();
    int visible = box->ClientHeight();
    struct Case { int requested; int expected; };
    const Case cases[] = {{50, 50}, {-10, 0}, {1000, 300 - visible}};
    for (const Case& c : cases) {
        box->VertScrollBar()->SetPosition(c.requested);
        EXPECT_EQ(box->VertScrollBar()->Position(), c.expected) << c.requested;
        EXPECT_EQ(child->Top(), 250 - c.expected);
    }
}

TEST_F(ControlTree, AContainerMayLeaveAChildsWindowUntilTheChildAsksForIt) {
    auto* panel = new TChoosyPanel(form);
    panel->SetParent(form);
    auto* early = new TPanel(form);
    auto* late = new TPanel(form);
    auto* grandchild = new TPanel(form);
    grandchild->SetParent(late);
    panel->wanted = {early};
    form->Show();
    early->SetParent(panel);
    late->SetParent(panel);
    late->SetBounds(5, 6, 30, 20);
    EXPECT_TRUE(early->HandleAllocated()) << "inserted into a container with a window";
    EXPECT_FALSE(late->HandleAllocated());
    EXPECT_TRUE(late->WindowLeftForLater());
    EXPECT_FALSE(early->WindowLeftForLater());
    EXPECT_EQ(panel->made, std::vector<WPARAM>{reinterpret_cast<WPARAM>(early)});
    EXPECT_FALSE(grandchild->HandleAllocated());
    // A container made again makes again only the windows it wants.
    panel->RecreateWnd();
    EXPECT_TRUE(early->HandleAllocated());
    EXPECT_FALSE(late->HandleAllocated());
    // Moving it draws nothing again in the container, which moving a windowless control does.
    auto* probe = new TProbe(form);
    probe->SetParent(panel);
    struct Move { const char* what; TControl* control; bool redraws; } moves[] = {{"without a window", late, false},
                                                                                 {"windowless", probe, true}};
    for (const Move& m : moves) {
        UpdateWindow(panel->Handle());
        m.control->SetBounds(m.control->Left() + 1, m.control->Top(), m.control->Width(), m.control->Height());
        EXPECT_EQ(GetUpdateRect(panel->Handle(), nullptr, FALSE) != FALSE, m.redraws) << m.what;
    }
    late->SetBounds(5, 6, 30, 20);
    // Asked for, the window stands where the control is, in its container, shown, with its children.
    panel->made.clear();
    HWND wnd = late->Handle();
    EXPECT_FALSE(late->WindowLeftForLater());
    EXPECT_EQ(panel->made, std::vector<WPARAM>{reinterpret_cast<WPARAM>(late)}) << "the container hears of it";
    EXPECT_EQ(GetParent(wnd), panel->Handle());
    EXPECT_TRUE(IsWindowVisible(wnd));
    RECT r{};
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, panel->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right - r.left, 30);
    EXPECT_TRUE(grandchild->HandleAllocated());
    EXPECT_EQ(GetParent(grandchild->Handle()), wnd);
}

}  // namespace
}  // namespace forms
