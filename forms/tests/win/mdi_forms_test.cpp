// MDI parent and child forms: the client window, children made and ended through it, tile,
// cascade and the window menu.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/mdi_forms.h"
#include "forms/menus.h"
#include "forms/subclass.h"
#include "forms/tests/win/form_test_support.h"

namespace forms {
namespace {

using testing_support::PumpUntil;

// The texts of a menu's entries, separators as "".
std::vector<std::string> MenuTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        texts.emplace_back(text);
    }
    return texts;
}

TEST(MdiForms, ChildrenLiveInTheClientAndEndThroughIt) {
    auto parent = std::make_unique<TMDIForm>(nullptr);
    parent->SetBounds(60, 60, 500, 380);
    auto* menu = new TMainMenu(parent.get());
    auto* window = new TMenuItem(parent.get());
    window->SetCaption("&Window");
    auto* tile = new TMenuItem(parent.get());
    tile->SetCaption("&Tile");
    window->Add(tile);
    menu->Items()->Add(window);
    parent->SetMenu(menu);
    parent->Show();
    Application->ProcessMessages();
    parent->SetWindowMenu(window);
    HWND client = parent->ClientHandle();
    ASSERT_NE(client, nullptr);
    char name[32] = {};
    GetClassNameA(client, name, sizeof name);
    EXPECT_STREQ(name, "MDIClient");

    int destroys = 0;
    WindowSubclass counter(client, [&](HWND, UINT msg, WPARAM w, LPARAM l, const SubclassNext& next) {
        if (msg == WM_MDIDESTROY) ++destroys;
        return next(msg, w, l);
    });
    TMDIChild* children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = new TMDIChild(parent.get());
        children[i]->SetText(i == 0 ? "First" : "Second");
        children[i]->SetBounds(5, 5, 150, 100);
        children[i]->Show();
        Application->ProcessMessages();
        EXPECT_EQ(GetParent(children[i]->Handle()), client);
        EXPECT_NE(GetWindowLongPtrA(children[i]->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD, 0);
    }
    EXPECT_EQ(parent->MDIChildCount(), 2);
    EXPECT_EQ(parent->ActiveMDIChild(), children[1]);
    // The window menu lists the children after its own items.
    const std::vector<std::string> listed = {"&Tile", "", "&1 First", "&2 Second"};
    EXPECT_TRUE(PumpUntil([&] { return MenuTexts(window->Handle()) == listed; }, 2000))
        << ::testing::PrintToString(MenuTexts(window->Handle()));

    // Tiled, the two do not overlap and share the client; cascaded, they do.
    parent->Tile();
    RECT a{}, b{}, both{};
    GetWindowRect(children[0]->Handle(), &a);
    GetWindowRect(children[1]->Handle(), &b);
    EXPECT_FALSE(IntersectRect(&both, &a, &b));
    parent->Cascade();
    GetWindowRect(children[0]->Handle(), &a);
    GetWindowRect(children[1]->Handle(), &b);
    EXPECT_TRUE(IntersectRect(&both, &a, &b));

    // A child freed goes through the client.
    delete children[1];
    Application->ProcessMessages();
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(parent->MDIChildCount(), 1);
    EXPECT_EQ(parent->ActiveMDIChild(), children[0]);
    counter.Remove();
    parent.reset();
    Application->ProcessMessages();
}

}  // namespace
}  // namespace forms
