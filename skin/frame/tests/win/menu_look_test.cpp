// How the menus look in each of the six skins, drawn and read back: a hovered item readable
// on its highlight, the glyphs of the system menu showing on the menu, a separator as a thin
// line, and a popup menu's edge showing as a ring.
#include <cmath>
#include <string>

#include "forms/bitmap.h"
#include "forms/gdi_handle.h"
#include "forms/menus.h"
#include "skin/frame/menu_items.h"
#include "skin/frame/tests/win/frame_fixture.h"
#include "skin/popup/skin_pop_menu.h"

namespace skin::frame_tests {
namespace {

constexpr int kWidth = 160, kHeight = 22, kGlyph = 16;

std::uint32_t Rgb(COLORREF c) { return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c); }

// The contrast ratio of two colours, 0xRRGGBB (1 to 21).
double Contrast(std::uint32_t a, std::uint32_t b) {
    const auto luminance = [](std::uint32_t c) {
        const auto channel = [](std::uint32_t v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c >> 16) + 0.7152 * channel((c >> 8) & 0xFF) + 0.0722 * channel(c & 0xFF);
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

struct Drawn {
    forms::TBitmap bitmap;
    Drawn(int w, int h) : bitmap(w, h) {}
    std::uint32_t At(int x, int y) {
        GdiFlush();
        const std::uint8_t* p = bitmap.Pixels().pixel(x, y);
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
};

std::unique_ptr<TSkinData> SkinWithGlyphs(int n) {
    std::unique_ptr<TSkinData> data = LoadSkin(std::to_string(n));
    data->MenuGlyphs().LoadFromFile(std::string(SKIN_ARTIFACTS_WIN) + "/menuglyphs.bmp");
    return data;
}

TEST(MenuLook, AHoveredItemIsReadableOnItsHighlightInEverySkin) {
    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE("skin " + std::to_string(n));
        std::unique_ptr<TSkinData> data = SkinWithGlyphs(n);
        const SkinColours& c = data->Elements().colours;
        const TDataSkinObject* element = data->Elements().Part("MenuItem");
        ASSERT_NE(element, nullptr);
        forms::TPopupMenu menu(nullptr);
        auto* item = new forms::TMenuItem(&menu);
        item->SetCaption("Move image to");
        menu.Items()->Add(item);
        for (const bool selected : {false, true}) {
            SCOPED_TRACE(selected ? "hovered" : "not hovered");
            Drawn drawn(kWidth, kHeight);
            DrawMenuItem(*data, *item, *drawn.bitmap.Canvas(), RECT{0, 0, kWidth, kHeight}, selected);
            // Behind the text: inside the item's frame, right of the text.
            const std::uint32_t back = drawn.At(kWidth - element->RightWidth - 3, kHeight / 2);
            const std::uint32_t text = Rgb(SkinColourRef(selected ? c.HilightText : c.MenuText));
            int inked = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) inked += drawn.At(x, y) == text;
            EXPECT_GT(inked, 10) << "no text drawn";
            EXPECT_GE(Contrast(text, back), 4.5) << std::hex << text << " on " << back;
        }
    }
}

// The system menu's glyphs (restore, maximise, minimise, close) show on every skin's menu.
TEST(MenuLook, TheSystemMenusGlyphsShowOnTheMenuInEverySkin) {
    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE("skin " + std::to_string(n));
        std::unique_ptr<TSkinData> data = SkinWithGlyphs(n);
        ASSERT_GE(data->MenuGlyphs().Width(), 4 * kGlyph);
        const TDataSkinObject* element = data->Elements().Part("MenuItem");
        ASSERT_NE(element, nullptr);
        forms::TPopupMenu menu(nullptr);
        auto* item = new forms::TMenuItem(&menu);
        item->SetCaption(" Close ");
        menu.Items()->Add(item);
        for (int glyph = 0; glyph < 4; ++glyph) {
            SCOPED_TRACE("glyph " + std::to_string(glyph));
            item->SetImageIndex(glyph);
            Drawn drawn(kWidth, kHeight);
            DrawMenuItem(*data, *item, *drawn.bitmap.Canvas(), RECT{0, 0, kWidth, kHeight}, false);
            const int left = 1 + element->LeftWidth, top = 1 + (kHeight - 2 - kGlyph) / 2;
            const std::uint32_t back = drawn.At(left, top);
            int seen = 0;
            for (int y = top; y < top + kGlyph; ++y)
                for (int x = left; x < left + kGlyph; ++x) seen += Contrast(drawn.At(x, y), back) >= 3.0;
            EXPECT_GT(seen, 8) << "the glyph does not show on " << std::hex << back;
        }
    }
}

// A separator is a line across the item, not a band as high as it.
TEST(MenuLook, ASeparatorIsAThinLineInEverySkin) {
    constexpr int kSeparatorHeight = 8;
    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE("skin " + std::to_string(n));
        std::unique_ptr<TSkinData> data = LoadSkin(std::to_string(n));
        forms::TPopupMenu menu(nullptr);
        auto* item = new forms::TMenuItem(&menu);
        item->SetCaption("-");
        menu.Items()->Add(item);
        Drawn drawn(kWidth, kSeparatorHeight);
        DrawMenuItem(*data, *item, *drawn.bitmap.Canvas(), RECT{0, 0, kWidth, kSeparatorHeight}, false);
        const std::uint32_t back = Rgb(SkinColourRef(data->Elements().colours.Menu));
        int lined = 0;
        for (int y = 0; y < kSeparatorHeight; ++y) lined += drawn.At(kWidth / 2, y) != back;
        EXPECT_GE(lined, 1) << "no line";
        EXPECT_LE(lined, 2) << "a band";
    }
}

// The popup menu's outermost pixels are a ring unlike the menu inside it.
TEST(MenuLook, APopupMenuHasARingInEverySkinWithAMenuBackground) {
    int ringed = 0;
    for (int n = 0; n < 6; ++n) {
        SCOPED_TRACE("skin " + std::to_string(n));
        std::unique_ptr<TSkinData> data = LoadSkin(std::to_string(n));
        const TDataSkinObject* back = data->Elements().Part("MenuBackground");
        if (back == nullptr || back->image.empty()) continue;  // the system's menu, with its own edge
        forms::UniqueWindow wnd(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 300, 300, 120, 60,
                                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        const bool active = true;
        TSkinPopMenu popup(active);
        popup.Hook(wnd.get(), data.get(), nullptr);
        RedrawWindow(wnd.get(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
        for (const POINT p : {POINT{0, 30}, POINT{60, 0}, POINT{119, 30}, POINT{60, 59}})
            EXPECT_GE(Contrast(WindowPixel(wnd.get(), p.x, p.y), WindowPixel(wnd.get(), 2, 30)), 1.5) << p.x << "," << p.y;
        popup.Unhook();
        ++ringed;
    }
    EXPECT_GT(ringed, 0);
}

}  // namespace
}  // namespace skin::frame_tests
