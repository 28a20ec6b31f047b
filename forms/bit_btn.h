// A push button with a glyph strip (TBitBtn): owner-drawn over the BUTTON class with the
// glyph's normal, disabled and pressed frames beside its caption.
#pragma once
#include "forms/button.h"
#include "forms/glyph_button.h"

namespace forms {

class TBitBtn : public TGlyphButton<TButton> {
public:
    explicit TBitBtn(TComponent* owner);
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

}  // namespace forms
