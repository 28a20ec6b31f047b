// The frame's menus in the odd cases a user can reach: skinning switched off while a popup
// menu is open, a form that draws its own menus, and items whose text shows nothing.
#include <string>

#include "forms/bitmap.h"
#include "forms/menus.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/tests/win/frame_fixture.h"

namespace skin::frame_tests {
namespace {

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
