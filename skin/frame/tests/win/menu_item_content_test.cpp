// What an owner-drawn menu item shows inside its frame: the glyph and the box behind a checked
// one, a disabled item's greyed glyph and text colour, and the right-to-left layout. Items are
// drawn onto a bitmap and its pixels read back.
#include <functional>
#include <string>
#include <vector>

#include "forms/bitmap.h"
#include "forms/gdi_handle.h"
#include "forms/menus.h"
#include "skin/frame/menu_items.h"
#include "skin/popup/skin_pop_menu.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace skin::frame_tests {
namespace {

constexpr int kItemWidth = 200, kItemHeight = 22;
constexpr int kGlyph = 16;
// Glyph 0 of the test's strip: a black square from 5 to 10 on the white mask.
constexpr int kSquareFrom = 5, kSquareTo = 10;

std::uint32_t Sys(int index) {
    const COLORREF c = GetSysColor(index);
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

// The probe skin with a one-glyph strip of menu glyphs.
std::unique_ptr<TSkinData> ProbeWithGlyph() {
    std::unique_ptr<TSkinData> data = LoadSkin("probe");
    forms::TBitmap& glyphs = data->MenuGlyphs();
    glyphs.SetSize(kGlyph, kGlyph);
    for (int y = 0; y < kGlyph; ++y) {
        std::uint8_t* row = glyphs.ScanLine(y);
        for (int x = 0; x < kGlyph; ++x) {
            const bool square = x >= kSquareFrom && x <= kSquareTo && y >= kSquareFrom && y <= kSquareTo;
            for (int b = 0; b < 3; ++b) row[3 * x + b] = square ? 0x00 : 0xFF;
        }
    }
    return data;
}

struct Drawn {
    forms::TBitmap bitmap{kItemWidth, kItemHeight};
    std::uint32_t At(int x, int y) {
        GdiFlush();
        const std::uint8_t* p = bitmap.Pixels().pixel(x, y);
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    // The leftmost and rightmost columns holding a pixel unlike the background.
    std::pair<int, int> ContentColumns() {
        const std::uint32_t back = At(kItemWidth / 2, 0);
        int first = kItemWidth, last = -1;
        for (int y = 0; y < kItemHeight; ++y)
            for (int x = 0; x < kItemWidth; ++x)
                if (At(x, y) != back) first = std::min(first, x), last = std::max(last, x);
        return {first, last};
    }
    // How many pixels have the colour.
    int Count(std::uint32_t colour) {
        int n = 0;
        for (int y = 0; y < kItemHeight; ++y)
            for (int x = 0; x < kItemWidth; ++x) n += At(x, y) == colour;
        return n;
    }
};

// Ink: the glyph's black drawn in the menu's text colour.
enum class Colour { Background, Ink, Shadow, Highlight, Halftone };

TEST(MenuItemContent, GlyphsAndTheBoxBehindACheckedOne) {
    std::unique_ptr<TSkinData> data = ProbeWithGlyph();
    const TDataSkinObject* element = data->Elements().Part("MenuItem");
    ASSERT_NE(element, nullptr);
    const int left = 1 + element->LeftWidth, top = 1 + (kItemHeight - 2 - kGlyph) / 2;
    const struct {
        const char* what;
        bool checked, enabled;
        int dx, dy;
        Colour expected;
    } kCases[] = {
        {"unchecked: the glyph", false, true, 7, 7, Colour::Ink},
        {"unchecked: no box around it", false, true, 0, 8, Colour::Background},
        {"checked: the glyph over the box", true, true, 7, 7, Colour::Ink},
        {"checked: the box's sunken edge, left", true, true, 0, 8, Colour::Shadow},
        {"checked: the box's sunken edge, top", true, true, 8, 0, Colour::Shadow},
        {"checked: the box's sunken edge, right", true, true, kGlyph - 1, 8, Colour::Highlight},
        {"checked: the box's sunken edge, bottom", true, true, 8, kGlyph - 1, Colour::Highlight},
        {"checked: half-tone inside the box", true, true, 2, 2, Colour::Halftone},
        {"checked: half-tone, the next pixel", true, true, 3, 2, Colour::Halftone},
        {"disabled: the glyph greyed", false, false, 7, 7, Colour::Shadow},
        {"disabled: the glyph's light copy below right", false, false, kSquareTo + 1, kSquareTo + 1, Colour::Highlight},
    };
    forms::TPopupMenu menu(nullptr);
    auto* item = new forms::TMenuItem(&menu);
    item->SetCaption("Item");
    item->SetImageIndex(0);
    menu.Items()->Add(item);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        item->SetChecked(c.checked);
        item->SetEnabled(c.enabled);
        Drawn drawn;
        DrawMenuItem(*data, *item, *drawn.bitmap.Canvas(), RECT{0, 0, kItemWidth, kItemHeight}, false);
        const int x = left + c.dx, y = top + c.dy;
        std::uint32_t expected = 0;
        switch (c.expected) {
            case Colour::Background: expected = probe::k_menuitem[0]; break;
            case Colour::Ink: {
                const COLORREF ink = SkinColourRef(data->Elements().colours.MenuText);
                expected = (std::uint32_t{GetRValue(ink)} << 16) | (std::uint32_t{GetGValue(ink)} << 8) | GetBValue(ink);
                break;
            }
            case Colour::Shadow: expected = Sys(COLOR_BTNSHADOW); break;
            case Colour::Highlight: expected = Sys(COLOR_BTNHIGHLIGHT); break;
            // The 8 × 8 pattern starts at the item's corner: face where x + y is even.
            case Colour::Halftone: expected = (x + y) % 2 == 0 ? Sys(COLOR_BTNFACE) : Sys(COLOR_BTNHIGHLIGHT); break;
        }
        EXPECT_EQ(drawn.At(x, y), expected) << std::hex << "at " << std::dec << x << "," << y;
    }
    EXPECT_EQ(FramePaintErrors(), 0);
}

// A skin without a MenuItem element whose menu text has the given colour, 0xRRGGBB.
std::unique_ptr<TSkinData> SkinWithMenuText(std::uint32_t rgb) {
    using Bytes = std::vector<std::uint8_t>;
    const auto channel = [&](int shift) { return std::to_string((rgb >> shift) & 0xFF); };
    const std::string ini = "[Colours]\r\nButtonFace=200 200 200\r\nMenu=250 250 250\r\nMenuText=" + channel(16) + " " + channel(8) +
                            " " + channel(0) + "\r\n";
    const Bytes stream = skin_pack::PackSkinStream(skin_pack::ArchiveBytes({{"skin.ini", Bytes(ini.begin(), ini.end())}}));
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SkinStream().WriteBuffer(stream.data(), static_cast<std::int64_t>(stream.size()));
    EXPECT_TRUE(data->LoadSkin());
    return data;
}

// Sets one system colour for the scope.
class SysColourScope {
public:
    SysColourScope(int index, std::uint32_t rgb) : index_(index), old_(GetSysColor(index)) {
        const COLORREF c = RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
        SetSysColors(1, &index_, &c);
    }
    ~SysColourScope() { SetSysColors(1, &index_, &old_); }
    SysColourScope(const SysColourScope&) = delete;
    SysColourScope& operator=(const SysColourScope&) = delete;

private:
    int index_;
    COLORREF old_;
};

// A disabled item's text is in the system's grey text colour, or in the shadow colour when the
// skin's menu text is that grey already.
TEST(MenuItemContent, ADisabledItemsTextColour) {
    // Grey and shadow are one colour on a fresh desktop: the grey is made another for the test.
    const std::uint32_t grey = 0x708090;
    const SysColourScope greyText(COLOR_GRAYTEXT, grey);
    const std::uint32_t shadow = Sys(COLOR_BTNSHADOW);
    ASSERT_NE(Sys(COLOR_GRAYTEXT), shadow);
    const struct {
        const char* what;
        std::uint32_t menuText, expected, other;
    } kCases[] = {
        {"menu text of another colour", 0x102030, grey, shadow},
        {"menu text in the grey", grey, shadow, grey},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TSkinData> data = SkinWithMenuText(c.menuText);
        forms::TPopupMenu menu(nullptr);
        auto* item = new forms::TMenuItem(&menu);
        item->SetCaption("WWWW MMMM");
        item->SetEnabled(false);
        menu.Items()->Add(item);
        Drawn drawn;
        DrawMenuItem(*data, *item, *drawn.bitmap.Canvas(), RECT{0, 0, kItemWidth, kItemHeight}, false);
        EXPECT_GT(drawn.Count(c.expected), 10);
        EXPECT_EQ(drawn.Count(c.other), 0);
    }
}

// Right to left (the menu's items carry MFT_RIGHTORDER) the caption is drawn at the right; an
// item known only by its menu handle is laid out the same way.
TEST(MenuItemContent, ARightToLeftMenuMirrorsTheItem) {
    for (const bool rightToLeft : {false, true}) {
        SCOPED_TRACE(rightToLeft ? "right to left" : "left to right");
        forms::UniqueMenu menu(CreatePopupMenu());
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID;
        info.fType = MFT_STRING | (rightToLeft ? MFT_RIGHTORDER : 0);
        info.wID = 41;
        wchar_t text[] = L"Caption";
        info.dwTypeData = text;
        ASSERT_TRUE(InsertMenuItemW(menu.get(), 0, TRUE, &info));
        Drawn drawn;
        DrawHandleMenuItem(Probe(), menu.get(), 41, *drawn.bitmap.Canvas(), RECT{0, 0, kItemWidth, kItemHeight}, false);
        const auto [first, last] = drawn.ContentColumns();
        ASSERT_LE(first, last) << "nothing drawn";
        if (rightToLeft) {
            EXPECT_GT(first, kItemWidth / 2);
            EXPECT_GE(last, kItemWidth - 1 - kGlyph - 12);
        } else {
            EXPECT_LT(last, kItemWidth / 2);
            EXPECT_LE(first, kGlyph + 12);
        }
    }
}

// An item known only by its menu handle tells the popup skin whose menu is not known yet which
// menu it shows, as an item of the form library does, so that the menu finds its background.
TEST(MenuItemContent, AnItemKnownByItsHandleNamesTheUnnamedPopupSkin) {
    forms::UniqueWindow wnd(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 300, 300, 120, 60,
                                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    const bool active = true;
    auto& popups = SkinManage().popupSkins;
    popups.push_back(std::make_unique<TSkinPopMenu>(active));
    TSkinPopMenu* popup = popups.back().get();
    popup->Hook(wnd.get(), &Probe(), nullptr);
    RedrawWindow(wnd.get(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(CurrentUnnamedPopup(), popup) << "the popup skin painted no background";
    forms::UniqueMenu menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, 41, "Item");
    Drawn drawn;
    DrawHandleMenuItem(Probe(), menu.get(), 41, *drawn.bitmap.Canvas(), RECT{0, 0, kItemWidth, kItemHeight}, false);
    EXPECT_EQ(popup->Menu(), menu.get());
    EXPECT_EQ(SkinManage().PopupBackground(menu.get()), &popup->Background());
    std::erase_if(popups, [&](const auto& p) { return p.get() == popup; });
}

}  // namespace
}  // namespace skin::frame_tests
