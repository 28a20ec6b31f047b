// A container that paints its colour, bevels and caption.
#pragma once
#include "forms/custom_control.h"
#include "forms/scroll_box.h"

namespace forms {

// Draws a 3D frame of the given width inside rect and shrinks rect by it.
void Frame3D(TCanvas& canvas, RECT& rect, TColor topColor, TColor bottomColor, int width);

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    bool ParentBackground() const { return (ControlStyle() & csParentBackground) != 0; }
    void SetParentBackground(bool v);

    RECT AlignArea() override;
    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();
};

}  // namespace forms
