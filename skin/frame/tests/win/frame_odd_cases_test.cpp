// The frame and its menus in the odd cases a user can reach: a hot button that the layout
// hides, skinning switched off while a popup menu is open, a form that draws its own menus,
// and items whose text shows nothing.
#include <string>

#include "forms/bitmap.h"
#include "forms/menus.h"
#include "forms/subclass.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/tests/win/caption_buttons_skin.h"
#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

// Closes every menu that opens, from a thread timer of its modal loop; counts them.
struct MenuCloser {
    static inline int closed = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu == nullptr || !IsWindowVisible(menu)) return;
        ++closed;
        EndMenu();
    }
    UINT_PTR timer;
    MenuCloser() : timer(SetTimer(nullptr, 0, 40, Tick)) { closed = 0; }
    ~MenuCloser() { KillTimer(nullptr, timer); }
};

// The maximise button shows only while the window is not maximised, a restore button in its
// place while it is. Hovered, then maximised, the maximise button is gone and with it the hot
// object: two right-clicks on the caption then open the system menu twice, and close nothing.
TEST(FrameOddCases, AHotButtonTheLayoutHidesIsNoLongerHot) {
    std::unique_ptr<TSkinData> data = CaptionButtonsSkin(
        "[Button.Restore]\r\nAction=22\r\nAlign=1\r\nXcoord=44\r\nYcoord=4\r\nVisibility=1\r\nframe=4\r\nButtonImage=b22.bmp\r\n", 2);
    forms::TForm form(nullptr);
    form.SetBorderStyle(forms::bsSizeable);
    form.SetText("Hot");
    form.SetBounds(150, 120, 400, 300);
    form.Show();
    Settle();
    HWND wnd = form.Handle();
    TSkinForm* skin = AttachTo(form, *data);
    int closes = 0;
    forms::WindowSubclass counter(wnd, [&](HWND, UINT msg, WPARAM w, LPARAM l, const forms::SubclassNext& next) {
        if (msg == WM_CLOSE) {
            ++closes;
            return LRESULT{0};
        }
        return next(msg, w, l);
    });
    SetForegroundWindow(wnd);
    ASSERT_TRUE(PumpUntil([&] { return skin->Active(); }));
    RedrawFrame(wnd);
    const TWinSysButton* maximise = ButtonByAction(*skin, 1);
    ASSERT_TRUE(maximise != nullptr && maximise->visible);
    const POINT centre = OnScreen(wnd, ButtonCentre(*maximise));
    SetCursorPos(centre.x, centre.y);
    SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(centre.x, centre.y));
    ASSERT_EQ(skin->HotObject(), maximise);
    ShowWindow(wnd, SW_MAXIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(wnd) != FALSE; }));
    RedrawFrame(wnd);
    Settle();
    EXPECT_FALSE(maximise->visible);
    EXPECT_EQ(skin->HotObject(), nullptr);
    const RECT r = WindowRect(wnd);
    const POINT caption{r.left + 80, r.top + 10};
    ASSERT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
    {
        MenuCloser closer;
        SendMessageA(wnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y));
        SendMessageA(wnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y));
        Settle();
        EXPECT_EQ(MenuCloser::closed, 1) << "the first right-click opens the system menu";
    }
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(FramePaintErrors(), 0);
}

// Skinning switched off while a form's popup menu is open: the menu closes, and from then on
// it is the system's, not owner-drawn.
TEST(FrameOddCases, UnskinningWhileAPopupMenuIsOpenClosesIt) {
    forms::TForm form(nullptr);
    form.SetText("Popup");
    form.SetBounds(150, 120, 400, 300);
    auto* popup = new forms::TPopupMenu(&form);
    for (const char* caption : {"&One", "-", "&Two"}) {
        auto* item = new forms::TMenuItem(&form);
        item->SetCaption(caption);
        popup->Items()->Add(item);
    }
    form.Show();
    Settle();
    TSkinForm* skin = AttachTo(form, Probe());
    ASSERT_TRUE(popup->OwnerDraw());
    static TSkinForm* unskin = nullptr;
    static bool unskinned = false, forced = false;
    static DWORD opened = 0;
    unskin = skin;
    unskinned = forced = false;
    opened = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu == nullptr || !IsWindowVisible(menu)) return;
        if (!unskinned) {
            unskinned = true;
            opened = GetTickCount();
            unskin->UnskinForm();
        } else if (GetTickCount() - opened > 3000) {
            forced = true;
            EndMenu();
        }
    });
    const RECT r = WindowRect(form.Handle());
    popup->Popup(r.left + 60, r.top + 80);
    KillTimer(nullptr, timer);
    Settle();
    EXPECT_TRUE(unskinned);
    EXPECT_FALSE(forced) << "the menu stayed open";
    EXPECT_FALSE(popup->OwnerDraw());
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(popup->Handle(), 0, TRUE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(FramePaintErrors(), 0);
}

// A rich-edit form of that class draws its popup menus itself: the skin leaves them alone.
class RichEditForm : public forms::TForm {
public:
    using TForm::TForm;
    std::string ClassName() const override { return kOwnMenusFormClass; }
};

TEST(FrameOddCases, TheRichEditFormKeepsItsOwnMenuDrawing) {
    RichEditForm form(nullptr);
    form.SetBounds(150, 120, 300, 200);
    auto* popup = new forms::TPopupMenu(&form);
    popup->SetOwnerDraw(true);
    auto* item = new forms::TMenuItem(&form);
    item->SetCaption("Own");
    int ownDrawings = 0;
    item->OnDrawItem = [&](forms::TObject*, forms::TCanvas*, RECT, bool) { ++ownDrawings; };
    popup->Items()->Add(item);
    form.Show();
    Settle();
    TSkinForm* skin = AttachTo(form, Probe());
    forms::TBitmap bitmap(100, 20);
    item->DrawItem(*bitmap.Canvas(), RECT{0, 0, 100, 20}, false);
    EXPECT_EQ(ownDrawings, 1) << "the skin took the item over";
    skin->UnskinForm();
    EXPECT_TRUE(popup->OwnerDraw());
    item->DrawItem(*bitmap.Canvas(), RECT{0, 0, 100, 20}, false);
    EXPECT_EQ(ownDrawings, 2);
}

// An item whose text is empty or a lone "&" (which shows nothing) measures as one with a blank.
TEST(FrameOddCases, AnEmptyTextOrALonePrefixMeasuresAsABlank) {
    forms::TPopupMenu menu(nullptr);
    HDC screen = GetDC(nullptr);
    forms::TCanvas canvas;
    canvas.SetHandle(screen);
    const auto measure = [&](const std::string& caption) {
        forms::TMenuItem item(nullptr);
        item.SetCaption(caption);
        int width = 0, height = 0;
        MeasurePopupMenuItem(Probe(), item, canvas, width, height);
        return std::pair{width, height};
    };
    const struct {
        const char *caption, *as;
    } kCases[] = {{"", " "}, {"&", "& "}, {"\tCtrl+E", " \tCtrl+E"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string("\"") + c.caption + "\"");
        EXPECT_EQ(measure(c.caption), measure(c.as));
    }
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace skin::frame_tests
