// Tab controls and page controls: the tab strip redrawn from the Tabs element (the tab with
// the focus from its second frame) and the page framed from its Border bitmap.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "skin/controls/skin_control.h"

namespace skin {

// An icon from images (index -1: none) and single-line text, placed by alignment 0 left,
// 1 centre, 2 right; greyed for a disabled control.
void DrawIconText(HDC dc, const RECT& rect, int alignment, const std::wstring& text, int imageIndex, HIMAGELIST images,
                  bool enabled);

class TSkinTab : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachHandle(HWND wnd, TSkinData* data, TControlSkinList* list) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void RefreshSkin() override;
    const char* SkinClassName() const override { return "TSkinTab"; }

    // 0 top, 1 bottom, 2 left, 3 right.
    int TabPosition() const { return position_; }

protected:
    void WindowMadeAgain() override;

private:
    void PrepareBitmaps();
    // The scroll arrows a tab control makes for itself get a skin of their own.
    void SkinArrows();

    int position_ = 0;
    forms::PixelBuffer tabs_;
    forms::PixelBuffer border_;
};

// Tab sets that paint their own tabs: every tab redrawn from the Tabs element turned upside
// down (they hang below a page), the selected one from its second frame.
class TSkinTab31 : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void AttachControl(TControlSkinList* list, TSkinData* data, bool colourControl) override;
    bool BeforeMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    void RefreshSkin() override;
    const char* SkinClassName() const override { return "TSkinTab31"; }

private:
    void PrepareBitmap();

    forms::PixelBuffer flipped_;
};

}  // namespace skin
