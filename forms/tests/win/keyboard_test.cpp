#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/application.h"
#include "forms/panel.h"
#include "forms/tests/win/form_test_support.h"

namespace forms {
namespace {

using testing_support::TFocusable;

struct KeyFixture : testing::Test {
    TForm* form = nullptr;
    std::vector<std::string> log;
    void SetUp() override {
        form = new TForm(Application);
        form->SetName("form");
        form->SetBounds(60, 60, 300, 200);
    }
    void TearDown() override {
        SetShift(false);
        delete form;
    }
    TFocusable* Add(const std::string& name, TWinControl* parent, int left) {
        auto* c = new TFocusable(form, name, &log);
        c->SetParent(parent);
        c->SetLeft(left);
        return c;
    }
    void ShowAndFocus(TWinControl* control) {
        form->Show();
        SetForegroundWindow(form->Handle());
        // The display's own focus events come late; let them pass, then take the focus again.
        for (int round = 0; round < 2; ++round) {
            control->SetFocus();
            testing_support::PumpUntil([] { return false; }, 30);
        }
        control->SetFocus();
        Application->ProcessMessages();
        ASSERT_EQ(GetFocus(), control->Handle());
    }
    // The key goes to the window with the focus (or the one given), as the keyboard would
    // send it.
    static void Press(WORD key, UINT down = WM_KEYDOWN, LPARAM data = 1, HWND to = nullptr) {
        if (to == nullptr) to = GetFocus();
        PostMessageA(to, down, key, data);
        PostMessageA(to, down == WM_KEYDOWN ? WM_KEYUP : WM_SYSKEYUP, key, data | (1u << 30) | (1u << 31));
        Application->ProcessMessages();
    }
    static void SetShift(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    static std::string FocusedName() {
        TWinControl* c = TWinControl::FindControl(GetFocus());
        return c != nullptr ? c->Name() : "(none)";
    }
};

using KeyPreview = KeyFixture;

TEST_F(KeyPreview, TheFormSeesKeysBeforeTheFocusedControlAndCanEatThem) {
    TFocusable* edit = Add("edit", form, 10);
    form->OnKeyDown = [&](TObject* sender, WORD& key, TShiftState) {
        EXPECT_EQ(sender, form);
        log.push_back("form: down " + std::to_string(key));
        if (key == 'X') key = 0;
    };
    ShowAndFocus(edit);
    struct Case {
        bool preview;
        WORD key;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {false, 'A', {"edit: down 65"}},
        {true, 'A', {"form: down 65", "edit: down 65"}},
        {true, 'X', {"form: down 88"}},
    };
    for (const Case& c : cases) {
        log.clear();
        form->SetKeyPreview(c.preview);
        Press(c.key, WM_KEYDOWN, 1, edit->Handle());
        EXPECT_EQ(log, c.expected) << "preview " << c.preview << " key " << c.key;
    }
}

TEST_F(KeyPreview, TheFormSeesCharactersFirstToo) {
    TFocusable* edit = Add("edit", form, 10);
    edit->OnKeyPress = [&](TObject*, char& key) { log.push_back(std::string("edit: press ") + key); };
    form->OnKeyPress = [&](TObject*, char& key) {
        log.push_back(std::string("form: press ") + key);
        if (key == 'x') key = 0;
    };
    form->SetKeyPreview(true);
    ShowAndFocus(edit);
    const struct { WORD key; std::vector<std::string> expected; } cases[] = {
        {'A', {"form: press a", "edit: press a"}},
        {'X', {"form: press x"}},
    };
    for (const auto& c : cases) {
        log.clear();
        Press(c.key, WM_KEYDOWN, 1, edit->Handle());  // translated into the character
        std::erase_if(log, [](const std::string& s) { return s.find(": down") != std::string::npos; });
        EXPECT_EQ(log, c.expected) << c.key;
    }
}

using ActiveControl = KeyFixture;

TEST_F(ActiveControl, IsForgottenWhenItOrItsContainerGoesWhoeverOwnsIt) {
    struct Case {
        const char* name;
        bool viaContainer;
    };
    for (const Case& c : {Case{"the control", false}, Case{"its container", true}}) {
        TComponent stranger(nullptr);  // owns what goes, so the form hears nothing as owner
        auto* panel = new TPanel(&stranger);
        panel->SetParent(form);
        auto* edit = new TFocusable(&stranger, "edit");
        edit->SetParent(c.viaContainer ? static_cast<TWinControl*>(panel) : form);
        ShowAndFocus(edit);
        ASSERT_EQ(form->ActiveControl(), edit) << c.name;
        if (c.viaContainer) delete panel;
        else delete edit;
        EXPECT_EQ(form->ActiveControl(), nullptr) << c.name;
        // Activation again must not reach for what is gone.
        SendMessageA(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    }
}

using DialogChars = KeyFixture;

TEST_F(DialogChars, AltLetterReachesControlsAsDialogCharUntilOneTakesIt) {
    TFocusable* first = Add("first", form, 10);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 40, 200, 60);
    TFocusable* inner = Add("inner", panel, 10);  // one level down, behind a container
    TFocusable* last = Add("last", form, 60);
    first->accel = 'f';
    inner->accel = 'i';
    ShowAndFocus(first);
    struct Case {
        WORD key;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {'F', {"first: char f"}},
        {'I', {"first: char i", "inner: char i"}},
        {'Z', {"first: char z", "inner: char z", "last: char z"}},
    };
    for (const Case& c : cases) {
        log.clear();
        Press(c.key, WM_SYSKEYDOWN, 1 | (1 << 29), first->Handle());
        std::erase_if(log, [](const std::string& s) { return s.find(": down") != std::string::npos; });
        EXPECT_EQ(log, c.expected) << "Alt+" << static_cast<char>(c.key);
    }
    (void)last;
}

using TabKeys = KeyFixture;

TEST_F(TabKeys, TabWalksTheTabOrderSkippingWhatCannotTakeFocus) {
    TFocusable* a = Add("a", form, 10);
    TFocusable* b = Add("b", form, 50);
    TFocusable* c = Add("c", form, 90);
    TFocusable* d = Add("d", form, 130);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 60, 200, 60);
    TFocusable* e = Add("e", panel, 10);
    c->SetTabOrder(0);     // first of all
    b->SetTabStop(false);  // reached only by clicking
    d->SetEnabled(false);
    EXPECT_EQ(c->TabOrder(), 0);
    EXPECT_EQ(a->TabOrder(), 1);
    ShowAndFocus(c);
    std::vector<std::string> forward;
    for (int i = 0; i < 4; ++i) {
        Press(VK_TAB);
        forward.push_back(FocusedName());
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"a", "e", "c", "a"}));
    SetShift(true);
    std::vector<std::string> backward;
    for (int i = 0; i < 3; ++i) {
        Press(VK_TAB);
        backward.push_back(FocusedName());
    }
    SetShift(false);
    EXPECT_EQ(backward, (std::vector<std::string>{"c", "e", "a"}));
    EXPECT_EQ(form->ActiveControl(), a);
    (void)e;
}

TEST_F(TabKeys, ArrowsMoveFocusAmongSiblingsUnlessTheControlWantsThem) {
    TFocusable* left = Add("left", form, 10);
    TFocusable* right = Add("right", form, 50);
    (void)right;
    struct Case {
        LRESULT dlgCode;
        WORD key;
        std::string focusAfter;
    };
    const Case cases[] = {
        {0, VK_RIGHT, "right"},
        {0, VK_DOWN, "right"},
        {DLGC_WANTARROWS, VK_RIGHT, "left"},
        {DLGC_WANTALLKEYS, VK_DOWN, "left"},
        {DLGC_WANTARROWS, VK_TAB, "right"},  // wanting arrows is not wanting Tab
        {DLGC_WANTTAB, VK_TAB, "left"},
    };
    form->Show();
    for (const Case& c : cases) {
        left->dlgCode = c.dlgCode;
        ShowAndFocus(left);
        log.clear();
        Press(c.key);
        EXPECT_EQ(FocusedName(), c.focusAfter) << "codes " << c.dlgCode << " key " << c.key;
        // The control's own key event sees the key either way.
        EXPECT_EQ(log, std::vector<std::string>{"left: down " + std::to_string(c.key)});
    }
}

}  // namespace
}  // namespace forms
