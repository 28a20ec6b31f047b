// A push button with a glyph strip (TBitBtn): owner-drawn over the BUTTON class with the
// glyph's normal, disabled and pressed frames beside its caption.
#pragma once
#include <memory>

#include "forms/button.h"
#include "forms/button_glyph.h"

namespace forms {

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;
    const TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const TClassInfo& StaticClass();

    // Owned; SetGlyph copies the picture.
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    // -1: the glyph and caption centred.
    int Margin() const { return margin_; }
    void SetMargin(int v);
    // -1: the room left shared evenly.
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void Changed();

    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
};

}  // namespace forms
