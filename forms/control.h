// TControl: a component with a parent, bounds, visibility, colour, font, hint and the one
// road every message takes: Perform and the static window procedure both call WindowProc,
// which defaults to the virtual WndProc, which falls through to DefaultHandler.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "forms/events.h"
#include "forms/graphics.h"
#include "forms/messages.h"
#include "forms/portable/component.h"

namespace forms {

class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;
// The system cursor for one of the values above (nullptr for crNone, the arrow for unknown ones).
HCURSOR CursorHandle(TCursor cursor);

// ControlStyle flags.
enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csClickEvents = 1u << 2,
    csFramed = 1u << 3,
    csSetCaption = 1u << 4,
    csOpaque = 1u << 5,
    csDoubleClicks = 1u << 6,
    csFixedWidth = 1u << 7,
    csFixedHeight = 1u << 8,
    csReplicatable = 1u << 9,
    csNoStdEvents = 1u << 10,
    csNeedsBorderPaint = 1u << 11,  // themes: paint the border
    csParentBackground = 1u << 12,  // themes: the parent's background shows through
};
using TControlStyle = unsigned;

// ControlState flags.
enum TControlStateFlag : unsigned {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csAlignmentNeeded = 1u << 2,
    csFocusing = 1u << 3,
    csCreating = 1u << 4,
    csPaintCopy = 1u << 5,
    csCustomPaint = 1u << 6,
    csDestroyingHandle = 1u << 7,
};
using TControlState = unsigned;

class TControl;

// What CM_HINTSHOW carries (LParam).
struct THintInfo {
    TControl* HintControl = nullptr;
    void* HintWindowClass = nullptr;
    POINT HintPos{};
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    RECT CursorRect{};
    POINT CursorPos{};
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};

// Shows a pop-up menu at a screen point. menus.cpp installs it; the control layer knows menus
// only as components.
extern std::function<void(TComponent* menu, TControl* sender, int screenX, int screenY)> PopupMenuHook;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // The replaceable window procedure: copy it to save it, assign it back to restore it.
    std::function<void(TMessage&)> WindowProc;
    // Builds a TMessage and hands it to WindowProc; the message's Result.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Hands the same message on, unchanged, to WindowProc (for a message already built).
    void Dispatch(TMessage& message);

    // The default WindowProc: per-class handling, then DefaultHandler.
    virtual void WndProc(TMessage& message);
    // Unhandled messages: nothing for windowless controls; the class procedure for windows.
    virtual void DefaultHandler(TMessage& message);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    bool HasParent() const { return parent_ != nullptr; }

    // Bounds in the parent's client coordinates (inside a scroll box: its visible area).
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    virtual RECT ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    virtual void SetClientSize(int width, int height);
    // The screen position of the client area's origin.
    virtual POINT ClientOrigin() const;
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign v);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to a top-level window that is visible.
    virtual bool Showing() const;

    // A control keeps its own Enabled when a container is disabled; it is greyed (and gets
    // no input) while any parent is disabled.
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);
    bool IsEnabledInTree() const;

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);
    TComponent* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TComponent* menu);

    // Caption and Text are one value; windowed controls keep it in their window text.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    std::string Text() const { return GetText(); }
    virtual std::string GetText() const;
    virtual void SetText(const std::string& v);

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle v) { controlStyle_ = v; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState v) { controlState_ = v; }

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void BringToFront();
    virtual void SendToBack();
    void SetZOrder(bool topMost);
    // Gives back the GDI objects the control made for drawing (its font's handle, a picture's
    // bitmap...), keeping what it needs to make them again when it is next drawn.
    virtual void ReleaseGdiHandles();

    // Mouse capture: windowed controls capture their window; a windowless one asks its
    // parent to route the mouse to it.
    bool MouseCapture() const;
    void SetMouseCapture(bool v);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;

    virtual void Click();
    virtual void DblClick();
    // The control's own mouse-down handling, for a press that a skin in front of its window
    // procedure keeps from reaching it.
    void PerformMouseDown(TMouseButton button, TShiftState shift, int x, int y) { MouseDown(button, shift, x, y); }

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // After a real size change (not while loading, not when a form is minimised).
    virtual void Resize();
    // A new position or size has been stored; windowed controls move their window here.
    virtual void BoundsChanged() {}
    // Re-align the parent's children after a change of bounds, Align or visibility.
    void RequestAlign();
    // The visible change: windowless controls repaint their area on the parent.
    virtual void VisibleChanging() {}
    void InvalidateControl(bool isVisible, bool isOpaque);
    // Every mouse message lands here, coordinates in this control's client area.
    void HandleMouseMessage(TMessage& m);

    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState controlState_ = 0;
    std::string text_;  // windowless controls (and windows before their handle exists)

private:
    friend class TWinControl;
    void FontChanged();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    TComponent* popupMenu_ = nullptr;
    bool updatingFromParent_ = false;
};

}  // namespace forms
