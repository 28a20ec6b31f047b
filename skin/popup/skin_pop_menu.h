// TSkinPopMenu: one open popup menu window ("#32768") dressed from the skin: a 3-pixel ring
// and a background rendered from MenuBackground, which the menu's owner-drawn items copy
// under themselves. Made, owned and freed by the skin coordinator.
#pragma once
#include <windows.h>

#include <memory>

#include "forms/portable/pixels.h"
#include "forms/subclass.h"

namespace skin {

class TSkinData;
struct SkinColours;

// The lines of a skinned menu (its outline, its separators): the menu's text colour half way
// to its background colour, so that they show in every skin.
COLORREF MenuLineColour(const SkinColours& colours);

// The ring's width on every side, whatever MenuBackground's margins say.
constexpr int kPopupRing = 3;

class TSkinPopMenu {
public:
    // active: the coordinator's flag; while it is clear the menu draws in the ordinary way.
    explicit TSkinPopMenu(const bool& active);
    ~TSkinPopMenu();
    TSkinPopMenu(const TSkinPopMenu&) = delete;
    TSkinPopMenu& operator=(const TSkinPopMenu&) = delete;

    void Hook(HWND wnd, TSkinData* data, HMENU menu);
    void Unhook();
    bool Hooked() const { return proc_ != nullptr; }

    HWND Window() const { return wnd_; }
    TSkinData* Data() const { return data_; }
    HMENU Menu() const { return menu_; }
    void SetMenu(HMENU menu) { menu_ = menu; }
    const forms::PixelBuffer& Background() const { return background_; }
    // Inside one of the window's messages now: must not be freed yet.
    bool Busy() const { return busy_ > 0; }

private:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next);
    bool CanPaint() const;
    void RenderBackground();
    void PaintRing();
    LRESULT Print(HDC dc, WPARAM wParam, LPARAM lParam, const forms::SubclassNext& next);

    const bool& active_;
    std::unique_ptr<forms::WindowSubclass> proc_;
    HWND wnd_ = nullptr;
    TSkinData* data_ = nullptr;
    HMENU menu_ = nullptr;
    forms::PixelBuffer background_{0, 0, 3};
    int busy_ = 0;
};

// The popup skin whose menu handle is not known yet: the item drawing of the next menu fills
// it in. Cleared when that popup skin is unhooked or freed.
TSkinPopMenu* CurrentUnnamedPopup();
// The item drawing names the menu of the current unnamed popup skin and clears the reference.
void NameCurrentPopup(HMENU menu);

}  // namespace skin
