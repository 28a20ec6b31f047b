// The menu bar a skinned form paints inside its frame, between the title bar and the client
// area: its items (TMenuBtn, one per top-level item of the window's menu), their painting
// from the skin's menu-bar element and the hit test. Opening and tracking a drop-down are the
// form skin's (skin/menu/menu_tracking.cpp).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/portable/component.h"
#include "forms/portable/pixels.h"
#include "skin/frame/nc_objects.h"

namespace forms {
class TMainMenu;
class TMenuItem;
}  // namespace forms

namespace skin {

class TSkinData;
class TSkinForm;
class TSkinMenu;

class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TSkinForm* formSkin, TSkinMenu* bar, int index) : TNCObject(formSkin), index(index), bar_(bar) {}
    void Paint() override;

    forms::TMenuItem* menuItem = nullptr;  // nullptr for an item read from a menu handle
    int index;
    std::wstring caption;
    bool enabled = true;
    HMENU subMenu = nullptr;  // the drop-down, nullptr when the item has none
    UINT command = 0;

private:
    TSkinMenu* bar_;
};

class TSkinMenu : public forms::TComponent {
public:
    TSkinMenu(TSkinForm* formSkin, TSkinData* data, forms::TMainMenu* component);
    ~TSkinMenu() override;

    // The window's menu (or the one shown last) item by item from the main menu component; a
    // window without a component reads the menu handle.
    void LoadFromMenu();
    // Items from the window's menu by position; an item without text takes its caption and
    // state from the component's item at the same place.
    void LoadMerged();
    // Items from a menu handle; an item without text is matched in the component by command.
    void LoadFromHandle(HMENU menu);

    // Paints the bar into rect (frame coordinates) of dc and lays the items out.
    void PaintMenuBar(HDC dc, const RECT& rect);
    // The first item whose rectangle holds the frame point and whose caption is not empty.
    TMenuBtn* ButtonAt(POINT frame) const;
    // The first enabled, visible item whose caption has key as its accelerator.
    TMenuBtn* FindByAccel(wchar_t key) const;

    HMENU MenuHandle() const { return menu_; }
    void SetMenuHandle(HMENU menu) { menu_ = menu; }
    forms::TMainMenu* Component() const { return component_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuBtn* Item(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    RECT BarRect() const { return bar_; }
    // The bar as painted without its items' captions or hot frames.
    const forms::PixelBuffer& BarImage() const { return barImage_; }
    TSkinForm* FormSkin() const { return formSkin_; }
    TSkinData* SkinData() const { return data_; }
    // Times the items were made anew (the old ones freed) since the bar was made.
    int Loads() const { return loads_; }

private:
    void ReadHandle(HMENU menu, bool matchByPosition);
    void HideWindowMenu();

    TSkinForm* formSkin_;
    TSkinData* data_;
    forms::TMainMenu* component_;
    std::vector<std::unique_ptr<TMenuBtn>> items_;
    RECT bar_{};
    forms::PixelBuffer barImage_{0, 0, 3};
    HMENU menu_ = nullptr;
    int loads_ = 0;
};

// The mnemonic of a caption ("&File" gives 'f'), lower-cased, or 0.
wchar_t MenuAccelChar(const std::wstring& caption);

}  // namespace skin
