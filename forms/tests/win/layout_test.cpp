#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/panel.h"
#include "forms/scroll_box.h"
#include "forms/tests/win/form_test_support.h"

namespace forms {
namespace {

using testing_support::TSpot;

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string Show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// Where a windowed control's window really is, in its parent's client coordinates.
RECT WindowPlace(TWinControl* c) {
    RECT r{};
    GetWindowRect(c->Handle(), &r);
    MapWindowPoints(nullptr, c->Parent()->Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TWinControl* NewPanel(TComponent* owner, TWinControl* parent, const std::string& name) {
    auto* p = new TPanel(owner);
    p->SetName(name);
    p->SetBevelOuter(bvNone);
    p->SetParent(parent);
    return p;
}

// One child of each alignment, windowed and windowless mixed, inside `parent`.
struct AlignedSet {
    TControl* top;
    TControl* bottom;
    TControl* left;
    TControl* right;
    TControl* client;

    AlignedSet(TComponent* owner, TWinControl* parent) {
        top = NewPanel(owner, parent, "top");
        bottom = new TSpot(owner, "bottom");
        left = NewPanel(owner, parent, "left");
        right = new TSpot(owner, "right");
        client = NewPanel(owner, parent, "client");
        bottom->SetParent(parent);
        right->SetParent(parent);
        top->SetHeight(20);
        bottom->SetHeight(15);
        left->SetWidth(30);
        right->SetWidth(25);
        top->SetAlign(alTop);
        bottom->SetAlign(alBottom);
        left->SetAlign(alLeft);
        right->SetAlign(alRight);
        client->SetAlign(alClient);
    }

    // Checks each child against the area it must fill inside `area`.
    void Expect(const RECT& area, const std::string& when) const {
        const int x = area.left, y = area.top, w = area.right - area.left, h = area.bottom - area.top;
        const struct { TControl* c; RECT r; } expected[] = {
            {top, Bounds(x, y, w, 20)},
            {bottom, Bounds(x, y + h - 15, w, 15)},
            {left, Bounds(x, y + 20, 30, h - 35)},
            {right, Bounds(x + w - 25, y + 20, 25, h - 35)},
            {client, Bounds(x + 30, y + 20, w - 55, h - 35)},
        };
        for (const auto& e : expected) {
            EXPECT_TRUE(SameRect(e.c->BoundsRect(), e.r))
                << when << ": " << e.c->Name() << " at " << Show(e.c->BoundsRect()) << ", expected " << Show(e.r);
            if (auto* w = dynamic_cast<TWinControl*>(e.c)) {
                EXPECT_TRUE(SameRect(WindowPlace(w), e.r)) << when << ": window of " << e.c->Name() << " at " << Show(WindowPlace(w));
            }
        }
    }
};

struct Layout : testing::Test {
    TForm* form = nullptr;
    void MakeForm(TFormBorderStyle style) {
        form = new TForm(Application);
        form->SetBorderStyle(style);
        form->SetBounds(30, 30, 320, 240);
    }
    void TearDown() override { delete form; }
};

TEST_F(Layout, AlignFillsTheFormsClientAreaAndFollowsItsSize) {
    MakeForm(bsSizeable);
    AlignedSet set(form, form);
    form->Show();
    RECT client{};
    GetClientRect(form->Handle(), &client);
    ASSERT_LT(client.right, form->Width());  // a frame around the client area
    set.Expect(client, "shown");
    form->SetBounds(30, 30, 400, 300);
    GetClientRect(form->Handle(), &client);
    set.Expect(client, "after SetBounds");
    SetWindowPos(form->Handle(), nullptr, 0, 0, 280, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(form->Handle(), &client);
    set.Expect(client, "after a resize by the system");
}

TEST_F(Layout, AlignKeepsInsideAPanelsBorderAndBevelAndSkipsHiddenChildren) {
    MakeForm(bsNone);
    auto* panel = static_cast<TPanel*>(NewPanel(form, form, "panel"));
    panel->SetBorderStyle(bsSingle);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->SetBounds(10, 10, 200, 150);
    AlignedSet set(form, panel);
    form->Show();
    RECT area{};
    GetClientRect(panel->Handle(), &area);
    EXPECT_EQ(area.right, 198);  // the window border is outside the client area
    InflateRect(&area, -5, -5);  // then the bevel and the border width
    set.Expect(area, "bordered panel");
    set.top->Hide();
    EXPECT_EQ(set.left->Top(), 5);
    EXPECT_EQ(set.client->Top(), 5);
    set.top->Show();
    set.Expect(area, "top shown again");
}

TEST_F(Layout, ZOrderChangesDoNotReorderAlignedChildren) {
    MakeForm(bsNone);
    TWinControl* a = NewPanel(form, form, "a");
    TWinControl* b = NewPanel(form, form, "b");
    TWinControl* c = NewPanel(form, form, "c");
    for (TWinControl* p : {a, b, c}) {
        p->SetHeight(10);
        p->SetAlign(alTop);
    }
    form->Show();
    a->BringToFront();
    c->SendToBack();
    form->Realign();
    EXPECT_EQ(a->Top(), 0);
    EXPECT_EQ(b->Top(), 10);
    EXPECT_EQ(c->Top(), 20);
}

TEST_F(Layout, AScrollBarThatGoesAwayDuringAResizeGivesItsRoomBack) {
    MakeForm(bsNone);
    auto* box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBorderStyle(bsNone);
    box->SetBounds(0, 0, 200, 100);
    TWinControl* strip = NewPanel(form, box, "strip");
    strip->SetHeight(20);
    strip->SetAlign(alTop);
    auto* tall = new TSpot(form, "tall");
    tall->SetParent(box);
    tall->SetBounds(10, 150, 20, 20);  // content to 170: a vertical bar at 100
    form->Show();
    ASSERT_LT(box->ClientWidth(), 200);
    EXPECT_EQ(strip->Width(), box->ClientWidth());
    box->SetHeight(250);  // now all of it fits
    EXPECT_EQ(box->ClientWidth(), 200);
    EXPECT_EQ(strip->Width(), 200);
}

TEST_F(Layout, BoundsAreInTheParentsClientCoordinates) {
    MakeForm(bsSingle);
    form->SetBounds(40, 50, 300, 200);
    auto* panel = static_cast<TPanel*>(NewPanel(form, form, "panel"));
    panel->SetBorderStyle(bsSingle);
    panel->SetBounds(10, 12, 150, 100);
    TWinControl* inner = NewPanel(form, panel, "inner");
    inner->SetBounds(5, 6, 40, 30);
    auto* spot = new TSpot(form, "spot");
    spot->SetParent(panel);
    spot->SetBounds(50, 7, 10, 10);
    form->Show();
    EXPECT_TRUE(SameRect(WindowPlace(panel), Bounds(10, 12, 150, 100)));
    EXPECT_TRUE(SameRect(WindowPlace(inner), Bounds(5, 6, 40, 30)));
    POINT panelOrigin{0, 0};
    ClientToScreen(panel->Handle(), &panelOrigin);
    const struct { TControl* c; POINT expected; } origins[] = {
        {panel, [&] { POINT p{0, 0}; ClientToScreen(panel->Handle(), &p); return p; }()},
        {inner, POINT{panelOrigin.x + 5, panelOrigin.y + 6}},
        {spot, POINT{panelOrigin.x + 50, panelOrigin.y + 7}},
        {form, [&] { POINT p{0, 0}; ClientToScreen(form->Handle(), &p); return p; }()},
    };
    for (const auto& o : origins) {
        const POINT got = o.c->ClientOrigin();
        EXPECT_EQ(got.x, o.expected.x) << o.c->Name();
        EXPECT_EQ(got.y, o.expected.y) << o.c->Name();
        const POINT back = o.c->ScreenToClient(o.c->ClientToScreen(POINT{3, 4}));
        EXPECT_EQ(back.x, 3);
        EXPECT_EQ(back.y, 4);
    }
    EXPECT_EQ(form->Left(), 40);
    EXPECT_EQ(form->Top(), 50);
    EXPECT_GT(form->ClientOrigin().y, 50);  // below the caption
}

using Fonts = Layout;

TEST_F(Fonts, ParentFontChangesReachChildrenThatFollowTheirParent) {
    MakeForm(bsNone);
    TWinControl* panel = NewPanel(form, form, "panel");
    auto* follower = new TSpot(form, "follower");
    follower->SetParent(panel);
    TWinControl* own = NewPanel(form, panel, "own");
    auto* ownChild = new TSpot(form, "ownChild");  // follows `own`, not the form
    ownChild->SetParent(own);
    own->Font()->SetName("Courier New");
    EXPECT_FALSE(own->ParentFont());
    form->Show();
    std::vector<std::string> seen;
    for (TControl* c : {static_cast<TControl*>(panel), static_cast<TControl*>(follower), static_cast<TControl*>(own),
                        static_cast<TControl*>(ownChild)}) {
        auto saved = c->WindowProc;
        c->WindowProc = [&seen, c, saved](TMessage& m) {
            if (m.Msg == CM_PARENTFONTCHANGED) seen.push_back(c->Name());
            saved(m);
        };
    }
    form->Font()->SetSize(14);
    form->Font()->SetStyle(fsBold);
    EXPECT_EQ(panel->Font()->Size(), 14);
    EXPECT_TRUE(follower->Font()->Bold());
    EXPECT_TRUE(panel->ParentFont());
    EXPECT_EQ(own->Font()->Name(), "Courier New");
    EXPECT_NE(own->Font()->Size(), 14);
    EXPECT_NE(ownChild->Font()->Size(), 14);
    EXPECT_EQ(ownChild->Font()->Name(), "Courier New");
    // The windowed follower's window has the new font too.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(panel->Handle(), WM_GETFONT, 0, 0)), panel->Font()->Handle());
    // Each change reached the panel, the follower and `own` (which refused it), never `own`'s child.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "ownChild"), 0);
    EXPECT_GE(std::count(seen.begin(), seen.end(), "follower"), 1);
    EXPECT_GE(std::count(seen.begin(), seen.end(), "own"), 1);
    own->SetParentFont(true);
    EXPECT_EQ(own->Font()->Size(), 14);
    EXPECT_EQ(ownChild->Font()->Size(), 14);
    EXPECT_TRUE(ownChild->Font()->Bold());
}

TEST_F(Fonts, AReparentedControlTakesItsNewParentsFont) {
    MakeForm(bsNone);
    TWinControl* a = NewPanel(form, form, "a");
    TWinControl* b = NewPanel(form, form, "b");
    b->Font()->SetSize(20);
    auto* c = new TSpot(form, "c");
    c->SetParent(a);
    EXPECT_NE(c->Font()->Size(), 20);
    c->SetParent(b);
    EXPECT_EQ(c->Font()->Size(), 20);
    EXPECT_TRUE(c->ParentFont());
}

TEST_F(Layout, OwnedComponentsStayInCreationOrderWhateverTheirParents) {
    MakeForm(bsNone);
    TWinControl* a = NewPanel(form, form, "a");
    TWinControl* b = NewPanel(form, form, "b");
    auto* c = new TSpot(form, "c");
    TWinControl* d = NewPanel(form, form, "d");
    c->SetParent(a);
    a->SetParent(b);
    d->SetParent(a);
    b->BringToFront();
    auto names = [&] {
        std::vector<std::string> n;
        for (TComponent* x : form->ComponentList()) n.push_back(x->Name());
        return n;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c", "d"}));
    for (int i = 0; i < form->ComponentCount(); ++i) EXPECT_EQ(form->Components(i), form->ComponentList()[static_cast<size_t>(i)]);
    EXPECT_EQ(form->FindComponent("D"), d);
    delete b;  // frees a and, through a, c and d
    EXPECT_TRUE(names().empty());
    EXPECT_EQ(form->ControlCount(), 0);
}

}  // namespace
}  // namespace forms
