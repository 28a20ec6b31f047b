#include "skin/controls/attach_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "forms/button.h"
#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/common_controls.h"
#include "forms/date_time_picker.h"
#include "forms/edit.h"
#include "forms/group_box.h"
#include "forms/label.h"
#include "forms/list_box.h"
#include "forms/page_control.h"
#include "forms/panel.h"
#include "forms/rich_edit.h"
#include "forms/shape.h"
#include "skin/controls/box_skins.h"
#include "skin/controls/button_skins.h"
#include "skin/controls/combo_skins.h"
#include "skin/skin_messages.h"
#include "skin/controls/tests/win/control_skin_fixture.h"

namespace skin {
namespace {

using testing_support::PaintedPixels;
using testing_support::Rgb;
using testing_support::ScreenPixel;
using Attachment = testing_support::SkinnedForm;

template <class T> T* Place(forms::TWinControl* parent, forms::TComponent* owner, const char* name, int x, int y, int w, int h) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

std::map<std::string, std::string> SkinsByControl(const TControlSkinList& list) {
    std::map<std::string, std::string> by;
    for (TSkinControl* skin : list.Skins()) {
        const auto* owner = dynamic_cast<forms::TComponent*>(skin->Owner());
        by[owner != nullptr ? owner->Name() : "?"] = skin->SkinClassName();
    }
    return by;
}

// Each control of a test form that holds the programs' kinds gets its skin.
TEST_F(Attachment, EachControlGetsTheExpectedSkin) {
    auto* pages = Place<forms::TPageControl>(form, form, "Pages", 0, 0, 500, 360);
    auto* sheet = new forms::TTabSheet(form);
    sheet->SetName("Sheet");
    sheet->SetPageControl(pages);
    Place<forms::TButton>(sheet, form, "Button", 10, 10, 80, 25);
    Place<forms::TCheckBox>(sheet, form, "Check", 10, 40, 120, 20);
    Place<forms::TRadioButton>(sheet, form, "Radio", 10, 65, 120, 20);
    auto* group = Place<forms::TGroupBox>(sheet, form, "Group", 150, 10, 150, 80);
    Place<forms::TEdit>(group, form, "Edit", 10, 20, 100, 22);
    Place<forms::TComboBox>(sheet, form, "Combo", 10, 100, 120, 22);
    Place<forms::TDateTimePicker>(sheet, form, "Picker", 10, 130, 120, 22);
    Place<forms::TRichEdit>(sheet, form, "Rich", 150, 100, 150, 80);
    Place<forms::TMemo>(sheet, form, "Memo", 310, 10, 150, 80);
    Place<forms::TListBox>(sheet, form, "List", 310, 100, 150, 80);
    Place<forms::TLabel>(sheet, form, "Label", 10, 160, 80, 16)->SetCaption("Label");
    Place<forms::TPanel>(sheet, form, "Panel", 10, 190, 120, 40);
    Place<forms::TButton>(sheet, form, "Tag99", 150, 200, 80, 25)->SetTag(99);
    Place<forms::TButton>(sheet, form, "Tag199", 240, 200, 80, 25)->SetTag(199);
    Place<forms::TButton>(sheet, form, "Tag100", 330, 200, 80, 25)->SetTag(100);
    Pump();

    SkinChildControls(*list, *form);
    const std::map<std::string, std::string> expected = {
        {"Pages", "TSkinTab"},          {"Sheet", "TSkinBox"},        {"Button", "TSkinButton"},    {"Check", "TSkinCheckBox"},
        {"Radio", "TSkinRadioButton"},  {"Group", "TSkinGroupBox"},   {"Edit", "TSkinEdit"},
        {"Combo", "TSkinComBox"},       {"Picker", "TSkinComBox"},    {"Rich", "TSkinScrollbar"},
        {"Memo", "TSkinScrollbar"},     {"List", "TSkinScrollbar"},   {"Panel", "TSkinBox"},
        {"Tag100", "TSkinButton"},
    };
    EXPECT_EQ(SkinsByControl(*list), expected);

    // A second walk, and a second list, attach nothing more.
    const size_t count = list->Skins().size();
    SkinChildControls(*list, *form);
    EXPECT_EQ(list->Skins().size(), count);
    TControlSkinList other(data.get());
    SkinChildControls(other, *form);
    EXPECT_TRUE(other.Skins().empty()) << "a control that answers the skinned query is skinned once";
}

// A Skin3rd line for a container skins the scrolling controls inside it, even those the walk
// over the form's own components does not reach.
TEST_F(Attachment, AnEmbedScrollbarLineSkinsTheScrollingChildren) {
    data->Skin3rd.insert(data->Skin3rd.begin(), "TPanel=EmbedScrollbar");
    auto* panel = Place<forms::TPanel>(form, form, "Panel", 10, 10, 300, 200);
    auto* memo = Place<forms::TMemo>(panel, panel, "Inner", 10, 10, 200, 100);  // the panel's own
    memo->SetScrollBars(forms::ssVertical);
    auto* edit = Place<forms::TEdit>(panel, panel, "Plain", 10, 120, 100, 22);
    Pump();
    SkinChildControls(*list, *form);
    EXPECT_EQ(SkinsByControl(*list), (std::map<std::string, std::string>{{"Inner", "TSkinScrollbar"}}));
    EXPECT_EQ(list->FindByHandle(edit->Handle()), nullptr);
}

// The panel and group box take the face colour while skinned and get their own back.
TEST_F(Attachment, UnskinGivesColoursAndProceduresBack) {
    auto* panel = Place<forms::TPanel>(form, form, "Panel", 10, 10, 120, 40);
    panel->SetColor(forms::clRed);
    auto* button = Place<forms::TButton>(form, form, "Button", 10, 60, 80, 25);
    Pump();
    const COLORREF ownButton = PaintedPixels(button->Handle()).At(4, 4);
    SkinChildControls(*list, *form);
    EXPECT_EQ(forms::ColorToRGB(panel->Color()), Face());
    EXPECT_EQ(PaintedPixels(button->Handle()).At(4, 4), Rgb(probe::k_button[0]));
    list->UnskinAll();
    EXPECT_EQ(panel->Color(), forms::clRed);
    EXPECT_EQ(PaintedPixels(button->Handle()).At(4, 4), ownButton);
    EXPECT_TRUE(list->Skins().empty());
}

// A group box that takes its page's colour is skinned after the page, when that colour is
// the face already: unskinned, it takes the page's own colour again, at once.
TEST_F(Attachment, UnskinGivesAParentColouredBoxItsParentsColourBack) {
    auto* page = Place<forms::TPanel>(form, form, "Page", 10, 10, 300, 200);
    page->SetColor(forms::clRed);
    auto* group = Place<forms::TGroupBox>(page, form, "Group", 10, 10, 200, 120);
    group->SetCaption("Group");
    ASSERT_TRUE(group->ParentColor());
    Pump();
    SkinChildControls(*list, *form);
    ASSERT_EQ(forms::ColorToRGB(group->Color()), Face());
    list->UnskinAll();
    EXPECT_EQ(group->Color(), forms::clRed);
    EXPECT_TRUE(group->ParentColor());
    EXPECT_EQ(ScreenPixel(group->Handle(), 100, 60), RGB(255, 0, 0)) << "painted plain at once";
}

// The skin data's OnSkinControl is asked first, with the control's class in capitals: a skin it
// hands back is attached with its own colour flag and no rule runs for that control (a panel's
// own controls are still walked); a control it leaves alone goes through the rules.
TEST_F(Attachment, OnSkinControlIsAskedFirst) {
    form->SetName("Host");
    auto* check = Place<forms::TCheckBox>(form, form, "Check", 10, 10, 120, 20);
    check->SetColor(forms::clRed);
    auto* panel = Place<forms::TPanel>(form, form, "Panel", 10, 40, 200, 80);
    panel->SetColor(forms::clRed);
    Place<forms::TButton>(panel, panel, "Inner", 10, 10, 80, 25);
    Place<forms::TButton>(form, form, "Plain", 10, 130, 80, 25);
    Pump();
    std::vector<std::string> asked;
    data->OnSkinControl = [&](TControlSkinList& sender, TSkinData& skinData, forms::TComponent& owner, forms::TControl& control,
                              const std::string& controlClass, TSkinControl*& skinned) {
        EXPECT_EQ(&sender, list.get());
        EXPECT_EQ(&skinData, data.get());
        EXPECT_EQ(skinned, nullptr);
        asked.push_back(control.Name() + " " + controlClass + " of " + owner.Name());
        if (controlClass == "TCHECKBOX") {
            auto* box = new TSkinBox(&control);
            box->SetColourControl(true);
            skinned = box;
        } else if (controlClass == "TPANEL") {
            skinned = new TSkinGroupBox(&control);
        }
    };
    SkinChildControls(*list, *form);
    EXPECT_EQ(asked, (std::vector<std::string>{"Check TCHECKBOX of Host", "Panel TPANEL of Host", "Inner TBUTTON of Panel",
                                               "Plain TBUTTON of Host"}));
    EXPECT_EQ(SkinsByControl(*list), (std::map<std::string, std::string>{
                                         {"Check", "TSkinBox"}, {"Panel", "TSkinGroupBox"}, {"Inner", "TSkinButton"}, {"Plain", "TSkinButton"}}));
    EXPECT_EQ(forms::ColorToRGB(check->Color()), Face()) << "the handler's skin asked for the face colour";
    EXPECT_EQ(panel->Color(), forms::clRed) << "the handler's skin left the colour alone";
    list->UnskinAll();
    EXPECT_EQ(check->Color(), forms::clRed);
}

// A skin the handler hands back for a windowless control is not attached and keeps no
// pointer to the list: freed with its control after the list is gone, it touches nothing.
TEST_F(Attachment, ASkinHandedBackForAWindowlessControlStaysOutOfTheList) {
    auto* shape = Place<forms::TShape>(form, form, "Shape", 10, 10, 80, 16);
    TSkinControl* handed = nullptr;
    data->OnSkinControl = [&](TControlSkinList&, TSkinData&, forms::TComponent&, forms::TControl& control, const std::string&,
                              TSkinControl*& skinned) {
        if (&control == shape) skinned = handed = new TSkinButton(&control);
    };
    SkinChildControls(*list, *form);
    ASSERT_NE(handed, nullptr);
    EXPECT_FALSE(list->Contains(handed));
    EXPECT_EQ(handed->List(), nullptr);
    list.reset();
    delete shape;
}

// A skin that paints over the control's own painting has it drawn off screen first while the
// control is skinned; unskinned, the control's own setting is back.
TEST_F(Attachment, DoubleBufferedWhileSkinned) {
    auto* own = Place<forms::TGroupBox>(form, form, "Own", 10, 10, 150, 80);
    own->SetDoubleBuffered(true);
    auto* group = Place<forms::TGroupBox>(form, form, "Group", 170, 10, 150, 80);
    auto* button = Place<forms::TButton>(form, form, "Button", 10, 100, 80, 25);
    Pump();
    SkinChildControls(*list, *form);
    for (forms::TWinControl* c : std::initializer_list<forms::TWinControl*>{own, group, button}) {
        SCOPED_TRACE(c->Name());
        EXPECT_TRUE(c->DoubleBuffered());
    }
    EXPECT_EQ(PaintedPixels(button->Handle()).At(4, 4), Rgb(probe::k_button[0]));
    list->UnskinAll();
    EXPECT_TRUE(own->DoubleBuffered());
    EXPECT_FALSE(group->DoubleBuffered());
    EXPECT_FALSE(button->DoubleBuffered());
}

// 0x3506 switches one control's skin off (its own painting returns) and on again.
TEST_F(Attachment, OneControlSwitchedOffAndOn) {
    auto* button = Place<forms::TButton>(form, form, "Button", 10, 60, 80, 25);
    Pump();
    const COLORREF own = PaintedPixels(button->Handle()).At(4, 4);
    SkinChildControls(*list, *form);
    SendMessageA(button->Handle(), kMsgControlSwitch, 0, 0);
    EXPECT_EQ(PaintedPixels(button->Handle()).At(4, 4), own);
    EXPECT_EQ(SendMessageA(button->Handle(), kMsgSkinnedQuery, 0, 0), 1) << "still skinned while off";
    SendMessageA(button->Handle(), kMsgControlSwitch, 1, 0);
    EXPECT_EQ(PaintedPixels(button->Handle()).At(4, 4), Rgb(probe::k_button[0]));
}

// A skin that counts its Unskin calls.
class TCountingButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;
    void Unskin() override {
        ++*count;
        TSkinButton::Unskin();
    }
    int* count = nullptr;
};

LRESULT CALLBACK RecordingParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) SetPropA(wnd, "commands", reinterpret_cast<HANDLE>(reinterpret_cast<UINT_PTR>(GetPropA(wnd, "commands")) + 1));
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

struct RawParent {
    RawParent() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SkinTestParent";
        RegisterClassA(&wc);
        wnd = CreateWindowExA(0, "SkinTestParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 40, 300, 200, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    }
    ~RawParent() { DestroyWindow(wnd); }
    HWND Child(const char* cls, DWORD style, int id, int y) const {
        return CreateWindowExA(0, cls, "Raw", WS_CHILD | WS_VISIBLE | style, 10, y, 120, 24, wnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    }
    int Commands() const { return static_cast<int>(reinterpret_cast<UINT_PTR>(GetPropA(wnd, "commands"))); }
    HWND wnd;
};

// A window destroyed while skinned gets Unskin once; the next walk frees its skin.
TEST_F(Attachment, ADestroyedWindowIsUnskinnedOnceAndFreedByTheNextWalk) {
    RawParent parent;
    HWND button = parent.Child("BUTTON", BS_PUSHBUTTON, 7, 10);
    int unskins = 0;
    auto* skin = new TCountingButton(nullptr);
    skin->count = &unskins;
    skin->AttachHandle(button, data.get(), list.get());
    DestroyWindow(button);
    EXPECT_EQ(unskins, 1);
    EXPECT_EQ(skin->LifeState(), kLifeDead);
    ASSERT_EQ(list->Skins().size(), 1u);
    SkinChildWindows(*list, parent.wnd);
    EXPECT_TRUE(list->Skins().empty());
    list->UnskinAll();
    EXPECT_EQ(unskins, 1);
}

// A raw dialog's button still reports its click to the dialog, and only a press and release
// on it make one.
TEST_F(Attachment, ARawButtonSendsItsCommandToTheParent) {
    RawParent parent;
    HWND button = parent.Child("BUTTON", BS_PUSHBUTTON, 7, 10);
    SkinChildWindows(*list, parent.wnd);
    ASSERT_NE(list->FindByHandle(button), nullptr);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(parent.Commands(), 0);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(parent.Commands(), 1);
    EXPECT_EQ(PaintedPixels(button).At(4, 4), Rgb(probe::k_button[3])) << "focused after the click";
}

// The children a message box has, in a raw dialog: each by its window class and button type.
TEST_F(Attachment, RawDialogChildrenByClassAndButtonType) {
    HWND dialog = CreateWindowExA(0, "#32770", "Box", WS_POPUP | WS_CAPTION | WS_VISIBLE, 600, 300, 320, 240, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    auto child = [&](const char* cls, DWORD style, int y) {
        return CreateWindowExA(0, cls, "x", WS_CHILD | WS_VISIBLE | style, 10, y, 120, 20, dialog, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    const struct {
        const char* cls;
        DWORD style;
        const char* skin;
    } cases[] = {
        {"BUTTON", BS_DEFPUSHBUTTON, "TSkinButton"}, {"BUTTON", BS_AUTOCHECKBOX, "TSkinCheckBox"},
        {"BUTTON", BS_GROUPBOX, ""},                 {"BUTTON", BS_OWNERDRAW, ""},
        {"BUTTON", BS_AUTORADIOBUTTON, "TSkinRadioButton"}, {"STATIC", SS_LEFT, ""},
        {"EDIT", 0, "TSkinEdit"},
    };
    std::vector<HWND> windows;
    int y = 5;
    for (const auto& c : cases) windows.push_back(child(c.cls, c.style, y += 25));
    SkinChildWindows(*list, dialog);
    SkinChildWindow(*list, dialog);
    for (size_t i = 0; i < std::size(cases); ++i) {
        TSkinControl* skin = list->FindByHandle(windows[i]);
        EXPECT_EQ(skin != nullptr ? std::string(skin->SkinClassName()) : "", cases[i].skin) << cases[i].cls << " " << cases[i].style;
    }
    TSkinControl* box = list->FindByHandle(dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_STREQ(box->SkinClassName(), "TSkinBoxH");
    // The dialog's face and its texts' background are the skin's.
    HDC dc = GetDC(windows[5]);
    const LRESULT brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(windows[5]));
    EXPECT_EQ(GetBkColor(dc), Face());
    ReleaseDC(windows[5], dc);
    LOGBRUSH lb{};
    GetObject(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, Face());
    list->UnskinAll();
    DestroyWindow(dialog);
}

// Only while ours is the window's procedure is the old one put back: a later subclasser keeps
// its own, and messages still reach the window through both.
LONG_PTR laterPrevious = 0;
int laterCalls = 0;
LRESULT CALLBACK LaterProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++laterCalls;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(laterPrevious), wnd, msg, wParam, lParam);
}

TEST_F(Attachment, DetachLeavesALaterSubclasserInPlace) {
    RawParent parent;
    HWND edit = parent.Child("EDIT", WS_BORDER, 7, 10);
    auto* skin = new TSkinEdit(nullptr);
    skin->AttachHandle(edit, data.get(), list.get());
    laterPrevious = SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc));
    delete skin;
    EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&LaterProc));
    laterCalls = 0;
    SetWindowTextA(edit, "still here");
    char text[32] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "still here");
    EXPECT_GT(laterCalls, 0);
    // With nobody in front, detaching puts the window's own procedure back.
    HWND other = parent.Child("EDIT", WS_BORDER, 8, 40);
    const LONG_PTR otherOwn = GetWindowLongPtrA(other, GWLP_WNDPROC);
    auto* again = new TSkinEdit(nullptr);
    again->AttachHandle(other, data.get(), list.get());
    EXPECT_NE(GetWindowLongPtrA(other, GWLP_WNDPROC), otherOwn);
    delete again;
    EXPECT_EQ(GetWindowLongPtrA(other, GWLP_WNDPROC), otherOwn);
}

// A Unicode window keeps getting wide text, text outside the code page included, while
// skinned and after: its procedure is hooked and called on with the wide calls.
TEST_F(Attachment, AUnicodeWindowKeepsItsWideText) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(IsWindowUnicode(edit));
    const std::wstring greek = L"\x03A9\x03BC\x03AD\x03B3\x03B1";  // not in code page 1252
    auto textOf = [&] {
        wchar_t buffer[32] = {};
        GetWindowTextW(edit, buffer, 32);
        return std::wstring(buffer);
    };
    auto* skin = new TSkinEdit(nullptr);
    skin->AttachHandle(edit, data.get(), list.get());
    EXPECT_TRUE(IsWindowUnicode(edit));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(greek.c_str()));
    EXPECT_EQ(textOf(), greek);
    delete skin;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(greek.c_str()));
    EXPECT_EQ(textOf(), greek);
    DestroyWindow(edit);
}

// An edit with a border gets the two-tone frame; one without is left alone.
TEST_F(Attachment, EditBorderOnlyWhenTheEditHasOne) {
    auto* framed = Place<forms::TEdit>(form, form, "Framed", 10, 10, 120, 24);
    auto* plain = Place<forms::TEdit>(form, form, "Plain", 10, 50, 120, 24);
    plain->SetBorderStyle(forms::bsNone);
    Pump();
    const COLORREF plainCorner = ScreenPixel(plain->Handle(), 0, 0);
    SkinChildControls(*list, *form);
    Pump();
    const COLORREF shadow = forms::ColorToRGB(static_cast<forms::TColor>(data->Elements().colours.ButtonShadow));
    EXPECT_EQ(ScreenPixel(framed->Handle(), 0, 0), shadow);
    EXPECT_EQ(ScreenPixel(framed->Handle(), 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(plain->Handle(), 0, 0), plainCorner);
}

// A group box on the face colour: its inside and the frame line's old place are the face.
TEST_F(Attachment, GroupBoxDrawsOnTheFace) {
    auto* group = Place<forms::TGroupBox>(form, form, "Group", 10, 10, 200, 100);
    group->SetCaption("Group");
    Pump();
    SkinChildControls(*list, *form);
    Pump();
    HWND wnd = group->Handle();
    EXPECT_EQ(ScreenPixel(wnd, 100, 60), Face());
    EXPECT_EQ(ScreenPixel(wnd, 100, 98), forms::ColorToRGB(static_cast<forms::TColor>(data->Elements().colours.ButtonShadow)));
    EXPECT_EQ(ScreenPixel(wnd, 100, 99), Face());
}

// However a control is reached, it gets one skin: a Skin3rd container walks children its
// owner's walk already skinned, and a second walk of a raw window meets an extended combo's
// inner combo skinned.
TEST_F(Attachment, EveryRoadGivesAControlOneSkin) {
    data->Skin3rd.insert(data->Skin3rd.begin(), {"TPanel=Container", "TButton=Button"});
    auto* button = Place<forms::TButton>(form, form, "Inner", 10, 10, 80, 25);  // owned before the panel
    auto* panel = Place<forms::TPanel>(form, form, "Panel", 10, 10, 300, 200);
    button->SetParent(panel);
    Pump();
    SkinChildControls(*list, *form);
    SkinChildControls(*list, *form);
    auto skinsOf = [&](const forms::TComponent* owner) {
        return std::count_if(list->Skins().begin(), list->Skins().end(), [&](TSkinControl* s) { return s->Owner() == owner; });
    };
    EXPECT_EQ(skinsOf(button), 1);

    forms::EnsureCommonControls(ICC_USEREX_CLASSES);
    RawParent parent;
    HWND extended = parent.Child("ComboBoxEx32", CBS_DROPDOWNLIST, 9, 10);
    ASSERT_NE(extended, nullptr);
    HWND inner = GetWindow(extended, GW_CHILD);
    ASSERT_NE(inner, nullptr);
    SkinChildWindows(*list, parent.wnd);
    SkinChildWindows(*list, parent.wnd);
    EXPECT_EQ(std::count_if(list->Skins().begin(), list->Skins().end(), [&](TSkinControl* s) { return s->Handle() == inner; }), 1);
    list->UnskinAll();
}

// An edit that makes its own arrows, inside it, with each window it makes.
class TSpinningEdit : public forms::TEdit {
public:
    using forms::TEdit::TEdit;

protected:
    void HandleCreated() override {
        forms::TEdit::HandleCreated();
        forms::EnsureCommonControls(ICC_UPDOWN_CLASS);
        CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, Width() - 18, 0, 14, 18, WindowHandle(), nullptr,
                        GetModuleHandleA(nullptr), nullptr);
    }
};

// A control whose window is made again (a new border, a combo's new style, a page control,
// an edit whose arrows come with its window) has its skin on the new window and on what
// hangs off it, once the queue has run.
TEST_F(Attachment, AControlThatMakesItsWindowAgainIsSkinnedOnTheNewOne) {
    auto* edit = Place<forms::TEdit>(form, form, "Edit", 10, 10, 120, 24);
    edit->SetBorderStyle(forms::bsNone);
    auto* dropDown = Place<forms::TComboBox>(form, form, "DropDown", 10, 50, 120, 24);
    dropDown->SetStyle(forms::csDropDownList);
    auto* simple = Place<forms::TComboBox>(form, form, "Simple", 140, 50, 120, 120);
    simple->SetStyle(forms::csDropDownList);
    auto* pages = Place<forms::TPageControl>(form, form, "Pages", 270, 10, 220, 150);
    auto* sheet = new forms::TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption("Sheet");
    auto* spin = Place<TSpinningEdit>(form, form, "Spin", 10, 200, 120, 24);
    Pump();
    SkinChildControls(*list, *form);
    Pump();
    RedrawWindow(spin->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    ASSERT_NE(list->FindByHandle(FindWindowExA(spin->Handle(), nullptr, UPDOWN_CLASSA, nullptr)), nullptr);
    const HWND oldPages = pages->Handle();

    edit->SetBorderStyle(forms::bsSingle);
    dropDown->SetStyle(forms::csDropDown);
    simple->SetStyle(forms::csSimple);
    pages->RecreateWnd();
    spin->SetBorderStyle(forms::bsNone);
    Pump();
    ASSERT_NE(pages->Handle(), oldPages);
    for (forms::TWinControl* c : std::initializer_list<forms::TWinControl*>{edit, dropDown, simple, pages, spin}) {
        SCOPED_TRACE(c->Name());
        EXPECT_EQ(SendMessageA(c->Handle(), kMsgSkinnedQuery, 0, 0), 1);
    }
    const COLORREF shadow = forms::ColorToRGB(static_cast<forms::TColor>(data->Elements().colours.ButtonShadow));
    EXPECT_EQ(ScreenPixel(edit->Handle(), 0, 0), shadow) << "the new border is the skin's";
    HWND dropDownEdit = GetWindow(dropDown->Handle(), GW_CHILD);
    ASSERT_NE(dropDownEdit, nullptr);
    const auto* combo = dynamic_cast<const TSkinComBox*>(list->FindByHandle(dropDown->Handle()));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->EditChild(), dropDownEdit) << "the combo's new edit child is hooked";
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(simple->Handle(), &info));
    const TSkinControl* bars = list->FindByHandle(info.hwndList);
    ASSERT_NE(bars, nullptr) << "the simple combo's list has no skinned scroll bars";
    EXPECT_EQ(bars->LifeState(), kLifeAttached);
    RedrawWindow(spin->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    HWND arrows = FindWindowExA(spin->Handle(), nullptr, UPDOWN_CLASSA, nullptr);
    ASSERT_NE(arrows, nullptr);
    EXPECT_NE(list->FindByHandle(arrows), nullptr) << "the new arrows are skinned";
    // One skin each still, and everything goes back when unskinned.
    SkinChildControls(*list, *form);
    for (forms::TWinControl* c : std::initializer_list<forms::TWinControl*>{edit, dropDown, simple, pages, spin}) {
        SCOPED_TRACE(c->Name());
        EXPECT_EQ(SendMessageA(c->Handle(), kMsgSkinnedQuery, kSkinnedQueryCount, 0), 1);
    }
    list->UnskinAll();
    EXPECT_EQ(SendMessageA(edit->Handle(), kMsgSkinnedQuery, 0, 0), 0);
}

}  // namespace
}  // namespace skin
