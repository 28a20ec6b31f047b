#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/gdi_handle.h"
#include "forms/panel.h"
#include "forms/tests/win/form_test_support.h"
#include "forms/timer.h"

namespace forms {
namespace {

using testing_support::PumpUntil;

RECT WindowRect(TForm* form) {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    return r;
}

POINT CentreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

UniqueIcon MakeIcon(int size, BYTE pattern) {
    std::vector<BYTE> andBits(static_cast<size_t>(size * size / 8), 0);
    std::vector<BYTE> xorBits(static_cast<size_t>(size * size / 8), pattern);
    return UniqueIcon(CreateIcon(GetModuleHandleA(nullptr), size, size, 1, 1, andBits.data(), xorBits.data()));
}

HICON WindowIcon(HWND wnd, WPARAM which) {
    return reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, which, 0));
}

// Forms made by a test and freed at its end (unless the test freed them itself).
struct Forms : testing::Test {
    std::vector<TForm*> made;
    TForm* Make(TComponent* owner, int left, int top, int width, int height) {
        auto* f = new TForm(owner != nullptr ? owner : Application);
        f->SetBounds(left, top, width, height);
        made.push_back(f);
        return f;
    }
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            if (std::find(Screen->FormList().begin(), Screen->FormList().end(), *it) != Screen->FormList().end()) delete *it;
        }
    }
};

using FormPosition = Forms;

TEST_F(FormPosition, CentredOnTheScreenOrOnTheOwnerForm) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    TForm* owner = Make(nullptr, 30, 40, 400, 300);
    owner->Show();
    struct Case {
        TPosition position;
        bool owned;
        POINT centre;
    };
    const Case cases[] = {
        {poScreenCenter, false, CentreOf(work)},
        {poScreenCenter, true, CentreOf(work)},
        {poOwnerFormCenter, true, POINT{30 + 200, 40 + 150}},
        {poDesigned, false, POINT{5 + 100, 7 + 50}},
    };
    for (const Case& c : cases) {
        TForm* f = Make(c.owned ? owner : nullptr, 5, 7, 200, 100);
        f->SetPosition(c.position);
        f->Show();
        const RECT r = WindowRect(f);
        EXPECT_EQ(r.right - r.left, 200);
        EXPECT_NEAR(CentreOf(r).x, c.centre.x, 1) << c.position << " owned " << c.owned;
        EXPECT_NEAR(CentreOf(r).y, c.centre.y, 1) << c.position << " owned " << c.owned;
        EXPECT_EQ(f->Left(), r.left);
        EXPECT_EQ(f->Top(), r.top);
    }
}

TEST_F(FormPosition, BoundsFollowAMoveMadeByTheSystem) {
    TForm* f = Make(nullptr, 20, 30, 200, 100);
    f->Show();
    SetWindowPos(f->Handle(), nullptr, 110, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(f->Left(), 110);
    EXPECT_EQ(f->Top(), 120);
    SetWindowPos(f->Handle(), nullptr, 0, 0, 250, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(f->Width(), 250);
    EXPECT_EQ(f->Left(), 110);
}

TEST_F(FormPosition, ClientSizeSetBeforeTheWindowExistsIsTheClientSize) {
    TForm* f = Make(nullptr, 20, 30, 300, 300);
    f->SetClientSize(200, 100);
    f->Show();
    RECT client{};
    GetClientRect(f->Handle(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_EQ(f->ClientWidth(), 200);
    EXPECT_GT(f->Width(), 200);  // the frame is outside
}

using FormStyle = Forms;

TEST_F(FormStyle, StayOnTopIsTheTopmostWindowStyleBeforeAndAfterShowing) {
    auto topmost = [](TForm* f) { return (GetWindowLongPtrA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    TForm* early = Make(nullptr, 10, 10, 100, 80);
    early->SetFormStyle(fsStayOnTop);
    early->Show();
    EXPECT_TRUE(topmost(early));
    TForm* late = Make(nullptr, 10, 10, 100, 80);
    late->Show();
    EXPECT_FALSE(topmost(late));
    late->SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(topmost(late));
    late->SetFormStyle(fsNormal);
    EXPECT_FALSE(topmost(late));
}

TEST_F(FormStyle, IconsGoToTheWindowInBothSizesAndSurviveARecreate) {
    UniqueIcon big = MakeIcon(32, 0xAA), small = MakeIcon(16, 0x55), one = MakeIcon(32, 0x0F);
    TForm* f = Make(nullptr, 10, 10, 160, 120);
    f->SetIcons(big.get(), small.get());  // before the window exists
    f->Show();
    EXPECT_EQ(WindowIcon(f->Handle(), ICON_BIG), big.get());
    EXPECT_EQ(WindowIcon(f->Handle(), ICON_SMALL), small.get());
    f->SetBorderStyle(bsSingle);  // a new window
    EXPECT_EQ(WindowIcon(f->Handle(), ICON_BIG), big.get());
    EXPECT_EQ(WindowIcon(f->Handle(), ICON_SMALL), small.get());
    EXPECT_TRUE(IsWindowVisible(f->Handle())) << "the new window is shown as the old one was";
    f->SetIcon(one.get());
    EXPECT_EQ(WindowIcon(f->Handle(), ICON_BIG), one.get());
    EXPECT_EQ(WindowIcon(f->Handle(), ICON_SMALL), one.get());
}

using ModalForm = Forms;

TEST_F(ModalForm, ReturnsTheResultAButtonSetAndEnablesTheOtherWindowsAgain) {
    TForm* main = Make(nullptr, 10, 10, 300, 200);
    main->Show();
    TForm* other = Make(nullptr, 320, 10, 100, 100);
    other->Show();
    TForm* dialog = Make(main, 50, 50, 200, 120);
    auto* ok = new TPanel(dialog);
    ok->SetParent(dialog);
    ok->SetBounds(10, 10, 60, 25);
    bool othersDisabled = false;
    ok->OnClick = [&](TObject*) {
        othersDisabled = !IsWindowEnabled(main->Handle()) && !IsWindowEnabled(other->Handle()) &&
                         IsWindowEnabled(dialog->Handle());
        dialog->SetModalResult(mrOk);
    };
    dialog->OnShow = [&](TObject*) {
        PostMessageA(ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(ok->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(othersDisabled);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    EXPECT_FALSE(dialog->IsModal());
}

TEST_F(ModalForm, CloseEndsWithCancelAfterOneCloseQueryAndARefusalKeepsItOpen) {
    TForm* dialog = Make(nullptr, 50, 50, 200, 120);
    int queries = 0;
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = queries > 1;  // the first close is refused
    };
    dialog->OnShow = [&](TObject*) {
        PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
        PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
}

TEST_F(ModalForm, NestedModalsDisableEachOtherAndTheActiveWindowComesBack) {
    TForm* main = Make(nullptr, 10, 10, 300, 200);
    main->Show();
    SetActiveWindow(main->Handle());
    ASSERT_EQ(GetActiveWindow(), main->Handle());
    TForm* outer = Make(nullptr, 40, 40, 200, 150);
    TForm* inner = Make(nullptr, 70, 70, 120, 80);
    std::vector<std::string> seen;
    inner->OnShow = [&](TObject*) {
        seen.push_back(std::string("inner shown, outer ") + (IsWindowEnabled(outer->Handle()) ? "enabled" : "disabled") +
                       ", main " + (IsWindowEnabled(main->Handle()) ? "enabled" : "disabled"));
        PostMessageA(inner->Handle(), WM_CLOSE, 0, 0);
    };
    auto* trigger = new TPanel(outer);
    trigger->SetParent(outer);
    trigger->OnClick = [&](TObject*) {
        seen.push_back("inner returned " + std::to_string(inner->ShowModal()));
        seen.push_back(std::string("outer ") + (IsWindowEnabled(outer->Handle()) ? "enabled" : "disabled") + ", main " +
                       (IsWindowEnabled(main->Handle()) ? "enabled" : "disabled"));
        outer->SetModalResult(mrYes);
    };
    outer->OnShow = [&](TObject*) {
        PostMessageA(trigger->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(trigger->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    EXPECT_EQ(outer->ShowModal(), mrYes);
    EXPECT_EQ(seen, (std::vector<std::string>{"inner shown, outer disabled, main disabled", "inner returned 2",
                                              "outer enabled, main disabled"}));
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_EQ(GetActiveWindow(), main->Handle());
}

TEST_F(ModalForm, AThrowingCloseQueryReachesTheCallerAndLeavesNothingDisabled) {
    TForm* main = Make(nullptr, 10, 10, 300, 200);
    main->Show();
    TForm* dialog = Make(nullptr, 50, 50, 200, 120);
    dialog->OnCloseQuery = [](TObject*, bool&) { throw Exception("Refused loudly"); };
    dialog->OnShow = [&](TObject*) { dialog->SetModalResult(mrOk); };
    EXPECT_THROW(dialog->ShowModal(), Exception);
    EXPECT_FALSE(dialog->IsModal());
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
}

using FormClose = Forms;

TEST_F(FormClose, ANonMainFormHidesAndItsOwnerFreesIt) {
    TForm* owner = Make(nullptr, 10, 10, 200, 150);
    auto* child = new TForm(owner);
    child->SetBounds(30, 30, 120, 80);
    bool destroyed = false;
    child->OnDestroy = [&](TObject*) { destroyed = true; };
    child->Show();
    PostMessageA(child->Handle(), WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(child->Visible());
    EXPECT_FALSE(IsWindowVisible(child->Handle()));
    EXPECT_FALSE(destroyed);
    delete owner;
    made.clear();
    EXPECT_TRUE(destroyed);
}

TEST_F(FormClose, CloseActionFreeReleasesTheFormAfterItsMessages) {
    TForm* owner = Make(nullptr, 10, 10, 200, 150);
    auto* child = new TForm(owner);
    bool destroyed = false;
    child->OnDestroy = [&](TObject*) { destroyed = true; };
    child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    child->Show();
    child->Close();
    EXPECT_FALSE(destroyed);  // not inside its own handler
    Application->ProcessMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(owner->ComponentCount(), 0);
}

using MainForm = Forms;

TEST_F(MainForm, ClosingItEndsRunAndCloseQueryCanRefuse) {
    TForm* main = Make(nullptr, 10, 10, 200, 150);
    Application->SetMainForm(main);
    int queries = 0;
    bool shownWhenRefused = false;
    main->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = queries > 1;
        if (!canClose) shownWhenRefused = true;
    };
    main->OnShow = [&](TObject*) {
        PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
        PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
    };
    bool timedOut = false;
    TTimer guard(nullptr);  // a broken close must not hang the test run
    guard.SetInterval(5000);
    guard.OnTimer = [&](TObject*) {
        timedOut = true;
        Application->Terminate();
    };
    Application->Run();
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(queries, 2);
    EXPECT_TRUE(shownWhenRefused);
    Application->SetMainForm(nullptr);
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Application->ResetTerminated();
}

using FormMinimise = Forms;

TEST_F(FormMinimise, NoResizeNorAlignWhileMinimisedAndTheSameLayoutAfterRestore) {
    TForm* f = Make(nullptr, 40, 40, 300, 200);
    auto* top = new TPanel(f);
    top->SetParent(f);
    top->SetAlign(alTop);
    top->SetHeight(30);
    auto* body = new TPanel(f);
    body->SetParent(f);
    body->SetAlign(alClient);
    int formResizes = 0, bodyResizes = 0;
    f->OnResize = [&](TObject*) { ++formResizes; };
    body->OnResize = [&](TObject*) { ++bodyResizes; };
    f->Show();
    Application->ProcessMessages();
    const RECT before = body->BoundsRect(), topBefore = top->BoundsRect();
    const int formWidth = f->Width(), formHeight = f->Height();
    formResizes = bodyResizes = 0;
    f->SetWindowState(wsMinimized);
    Application->ProcessMessages();
    ASSERT_TRUE(IsIconic(f->Handle()));
    EXPECT_EQ(formResizes, 0);
    EXPECT_EQ(bodyResizes, 0);
    EXPECT_TRUE(SameRect(before, body->BoundsRect()));
    EXPECT_EQ(f->Width(), formWidth);
    f->SetWindowState(wsNormal);
    Application->ProcessMessages();
    EXPECT_FALSE(IsIconic(f->Handle()));
    EXPECT_EQ(formResizes, 0);
    EXPECT_EQ(bodyResizes, 0);
    EXPECT_TRUE(SameRect(before, body->BoundsRect()));
    EXPECT_TRUE(SameRect(topBefore, top->BoundsRect()));
    EXPECT_EQ(f->Width(), formWidth);
    EXPECT_EQ(f->Height(), formHeight);
    EXPECT_EQ(f->Left(), 40);
}

using FormResize = Forms;

// A window moved or sized by the system (not through SetBounds) fires OnResize once per new
// size, with the new size already in place; a move alone fires nothing.
TEST_F(FormResize, SystemSizesFireOnResizeOnceWithTheNewSize) {
    TForm* f = Make(nullptr, 40, 40, 300, 200);
    auto* panel = new TPanel(f);
    panel->SetParent(f);
    panel->SetBounds(10, 10, 100, 50);
    f->Show();
    Application->ProcessMessages();
    const struct {
        const char* name;
        TWinControl* control;
        int left, top, width, height;
        UINT flags;
        int resizes;
    } cases[] = {
        {"form moved and sized", f, 60, 50, 320, 220, 0, 1},
        {"form sized", f, 0, 0, 340, 230, SWP_NOMOVE, 1},
        {"form moved", f, 70, 60, 0, 0, SWP_NOSIZE, 0},
        {"child moved and sized", panel, 20, 15, 120, 60, 0, 1},
        {"child sized", panel, 0, 0, 130, 70, SWP_NOMOVE, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TWinControl* control = c.control;
        int resizes = 0;
        SIZE seen{};
        control->OnResize = [&](TObject*) {
            ++resizes;
            seen = SIZE{control->Width(), control->Height()};
        };
        SetWindowPos(control->Handle(), nullptr, c.left, c.top, c.width, c.height, c.flags | SWP_NOZORDER | SWP_NOACTIVATE);
        Application->ProcessMessages();
        EXPECT_EQ(resizes, c.resizes);
        if (c.resizes > 0) {
            EXPECT_EQ(seen.cx, c.width);
            EXPECT_EQ(seen.cy, c.height);
        }
        if (!(c.flags & SWP_NOMOVE)) {
            EXPECT_EQ(control->Left(), c.left);
            EXPECT_EQ(control->Top(), c.top);
        }
        control->OnResize = nullptr;
    }
}

// A new frame that keeps the client's size (the system then sends WM_MOVE but no WM_SIZE)
// still leaves the form's bounds those of its window.
TEST_F(FormResize, ANewFrameAroundTheSameClientKeepsTheBoundsTrue) {
    TForm* f = Make(nullptr, 40, 40, 300, 200);
    f->Show();
    Application->ProcessMessages();
    HWND wnd = f->Handle();
    RECT client{};
    GetClientRect(wnd, &client);
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    SetWindowLongPtrA(wnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME | WS_CAPTION)) | WS_BORDER);
    RECT outer = client;
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(wnd, GWL_EXSTYLE)));
    SetWindowPos(wnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Application->ProcessMessages();
    RECT now{}, window{};
    GetClientRect(wnd, &now);
    ASSERT_EQ(now.right, client.right) << "the client kept its size";
    ASSERT_EQ(now.bottom, client.bottom);
    GetWindowRect(wnd, &window);
    EXPECT_EQ(f->Width(), window.right - window.left);
    EXPECT_EQ(f->Height(), window.bottom - window.top);
}

}  // namespace
}  // namespace forms
