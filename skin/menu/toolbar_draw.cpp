#include "skin/menu/toolbar_draw.h"

#include <algorithm>

#include "skin/frame/menu_items.h"
#include "skin/frame/skin_form.h"
#include "skin/skin_data.h"
#include "skin/skin_drawing.h"

namespace skin {

LRESULT ToolbarCustomDraw(TSkinForm& formSkin, NMTBCUSTOMDRAW& draw) {
    TSkinData* data = formSkin.SkinData();
    if (data == nullptr || formSkin.Phase() != kPhaseReady) return CDRF_DODEFAULT;
    const TDataSkinButton* element = data->Elements().buttons.get();
    if (element == nullptr || element->image.empty()) return CDRF_DODEFAULT;
    const UINT state = draw.nmcd.uItemState;
    int frame = 0;
    int colour = -1;
    if ((state & CDIS_SELECTED) != 0) {
        frame = 2;
        colour = element->PressedColour;
    } else if ((state & (CDIS_FOCUS | CDIS_HOT)) != 0) {
        frame = 4;
        colour = element->MouseOverColour;
    } else if ((state & (CDIS_GRAYED | CDIS_DISABLED)) == 0 && (state & CDIS_DEFAULT) != 0) {
        frame = 1;
        colour = element->NormalColour;
    }
    if (colour >= 0) draw.clrText = SkinColourRef(static_cast<std::uint32_t>(colour));
    if (frame == 0) return CDRF_DODEFAULT;
    RECT r = draw.nmcd.rc;
    InflateRect(&r, -1, -1);
    const int frames = 5;
    DrawSlicedFrame(draw.nmcd.hdc, r, element->image, false, element->Tile == 1, element->Trans == 1, frames,
                    std::min(frame, frames), SkinMargins{element->LeftWidth, element->TopHeight, element->RightWidth, element->BottomHeight});
    // The tool bar draws its text and image over the frame, but no face or edges of its own.
    return CDRF_DODEFAULT | TBCDRF_NOEDGES | TBCDRF_NOBACKGROUND | TBCDRF_NOOFFSET;
}

}  // namespace skin
