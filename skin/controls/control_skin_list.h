// The control skins one form skin holds: added at attach, removed by each skin's destructor,
// the dead ones (their window gone) freed at the start of every walk, all of them detached
// and freed when the form is unskinned. Also the one button that is hot at a time.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/control.h"

namespace forms {
class TMenuItem;
}

namespace skin {

class TSkinControl;
class TSkinData;

class TControlSkinList {
public:
    explicit TControlSkinList(TSkinData* data) : data_(data) {}
    // Unskins and frees every skin still listed.
    ~TControlSkinList();
    TControlSkinList(const TControlSkinList&) = delete;
    TControlSkinList& operator=(const TControlSkinList&) = delete;

    TSkinData* Data() const { return data_; }

    // True when already listed; appends it otherwise.
    bool Add(TSkinControl* skin);
    bool Contains(const TSkinControl* skin) const;
    // Removes the last occurrence.
    void Remove(TSkinControl* skin);
    // Frees every skin whose window is gone, last to first.
    void FreeDead();
    // The first skin of that window, nullptr when none.
    TSkinControl* FindByHandle(HWND wnd) const;
    // True when a listed skin is this control's or its window's.
    bool IsListed(const forms::TControl* control) const;
    // Unskins (the living ones) and frees every skin, last to first.
    void UnskinAll();
    // Each skin's RefreshSkin, after a skin change.
    void RefreshAll();

    const std::vector<TSkinControl*>& Skins() const { return skins_; }

    // The button skin that is hot now, at most one.
    TSkinControl* HotButton() const { return hotButton_; }
    void SetHotButton(TSkinControl* skin) { hotButton_ = skin; }

    // The owner form's Name, for the preview exemption of controls without a window yet.
    std::string formName;

    // Given by the form skin, for the rows that hand a control's menu or its tool buttons to it:
    // the item and all below it drawn by the skin; one tool button's custom draw.
    std::function<void(forms::TMenuItem& item)> OwnerDrawMenuItems;
    std::function<LRESULT(NMTBCUSTOMDRAW& draw)> CustomDrawToolButton;

private:
    TSkinData* data_;
    std::vector<TSkinControl*> skins_;
    TSkinControl* hotButton_ = nullptr;
};

}  // namespace skin
