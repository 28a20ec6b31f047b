// Skinned scroll bars: a painted window of ours laid exactly over each system scroll bar of a
// scrolling control (a sibling of it), which hands every press back to the bar underneath,
// so the control keeps its own scrolling.
#pragma once
#include <windows.h>

#include <memory>

#include "forms/gdi_handle.h"
#include "skin/controls/skin_control.h"

namespace skin {

class TWScrollbar {
public:
    // kind 0: the host's horizontal bar, 1: its vertical bar, 2: the host is a scroll-bar
    // control, covered whole (vertical says which way it lies).
    TWScrollbar(TSkinData* data, HWND host, int kind, bool vertical = false);
    ~TWScrollbar();
    TWScrollbar(const TWScrollbar&) = delete;
    TWScrollbar& operator=(const TWScrollbar&) = delete;

    // Follows the host's bar: shown on its rectangle, hidden when the bar is.
    void UpdatePosition(HWND host);
    void HideBar();
    void Repaint();

    HWND Handle() const { return wnd_.get(); }
    bool Visible() const { return visible_; }
    int Kind() const { return kind_; }
    // The bar's rectangle in screen coordinates, as the host reported it last.
    const RECT& ScreenRect() const { return screenRect_; }
    // The part being pressed, in the system's scroll codes (0 line up ... 5 thumb track).
    void SetPart(int part) { part_ = part; }
    // Along the axis: 0 and 1 the arrows, 2 and 3 the track before and after the thumb, 5 the thumb.
    int HitTest(POINT p) const;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Press(LPARAM lParam);
    void Release(LPARAM lParam);
    bool ReadInfo(SCROLLBARINFO& info) const;
    // A scroll-bar control's information, computed from its range, page and position.
    bool ReadControlInfo(SCROLLBARINFO& info) const;
    POINT ToHost(LPARAM lParam) const;

    TSkinData* data_;
    HWND host_;
    int kind_;
    bool vertical_;
    int arrow_;
    int length_ = 0;
    int thumbStart_ = 0, thumbEnd_ = 0;
    POINT cursorAtPress_{};
    int thumbStartAtPress_ = 0;
    int part_ = -1;
    bool tracking_ = false;
    bool visible_ = false;
    RECT screenRect_{};
    forms::UniqueWindow wnd_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

// A form-library control's two bars.
class TSkinScrollbar : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    ~TSkinScrollbar() override;
    virtual void AttachScrollControl(TControlSkinList* list, TSkinData* data);
    void Unskin() override;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinScrollbar"; }

    TWScrollbar* Horizontal() const { return horizontal_.get(); }
    TWScrollbar* Vertical() const { return vertical_.get(); }

protected:
    void MakeOverlays(TSkinData* data);
    void UpdateOverlays();
    // WM_HSCROLL / WM_VSCROLL: the bar's pressed part follows the host's own scroll loop.
    void FollowScroll(const forms::TMessage& m);

    std::unique_ptr<TWScrollbar> horizontal_, vertical_;

private:
    bool childWalkPosted_ = false;
};

// A scroll-bar control of the form library, covered by one painted bar.
class TSkinScControl : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    ~TSkinScControl() override;
    void AttachScrollBarControl(TControlSkinList* list, TSkinData* data);
    void Unskin() override;
    void AfterMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinScControl"; }

    TWScrollbar* Overlay() const { return overlay_.get(); }

private:
    std::unique_ptr<TWScrollbar> overlay_;
};

// A raw window's two bars (a simple combo's list).
class TSkinScrollbarH : public TSkinScrollbar {
public:
    using TSkinScrollbar::TSkinScrollbar;
    void AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) override;
    void AfterMessage(forms::TMessage& m) override;
    const char* SkinClassName() const override { return "TSkinScrollbarH"; }
};

}  // namespace skin
