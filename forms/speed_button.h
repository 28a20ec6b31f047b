// A windowless push button (TSpeedButton): painted by its parent, raised or flat until the
// mouse is over it, sunk while pressed or Down; a glyph strip beside its caption.
#pragma once
#include "forms/graphic_control.h"
#include "forms/glyph_button.h"

namespace forms {

class TSpeedButton : public TGlyphButton<TGraphicControl> {
public:
    explicit TSpeedButton(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

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
    bool flat_ = false;
    bool down_ = false;
    bool pressed_ = false;
    bool hot_ = false;
};

}  // namespace forms
