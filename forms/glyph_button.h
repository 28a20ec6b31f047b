// The glyph settings the bitmap button and the speed button share: the strip, its frame count,
// where it sits beside the caption, and the room around it. Any change repaints the button.
#pragma once
#include <memory>
#include <utility>

#include "forms/bitmap.h"
#include "forms/button_glyph.h"
#include "forms/portable/properties.h"

namespace forms {

template <class Base>
class TGlyphButton : public Base {
public:
    explicit TGlyphButton(TComponent* owner) : Base(owner), glyph_(std::make_unique<TBitmap>()) {}

    // Owned; SetGlyph copies the picture.
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* v) {
        if (v == nullptr) glyph_->FreeImage();
        else glyph_->Assign(*v);
        this->Invalidate();
    }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v) { Change(numGlyphs_, v); }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v) { Change(layout_, v); }
    // -1: the glyph and caption centred.
    int Margin() const { return margin_; }
    void SetMargin(int v) { Change(margin_, v); }
    // -1: the room left shared evenly.
    int Spacing() const { return spacing_; }
    void SetSpacing(int v) { Change(spacing_, v); }

protected:
    // A button class's description with the glyph properties added.
    template <class Builder>
    static Builder&& WithGlyphProperties(Builder&& b) {
        b.Object("Glyph", &TGlyphButton::Glyph, &TGlyphButton::SetGlyph)
            .Int("NumGlyphs", &TGlyphButton::NumGlyphs, &TGlyphButton::SetNumGlyphs)
            .Enum("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, &TGlyphButton::Layout,
                  &TGlyphButton::SetLayout)
            .Int("Margin", &TGlyphButton::Margin, &TGlyphButton::SetMargin)
            .Int("Spacing", &TGlyphButton::Spacing, &TGlyphButton::SetSpacing);
        return std::forward<Builder>(b);
    }

    // The current glyph frame beside the caption, for the button's own face.
    void DrawFace(HDC dc, const RECT& rect, int frame, bool enabled) {
        DrawGlyphAndCaption(dc, rect, FaceImage(frame, enabled), layout_, this->Caption(), enabled);
    }
    // What the face shows beside its caption: the glyph strip's frame.
    virtual FaceGlyph FaceImage(int frame, bool /*enabled*/) { return StripGlyph(*glyph_, numGlyphs_, frame); }

private:
    template <class T>
    void Change(T& field, T value) {
        if (field == value) return;
        field = value;
        this->Invalidate();
    }

    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
};

}  // namespace forms
