// Check boxes that take a custom glyph bitmap: the skin's check strip rebuilt into the nine
// glyph slots such a control reads (unchecked, checked, mixed; normal, hot, pressed) and
// handed over; no message is hooked.
#pragma once
#include "forms/bitmap.h"
#include "skin/controls/skin_control.h"

namespace skin {

class TSkinObjImage : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) override;
    void Unskin() override;
    void RefreshSkin() override;
    const char* SkinClassName() const override { return "TSkinObjImage"; }

private:
    void HandOverGlyphs();
};

// The nine-slot glyph bitmap built from a check strip of frames frames; empty when the strip
// is empty or narrower than its frames.
void BuildCheckGlyphs(const forms::PixelBuffer& strip, int frames, forms::TBitmap& out);

}  // namespace skin
