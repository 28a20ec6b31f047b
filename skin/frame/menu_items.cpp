#include "skin/frame/menu_items.h"

#include <algorithm>
#include <string>

#include "forms/form.h"
#include "skin/frame/skin_form.h"
#include "skin/frame/skin_manage.h"
#include "skin/popup/skin_pop_menu.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"

namespace skin {

namespace {

constexpr int kGlyphSize = 16;

SkinMargins MarginsOf(const TDataSkinObject& e) { return SkinMargins{e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight}; }

// Caption and short-cut, split at the tab.
std::pair<std::string, std::string> Texts(const forms::TMenuItem& item) {
    const std::string& caption = item.Caption();
    const size_t tab = caption.find('\t');
    if (tab == std::string::npos) return {caption, {}};
    return {caption.substr(0, tab), caption.substr(tab + 1)};
}

bool HasGlyph(TSkinData& data, const forms::TMenuItem& item) {
    const forms::TBitmap& glyphs = data.MenuGlyphs();
    const int index = item.ImageIndex();
    return index >= 0 && glyphs.Width() >= (index + 1) * kGlyphSize && glyphs.Height() >= kGlyphSize;
}

// White is the glyphs' mask; their black ink takes the text's colour, so that a glyph shows on
// a dark menu as its text does. A disabled item's glyph is greyed: its shape in the highlight
// colour, and over it, one pixel up and left, in the shadow colour.
void DrawGlyph(TSkinData& data, const forms::TMenuItem& item, HDC dc, int x, int y, COLORREF ink) {
    const forms::PixelView all = data.MenuGlyphs().Pixels();
    forms::PixelBuffer glyph(kGlyphSize, kGlyphSize, 3);
    for (int row = 0; row < kGlyphSize; ++row)
        for (int col = 0; col < kGlyphSize; ++col) {
            const std::uint8_t* p = all.pixel(item.ImageIndex() * kGlyphSize + col, row);
            std::uint8_t* q = glyph.row(row) + 3 * col;
            q[0] = p[0];
            q[1] = p[1];
            q[2] = p[2];
        }
    // The glyph on magenta: the ink may be the mask's white.
    if (item.Enabled()) {
        for (int row = 0; row < kGlyphSize; ++row)
            for (int col = 0; col < kGlyphSize; ++col) {
                std::uint8_t* q = glyph.row(row) + 3 * col;
                const bool mask = q[0] == 0xFF && q[1] == 0xFF && q[2] == 0xFF;
                const bool black = q[0] == 0 && q[1] == 0 && q[2] == 0;
                if (mask || black) {
                    q[0] = mask ? 0xFF : GetBValue(ink);
                    q[1] = mask ? 0x00 : GetGValue(ink);
                    q[2] = mask ? 0xFF : GetRValue(ink);
                }
            }
        TransparentBlit(dc, RECT{x, y, x + kGlyphSize, y + kGlyphSize}, glyph);
        return;
    }
    // The shape on magenta: the highlight colour is often the mask's white.
    const auto shape = [&](COLORREF colour) {
        forms::PixelBuffer flat(kGlyphSize, kGlyphSize, 3);
        for (int row = 0; row < kGlyphSize; ++row)
            for (int col = 0; col < kGlyphSize; ++col) {
                const std::uint8_t* p = glyph.row(row) + 3 * col;
                std::uint8_t* q = flat.row(row) + 3 * col;
                const bool mask = p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF;
                q[0] = mask ? 0xFF : GetBValue(colour);
                q[1] = mask ? 0x00 : GetGValue(colour);
                q[2] = mask ? 0xFF : GetRValue(colour);
            }
        return flat;
    };
    TransparentBlit(dc, RECT{x + 1, y + 1, x + 1 + kGlyphSize, y + 1 + kGlyphSize}, shape(GetSysColor(COLOR_BTNHIGHLIGHT)));
    TransparentBlit(dc, RECT{x, y, x + kGlyphSize, y + kGlyphSize}, shape(GetSysColor(COLOR_BTNSHADOW)));
}

// The box behind a checked item's glyph: the half-tone of the face and highlight colours, in a
// thin sunken edge.
void DrawCheckedBox(HDC dc, RECT box) {
    static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    forms::UniqueBitmap pattern(CreateBitmap(8, 8, 1, 1, kHalftone));
    forms::UniqueBrush brush(CreatePatternBrush(pattern.get()));
    const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &box, brush.get());
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
}

// A disabled item's text: the system's grey text colour, unless the menu's text has that very
// colour, when it would not show as disabled.
COLORREF DisabledTextColour(const SkinColours& c) {
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    return grey == SkinColourRef(c.MenuText) ? GetSysColor(COLOR_BTNSHADOW) : grey;
}

// Right to left, the glyph sits at the right, the caption is right aligned and the short-cut
// left aligned.
void DrawContent(TSkinData& data, forms::TMenuItem& item, HDC dc, const RECT& rect, bool selected, int leftMargin,
                 bool rightToLeft) {
    const SkinColours& c = data.Elements().colours;
    if (item.IsLine()) {
        RECT line{rect.left, rect.top + 4, rect.right, rect.top + 6};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    COLORREF colour = selected ? SkinColourRef(c.HilightText) : SkinColourRef(c.MenuText);
    if (!item.Enabled()) colour = DisabledTextColour(c);
    const int glyphLeft = rightToLeft ? rect.right - 1 - leftMargin - kGlyphSize : rect.left + 1 + leftMargin;
    const int glyphTop = rect.top + 1 + std::max(0, int(rect.bottom - rect.top - 2 - kGlyphSize) / 2);
    RECT glyphBox{glyphLeft, glyphTop, glyphLeft + kGlyphSize, glyphTop + kGlyphSize};
    if (HasGlyph(data, item)) {
        if (item.Checked()) DrawCheckedBox(dc, glyphBox);
        DrawGlyph(data, item, dc, glyphLeft, glyphTop, colour);
    } else if (item.Checked()) {
        DrawFrameControl(dc, &glyphBox, DFC_MENU, DFCS_MENUCHECK);
    }
    forms::UniqueFont font(MenuFont(item.Default()));
    forms::SelectedObject selectFont(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    const auto [caption, shortcut] = Texts(item);
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    RECT box = rightToLeft ? RECT{rect.left + 1, rect.top, glyphLeft - 3, rect.bottom}
                           : RECT{glyphLeft + kGlyphSize + 3, rect.top, rect.right - 1, rect.bottom};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &box, flags | (rightToLeft ? DT_RIGHT : DT_LEFT));
    if (!shortcut.empty()) {
        RECT cut = rightToLeft ? RECT{rect.left + 10, rect.top, box.right, rect.bottom} : RECT{box.left, rect.top, rect.right - 11, rect.bottom};
        DrawTextA(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &cut, flags | (rightToLeft ? DT_LEFT : DT_RIGHT));
    }
}

// Runs draw on a work bitmap of the item's size and copies it to the canvas in one block.
template <class F> void Composed(forms::TCanvas& canvas, const RECT& rect, F&& draw) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    forms::PixelBuffer blank(w, h, 3);
    SourceBitmap work(blank);
    draw(work.dc(), RECT{0, 0, w, h});
    BitBlt(canvas.Handle(), rect.left, rect.top, w, h, work.dc(), 0, 0, SRCCOPY);
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    forms::UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

// The popup skin of the menu an item sits in: found by the menu's handle, else by the window
// drawn into (whose popup skin learns the handle then).
const TSkinPopMenu* PopupOf(HMENU menu, HDC dc) {
    if (menu == nullptr) return nullptr;
    NameCurrentPopup(menu);
    TSkinManage& manage = SkinManage();
    for (const auto& popup : manage.popupSkins)
        if (popup->Hooked() && popup->Menu() == menu) return popup.get();
    TSkinPopMenu* byWindow = manage.FindPopupSkin(WindowFromDC(dc));
    if (byWindow == nullptr || !byWindow->Hooked() || byWindow->Menu() != nullptr) return nullptr;
    byWindow->SetMenu(menu);
    return byWindow;
}

// Two frames (1-based) of a strip of frames side by side hold other pixels.
bool FramesDiffer(const forms::PixelBuffer& image, int frames, int a, int b) {
    if (a == b) return false;
    const int w = image.width() / std::max(frames, 1);
    if (w <= 0) return false;
    const int bpp = image.bytesPerPixel();
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = image.row(y);
        if (!std::equal(row + (a - 1) * w * bpp, row + a * w * bpp, row + (b - 1) * w * bpp)) return true;
    }
    return false;
}

HMENU MenuOf(forms::TMenuItem& item) { return item.Parent() != nullptr ? item.Parent()->Handle() : nullptr; }

// The popup's background under the item. The item rectangle is in client coordinates and
// the background covers the whole window: the client's offset inside the window is 3 pixels
// where the menu has a frame, none where its client is the whole window.
bool CopyPopupBackground(const TSkinPopMenu& popup, HDC dc, const RECT& item, const RECT& target) {
    const forms::PixelBuffer& back = popup.Background();
    if (back.width() <= 0 || back.height() <= 0) return false;
    RECT window{};
    POINT origin{0, 0};
    if (!GetWindowRect(popup.Window(), &window) || !ClientToScreen(popup.Window(), &origin)) return false;
    SourceBitmap source(back);
    BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, source.dc(),
           item.left + origin.x - window.left, item.top + origin.y - window.top, SRCCOPY);
    return true;
}

}  // namespace

HFONT MenuFont(bool bold) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (bold) metrics.lfMenuFont.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&metrics.lfMenuFont);
}

COLORREF SkinColourRef(std::uint32_t colour) {
    if ((colour & kSystemColour) == kSystemColour) return GetSysColor(static_cast<int>(colour & 0xFF));
    return colour & 0xFFFFFF;
}

namespace {

// The item drawn as a part of menu (nullptr when it is in none).
void DrawPlainItemIn(TSkinData& data, forms::TMenuItem& item, HMENU menu, forms::TCanvas& canvas, const RECT& rect, bool selected) {
    const SkinColours& c = data.Elements().colours;
    const bool rightToLeft = IsRightToLeftMenu(menu);
    Composed(canvas, rect, [&](HDC dc, const RECT& r) {
        Fill(dc, r, SkinColourRef(selected && !item.IsLine() ? c.Hilight : c.Menu));
        DrawContent(data, item, dc, r, selected, 0, rightToLeft);
    });
}

void DrawItemIn(TSkinData& data, forms::TMenuItem& item, HMENU menu, forms::TCanvas& canvas, const RECT& rect, bool selected) {
    const TDataSkinObject* element = data.Elements().Part("MenuItem");
    if (element == nullptr || element->image.empty()) {
        DrawPlainItemIn(data, item, menu, canvas, rect, selected);
        return;
    }
    const SkinColours& c = data.Elements().colours;
    const TSkinPopMenu* popup = PopupOf(menu, canvas.Handle());
    const bool rightToLeft = IsRightToLeftMenu(menu);
    Composed(canvas, rect, [&](HDC dc, const RECT& r) {
        if (popup == nullptr || !CopyPopupBackground(*popup, dc, rect, r)) Fill(dc, r, SkinColourRef(c.Menu));
        const int frames = std::max(element->FrameCount, 1);
        if (item.IsLine()) {
            // A line across the middle, as the menu's outline is drawn: the separator's frame
            // drawn as high as the item is a band, and may have the menu's own colour.
            const int middle = (r.top + r.bottom) / 2;
            Fill(dc, RECT{r.left + element->LeftWidth + 2, middle, r.right - element->RightWidth - 2, middle + 1},
                 MenuLineColour(c));
            return;
        }
        const int frame = selected ? std::min(4, frames) : 1;
        DrawSlicedFrame(dc, r, element->image, false, element->Tile == 1, element->Trans == 1, frames, frame, MarginsOf(*element));
        // A skin whose selected frame is its normal one gives no highlight of its own: the
        // selected item is filled in the skin's highlight colour, under its highlight text.
        if (selected && !FramesDiffer(element->image, frames, 1, frame))
            Fill(dc, RECT{r.left + element->LeftWidth, r.top + element->TopHeight, r.right - element->RightWidth,
                          r.bottom - element->BottomHeight},
                 SkinColourRef(c.Hilight));
        DrawContent(data, item, dc, r, selected, element->LeftWidth, rightToLeft);
    });
}

}  // namespace

bool IsRightToLeftMenu(HMENU menu) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return menu != nullptr && GetMenuItemInfoW(menu, 0, TRUE, &info) && (info.fType & MFT_RIGHTORDER) != 0;
}

void DrawPlainMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, const RECT& rect, bool selected) {
    DrawPlainItemIn(data, item, MenuOf(item), canvas, rect, selected);
}

void DrawMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, const RECT& rect, bool selected) {
    DrawItemIn(data, item, MenuOf(item), canvas, rect, selected);
}

void MeasurePopupMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, int& width, int& height) {
    const TDataSkinObject* element = data.Elements().Part("MenuItem");
    const int leftMargin = element != nullptr ? element->LeftWidth : 0;
    if (item.IsLine()) {
        width = 10;
        height = 8;
    } else {
        forms::UniqueFont font(MenuFont(item.Default()));
        HDC dc = canvas.Handle();
        forms::SelectedObject selectFont(dc, font.get());
        auto [caption, shortcut] = Texts(item);
        // An empty text, or a lone prefix that shows nothing, still measures a line of text.
        if (caption.empty() || caption == "&") caption += ' ';
        SIZE a{}, b{};
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &a);
        if (!shortcut.empty()) GetTextExtentPoint32A(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &b);
        width = a.cx + (shortcut.empty() ? 0 : b.cx + 24) + kGlyphSize + 6;
        height = std::max<int>(a.cy + 4, kGlyphSize + 4);
    }
    width += leftMargin + 12;
    if (data.MenuGlyphs().Width() == 0) width += 23;
}

void MeasureMenuItem(TSkinData& data, forms::TMenuItem& item, forms::TCanvas& canvas, int& width, int& height) {
    // The item's own measure, without this handler.
    forms::TMenuMeasureItemEvent own = std::move(item.OnMeasureItem);
    item.OnMeasureItem = nullptr;
    item.MeasureItem(canvas, width, height);
    item.OnMeasureItem = std::move(own);
    const TDataSkinObject* element = data.Elements().Part("MenuItem");
    width += (element != nullptr ? element->LeftWidth : 0) + 10;
    if (data.MenuGlyphs().Width() == 0) width += 25;
}

namespace {
std::wstring MenuText(HMENU menu, UINT command) {
    wchar_t text[81] = {};
    GetMenuStringW(menu, command, text, 80, MF_BYCOMMAND);
    return text;
}
}  // namespace

void DrawHandleMenuItem(TSkinData& data, HMENU menu, UINT command, forms::TCanvas& canvas, const RECT& rect, bool selected) {
    forms::TMenuItem item(nullptr);
    const std::wstring wide = MenuText(menu, command);
    std::string caption(wide.size() * 2 + 1, '\0');
    caption.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), caption.data(),
                                                           static_cast<int>(caption.size()), nullptr, nullptr)));
    item.SetCaption(caption.empty() ? "-" : caption);
    const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
    item.SetEnabled((state & 3) == 0);
    item.SetChecked((state & MF_CHECKED) != 0);
    DrawItemIn(data, item, menu, canvas, rect, selected);
}

void MeasureHandleMenuItem(TSkinData& data, HMENU menu, UINT command, HDC dc, int& width, int& height) {
    const std::wstring text = MenuText(menu, command);
    forms::UniqueFont font(MenuFont(false));
    forms::SelectedObject selectFont(dc, font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &size);
    const TDataSkinObject* element = data.Elements().Part("MenuItem");
    width = size.cx + 26 + (element != nullptr ? element->LeftWidth : 0);
    height = text.empty() ? 8 : size.cy + 4;
}

namespace {
template <class F> void ForItemAndBelow(forms::TMenuItem& item, F&& act) {
    std::vector<forms::TMenuItem*> pending{&item};
    while (!pending.empty()) {
        forms::TMenuItem* one = pending.back();
        pending.pop_back();
        for (int k = 0; k < one->Count(); ++k) pending.push_back(one->Items(k));
        act(*one);
    }
}
}  // namespace

void SetMenuItemsOwnerDraw(TSkinData& data, forms::TMenuItem& item) {
    ForItemAndBelow(item, [&data](forms::TMenuItem& one) {
        one.OnDrawItem = [&data](forms::TObject* sender, forms::TCanvas* canvas, RECT rect, bool selected) {
            DrawMenuItem(data, *static_cast<forms::TMenuItem*>(sender), *canvas, rect, selected);
        };
        one.OnMeasureItem = [&data](forms::TObject* sender, forms::TCanvas* canvas, int& width, int& height) {
            MeasureMenuItem(data, *static_cast<forms::TMenuItem*>(sender), *canvas, width, height);
        };
    });
}

void ClearMenuItemsOwnerDraw(forms::TMenuItem& item) {
    ForItemAndBelow(item, [](forms::TMenuItem& one) {
        one.OnDrawItem = nullptr;
        one.OnMeasureItem = nullptr;
    });
}

void SkinMainMenuItems(forms::TForm& form, TSkinData& data, bool on) {
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* menu = dynamic_cast<forms::TMainMenu*>(form.Components(i));
        if (menu == nullptr) continue;
        menu->SetOwnerDraw(on);
        // Depth 2 and below: the items of the drop-downs.
        std::vector<forms::TMenuItem*> pending;
        for (int k = 0; k < menu->Items()->Count(); ++k)
            for (int j = 0; j < menu->Items()->Items(k)->Count(); ++j) pending.push_back(menu->Items()->Items(k)->Items(j));
        while (!pending.empty()) {
            forms::TMenuItem* item = pending.back();
            pending.pop_back();
            for (int k = 0; k < item->Count(); ++k) pending.push_back(item->Items(k));
            if (!on) {
                item->OnDrawItem = nullptr;
                item->OnMeasureItem = nullptr;
            } else if (!item->OnDrawItem) {
                item->OnDrawItem = [&data](forms::TObject* sender, forms::TCanvas* canvas, RECT rect, bool selected) {
                    DrawMenuItem(data, *static_cast<forms::TMenuItem*>(sender), *canvas, rect, selected);
                };
                item->OnMeasureItem = [&data](forms::TObject* sender, forms::TCanvas* canvas, int& width, int& height) {
                    MeasureMenuItem(data, *static_cast<forms::TMenuItem*>(sender), *canvas, width, height);
                };
            }
        }
    }
}

void SetMenuOwnerDrawFlags(HMENU menu, bool on) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        const UINT type = on ? (info.fType | MFT_OWNERDRAW) : (info.fType & ~static_cast<UINT>(MFT_OWNERDRAW));
        if (type != info.fType) {
            info.fMask = MIIM_FTYPE;
            info.fType = type;
            SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        }
        if (info.hSubMenu != nullptr) SetMenuOwnerDrawFlags(info.hSubMenu, on);
    }
}

void SkinPopupMenus(forms::TForm& form, TSkinData& data, bool on) {
    // That rich-edit form draws its menus itself.
    if (form.ClassName() == kOwnMenusFormClass) return;
    const bool allowed = (data.SkinControls & (1u << xcPopupMenu)) != 0;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* menu = dynamic_cast<forms::TPopupMenu*>(form.Components(i));
        if (menu == nullptr || !allowed || menu->Tag() % 100 == data.DisableTag) continue;
        // Given back, the menu is the system's again: owner-drawn without the skin's handlers
        // it would fall back to the form library's makeshift drawing. An open one is closed
        // first, so that it is not drawn from items rebuilt under it.
        if (!on && menu->OwnerDraw()) EndMenu();
        menu->SetOwnerDraw(on);
        std::vector<forms::TMenuItem*> pending{menu->Items()};
        while (!pending.empty()) {
            forms::TMenuItem* item = pending.back();
            pending.pop_back();
            for (int k = 0; k < item->Count(); ++k) pending.push_back(item->Items(k));
            if (item == menu->Items()) continue;
            if (on) {
                item->OnDrawItem = [&data](forms::TObject* sender, forms::TCanvas* canvas, RECT rect, bool selected) {
                    DrawMenuItem(data, *static_cast<forms::TMenuItem*>(sender), *canvas, rect, selected);
                };
                item->OnMeasureItem = [&data](forms::TObject* sender, forms::TCanvas* canvas, int& width, int& height) {
                    MeasurePopupMenuItem(data, *static_cast<forms::TMenuItem*>(sender), *canvas, width, height);
                };
            } else {
                item->OnDrawItem = nullptr;
                item->OnMeasureItem = nullptr;
            }
        }
    }
}

}  // namespace skin
