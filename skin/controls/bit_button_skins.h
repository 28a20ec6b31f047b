// Push buttons with a glyph strip: bitmap buttons painted whole from the Buttons element with
// their glyph and caption laid out by Layout, Margin and Spacing, and windowless speed buttons
// painted the same way through their parent (flat ones show the element only while hot or
// pressed).
#pragma once
#include "skin/controls/button_skins.h"

namespace skin {

class TSkinBitButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinBitButton"; }

protected:
    // The face of frame (of the Buttons element) with the glyph and caption, into mem sized
    // to client; the element left out when drawElement is false.
    void DrawFace(HDC mem, const RECT& client, int frame, bool pressed, bool drawElement, bool speed);
};

class TSkinSpeedButton : public TSkinBitButton {
public:
    using TSkinBitButton::TSkinBitButton;
    ~TSkinSpeedButton() override;
    // Hooks the windowless owner; false when it was listed already.
    bool AttachGraphicControl(TControlSkinList* list, TSkinData* data);
    bool BeforeMessage(forms::TMessage& m) override;
    void AfterMessage(forms::TMessage& m) override;
    void PaintFrame(HDC dc) override;
    const char* SkinClassName() const override { return "TSkinSpeedButton"; }

    // The Buttons frame of the present state: 2 pressed or Down, 4 hot, 3 disabled, else 1.
    int Frame() const;

private:
    void Draw(HDC dc, const RECT& client);
};

}  // namespace skin
