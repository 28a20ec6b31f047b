// Header controls redrawn item by item from the Headerbar element, and list views: skinned
// scroll bars plus a skinned header.
#pragma once
#include "skin/controls/scroll_skins.h"

namespace skin {

class TSkinHeader : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(forms::TMessage& m) override;
    void DrawSkin(HDC dc, const RECT& rect) override;
    const char* SkinClassName() const override { return "TSkinHeader"; }
};

class TSkinListView : public TSkinScrollbar {
public:
    using TSkinScrollbar::TSkinScrollbar;
    void AttachScrollControl(TControlSkinList* list, TSkinData* data) override;
    const char* SkinClassName() const override { return "TSkinListView"; }
};

}  // namespace skin
