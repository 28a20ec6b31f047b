// Scrolling containers: children keep their bounds relative to the visible area, and
// scrolling moves them. Positions clamp to 0 .. Range - visible size.
#pragma once
#include "forms/win_control.h"

namespace forms {

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;  // controls use bsNone and bsSingle

class TScrollingWinControl;

class TControlScrollBar : public TObject {
public:
    TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind) : control_(control), kind_(kind) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TScrollBarKind Kind() const { return kind_; }
    // The size of the content; 0 = no scrolling.
    int Range() const { return range_; }
    void SetRange(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v > 0 ? v : 1; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool Tracking() const { return tracking_; }
    void SetTracking(bool v) { tracking_ = v; }
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool v) { smooth_ = v; }
    // The largest position: Range less the visible size, never below 0.
    int MaxPosition() const;
    // Whether the bar is shown now (visible and the range exceeds the view).
    bool IsScrollBarVisible() const;
    // Handles a WM_HSCROLL/WM_VSCROLL request code.
    void ScrollMessage(int code, int thumbPos);

private:
    friend class TScrollingWinControl;
    int VisibleSize() const;
    void Update();

    TScrollingWinControl* control_;
    TScrollBarKind kind_;
    int range_ = 0;
    int position_ = 0;
    int increment_ = 8;
    bool visible_ = true;
    bool tracking_ = false;
    bool smooth_ = false;
    bool calcRange_ = false;
};

class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* owner);
    ~TScrollingWinControl() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
    TControlScrollBar* VertScrollBar() const { return vert_.get(); }
    // AutoScroll: ranges follow the extent of the children.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v);
    // Scrolls until the control is wholly in view (when it fits).
    void ScrollInView(TControl* control);
    // Recomputes automatic ranges and the scroll bars.
    void UpdateScrollBars();

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    void AlignControls(TControl* control, RECT& rect) override;
    void BoundsChanged() override;
    // Moves children and pixels: position changed by (dx, dy).
    virtual void ScrollPositionChanged(int dx, int dy);

private:
    friend class TControlScrollBar;
    void CalcAutoRange();

    std::unique_ptr<TControlScrollBar> horz_;
    std::unique_ptr<TControlScrollBar> vert_;
    bool autoScroll_ = true;
    bool updating_ = false;
};

class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    TBevelKind BevelKind() const { return bevelKind_; }
    void SetBevelKind(TBevelKind v);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TBorderStyle borderStyle_ = bsSingle;
    TBevelCut bevelInner_ = bvRaised;
    TBevelCut bevelOuter_ = bvLowered;
    TBevelKind bevelKind_ = bkNone;
};

}  // namespace forms
