// Status bars redrawn whole after their own painting: each panel's bevel from the
// StatusBarEdges element (lowered, raised, none), its text in the element's colour, the size
// grip from the ExtraImages strip, and owner-drawn panels handed back to their handler.
#pragma once
#include "skin/controls/skin_control.h"

namespace skin {

class TSkinStatusBar : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinStatusBar"; }
};

}  // namespace skin
