// A windowless push button (TSpeedButton): painted by its parent, raised or flat until the
// mouse is over it, sunk while pressed or Down; a glyph strip beside its caption.
#pragma once
#include <memory>

#include "forms/button_glyph.h"
#include "forms/graphic_control.h"

namespace forms {

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    // Flat: no edge until the mouse is over it.
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // Stays sunk.
    bool Down() const { return down_; }
    void SetDown(bool v);

    void WndProc(TMessage& message) override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    bool flat_ = false;
    bool down_ = false;
    bool pressed_ = false;
    bool hot_ = false;
};

}  // namespace forms
