// Menu items and pop-up menus. Every item holds a command id for its whole life (unique in
// the process), so that WM_COMMAND from any menu built from it reaches the right OnClick.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "forms/canvas.h"
#include "forms/events.h"
#include "forms/gdi_handle.h"
#include "forms/portable/component.h"

namespace forms {

class TControl;
class TMenu;

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, RECT ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // "-" is a separator.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    // Shown in bold; Enter on the menu picks it.
    bool Default() const { return default_; }
    void SetDefault(bool v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    bool IsLine() const { return caption_ == "-"; }

    // The id WM_COMMAND carries for this item; fixed from construction to destruction.
    UINT Command() const { return command_; }
    // The sub-menu of an item with children (made on demand), nullptr otherwise.
    HMENU Handle();
    TMenuItem* Parent() const { return parent_; }
    TMenu* Menu() const;

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    int IndexOf(const TMenuItem* item) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out (it is not freed).
    void Remove(TMenuItem* item);
    // Takes the item at index out and frees it.
    void Delete(int index);
    // Frees every sub-item.
    void Clear();
    // The item (this one or below) with a command id or sub-menu handle, nullptr when none.
    TMenuItem* FindByCommand(UINT command);
    TMenuItem* FindByHandle(HMENU menu);

    // OnClick (the caller guards against exceptions).
    virtual void Click();

    TNotifyEvent OnClick;
    // Owner-drawn menus (TMenu::OwnerDraw) call these; without them the caption is drawn.
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    // Used by the pop-up window for WM_MEASUREITEM and WM_DRAWITEM.
    void MeasureItem(TCanvas& canvas, int& width, int& height);
    void DrawItem(TCanvas& canvas, const RECT& rect, bool selected);

private:
    friend class TMenu;
    void Changed();
    void RebuildHandle();
    void AppendTo(HMENU menu, bool ownerDraw);
    bool OwnerDraw() const;

    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    bool default_ = false;
    int imageIndex_ = -1;
    UINT command_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> items_;
    UniqueMenu handle_;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // The root item; its children are the menu's entries.
    TMenuItem* Items() const { return items_; }
    HMENU Handle() { return items_->Handle(); }
    // Items drawn by OnDrawItem / OnMeasureItem (MFT_OWNERDRAW).
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool v);
    // Runs the OnClick of the item with this command id; false when none is ours.
    bool DispatchCommand(UINT command);
    TMenuItem* FindItem(UINT command) { return items_->FindByCommand(command); }
    // A menu bar's handle is made with CreateMenu, a pop-up's with CreatePopupMenu.
    bool IsMenuBar() const { return menuBar_; }

protected:
    friend class TMenuItem;
    // An item's caption, state or children changed.
    virtual void MenuChanged() {}
    bool menuBar_ = false;

private:
    TMenuItem* items_;
    bool ownerDraw_ = false;
};

// A window's menu bar: SetMenu of the form it belongs to. Changes to its items reach the window
// as CM_MENUCHANGED (sent, so a window subclass sees it too).
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
    // The window whose menu this is (set by the form), nullptr when none.
    HWND WindowHandle() const { return window_; }
    void SetWindowHandle(HWND wnd) { window_ = wnd; }

protected:
    void MenuChanged() override;

private:
    HWND window_ = nullptr;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Shows the menu at a screen point and returns when it closes; the chosen item's
    // OnClick runs from the message that follows.
    virtual void Popup(int x, int y);
    // The control the menu was last opened for (right click).
    TControl* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TControl* v) { popupComponent_ = v; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }

    TNotifyEvent OnPopup;

private:
    TControl* popupComponent_ = nullptr;
    bool autoPopup_ = true;
};

// The hidden window that receives the commands, measuring and drawing of pop-up menus.
HWND PopupListWindow();
// WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn menu item handed to the item (its
// OnMeasureItem / OnDrawItem): the one road of the pop-up window and of a form's menu bar.
void MeasureMenuItemMessage(TMenuItem& item, MEASUREITEMSTRUCT& mi);
void DrawMenuItemMessage(TMenuItem& item, const DRAWITEMSTRUCT& di);
// Any live menu item by command id, nullptr when none.
TMenuItem* FindMenuItemByCommand(UINT command);

}  // namespace forms
