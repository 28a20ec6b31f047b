// What the menu-bar tests share: a form with a two-item main menu whose first drop-down has a
// sub-menu, skinned with the probe skin; real input; and a script of steps that runs from a
// thread timer, so that it reaches the modal loop of an open menu.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "forms/menus.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "skin/menu/menu_tracking.h"
#include "skin/menu/skin_menu.h"

namespace skin::menu_tests {

using namespace skin::frame_tests;

inline void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

inline void MoveMouse(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    SendMouse(MOUSEEVENTF_MOVE);
}

inline void SendKey(WORD key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

inline void PressKey(WORD key) {
    SendKey(key, false);
    SendKey(key, true);
}

// The popup menu windows on screen now.
inline std::vector<HWND> OpenMenus() {
    std::vector<HWND> found;
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32768", nullptr); w != nullptr; w = FindWindowExA(nullptr, w, "#32768", nullptr))
        if (IsWindowVisible(w)) found.push_back(w);
    return found;
}

// Whether the item at position index of menu is highlighted.
inline bool Highlighted(HMENU menu, int index) {
    return (GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_HILITE) != 0;
}

// Steps of a script: each waits for its condition, then acts; the checks made on the way are
// kept as failure texts, since a timer callback cannot fail a test.
struct Script {
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    static inline std::vector<Step> steps;
    static inline size_t next = 0;
    static inline std::vector<std::string> failures;
    static inline int maxMenus = 0;
    static inline DWORD deadline = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        // A step that never becomes ready must not leave the test inside the menu's loop.
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
            if (!OpenMenus().empty()) EndMenu();
            return;
        }
        maxMenus = std::max(maxMenus, static_cast<int>(OpenMenus().size()));
        if (next < steps.size() && steps[next].ready()) {
            const size_t now = next++;
            if (steps[now].act) steps[now].act();
        }
    }
    static void Check(bool ok, const std::string& what) {
        if (!ok) failures.push_back(what);
    }
    // Starts the steps, runs start (a click, a key), and waits until every step has run and
    // no menu is open any more.
    static bool Run(std::vector<Step> list, const std::function<void()>& start, DWORD milliseconds = 8000) {
        steps = std::move(list);
        next = 0;
        failures.clear();
        maxMenus = 0;
        deadline = GetTickCount() + milliseconds;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
        start();
        const bool done = PumpUntil([] { return next == steps.size() && OpenMenus().empty(); }, milliseconds + 2000) &&
                          next == steps.size();
        KillTimer(nullptr, timer);
        if (!done) {
            // Whatever is still open is closed, so the next test starts clean.
            EndMenu();
            Settle();
        }
        return done;
    }
};

inline std::string StepName(size_t i) { return i < Script::steps.size() ? Script::steps[i].what : "(all steps ran)"; }

// A form with "&File" (New, Recent > One, Two, Exit), "&Edit" (Copy, Paste) and a disabled
// "&Help" (About) on its main menu.
struct MenuForm : testing::Test {
    std::unique_ptr<forms::TForm> form;
    forms::TMainMenu* menu = nullptr;
    forms::TMenuItem *file = nullptr, *recent = nullptr, *edit = nullptr, *help = nullptr;
    TSkinForm* skin = nullptr;
    HWND wnd = nullptr;
    std::vector<std::string> clicks;

    forms::TMenuItem* Item(forms::TMenuItem* parent, const std::string& caption) {
        auto* item = new forms::TMenuItem(form.get());
        item->SetCaption(caption);
        item->OnClick = [this, caption](forms::TObject*) { clicks.push_back(caption); };
        parent->Add(item);
        return item;
    }

    void Build() {
        form = std::make_unique<forms::TForm>(nullptr);
        form->SetText("Menus");
        form->SetBounds(120, 100, 420, 300);
        menu = new forms::TMainMenu(form.get());
        file = Item(menu->Items(), "&File");
        Item(file, "&New");
        recent = Item(file, "&Recent");
        Item(recent, "&One");
        Item(recent, "&Two");
        Item(file, "E&xit");
        edit = Item(menu->Items(), "&Edit");
        Item(edit, "&Copy");
        Item(edit, "&Paste");
        help = Item(menu->Items(), "&Help");
        Item(help, "&About");
        help->SetEnabled(false);
        form->SetMenu(menu);
    }

    // Builds the form unless a test built (and changed) it first.
    void Make(TSkinData& data = Probe()) {
        if (!form) Build();
        form->Show();
        Settle();
        wnd = form->Handle();
        skin = AttachTo(*form, data);
        SetForegroundWindow(wnd);
        Settle();
        RedrawFrame(wnd);
    }

    void TearDown() override {
        EndMenu();
        Settle();
        form.reset();
        Settle();
        EXPECT_TRUE(SkinManage().FormSkins().empty());
        EXPECT_EQ(FramePaintErrors(), 0);
        EXPECT_EQ(MenuTrackingNestings(), 0) << "a drop-down was tracked inside another";
    }

    TMenuBtn& Bar(int index) { return *skin->MenuBar()->Item(index); }
    POINT BarCentre(int index) {
        const SkinRect& r = Bar(index).rect;
        return OnScreen(wnd, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    // Opens bar item index with a real click.
    void ClickBar(int index) {
        MoveMouse(BarCentre(index));
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    }
};

}  // namespace skin::menu_tests
